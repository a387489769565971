// Draws the client registry in the edit state, on a database of its own, into
// a PNG file (the README's picture).
//   quindelo-screenshot-cadastro FILE.png
#include "clients/FRcadastro.h"
#include "data/DatabaseCreator.h"
#include "data/Datamodule1.h"
#include "dialogs/Mensagens.h"
#include "widgets/PictureButton.h"

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.png\n", argv[0]);
        return 2;
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("QUINDELO.FDB"));
    try {
        databasecreator::create(path);
        DataModule dm(folder.path());
        dm.Base.setDatabaseName(path);

        const auto FRmensagem5 = createMessageDialog(QStringLiteral("FRmensagem5"));
        const auto FRmensagem6 = createMessageDialog(QStringLiteral("FRmensagem6"));
        const auto FRmensagem8 = createMessageDialog(QStringLiteral("FRmensagem8"));
        const auto FRmensagem17 = createMessageDialog(QStringLiteral("FRmensagem17"));
        FRcadastroForm registry({dm, *FRmensagem5, *FRmensagem6, *FRmensagem8, [] {}, [] {},
                                 [&]() -> MessageDialog & { return *FRmensagem17; }});
        registry.show();
        Dataset &clientes = dm.Clientes;
        clientes.insert();
        const QList<QPair<const char *, QVariant>> values{
            {"CLIENTE", QStringLiteral("MARIA DAS GRAÇAS OLIVEIRA")}, {"CLASSIFICACAO", QStringLiteral("FÍSICA")},
            {"CPF", QStringLiteral("123.456.789-01")},               {"EMAIL", QStringLiteral("maria.oliveira@exemplo.com.br")},
            {"DATANASCIMENTO", QDate(1978, 3, 15)},                   {"TELEFONE", QStringLiteral("(81) 3222-1234")},
            {"TELEFONE2", QStringLiteral("(81) 99876-5432")},         {"ENDERECO", QStringLiteral("RUA DA AURORA, 325")},
            {"BAIRRO", QStringLiteral("BOA VISTA")},                  {"CIDADE", QStringLiteral("RECIFE")},
            {"UF", QStringLiteral("PE")},                             {"CEP", QStringLiteral("50050-000")},
            {"OBS", QStringLiteral("Cliente desde 2019")}};
        for (const auto &value : values)
            clientes.fieldByName(QLatin1String(value.first)).setValue(value.second);
        clientes.post();
        dm.Tra.commitRetaining();
        QTest::mouseClick(registry.BTalterar, Qt::LeftButton);
        QCoreApplication::processEvents();
        if (!registry.grab().save(QString::fromLocal8Bit(argv[1])))
            throw std::runtime_error("the picture could not be written");
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
