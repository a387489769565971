#include "common/PdfText.h"
#include "common/Spreadsheet.h"
#include "common/TempDatabase.h"

#include "common/FirebirdTools.h"

#include "data/DatabaseError.h"
#include "data/Statement.h"
#include "maintenance/DatabaseBackup.h"

#include <QBuffer>
#include <QFile>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// Runs the built quindelo-export on a database of its own.
class TstQuindeloExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exports_data();
    void exports();
    void failures_data();
    void failures();
    void spreadsheets_data();
    void spreadsheets();
    void databaseFromEnvironment();
    void restoresABackup();
    void restoreFailures_data();
    void restoreFailures();
    void fullDiskIsToldInPortuguese();

private:
    struct Result
    {
        int exitCode = -1;
        QString errors;
        QString output;
    };
    Result runExport(const QStringList &arguments, const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    QString out(const QString &name) const { return m_out.filePath(name); }
    QStringList outputFiles() const { return QDir(m_out.path()).entryList(QDir::Files); }

    QTemporaryDir m_locks;
    std::unique_ptr<TempDatabase> m_database;
    QTemporaryDir m_out;
};

void TstQuindeloExport::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    qputenv("FIREBIRD_LOCK", m_locks.path().toLocal8Bit());
    m_database = std::make_unique<TempDatabase>();
    // The connection closes before the command runs: one process per database file.
    Module module(m_database->path());
    DataModule &dm = module.dm;
    dm.Base.open();
    PreparedStatement insert(dm.Base,
                             QStringLiteral("insert into RECIBOS (ID_RECIBO, EMITENTE, CLIENTE, VALOR, TIPO, LOCAL, "
                                            "DATARECIBO, REFERENTE, CPFCNPJEMITENTE, CPFCNPJCLIENTE) values "
                                            "(:ID, :EMITENTE, 'Oficina Modelo', :VALOR, :TIPO, 'São Paulo', "
                                            "'05 de março de 2026', 'Serviços', '123.456.789-01', '12.345.678/0001-99')"));
    insert.execute(dm.Tra, QVariantList{7, QStringLiteral("Maria Souza"), QVariant::fromValue(Numeric{123450, -2}),
                                        QStringLiteral("RECEBIMENTO")});
    insert.execute(dm.Tra, QVariantList{8, QStringLiteral("João Lima"), QVariant::fromValue(Numeric{50, -2}),
                                        QStringLiteral("PAGAMENTO")});
    QImage logo(60, 20, QImage::Format_RGB32);
    logo.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "PNG");
    PreparedStatement(dm.Base, QStringLiteral("insert into EMITENTE (ID_EMITENTE, EMITENTE, FOTO_MARC) values (1, 'Oficina Modelo', :FOTO)"))
        .execute(dm.Tra, QVariantList{bytes});
    // A year of one party's receipts, one of them typed without the document.
    PreparedStatement dated(dm.Base, QStringLiteral("insert into RECIBOS (ID_RECIBO, EMITENTE, CPFCNPJEMITENTE, VALOR, "
                                                    "TIPO, DATA, REFERENTE) values (:ID, 'ANA PAZ', :DOC, :VALOR, "
                                                    ":TIPO, :DATA, 'SESSÃO')"));
    dated.execute(dm.Tra, QVariantList{20, "111.222.333-44", QVariant::fromValue(Numeric{10000, -2}),
                                       QStringLiteral("RECEBIMENTO"), QDate(2025, 5, 10)});
    dated.execute(dm.Tra, QVariantList{21, QVariant(), QVariant::fromValue(Numeric{5000, -2}),
                                       QStringLiteral("RECEBIMENTO"), QDate(2025, 6, 10)});
    dated.execute(dm.Tra, QVariantList{22, "11122233344", QVariant::fromValue(Numeric{3000, -2}),
                                       QStringLiteral("PAGAMENTO"), QDate(2025, 6, 30)});
    dm.Tra.commitRetaining();
}

