#include "maintenance/BackupCheck.h"
#include "ProgramDriver.h"
#include "common/FirebirdTools.h"
#include "common/PdfText.h"
#include "common/TempDatabase.h"

#include <QDate>
#include <QDir>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

using ListedRow = QMap<QString, QString>;

// The rows isql-fb lists for the query, a column name to its shown value each.
QList<ListedRow> query(const QString &database, const QString &sql)
{
    QList<ListedRow> rows;
    ListedRow row;
    for (const QString &line : isql(database, ("SET LIST ON;\n" + sql + ";\n").toUtf8()).split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) {
            if (!row.isEmpty())
                rows << row;
            row.clear();
            continue;
        }
        const int gap = line.indexOf(QLatin1Char(' '));
        row.insert(line.left(gap), line.mid(gap).trimmed());
    }
    if (!row.isEmpty())
        rows << row;
    return rows;
}

bool run(const QString &program, const QStringList &arguments, QString &output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString writeLogo(const QString &folder)
{
    QImage image(240, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(20, 20, 80, 80, QColor(0, 96, 160));
    painter.setBrush(QColor(220, 120, 0));
    painter.drawEllipse(130, 20, 90, 80);
    painter.end();
    const QString path = QDir(folder).filePath(QStringLiteral("logomarca.png"));
    image.save(path);
    return path;
}

int imagesIn(const QString &pdf)
{
    QString listing;
    if (!run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}, listing))
        return -1;
    // Two heading lines, then one line per image.
    return int(listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size()) - 2;
}

QString textOf(const QVector<PdfPage> &pages)
{
    QStringList texts;
    for (const PdfPage &page : pages)
        texts << page.text();
    return texts.join(QLatin1Char(' '));
}

} // namespace

#define STEP(action) QVERIFY2(action, qPrintable(driver.lastError()))

