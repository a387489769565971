// Pictures of the program's screens for the manual and the README, drawn by
// the program itself on the offscreen platform.
//   quindelo-screenshots FOLDER
#include "app/FRprincipal.h"
#include "app/QuindeloApplication.h"
#include "app/Screens.h"
#include "data/DatabaseCreator.h"
#include "data/Datamodule1.h"
#include "maintenance/frmBackup.h"
#include "reportengine/ReportExport.h"
#include "reports/FRabrerecibos3.h"
#include "reports/FRdeclaracao.h"
#include "reports/FRrelatorios.h"
#include "widgets/CaseEdit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <functional>

namespace {

bool save(QWidget *screen, const QSize &size, const QString &file, const std::function<void()> &shown = {})
{
    screen->resize(size);
    screen->show();
    if (shown)
        shown();
    QCoreApplication::processEvents();
    const bool saved = screen->grab().save(file);
    screen->hide();
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

// A psychologist's year with one patient, some receipts typed without the CPF.
void fillSampleYear(DataModule &dm)
{
    dm.Emitente.open();
    dm.Emitente.insert();
    dm.Emitente.fieldByName(QStringLiteral("EMITENTE")).setValue(QStringLiteral("DRA. HELENA MOTA PSICÓLOGA"));
    dm.Emitente.fieldByName(QStringLiteral("CPFCNPJ")).setValue(QStringLiteral("321.654.987-00"));
    dm.Emitente.fieldByName(QStringLiteral("CIDADE")).setValue(QStringLiteral("Belo Horizonte"));
    dm.Emitente.post();
    dm.Recibos.open();
    for (int month = 1; month <= 12; ++month) {
        dm.Recibos.insert();
        dm.Recibos.fieldByName(QStringLiteral("TIPO")).setValue(QStringLiteral("RECEBIMENTO"));
        dm.Recibos.fieldByName(QStringLiteral("EMITENTE")).setValue(QStringLiteral("CARLOS ALBERTO RIBEIRO"));
        dm.Recibos.fieldByName(QStringLiteral("CPFCNPJEMITENTE"))
            .setValue(month % 5 == 0 ? QString() : QStringLiteral("123.456.789-01"));
        dm.Recibos.fieldByName(QStringLiteral("REFERENTE")).setValue(QStringLiteral("SESSÕES DE PSICOTERAPIA"));
        dm.Recibos.fieldByName(QStringLiteral("DATA")).setValue(QDate(2025, month, 28));
        dm.Recibos.fieldByName(QStringLiteral("VALOR")).setValue(QVariant::fromValue(Numeric{(month % 3 + 4) * 20000, -2}));
        dm.Recibos.post();
    }
    dm.Tra.commitRetaining();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QuindeloApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    if (argc != 2) {
        std::fprintf(stderr, "usage: quindelo-screenshots FOLDER\n");
        return 2;
    }
    // The pictures show the program as a Brazilian user sees it, whatever this machine's settings.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    // The screens that read data read a sample database of their own.
    QTemporaryDir noConfig;
    const QString database = QDir(noConfig.path()).filePath(QStringLiteral("QUINDELO.FDB"));
    databasecreator::create(database);
    QFile ini(QDir(noConfig.path()).filePath(QStringLiteral("Arquivo.ini")));
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[Configuracoes]\nCaminhoBD=" + database.toUtf8() + "\n") <= 0)
        return 1;
    ini.close();
    Screens screens;
    screens.create(noConfig.path());
    fillSampleYear(*screens.Datamodule1);
    bool ok = save(screens.FRprincipal.get(), QSize(800, 450), folder.filePath(QStringLiteral("menu-principal.png")));
    // The backup screen lists a week of backups and shows the path of a
    // typical installation, not of this machine.
    QTemporaryDir backups;
    for (int day = 1; day <= 3; ++day) {
        const QDate date(2026, 12, day * 3);
        QFile file(backups.filePath(QStringLiteral("QUINDELO%1.gbk").arg(date.toString(QStringLiteral("ddMMyyyy")))));
        ok = file.open(QIODevice::WriteOnly) && file.resize(qint64(180 + day * 3) * 1024 * 1024 + 1024 * 100 * day)
            && file.setFileTime(QDateTime(date, QTime(17, 40 + day)), QFileDevice::FileModificationTime) && ok;
    }
    ok = save(screens.frmBackup.get(), QSize(560, 520), folder.filePath(QStringLiteral("backup.png")), [&] {
        auto *destino = screens.frmBackup->findChild<QLineEdit *>(QStringLiteral("edtDestino"));
        destino->setText(backups.filePath(QStringLiteral("QUINDELO.FDB")));
        emit destino->editingFinished();
        destino->setText(QStringLiteral("/home/maria/Quindelo/Backup/QUINDELO.FDB"));
        screens.frmBackup->findChild<QListWidget *>(QStringLiteral("LBbackups"))->setCurrentRow(0);
    }) && ok;
    ok = save(screens.FRrelatorios.get(), QSize(560, 220), folder.filePath(QStringLiteral("relatorios.png"))) && ok;
    screens.FRabrerecibos3->setClock([] { return QDate(2026, 3, 31); });
    ok = save(screens.FRabrerecibos3.get(), QSize(420, 200), folder.filePath(QStringLiteral("periodo.png"))) && ok;
    FRdeclaracaoForm &declaracao = *screens.FRdeclaracao;
    declaracao.setClock([] { return QDate(2026, 2, 10); });
    ok = save(&declaracao, QSize(560, 230), folder.filePath(QStringLiteral("declaracao.png")), [&declaracao] {
        declaracao.EDcpfcnpj->setText(QStringLiteral("123.456.789-01"));
        declaracao.EDnome->setText(QStringLiteral("CARLOS ALBERTO RIBEIRO"));
    }) && ok;
    // The statement those texts make, as its first page prints.
    declaracao.show();
    declaracao.EDcpfcnpj->setText(QStringLiteral("123.456.789-01"));
    declaracao.EDnome->setText(QStringLiteral("CARLOS ALBERTO RIBEIRO"));
    ConsultaDeclaracao consulta(*screens.Datamodule1);
    declaracao.relatorio().preenche(consulta.declaracao({2025, kRecebimento, QStringLiteral("123.456.789-01"),
                                                         QStringLiteral("CARLOS ALBERTO RIBEIRO")}),
                                    consulta.emissor(), QDate(2026, 2, 10));
    declaracao.hide();
    Report &pagina = declaracao.relatorio().frxDeclaracao();
    pagina.prepareReport();
    const QString file = folder.filePath(QStringLiteral("declaracao-pagina.png"));
    const bool page = reportexport::pageImage(pagina.preparedPages(), 0, 72).save(file);
    std::printf("%s %s\n", page ? "wrote" : "could not write", qPrintable(file));
    return ok && page ? 0 : 1;
}