TstQuindeloExport::Result TstQuindeloExport::runExport(const QStringList &arguments,
                                                        const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(EXPORT_PATH), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError()),
            QString::fromUtf8(process.readAllStandardOutput())};
}

void TstQuindeloExport::exports_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("pageTexts"); // words each PDF page must hold

    QTest::newRow("one receipt")
        << QStringList{"recibo", "7", "-o", "um.pdf"} << QStringList{"um.pdf"}
        << QStringList{"1.234,50 Maria Souza 123.456.789-01"};
    QTest::newRow("two receipts, one page each")
        << QStringList{"recibo", "7", "8", "-o", "dois.pdf"} << QStringList{"dois.pdf"}
        << QStringList{"1.234,50", "0,50 Oficina Modelo 12.345.678/0001-99"};
    QTest::newRow("two per sheet")
        << QStringList{"recibo", "--duas-vias", "7", "-o", "vias.pdf"} << QStringList{"vias.pdf"}
        << QStringList{"1.234,50 Maria Souza 123.456.789-01 1.234,50 Maria Souza 123.456.789-01"};
    QTest::newRow("jpeg, one page") << QStringList{"recibo", "7", "-o", "um.jpg"} << QStringList{"um.jpg"}
                                    << QStringList{};
    QTest::newRow("jpeg, a file per page") << QStringList{"recibo", "7", "8", "-o", "pag.jpg"}
                                           << QStringList{"pag-1.jpg", "pag-2.jpg"} << QStringList{};
    QTest::newRow("statement by unpunctuated document")
        << QStringList{"declaracao", "2025", "--cpfcnpj", "11122233344", "-o", "d.pdf"} << QStringList{"d.pdf"}
        << QStringList{"DECLARAÇÃO recebemos ANA PAZ, 111.222.333-44, 2025, 20 21 (recibo sem CPF/CNPJ) 150,00"};
    QTest::newRow("statement of payments by name")
        << QStringList{"declaracao", "2025", "--nome", "ana paz", "--tipo", "PAGAMENTO", "-o", "p.pdf"}
        << QStringList{"p.pdf"} << QStringList{"pagamos ANA PAZ, 11122233344, 22 30,00"};
    QTest::newRow("statement, apostrophe in the name")
        << QStringList{"declaracao", "2025", "--nome", "JOSÉ D'ÁVILA", "-o", "a.pdf"} << QStringList{"a.pdf"}
        << QStringList{"D'ÁVILA, Nenhum recibo encontrado R$ 0,00"};
    QTest::newRow("period, pdf asked for")
        << QStringList{"periodo", "2025-01-01", "2025-12-31", "--formato", "pdf", "-o", "t.pdf"} << QStringList{"t.pdf"}
        << QStringList{"Todos os Recibos 20 21 22 180,00"};
}

void TstQuindeloExport::exports()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, files);
    QFETCH(QStringList, pageTexts);
    arguments.last() = out(arguments.last());
    const Result result = runExport(arguments << QStringLiteral("--banco") << m_database->path());
    QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
    for (const QString &file : files)
        QVERIFY2(outputFiles().contains(file), qPrintable(outputFiles().join(' ')));
    if (files.first().endsWith(QLatin1String(".jpg"))) {
        for (const QString &file : files) {
            const QImage page(out(file));
            QCOMPARE(page.size(), QSize(794, 1123));
        }
    } else {
        const QVector<PdfPage> pages = readPdf(out(files.first()));
        QCOMPARE(pages.size(), pageTexts.size());
        for (int p = 0; p < pages.size(); ++p) {
            const QString text = pages[p].text();
            for (const QString &word : pageTexts[p].split(' '))
                QVERIFY2(text.contains(word), qPrintable(word + " not in: " + text));
        }
    }
    for (const QString &file : outputFiles())
        QFile::remove(out(file));
}