// A day's work through the program as its user does it, then what it left behind.
class TstWorkingDay : public QObject
{
    Q_OBJECT

private slots:
    void workingDay_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::newRow("embedded engine") << false;
        QTest::newRow("Firebird server") << true;
    }

    void workingDay()
    {
        QFETCH(bool, onServer);
        if (onServer && (testServer().isEmpty() || testServerFolder().isEmpty()))
            QSKIP("No Firebird server for the tests (scripts/test starts one)");
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QDir folder(home.path());
        // The server's database lives in the server's folder and is reached as "host/port:path".
        std::optional<QTemporaryDir> serverFiles;
        if (onServer)
            serverFiles.emplace(QDir(testServerFolder()).filePath(QStringLiteral("e2e-XXXXXX")));
        const QDir dataFolder(onServer ? serverFiles->path() : home.path());
        const QString databaseFile = dataFolder.filePath(QStringLiteral("QUINDELO.FDB"));
        const QString database = onServer ? testServer() + QLatin1Char(':') + databaseFile : databaseFile;
        QString output;
        QVERIFY2(run(QStringLiteral(CREATEDB_PATH), {database}, output), qPrintable(output));
        QString program = QStringLiteral(PROGRAM_PATH);
        if (onServer) {
            // Arquivo.ini is read beside the program: a copy of the program gets one of its own.
            program = folder.filePath(QStringLiteral("quindelo"));
            QVERIFY(QFile::copy(QStringLiteral(PROGRAM_PATH), program));
            QFile ini(folder.filePath(QStringLiteral("Arquivo.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write("[Configuracoes]\r\nCaminhoBD=" + database.toUtf8() + "\r\n");
        }
        const QString logo = writeLogo(home.path());
        const QString reciboPdf = folder.filePath(QStringLiteral("recibo.pdf"));
        const QString periodoPdf = folder.filePath(QStringLiteral("periodo.pdf"));
        const QDate today = QDate::currentDate();

        ProgramDriver driver;
        STEP(driver.start(program, home.path(), ProgramDriver::desktop(home.path(), QStringLiteral(DRIVER_PLUGIN_DIR))));

        // The issuer and its logo.
        STEP(driver.click(QStringLiteral("FRprincipal/Image8")));
        STEP(driver.click(QStringLiteral("FRcademitente/BTalterar")));
        STEP(driver.type(QStringLiteral("FRcademitente/DBEdit2"), QStringLiteral("Oficina Três Irmãos")));
        STEP(driver.waitForText(QStringLiteral("FRcademitente/DBEdit2"), QStringLiteral("OFICINA TRÊS IRMÃOS")));
        STEP(driver.type(QStringLiteral("FRcademitente/DBEdit3"), QStringLiteral("11222333000181")));
        STEP(driver.type(QStringLiteral("FRcademitente/DBEdit4"), QStringLiteral("Campinas")));
        STEP(driver.waitForText(QStringLiteral("FRcademitente/DBEdit3"), QStringLiteral("11.222.333/0001-81")));
        STEP(driver.doubleClick(QStringLiteral("FRcademitente/DBImage1")));
        STEP(driver.click(QStringLiteral("FRimagem/Panel1")));
        STEP(driver.type(QStringLiteral("opdImagem/fileNameEdit"), logo));
        STEP(driver.waitForText(QStringLiteral("opdImagem/fileNameEdit"), logo));
        STEP(driver.press(QStringLiteral("opdImagem/fileNameEdit"), QStringLiteral("Return")));
        STEP(driver.click(QStringLiteral("FRimagem/Image1")));
        STEP(driver.click(QStringLiteral("FRcademitente/BTsalvar")));
        STEP(driver.click(QStringLiteral("FRmensagem9/FlatButton1")));
        STEP(driver.click(QStringLiteral("FRcademitente/Image1")));

        // A client.
        STEP(driver.click(QStringLiteral("FRprincipal/Image2")));
        STEP(driver.click(QStringLiteral("FRcadastro/BTnovo")));
        STEP(driver.type(QStringLiteral("FRcadastro/DBEdit2"), QStringLiteral("José da Silva")));
        STEP(driver.type(QStringLiteral("FRcadastro/DBEdit14"), QStringLiteral("52998224725")));
        STEP(driver.type(QStringLiteral("FRcadastro/DBEdit11"), QStringLiteral("Valinhos")));
        STEP(driver.click(QStringLiteral("FRcadastro/BTsalvar")));
        STEP(driver.click(QStringLiteral("FRmensagem/FlatButton1")));
        STEP(driver.click(QStringLiteral("FRcadastro/Image1")));

        // A receipt to that client, printed to PDF from the preview.
        STEP(driver.click(QStringLiteral("FRprincipal/Image3")));
        STEP(driver.click(QStringLiteral("FRrecibo/BTnovo")));
        STEP(driver.click(QStringLiteral("FRrecibo/Panel1")));
        STEP(driver.type(QStringLiteral("FRconsultacli2/EDlocalizar"), QStringLiteral("jos")));
        STEP(driver.doubleClickRow(QStringLiteral("FRconsultacli2/DBGrid1"), 0));
        STEP(driver.waitForText(QStringLiteral("FRrecibo/DBemitente"), QStringLiteral("JOSÉ DA SILVA")));
        STEP(driver.type(QStringLiteral("FRrecibo/DBreferente"), QStringLiteral("Conserto do portão")));
        STEP(driver.type(QStringLiteral("FRrecibo/DBvalor"), QStringLiteral("1234,56")));
        STEP(driver.press(QStringLiteral("FRrecibo/DBvalor"), QStringLiteral("Tab")));
        STEP(driver.click(QStringLiteral("FRrecibo/BTsalvar")));
        STEP(driver.click(QStringLiteral("FRmensagem12/FlatButton1")));
        STEP(driver.click(QStringLiteral("FRrecibo/Image2")));
        STEP(driver.click(QStringLiteral("PreviewWindow/ACpdf")));
        STEP(driver.type(QStringLiteral("QFileDialog/fileNameEdit"), reciboPdf));
        STEP(driver.press(QStringLiteral("QFileDialog/fileNameEdit"), QStringLiteral("Return")));
        STEP(driver.click(QStringLiteral("PreviewWindow/ACfechar")));
        STEP(driver.click(QStringLiteral("FRrecibo/BTsair")));

        // The month's receipts.
        const QDate firstOfMonth(today.year(), today.month(), 1);
        STEP(driver.click(QStringLiteral("FRprincipal/Image7")));
        STEP(driver.click(QStringLiteral("FRrelatorios/Image5")));
        // The day is selected by a double click on it, then typed over.
        STEP(driver.doubleClickAt(QStringLiteral("FRabrerecibos3/Medtini"), 8, -1));
        STEP(driver.keys(QStringLiteral("FRabrerecibos3/Medtini"), QStringLiteral("01")));
        STEP(driver.waitForText(QStringLiteral("FRabrerecibos3/Medtini"), firstOfMonth.toString(QStringLiteral("dd/MM/yyyy"))));
        STEP(driver.click(QStringLiteral("FRabrerecibos3/Panel1")));
        STEP(driver.click(QStringLiteral("PreviewWindow/ACpdf")));
        STEP(driver.type(QStringLiteral("QFileDialog/fileNameEdit"), periodoPdf));
        STEP(driver.press(QStringLiteral("QFileDialog/fileNameEdit"), QStringLiteral("Return")));
        STEP(driver.click(QStringLiteral("PreviewWindow/ACfechar")));
        STEP(driver.click(QStringLiteral("FRabrerecibos3/BTsair")));
        STEP(driver.click(QStringLiteral("FRrelatorios/Image1")));

        // The backup, which ends the program.
        STEP(driver.click(QStringLiteral("FRprincipal/Image9")));
        QCOMPARE(driver.text(QStringLiteral("frmBackup/edtDestino")), dataFolder.filePath(QStringLiteral("Backup/QUINDELO.FDB")));
        STEP(driver.click(QStringLiteral("frmBackup/Panel1")));
        STEP(driver.click(QStringLiteral("FRmensagem14/FlatButton1")));
        int exitCode = -1;
        STEP(driver.waitForExit(exitCode));
        QCOMPARE(exitCode, 0);

        const QList<ListedRow> emitente = query(database, QStringLiteral(
            "SELECT EMITENTE, CPFCNPJ, CIDADE, OCTET_LENGTH(FOTO_MARC) AS LOGO FROM EMITENTE"));
        QCOMPARE(emitente.size(), 1);
        QCOMPARE(emitente[0].value(QStringLiteral("EMITENTE")), QStringLiteral("OFICINA TRÊS IRMÃOS"));
        QCOMPARE(emitente[0].value(QStringLiteral("CPFCNPJ")), QStringLiteral("11.222.333/0001-81"));
        QCOMPARE(emitente[0].value(QStringLiteral("CIDADE")), QStringLiteral("Campinas"));
        QCOMPARE(emitente[0].value(QStringLiteral("LOGO")).toLongLong(), QFileInfo(logo).size());

        const QList<ListedRow> clientes = query(database, QStringLiteral("SELECT CLIENTE, CLASSIFICACAO, CPF, CIDADE FROM CLIENTES"));
        QCOMPARE(clientes.size(), 1);
        QCOMPARE(clientes[0].value(QStringLiteral("CLIENTE")), QStringLiteral("JOSÉ DA SILVA"));
        QCOMPARE(clientes[0].value(QStringLiteral("CLASSIFICACAO")), QStringLiteral("FÍSICA"));
        QCOMPARE(clientes[0].value(QStringLiteral("CPF")), QStringLiteral("529.982.247-25"));
        QCOMPARE(clientes[0].value(QStringLiteral("CIDADE")), QStringLiteral("VALINHOS"));

        const QList<ListedRow> recibos = query(database, QStringLiteral(
            "SELECT TIPO, EMITENTE, CPFCNPJEMITENTE, REFERENTE, VALOR, VALOREXTENSO, DATA, DATARECIBO, "
            "CLIENTE, CPFCNPJCLIENTE, LOCAL FROM RECIBOS"));
        QCOMPARE(recibos.size(), 1);
        const ListedRow &recibo = recibos[0];
        QCOMPARE(recibo.value(QStringLiteral("TIPO")), QStringLiteral("RECEBIMENTO"));
        QCOMPARE(recibo.value(QStringLiteral("EMITENTE")), QStringLiteral("JOSÉ DA SILVA"));
        QCOMPARE(recibo.value(QStringLiteral("CPFCNPJEMITENTE")), QStringLiteral("529.982.247-25"));
        QCOMPARE(recibo.value(QStringLiteral("REFERENTE")), QStringLiteral("Conserto do portão"));
        QCOMPARE(recibo.value(QStringLiteral("VALOR")), QStringLiteral("1234.56"));
        QCOMPARE(recibo.value(QStringLiteral("VALOREXTENSO")),
                 QStringLiteral("Um Mil, e Duzentos e Trinta e Quatro Reais, e Cinqüenta e Seis Centavos."));
        QCOMPARE(recibo.value(QStringLiteral("DATA")), today.toString(Qt::ISODate));
        const QString month = QLocale(QLocale::Portuguese, QLocale::Brazil).monthName(today.month());
        QCOMPARE(recibo.value(QStringLiteral("DATARECIBO")),
                 QStringLiteral("%1 de %2 de %3").arg(today.toString(QStringLiteral("dd")), month).arg(today.year()));
        QCOMPARE(recibo.value(QStringLiteral("CLIENTE")), QStringLiteral("OFICINA TRÊS IRMÃOS"));
        QCOMPARE(recibo.value(QStringLiteral("CPFCNPJCLIENTE")), QStringLiteral("11.222.333/0001-81"));
        QCOMPARE(recibo.value(QStringLiteral("LOCAL")), QStringLiteral("Campinas"));

        const QVector<PdfPage> reciboPages = readPdf(reciboPdf);
        QCOMPARE(reciboPages.size(), 1);
        const QString reciboText = textOf(reciboPages);
        for (const QString &expected : {QStringLiteral("JOSÉ DA SILVA"), QStringLiteral("OFICINA TRÊS IRMÃOS"),
                                        QStringLiteral("1.234,56"), QStringLiteral("Conserto do portão"),
                                        QStringLiteral("Cinqüenta e Seis Centavos")})
            QVERIFY2(reciboText.contains(expected), qPrintable(expected + QStringLiteral(" missing from: ") + reciboText));
        QCOMPARE(imagesIn(reciboPdf), 1);

        const QString periodoText = textOf(readPdf(periodoPdf));
        for (const QString &expected : {QStringLiteral("JOSÉ DA SILVA"), QStringLiteral("1.234,56")})
            QVERIFY2(periodoText.contains(expected), qPrintable(expected + QStringLiteral(" missing from: ") + periodoText));

        const QString backup = dataFolder.filePath(QStringLiteral("Backup/QUINDELO%1.gbk").arg(today.toString(QStringLiteral("ddMMyyyy"))));
        QCOMPARE(QDir(dataFolder.filePath(QStringLiteral("Backup"))).entryList(QDir::Files), {QFileInfo(backup).fileName()});
        const QString restored = folder.filePath(QStringLiteral("RESTAURADO.FDB"));
        const QString restoreError = gbakRestore(backup, restored);
        QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
        const QString original = isql(database, backupcheck::kDump);
        for (const QString &held : {QStringLiteral("OFICINA TRÊS IRMÃOS"), QStringLiteral("JOSÉ DA SILVA"),
                                    QStringLiteral("Conserto do portão")})
            QVERIFY2(original.contains(held), qPrintable(original));
        QCOMPARE(isql(restored, backupcheck::kDump), original);
    }

    // Deletions are not committed by the screens: closing the program must make them last.
    void deletionOutlivesTheProgram()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString database = QDir(home.path()).filePath(QStringLiteral("QUINDELO.FDB"));
        QString output;
        QVERIFY2(run(QStringLiteral(CREATEDB_PATH), {database}, output), qPrintable(output));
        isql(database, "INSERT INTO RECIBOS (ID_RECIBO, EMITENTE, VALOR, DATA, TIPO) "
                       "VALUES (GEN_ID(GEN_RECIBOS_ID, 1), 'ANA', 10, CURRENT_DATE, 'PAGAMENTO');\n"
                       "INSERT INTO RECIBOS (ID_RECIBO, EMITENTE, VALOR, DATA, TIPO) "
                       "VALUES (GEN_ID(GEN_RECIBOS_ID, 1), 'BRUNO', 20, CURRENT_DATE, 'PAGAMENTO');\nCOMMIT;\n");
        QCOMPARE(query(database, QStringLiteral("SELECT COUNT(*) AS N FROM RECIBOS")).value(0).value(QStringLiteral("N")),
                 QStringLiteral("2"));

        ProgramDriver driver;
        STEP(driver.start(QStringLiteral(PROGRAM_PATH), home.path(), ProgramDriver::desktop(home.path(), QStringLiteral(DRIVER_PLUGIN_DIR))));
        STEP(driver.click(QStringLiteral("FRprincipal/Image3")));
        STEP(driver.waitForText(QStringLiteral("FRrecibo/DBemitente"), QStringLiteral("BRUNO")));
        STEP(driver.click(QStringLiteral("FRrecibo/BTexcluir")));
        STEP(driver.click(QStringLiteral("FRmensagem10/FlatButton1")));
        STEP(driver.click(QStringLiteral("FRmensagem8/FlatButton1")));
        STEP(driver.click(QStringLiteral("FRrecibo/BTsair")));
        STEP(driver.click(QStringLiteral("FRprincipal/Image1")));
        int exitCode = -1;
        STEP(driver.waitForExit(exitCode));
        QCOMPARE(exitCode, 0);

        const QList<ListedRow> left = query(database, QStringLiteral("SELECT EMITENTE FROM RECIBOS"));
        QCOMPARE(left.size(), 1);
        QCOMPARE(left[0].value(QStringLiteral("EMITENTE")), QStringLiteral("ANA"));
    }
};

QTEST_GUILESS_MAIN(TstWorkingDay)
#include "tst_workingday.moc"
