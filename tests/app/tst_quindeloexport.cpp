#include "common/PdfText.h"
#include "common/TempDatabase.h"

#include "data/Statement.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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
    void databaseFromEnvironment();
    void fullDiskIsToldInPortuguese();

private:
    struct Result
    {
        int exitCode = -1;
        QString errors;
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
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
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

QTEST_MAIN(TstQuindeloExport)
#include "tst_quindeloexport.moc"