void TstQuindeloExport::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing receipt") << QStringList{"recibo", "7", "99", "-o", "@x.pdf"} << "Recibo 99 não encontrado.";
    QTest::newRow("missing receipt, jpeg") << QStringList{"recibo", "99", "-o", "@x.jpg"} << "Recibo 99 não encontrado.";
    QTest::newRow("not a number") << QStringList{"recibo", "sete", "-o", "@x.pdf"} << "Número de recibo inválido: sete";
    QTest::newRow("no receipt") << QStringList{"recibo", "-o", "@x.pdf"} << "ao menos um recibo";
    QTest::newRow("no output") << QStringList{"recibo", "7"} << "-o SAIDA";
    QTest::newRow("other format") << QStringList{"recibo", "7", "-o", "@x.png"} << "terminar em .pdf ou .jpg";
    QTest::newRow("unwritable folder") << QStringList{"recibo", "7", "-o", "@nada/x.pdf"} << "Não foi possível gravar o arquivo";
    QTest::newRow("unknown option") << QStringList{"recibo", "7", "--tres-vias", "-o", "@x.pdf"}
                                    << "Opção desconhecida: --tres-vias";
    QTest::newRow("unknown command") << QStringList{"extrato", "-o", "@x.pdf"} << "Comando desconhecido: extrato";
    QTest::newRow("nothing") << QStringList{} << "Uso:";
    QTest::newRow("year not a number") << QStringList{"declaracao", "dois mil", "--nome", "A", "-o", "@x.pdf"}
                                       << "Ano inválido: dois mil";
    QTest::newRow("year too early") << QStringList{"mensal", "1899", "-o", "@x.csv"} << "Ano inválido: 1899";
    QTest::newRow("no party") << QStringList{"declaracao", "2025", "-o", "@x.pdf"} << "um dos dois";
    QTest::newRow("both parties") << QStringList{"declaracao", "2025", "--nome", "A", "--cpfcnpj", "1", "-o", "@x.pdf"}
                                  << "um dos dois";
    QTest::newRow("statement kind") << QStringList{"declaracao", "2025", "--nome", "A", "--tipo", "DOAÇÃO", "-o", "@x.pdf"}
                                    << "Tipo inválido: DOAÇÃO";
    QTest::newRow("statement not pdf") << QStringList{"declaracao", "2025", "--nome", "A", "-o", "@x.jpg"}
                                       << "terminar em .pdf";
    QTest::newRow("statement unwritable") << QStringList{"declaracao", "2025", "--nome", "ANA PAZ", "-o", "@nada/x.pdf"}
                                          << "Não foi possível gravar";
    QTest::newRow("monthly not csv") << QStringList{"mensal", "2025", "-o", "@x.xlsx"} << "terminar em .csv";
    QTest::newRow("monthly unwritable") << QStringList{"mensal", "2025", "-o", "@nada/x.csv"} << "Não foi possível gravar";
    QTest::newRow("unknown format") << QStringList{"periodo", "2025-01-01", "2025-12-31", "--formato", "ods", "-o", "@x.ods"}
                                    << "Formato inválido: ods";
    QTest::newRow("format against extension")
        << QStringList{"periodo", "2025-01-01", "2025-12-31", "--formato", "csv", "-o", "@x.pdf"} << "não é do formato csv";
    QTest::newRow("unknown extension") << QStringList{"periodo", "2025-01-01", "2025-12-31", "-o", "@x.txt"}
                                       << "terminar em .pdf, .jpg, .csv ou .xlsx";
    QTest::newRow("spreadsheet unwritable") << QStringList{"periodo", "2025-01-01", "2025-12-31", "-o", "@nada/x.xlsx"}
                                            << "Não foi possível gravar";
    QTest::newRow("missing database") << QStringList{"recibo", "7", "-o", "@x.pdf", "--banco", "@nenhum.fdb"}
                                      << "Banco de dados não encontrado";
}

