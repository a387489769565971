// Shows the receipt editor holding a receipt, on a database of its own, and
// saves a picture of it for the README.
//   quindelo-recibo-screenshot OUTPUT.png
#include "DataExtenso.h"
#include "Extens.h"
#include "FRrecibo.h"

#include "data/DatabaseCreator.h"
#include "data/Datamodule1.h"
#include "dialogs/Mensagens.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void store(Dataset &dataset, const QVariantMap &values)
{
    dataset.open();
    dataset.insert();
    for (auto it = values.begin(); it != values.end(); ++it)
        dataset.fieldByName(it.key()).setValue(it.value());
    dataset.post();
}

bool save(QWidget &screen, const char *file)
{
    screen.show();
    QApplication::processEvents();
    if (screen.grab().save(QString::fromLocal8Bit(file)))
        return true;
    std::fprintf(stderr, "não foi possível gravar %s\n", file);
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "uso: %s SAIDA.png\n", argv[0]);
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QTemporaryDir folder;
    const QString database = folder.filePath(QStringLiteral("QUINDELO.FDB"));
    databasecreator::create(database);
    DataModule dm(folder.path());
    dm.Base.setDatabaseName(database);

    const QDate date(2026, 3, 5);
    store(dm.Emitente, {{QStringLiteral("EMITENTE"), QStringLiteral("OFICINA AZUL LTDA")},
                        {QStringLiteral("CPFCNPJ"), QStringLiteral("12.345.678/0001-99")},
                        {QStringLiteral("CIDADE"), QStringLiteral("São Paulo")}});
    store(dm.Clientes, {{QStringLiteral("ID_CLIENTE"), 1},
                        {QStringLiteral("CLIENTE"), QStringLiteral("JOANA PEREIRA DA SILVA")},
                        {QStringLiteral("CPF"), QStringLiteral("123.456.789-01")},
                        {QStringLiteral("EMAIL"), QStringLiteral("joana.pereira@example.com")}});
    store(dm.Recibos, {{QStringLiteral("TIPO"), QStringLiteral("RECEBIMENTO")},
                       {QStringLiteral("EMITENTE"), QStringLiteral("JOANA PEREIRA DA SILVA")},
                       {QStringLiteral("CPFCNPJEMITENTE"), QStringLiteral("123.456.789-01")},
                       {QStringLiteral("CLIENTE"), QStringLiteral("OFICINA AZUL LTDA")},
                       {QStringLiteral("CPFCNPJCLIENTE"), QStringLiteral("12.345.678/0001-99")},
                       {QStringLiteral("LOCAL"), QStringLiteral("São Paulo")},
                       {QStringLiteral("REFERENTE"), QStringLiteral("Conserto do portão da garagem")},
                       {QStringLiteral("OBS"), QStringLiteral("Peças e mão de obra")},
                       {QStringLiteral("DATA"), date},
                       {QStringLiteral("DATARECIBO"), DataPorExtenso(date)},
                       {QStringLiteral("VALOR"), QVariant::fromValue(Numeric{123456, -2})},
                       {QStringLiteral("VALOREXTENSO"), NumeroPorExtenso(1234.56)}});
    dm.Tra.commitRetaining();

    {
        const auto FRmensagem8 = createMessageDialog(QStringLiteral("FRmensagem8"));
        const auto FRmensagem10 = createMessageDialog(QStringLiteral("FRmensagem10"));
        const auto FRmensagem12 = createMessageDialog(QStringLiteral("FRmensagem12"));
        const auto FRmensagem17 = createMessageDialog(QStringLiteral("FRmensagem17"));
        FRreciboForm form({dm, *FRmensagem8, *FRmensagem10, *FRmensagem12, [] {}, [] {}, [](const ReceiptValues &) {},
                           [&]() -> MessageDialog & { return *FRmensagem17; }});
        if (!save(form, argv[1]))
            return 1;
    }
    return 0;
}