void TstQuindeloExport::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    if (!arguments.contains(QStringLiteral("--banco")))
        arguments << QStringLiteral("--banco") << m_database->path();
    for (QString &argument : arguments) {
        if (argument.startsWith(QLatin1Char('@')))
            argument = out(argument.mid(1));
    }
    const Result result = runExport(arguments);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.errors.contains(message), qPrintable(result.errors));
    // The system's reason comes in Portuguese too.
    QVERIFY2(!result.errors.contains(QStringLiteral("No such file")), qPrintable(result.errors));
    QCOMPARE(outputFiles(), QStringList());
}

void TstQuindeloExport::fullDiskIsToldInPortuguese()
{
    // The page is written under a temporary name first: that name leads to a device that is always full.
    const QString output = out(QStringLiteral("cheio.jpg"));
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), output + QStringLiteral(".parcial")));
    const Result result = runExport({QStringLiteral("recibo"), QStringLiteral("7"), QStringLiteral("-o"), output,
                                     QStringLiteral("--banco"), m_database->path()});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.errors.contains(QStringLiteral("Não foi possível gravar o arquivo %1: ").arg(output))
                 && result.errors.contains(QStringLiteral("espaço")),
             qPrintable(result.errors));
    QCOMPARE(outputFiles(), QStringList());
}

void TstQuindeloExport::spreadsheets_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("rows"); // CSV lines; for XLSX each row's first and last cells

    QStringList months{QStringLiteral("Mês;Recibos;Total")};
    for (int m = 1; m <= 12; ++m)
        months << QStringLiteral("%1/2025;0;0,00").arg(m, 2, 10, QLatin1Char('0'));
    months[5] = QStringLiteral("05/2025;1;100,00");
    months[6] = QStringLiteral("06/2025;1;50,00");
    QTest::newRow("monthly totals") << QStringList{"mensal", "2025", "-o", "m.csv"} << months;
    months.replace(6, QStringLiteral("06/2025;1;30,00"));
    months.replace(5, QStringLiteral("05/2025;0;0,00"));
    QTest::newRow("monthly payments") << QStringList{"mensal", "2025", "--tipo", "PAGAMENTO", "-o", "m.csv"} << months;
    QTest::newRow("period as csv by extension")
        << QStringList{"periodo", "2025-06-01", "2025-06-30", "--tipo", "RECEBIMENTO", "-o", "r.CSV"}
        << QStringList{"Nº Recibo;Data;Tipo;Nome ou Razão Social;CPF/CNPJ;Referente;Valor",
                       "21;10/06/2025;RECEBIMENTO;ANA PAZ;;SESSÃO;50,00"};
    QTest::newRow("period as xlsx, format asked for")
        << QStringList{"periodo", "2025-01-01", "2025-12-31", "--formato", "xlsx", "-o", "t.xlsx"}
        << QStringList{"Nº Recibo Valor", "20 100", "21 50", "22 30", "Total =SUM(G2:G4)"};
}

void TstQuindeloExport::spreadsheets()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, rows);
    const QString file = out(arguments.last());
    arguments.last() = file;
    const Result result = runExport(arguments << QStringLiteral("--banco") << m_database->path());
    QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
    QStringList read;
    if (arguments.contains(QStringLiteral("xlsx"))) {
        const XlsxSheet sheet = readXlsx(file);
        for (const QVector<XlsxCell> &row : sheet.rows) {
            QVERIFY(!row.isEmpty());
            read << row.first().value + QLatin1Char(' ') + row.last().value;
        }
        QCOMPARE(read.size(), rows.size());
        // The rows come as the database returns them.
        std::sort(read.begin() + 1, read.end() - 1);
    } else {
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        read = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(read.takeLast(), QString());
    }
    QCOMPARE(read, rows);
    QFile::remove(file);
}

void TstQuindeloExport::databaseFromEnvironment()
{
    // Without --banco and without Arquivo.ini the command looks in QUINDELO_HOME.
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUINDELO_HOME"), home.path());
    Result result = runExport({QStringLiteral("recibo"), QStringLiteral("7"), QStringLiteral("-o"), out(QStringLiteral("h.pdf"))},
                              environment);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.errors.contains(QDir(home.path()).filePath(QStringLiteral("QUINDELO.FDB"))), qPrintable(result.errors));

    QVERIFY(QFile::copy(m_database->path(), QDir(home.path()).filePath(QStringLiteral("QUINDELO.FDB"))));
    result = runExport({QStringLiteral("recibo"), QStringLiteral("8"), QStringLiteral("-o"), out(QStringLiteral("h.pdf"))},
                       environment);
    QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
    QCOMPARE(readPdf(out(QStringLiteral("h.pdf"))).size(), 1);
    QFile::remove(out(QStringLiteral("h.pdf")));
}

namespace {

const QByteArray kReceipts = "set list on; select count(*) RECIBOS from RECIBOS;";

// A backup of the database through the program's code; empty when it worked.
QString backUp(const QString &database, const QString &file)
{
    try {
        DatabaseBackup(DatabaseBackup::kServiceUser, DatabaseBackup::kServicePassword).run(database, file);
    } catch (const DatabaseError &error) {
        return error.message();
    }
    return QString();
}

} // namespace

void TstQuindeloExport::restoresABackup()
{
    TempDatabase db;
    const QDir folder(db.folder());
    QVERIFY(QFile::copy(m_database->path(), db.path() + QStringLiteral(".copia")));
    QVERIFY(QFile::remove(db.path()) && QFile::rename(db.path() + QStringLiteral(".copia"), db.path()));
    const QString file = folder.filePath(QStringLiteral("R.gbk"));
    const QString backupError = backUp(db.path(), file);
    QVERIFY2(backupError.isEmpty(), qPrintable(backupError));
    const QString before = isql(db.path(), kReceipts);
    QVERIFY2(before.contains(QRegularExpression(QStringLiteral("RECIBOS\\s+[1-9]"))), qPrintable(before));
    isql(db.path(), "delete from RECIBOS; commit;");

    const Result result = runExport({QStringLiteral("restaurar"), file, QStringLiteral("--banco"), db.path()});
    QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
    QCOMPARE(isql(db.path(), kReceipts), before);
    const QStringList kept = folder.entryList({QStringLiteral("QUINDELO-antes-da-restauracao-*.FDB")});
    QCOMPARE(kept.size(), 1);
    QVERIFY2(result.output.contains(folder.filePath(kept.first())), qPrintable(result.output));
    QCOMPARE(QDir(folder.filePath(QStringLiteral("Backup"))).entryList({QStringLiteral("*-antes-da-restauracao.gbk")}).size(), 1);
}

void TstQuindeloExport::restoreFailures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("no file") << QStringList{"restaurar"} << "Indique um arquivo de backup";
    QTest::newRow("missing file") << QStringList{"restaurar", "@nenhum.gbk"} << "Arquivo de backup não encontrado";
    QTest::newRow("not a backup") << QStringList{"restaurar", "@texto.gbk"} << "Tente novamente\nA restauração de texto.gbk não foi feita. O arquivo não é um backup do Firebird";
    QTest::newRow("with -o") << QStringList{"restaurar", "@texto.gbk", "-o", "@x.pdf"} << "não grava arquivo de saída";
}

void TstQuindeloExport::restoreFailures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    TempDatabase db;
    const QDir folder(db.folder());
    QVERIFY(QFile(folder.filePath(QStringLiteral("texto.gbk"))).open(QIODevice::WriteOnly));
    for (QString &argument : arguments) {
        if (argument.startsWith(QLatin1Char('@')))
            argument = folder.filePath(argument.mid(1));
    }
    const Result result = runExport(arguments << QStringLiteral("--banco") << db.path());
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.errors.contains(message), qPrintable(result.errors));
    QCOMPARE(folder.entryList(QDir::Files), (QStringList{QStringLiteral("QUINDELO.FDB"), QStringLiteral("texto.gbk")}));
}

QTEST_MAIN(TstQuindeloExport)
#include "tst_quindeloexport.moc"
