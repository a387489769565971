#include "ChildProcess.h"
#include "common/FirebirdTools.h"
#include "common/TempDatabase.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "data/ErrorText.h"
#include "data/Datamodule1.h"
#include "data/Statement.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QStringList idsOf(Dataset &dataset)
{
    QStringList ids;
    dataset.first();
    while (!dataset.eof()) {
        ids << dataset.fields().front()->asString();
        dataset.next();
    }
    return ids;
}

long residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLong() * 4;
}

QStringList clientNames(Dataset &dataset)
{
    QStringList names;
    for (dataset.first(); !dataset.eof(); dataset.next())
        names << dataset.fieldByName(QStringLiteral("CLIENTE")).asString();
    return names;
}

// A TCP port on 127.0.0.1 whose connections the kernel accepts and nobody ever answers.
class SilentListener
{
public:
    SilentListener()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_socket >= 0 && ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) == 0 && ::listen(m_socket, 4) == 0
            && ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~SilentListener()
    {
        if (m_socket >= 0)
            ::close(m_socket);
    }
    int port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
};
// The clients the entering tests look through, by name with equal names and
// names missing: their keys are 1..10 in this order.
const char *const kEnteredClients[] = {"BIA", nullptr, "ANA", "BIA", "CAIO", nullptr, "BIA", "DANI", "ANA", "EVA"};

void fillEnteredClients(DataModule &dm)
{
    for (const char *name : kEnteredClients)
        addCliente(dm, name ? QString::fromLatin1(name) : QString());
}

const QStringList kNewestFirst{QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO DESC")};
const QStringList kByName{QStringLiteral("SELECT * FROM CLIENTES"), QStringLiteral("ORDER BY CLIENTE")};

ListEntries recibosEntries()
{
    ListEntries entries;
    entries.keyField = QStringLiteral("ID_RECIBO");
    entries.reversed = QStringList{QStringLiteral("SELECT * FROM RECIBOS ORDER BY ID_RECIBO")};
    return entries;
}

ListEntries clientesEntries()
{
    ListEntries entries;
    entries.keyField = QStringLiteral("ID_CLIENTE");
    entries.row = QStringList{QStringLiteral("SELECT * FROM CLIENTES WHERE ID_CLIENTE = :KEY")};
    entries.fromRow = QStringList{QStringLiteral("SELECT * FROM CLIENTES WHERE CLIENTE >= :CLIENTE ORDER BY CLIENTE")};
    return entries;
}

// What a screen sees while it works on from the current row, one letter a step:
// n next, d delete, i insert and post, f three rows more, l last. The trace holds
// the current key after each step and then every key of the list in its order.
QStringList walkFrom(Dataset &dataset, const QString &steps)
{
    const Field &key = *dataset.fields().front();
    const auto current = [&] { return dataset.recNo() < 0 ? QStringLiteral("-") : key.asString(); };
    QStringList trace{current()};
    for (const QChar step : steps) {
        if (step == QLatin1Char('n')) {
            dataset.next();
        } else if (step == QLatin1Char('d')) {
            dataset.remove();
        } else if (step == QLatin1Char('i')) {
            dataset.insert();
            dataset.post();
        } else if (step == QLatin1Char('f')) {
            dataset.fetchMore(3);
        } else if (step == QLatin1Char('l')) {
            dataset.last();
        }
        trace << current();
    }
    trace << QStringLiteral("|") << idsOf(dataset);
    return trace;
}

// The monitoring number of this attachment's statement whose text holds `marker`.
QVariant statementIdOf(DataModule &dm, const QString &marker)
{
    Transaction probe;
    probe.setDefaultDatabase(&dm.Base);
    probe.setParams({QStringLiteral("read_committed"), QStringLiteral("read")});
    probe.startTransaction();
    const Row row = PreparedStatement(dm.Base, QStringLiteral(
        "select first 1 MON$STATEMENT_ID from MON$STATEMENTS where MON$ATTACHMENT_ID = current_connection "
        "and MON$SQL_TEXT containing :MARKER and MON$SQL_TEXT not containing 'MON$'")).execute(probe, QVariantList{marker});
    probe.commit();
    return row.value(0);
}

qint64 pageFetchesOf(DataModule &dm)
{
    // A fresh transaction, so the monitoring snapshot is a new one.
    Transaction probe;
    probe.setDefaultDatabase(&dm.Base);
    probe.setParams({QStringLiteral("read_committed"), QStringLiteral("read")});
    probe.startTransaction();
    const Row row = PreparedStatement(dm.Base, QStringLiteral(
        "select s.MON$PAGE_FETCHES from MON$IO_STATS s join MON$ATTACHMENTS a on a.MON$STAT_ID = s.MON$STAT_ID "
        "where a.MON$ATTACHMENT_ID = current_connection")).execute(probe);
    probe.commit();
    return row.value(0).toLongLong();
}

// Every signal of a dataset, in order, as "name(args)".
class SignalLog : public QObject
{
public:
    QStringList entries;
    explicit SignalLog(Dataset &d)
    {
        connect(&d, &Dataset::aboutToReset, this, [this] { entries << "aboutToReset"; });
        connect(&d, &Dataset::reset, this, [this] { entries << "reset"; });
        connect(&d, &Dataset::rowsAboutToBeFetched, this, [this, &d](int f, int l) {
            entries << QStringLiteral("aboutToFetch(%1,%2) rows=%3").arg(f).arg(l).arg(d.rowCount());
        });
        connect(&d, &Dataset::rowsFetched, this, [this, &d](int f, int l) {
            entries << QStringLiteral("fetched(%1,%2) rows=%3").arg(f).arg(l).arg(d.rowCount());
        });
        connect(&d, &Dataset::rowAboutToBeInserted, this, [this, &d](int r) {
            entries << QStringLiteral("aboutToInsert(%1) rows=%2").arg(r).arg(d.rowCount());
        });
        connect(&d, &Dataset::rowInserted, this, [this, &d](int r) {
            entries << QStringLiteral("inserted(%1) rows=%2").arg(r).arg(d.rowCount());
        });
        connect(&d, &Dataset::rowAboutToBeRemoved, this, [this, &d](int r) {
            entries << QStringLiteral("aboutToRemove(%1) rows=%2").arg(r).arg(d.rowCount());
        });
        connect(&d, &Dataset::rowRemoved, this, [this, &d](int r) {
            entries << QStringLiteral("removed(%1) rows=%2").arg(r).arg(d.rowCount());
        });
        connect(&d, &Dataset::rowUpdated, this, [this](int r) { entries << QStringLiteral("updated(%1)").arg(r); });
        connect(&d, &Dataset::currentChanged, this, [this](int r) { entries << QStringLiteral("current(%1)").arg(r); });
        connect(&d, &Dataset::fieldChanged, this, [this](int f) { entries << QStringLiteral("field(%1)").arg(f); });
    }
    QStringList take() { return std::exchange(entries, {}); }
    QStringList structural() const
    {
        QStringList kept;
        for (const QString &e : entries) {
            if (!e.startsWith(QLatin1String("current")) && !e.startsWith(QLatin1String("field")))
                kept << e;
        }
        return kept;
    }
};

} // namespace

class TstDataset : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void opensOnDemandAndReadsLookupTables()
    {
        TempDatabase db;
        Module m(db.path());
        QVERIFY(!m.dm.Base.connected());
        m.dm.Tipo.requery({QStringLiteral("SELECT * FROM TIPO"), QStringLiteral("ORDER BY ID_TIPO")});
        QVERIFY(m.dm.Base.connected());
        QVERIFY(m.dm.Tra.inTransaction());
        QCOMPARE(idsOf(m.dm.Tipo), (QStringList{"1", "2"}));
        m.dm.Tipo.first();
        QCOMPARE(m.dm.Tipo.fieldByName(QStringLiteral("TIPO")).asString(), QStringLiteral("PAGAMENTO"));
        m.dm.Tipo2.open();
        QVERIFY(m.dm.Tipo2.locate(QStringLiteral("TIPO2"), QStringLiteral("FÍSICA")));
    }

    void rowsAreFetchedAsNeeded()
    {
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, 2500);
        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO DESC")});
        QCOMPARE(m.dm.Recibos.rowCount(), 1);
        QCOMPARE(m.dm.Recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger(), 2500);
        m.dm.Recibos.moveTo(99);
        QCOMPARE(m.dm.Recibos.rowCount(), 100);
        QCOMPARE(m.dm.Recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger(), 2401);
        QVERIFY(!m.dm.Recibos.allFetched());
        m.dm.Recibos.last();
        QCOMPARE(m.dm.Recibos.rowCount(), 2500);
        QCOMPARE(m.dm.Recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger(), 1);
    }

    void commitRetainingKeepsDatasetAndCurrentRow()
    {
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, 50);
        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
        m.dm.Recibos.moveTo(9);
        m.dm.Recibos.edit();
        m.dm.Recibos.fieldByName(QStringLiteral("REFERENTE")).setValue(QStringLiteral("aluguel"));
        m.dm.Recibos.post();
        m.dm.Tra.commitRetaining();
        QVERIFY(m.dm.Recibos.active());
        QCOMPARE(m.dm.Recibos.recNo(), 9);
        QCOMPARE(m.dm.Recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger(), 10);
        QCOMPARE(m.dm.Recibos.fieldByName(QStringLiteral("REFERENTE")).asString(), QStringLiteral("aluguel"));
        // The open cursor goes on delivering the rows it had not reached.
        m.dm.Recibos.last();
        QCOMPARE(m.dm.Recibos.rowCount(), 50);
    }

    void newRowsAreNotFetchedTwice()
    {
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, 5);
        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
        m.dm.Recibos.insert();
        m.dm.Recibos.post();
        m.dm.Tra.commitRetaining();
        QCOMPARE(idsOf(m.dm.Recibos), (QStringList{"6", "1", "2", "3", "4", "5"}));
    }

    void generatorNumbersAreConsecutiveAndFailedPostsLeaveGaps_data()
    {
        QTest::addColumn<QString>("badName");
        QTest::addColumn<QString>("expectedMessage");
        QTest::newRow("too long") << QString(51, QLatin1Char('x')) << "o campo aceita no máximo 50";
        QTest::newRow("not in WIN1252") << "Łukasz" << "CLIENTE";
    }

    void generatorNumbersAreConsecutiveAndFailedPostsLeaveGaps()
    {
        QFETCH(QString, badName);
        QFETCH(QString, expectedMessage);
        TempDatabase db;
        Module m(db.path());
        Dataset &clientes = m.dm.Clientes;
        const int first = addCliente(m.dm, QString());
        QCOMPARE(addCliente(m.dm, QStringLiteral("B")), first + 1);

        clientes.insert();
        clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(badName);
        clientes.fieldByName(QStringLiteral("CIDADE")).setValue(QStringLiteral("Recife"));
        try {
            clientes.post();
            QFAIL("the post was accepted");
        } catch (const DatabaseError &error) {
            QVERIFY2(error.message().contains(expectedMessage), qPrintable(error.message()));
        }
        QCOMPARE(clientes.state(), Dataset::State::Insert);
        QCOMPARE(clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), badName);
        QCOMPARE(clientes.fieldByName(QStringLiteral("CIDADE")).asString(), QStringLiteral("Recife"));
        clientes.cancel();
        QCOMPARE(addCliente(m.dm, QStringLiteral("C")), first + 3);

        Module other(db.path());
        other.dm.Clientes.requery({QStringLiteral("SELECT * FROM CLIENTES"), QStringLiteral("ORDER BY ID_CLIENTE")});
        QCOMPARE(idsOf(other.dm.Clientes), (QStringList{QString::number(first), QString::number(first + 1),
                                                         QString::number(first + 3)}));
    }

    void win1252RoundTrip()
    {
        const QStringList texts{QStringLiteral("FÍSICA"), QStringLiteral("Cinqüenta"), QStringLiteral("São Paulo"),
                                QStringLiteral("€ 10")};
        TempDatabase db;
        {
            Module m(db.path());
            for (const QString &text : texts)
                addCliente(m.dm, text);
        }
        {
            Module m(db.path());
            m.dm.Clientes.requery({QStringLiteral("SELECT * FROM CLIENTES"), QStringLiteral("ORDER BY ID_CLIENTE")});
            QStringList read;
            for (m.dm.Clientes.first(); !m.dm.Clientes.eof(); m.dm.Clientes.next())
                read << m.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString();
            QCOMPARE(read, texts);
        }
        // The bytes stored are WIN1252 to other programs too.
        const QString output = isql(db.path(), "set list on; select CLIENTE from CLIENTES order by ID_CLIENTE;\n");
        for (const QString &text : texts)
            QVERIFY2(output.contains(QStringLiteral("CLIENTE ") + text) || output.contains(text), qPrintable(output));
    }

    void unencodableTextWritesNothing()
    {
        TempDatabase db;
        Module m(db.path());
        const int id = addCliente(m.dm, QStringLiteral("Ana"));
        m.dm.Clientes.edit();
        m.dm.Clientes.fieldByName(QStringLiteral("OBS")).setValue(QStringLiteral("paga em 🙂"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, m.dm.Clientes.post());
        QCOMPARE(m.dm.Clientes.state(), Dataset::State::Edit);
        m.dm.Clientes.cancel();
        m.dm.Tra.commitRetaining();
        Module other(db.path());
        other.dm.Clientes.open();
        QVERIFY(other.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), id));
        QVERIFY(other.dm.Clientes.fieldByName(QStringLiteral("OBS")).isNull());
    }

    void editingWritesBlobAndKeyBackUnchanged()
    {
        TempDatabase db;
        QByteArray picture(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(42);
        generator.fillRange(reinterpret_cast<quint32 *>(picture.data()), picture.size() / 4);
        int id = 0;
        {
            Module m(db.path());
            m.dm.Clientes.open();
            m.dm.Clientes.insert();
            m.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("Foto"));
            m.dm.Clientes.fieldByName(QStringLiteral("FOTO_MARC")).setValue(picture);
            m.dm.Clientes.post();
            m.dm.Tra.commitRetaining();
            id = m.dm.Clientes.fieldByName(QStringLiteral("ID_CLIENTE")).asInteger();
        }
        {
            Module m(db.path());
            m.dm.Clientes.open();
            QVERIFY(m.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), id));
            m.dm.Clientes.edit();
            m.dm.Clientes.fieldByName(QStringLiteral("CPF")).setText(QStringLiteral("123.456.789-01"));
            m.dm.Clientes.post();
            m.dm.Tra.commitRetaining();
        }
        Module m(db.path());
        m.dm.Clientes.open();
        QVERIFY(m.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), id));
        QCOMPARE(m.dm.Clientes.fieldByName(QStringLiteral("CPF")).asString(), QStringLiteral("123.456.789-01"));
        QCOMPARE(m.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), QStringLiteral("Foto"));
        QVERIFY(m.dm.Clientes.fieldByName(QStringLiteral("FOTO_MARC")).asBytes() == picture);
    }

    void valueShowsWithRegionalSeparators()
    {
        TempDatabase db;
        {
            Module m(db.path());
            m.dm.Recibos.open();
            m.dm.Recibos.insert();
            m.dm.Recibos.fieldByName(QStringLiteral("VALOR")).setValue(1234.5);
            m.dm.Recibos.fieldByName(QStringLiteral("DATA")).setText(QStringLiteral("15/03/2024"));
            m.dm.Recibos.post();
            m.dm.Tra.commitRetaining();
        }
        Module m(db.path());
        m.dm.Recibos.open();
        const Field &valor = m.dm.Recibos.fieldByName(QStringLiteral("VALOR"));
        QCOMPARE(valor.displayText(), QStringLiteral("1.234,50"));
        QCOMPARE(valor.editText(), QStringLiteral("1.234,50"));
        QCOMPARE(valor.asNumeric().units, 123450);
        QCOMPARE(valor.asString(), QStringLiteral("1234,50"));
        QCOMPARE(m.dm.Recibos.fieldByName(QStringLiteral("DATA")).asDate(), QDate(2024, 3, 15));
        QCOMPARE(m.dm.Recibos.fieldByName(QStringLiteral("DATA")).displayText(), QStringLiteral("15/03/2024"));
        m.dm.Recibos.edit();
        m.dm.Recibos.fieldByName(QStringLiteral("VALOR")).setText(QStringLiteral("9.876.543,21"));
        QCOMPARE(m.dm.Recibos.fieldByName(QStringLiteral("VALOR")).displayText(), QStringLiteral("9.876.543,21"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, m.dm.Recibos.fieldByName(QStringLiteral("VALOR")).setText(QStringLiteral("12,3,4")));
    }

    void typedTextIsStoredInTheColumnsForm_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::newRow("cpf") << "CPF" << "123.456.789-01" << "123.456.789-01";
        QTest::newRow("cpf incomplete") << "CPF" << "123.456.7..-" << "";
        QTest::newRow("cnpj") << "CNPJ" << "12.345.678/0001-90" << "12.345.678/0001-90";
        QTest::newRow("cep") << "CEP" << "12345-678" << "12345-678";
        QTest::newRow("birth date") << "DATANASCIMENTO" << "05/11/1980" << "05/11/1980";
        QTest::newRow("birth date one-digit day") << "DATANASCIMENTO" << " 5/11/1980" << "05/11/1980";
        QTest::newRow("impossible date") << "DATANASCIMENTO" << "31/02/1980" << "";
        QTest::newRow("two-digit year") << "DATANASCIMENTO" << "05/11/80" << "";
    }

    void typedTextIsStoredInTheColumnsForm()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        TempDatabase db;
        Module m(db.path());
        m.dm.Clientes.open();
        m.dm.Clientes.insert();
        Field &target = m.dm.Clientes.fieldByName(field);
        if (stored.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(DatabaseError, target.setText(typed));
            QVERIFY(target.isNull());
            return;
        }
        target.setText(typed);
        m.dm.Clientes.post();
        m.dm.Tra.commitRetaining();
        Module other(db.path());
        other.dm.Clientes.open();
        QCOMPARE(other.dm.Clientes.fieldByName(field).displayText(), stored);
    }

    void deleteIsInvisibleToOthersUntilTheNextSave()
    {
        TempDatabase db;
        Module a(db.path());
        const int doomed = addCliente(a.dm, QStringLiteral("Sai"));
        addCliente(a.dm, QStringLiteral("Fica"));
        Module b(db.path());
        const QStringList lines{QStringLiteral("SELECT * FROM CLIENTES"), QStringLiteral("ORDER BY CLIENTE")};

        QVERIFY(a.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), doomed));
        a.dm.Clientes.remove();
        QVERIFY(!a.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), doomed));
        b.dm.Clientes.requery(lines);
        QVERIFY(b.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), doomed));

        addCliente(a.dm, QStringLiteral("Outro")); // any save commits the deletion with it
        b.dm.Clientes.requery(lines);
        QVERIFY(!b.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), doomed));
    }

    void uncommittedDeleteAtProcessEnd_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::addColumn<bool>("rowIsBack");
        QTest::newRow("normal end commits") << false << false;
        QTest::newRow("killed process loses it") << true << true;
    }

    void uncommittedDeleteAtProcessEnd()
    {
        QFETCH(bool, killed);
        QFETCH(bool, rowIsBack);
        TempDatabase db;
        {
            Module m(db.path());
            fillRecibos(m.dm, 3);
        }
        {
            ChildProcess child(db.path());
            QCOMPARE(child.send(QStringLiteral("delete-recibo 2")), QStringLiteral("ok"));
            if (killed)
                child.kill();
            else
                QCOMPARE(child.finish(), 0);
        }
        Module m(db.path());
        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
        QCOMPARE(idsOf(m.dm.Recibos), rowIsBack ? (QStringList{"1", "2", "3"}) : (QStringList{"1", "3"}));
    }

    void anotherProcessSharesTheOpenDatabase()
    {
        TempDatabase db;
        Module m(db.path());
        const int id = addCliente(m.dm, QStringLiteral("NESTE PROCESSO"));
        ChildProcess child(db.path());
        QCOMPARE(child.send(QStringLiteral("cliente-name %1").arg(id)), QStringLiteral("ok NESTE PROCESSO"));
        QCOMPARE(child.send(QStringLiteral("rename-cliente %1 NO OUTRO").arg(id)), QStringLiteral("ok"));
        QCOMPARE(child.send(QStringLiteral("commit")), QStringLiteral("ok"));
        QCOMPARE(child.finish(), 0);
        m.dm.Clientes.close();
        m.dm.Clientes.open();
        QCOMPARE(m.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), QStringLiteral("NO OUTRO"));
    }

    // An engine that cannot share the file (another lock folder, Super mode) is told so in words.
    void anotherEngineIsToldTheFileIsOpen()
    {
        TempDatabase db;
        Module m(db.path());
        const int id = addCliente(m.dm, QStringLiteral("NESTE PROCESSO"));
        QTemporaryDir lock;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FIREBIRD"), QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0"));
        environment.insert(QStringLiteral("FIREBIRD_LOCK"), lock.path());
        ChildProcess child(db.path(), {}, environment);
        QCOMPARE(child.send(QStringLiteral("cliente-name %1").arg(id)),
                 QStringLiteral("error: O banco de dados já está aberto em outro programa Quindelo. "
                                "Feche o outro programa e tente de novo."));
        QCOMPARE(child.finish(), 0);
        m.dm.Clientes.close();
        m.dm.Clientes.open();
        QCOMPARE(m.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), QStringLiteral("NESTE PROCESSO"));
    }

    void lockedRowFailsAtOnceAndKeepsInput_data()
    {
        QTest::addColumn<bool>("deleting");
        QTest::newRow("post") << false;
        QTest::newRow("delete") << true;
    }

    void lockedRowFailsAtOnceAndKeepsInput()
    {
        QFETCH(bool, deleting);
        TempDatabase db;
        Module a(db.path());
        const int id = addCliente(a.dm, QStringLiteral("Original"));
        Module b(db.path());
        b.dm.Clientes.open();
        QVERIFY(b.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), id));

        a.dm.Clientes.edit();
        a.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("Pela conexão A"));
        a.dm.Clientes.post(); // holds the row, not committed

        try {
            if (deleting) {
                b.dm.Clientes.remove();
            } else {
                b.dm.Clientes.edit();
                b.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("Pela conexão B"));
                b.dm.Clientes.post();
            }
            QFAIL("the locked row was written");
        } catch (const DatabaseError &error) {
            QVERIFY(error.isLockConflict());
            QVERIFY2(error.message().contains(QStringLiteral("update conflicts with concurrent update")),
                     qPrintable(error.message()));
        }
        if (deleting) {
            QCOMPARE(b.dm.Clientes.rowCount(), 1);
        } else {
            QCOMPARE(b.dm.Clientes.state(), Dataset::State::Edit);
            QCOMPARE(b.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), QStringLiteral("Pela conexão B"));
        }
        a.dm.Tra.rollback();
        Module c(db.path());
        c.dm.Clientes.open();
        QCOMPARE(c.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), QStringLiteral("Original"));
    }

    void writingARowAnotherUserDeletedIsAnError()
    {
        TempDatabase db;
        Module a(db.path());
        const int id = addCliente(a.dm, QStringLiteral("Some"));
        Module b(db.path());
        b.dm.Clientes.open();
        QVERIFY(b.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), id));
        a.dm.Clientes.remove();
        a.dm.Tra.commitRetaining();
        b.dm.Clientes.edit();
        b.dm.Clientes.fieldByName(QStringLiteral("OBS")).setValue(QStringLiteral("tarde demais"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, b.dm.Clientes.post());
        QCOMPARE(b.dm.Clientes.state(), Dataset::State::Edit);
    }

    void aChangeCommittedElsewhereIsNeverOverwritten_data()
    {
        QTest::addColumn<QString>("dataset");
        QTest::addColumn<QString>("field");
        QTest::newRow("client") << "Clientes" << "CLIENTE";
        QTest::newRow("receipt") << "Recibos" << "EMITENTE";
        QTest::newRow("issuer") << "Emitente" << "EMITENTE";
    }

    void aChangeCommittedElsewhereIsNeverOverwritten()
    {
        QFETCH(QString, dataset);
        QFETCH(QString, field);
        TempDatabase db;
        Module a(db.path());
        Module b(db.path());
        const auto named = [&](DataModule &dm) -> Dataset & {
            return dataset == QLatin1String("Clientes") ? dm.Clientes : dataset == QLatin1String("Recibos") ? dm.Recibos : dm.Emitente;
        };
        const auto change = [&](DataModule &dm, const QString &text) {
            named(dm).edit();
            named(dm).fieldByName(field).setValue(text);
            named(dm).post();
        };
        Dataset &mine = named(a.dm);
        mine.open();
        mine.insert();
        mine.fieldByName(field).setValue(QStringLiteral("LIDO"));
        mine.post();
        a.dm.Tra.commitRetaining();
        change(a.dm, QStringLiteral("GRAVADO POR A")); // our own saves keep the row's version current
        a.dm.Tra.commitRetaining();
        named(b.dm).open();

        change(b.dm, QStringLiteral("TRAVADO POR B"));
        try {
            change(a.dm, QStringLiteral("DIGITADO POR A"));
            QFAIL("a row another transaction holds was written");
        } catch (const DatabaseError &error) {
            QVERIFY2(error.isLockConflict(), qPrintable(error.message()));
        }
        b.dm.Tra.rollback();
        mine.post(); // the lock is gone and nothing was committed over the row
        a.dm.Tra.commitRetaining();

        named(b.dm).close();
        named(b.dm).open();
        change(b.dm, QStringLiteral("777"));
        b.dm.Tra.commitRetaining();
        try {
            change(a.dm, QStringLiteral("DIGITADO DE NOVO"));
            QFAIL("the change committed elsewhere was overwritten");
        } catch (const DatabaseError &error) {
            QVERIFY(!error.isLockConflict());
            QCOMPARE(error.message(), QStringLiteral("Este registro foi alterado em outra estação depois que você começou a editá-lo.\n"
                                                     "Cancele para ver os dados atuais e digite de novo as suas mudanças."));
        }
        QCOMPARE(mine.state(), Dataset::State::Edit);
        QCOMPARE(mine.fieldByName(field).asString(), QStringLiteral("DIGITADO DE NOVO"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, mine.post());
        a.dm.Tra.commitRetaining();
        Module c(db.path());
        named(c.dm).open();
        QCOMPARE(named(c.dm).fieldByName(field).asString(), QStringLiteral("777"));

        mine.cancel();
        QCOMPARE(mine.fieldByName(field).asString(), QStringLiteral("777"));
        change(a.dm, QStringLiteral("DEPOIS DE VER"));
        a.dm.Tra.commitRetaining();
        named(c.dm).close();
        named(c.dm).open();
        QCOMPARE(named(c.dm).fieldByName(field).asString(), QStringLiteral("DEPOIS DE VER"));
    }

    void aVanishedDatabaseFileTakesNoWrites_data()
    {
        QTest::addColumn<QString>("fate");
        QTest::addColumn<bool>("deleting");
        QTest::newRow("deleted, save") << "deleted" << false;
        QTest::newRow("moved, save") << "moved" << false;
        QTest::newRow("replaced, save") << "replaced" << false;
        QTest::newRow("moved, delete") << "moved" << true;
    }

    void aVanishedDatabaseFileTakesNoWrites()
    {
        QFETCH(QString, fate);
        QFETCH(bool, deleting);
        TempDatabase db;
        Module m(db.path());
        addCliente(m.dm, QStringLiteral("ANTES"));
        const QString away = db.path() + QStringLiteral(".fora");
        if (fate == QLatin1String("deleted"))
            QVERIFY(QFile::remove(db.path()));
        else
            QVERIFY(QFile::rename(db.path(), away));
        if (fate == QLatin1String("replaced"))
            QVERIFY(QFile::copy(away, db.path()));
        try {
            if (deleting) {
                m.dm.Clientes.remove();
            } else {
                m.dm.Clientes.edit();
                m.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("DEPOIS"));
                m.dm.Clientes.post();
            }
            QFAIL("a write into a vanished database file passed for a success");
        } catch (const DatabaseError &error) {
            QCOMPARE(error.message(), QStringLiteral("O arquivo do banco de dados foi apagado ou movido enquanto o programa estava aberto."));
        }
        QCOMPARE(m.dm.Clientes.rowCount(), 1);
    }

    void aServerThatNeverAnswersIsGivenUp()
    {
        SilentListener silent;
        QVERIFY(silent.port() > 0);
        const QString server = QStringLiteral("127.0.0.1/%1").arg(silent.port());
        Module m(server + QStringLiteral(":/tmp/QUINDELO.FDB"));
        try {
            m.dm.Clientes.open();
            QFAIL("a silent server was taken for a database");
        } catch (const DatabaseError &error) {
            const QString shown = errortext::forUser(error);
            QVERIFY2(shown.startsWith(QStringLiteral("Não foi possível conectar ao servidor do banco de dados %1. "
                                                     "Verifique se ele está ligado e acessível pela rede.")
                                          .arg(server)),
                     qPrintable(shown));
        }
        QVERIFY(!m.dm.Base.connected());
    }

    void missingDatabaseFailsThenNextOpeningTriesAgain()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LATER.FDB"));
        Module m(path);
        try {
            m.dm.Clientes.open();
            QFAIL("a missing database opened");
        } catch (const DatabaseError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("LATER.FDB")), qPrintable(error.message()));
        }
        QVERIFY(!m.dm.Base.connected());
        QVERIFY(!m.dm.Clientes.active());
        databasecreator::create(path);
        m.dm.Clientes.open();
        QVERIFY(m.dm.Clientes.active());
    }

    void namedParametersSelectRows_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("several") << "MAR" << QStringList{"MARCOS", "MARIA", "MARTA"};
        QTest::newRow("one") << "MARI" << QStringList{"MARIA"};
        QTest::newRow("quote in the text") << "D'A" << QStringList{"D'AVILA"};
        QTest::newRow("none") << "Z" << QStringList{};
    }

    void namedParametersSelectRows()
    {
        QFETCH(QString, prefix);
        QFETCH(QStringList, names);
        TempDatabase db;
        Module m(db.path());
        for (const char *name : {"MARIA", "ANA", "MARCOS", "D'AVILA", "MARTA"})
            addCliente(m.dm, QLatin1String(name));
        Dataset &clientes = m.dm.Clientes;
        clientes.setParam(QStringLiteral(":texto"), prefix);
        QCOMPARE(clientes.param(QStringLiteral("TEXTO")).toString(), prefix);
        const QStringList lookup{QStringLiteral("SELECT * FROM CLIENTES WHERE CLIENTE STARTING WITH :TEXTO"),
                                 QStringLiteral("ORDER BY CLIENTE")};
        clientes.requery(lookup);
        QCOMPARE(clientNames(clientes), names);
        // Kept through close, open and requery.
        clientes.close();
        clientes.open();
        QCOMPARE(clientNames(clientes), names);
        clientes.requery(lookup);
        QCOMPARE(clientNames(clientes), names);

        clientes.clearParams();
        QVERIFY_THROWS_EXCEPTION(DatabaseError, clientes.requery(lookup));
        QVERIFY(!clientes.active());
    }

    void followersSeeEachChangeOnce_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("open") << "open" << QStringList{"aboutToReset", "reset", "current(0)"};
        QTest::newRow("close") << "close" << QStringList{"aboutToReset", "reset", "current(-1)"};
        QTest::newRow("requery") << "requery" << QStringList{"aboutToReset", "reset", "current(0)"};
        QTest::newRow("fetch") << "fetch" << QStringList{"aboutToFetch(1,3) rows=1", "fetched(1,3) rows=4"};
        QTest::newRow("insert") << "insert" << QStringList{"aboutToInsert(0) rows=1", "inserted(0) rows=2", "current(0)"};
        QTest::newRow("insert and cancel")
            << "cancel" << QStringList{"aboutToInsert(0) rows=1", "inserted(0) rows=2", "current(0)",
                                       "aboutToRemove(0) rows=2", "removed(0) rows=1", "current(0)"};
        QTest::newRow("delete") << "delete"
                                << QStringList{"aboutToRemove(0) rows=1", "removed(0) rows=0",
                                               "aboutToFetch(0,0) rows=0", "fetched(0,0) rows=1", "current(0)"};
        QTest::newRow("edit and post") << "post" << QStringList{"field(1)", "updated(0)"};
    }

    void followersSeeEachChangeOnce()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, expected);
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, 4);
        Dataset &recibos = m.dm.Recibos;
        const QStringList lines{QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")};
        if (action != QLatin1String("open"))
            recibos.requery(lines);
        SignalLog log(recibos);
        if (action == QLatin1String("open")) {
            recibos.setSql(lines);
            recibos.open();
        } else if (action == QLatin1String("close")) {
            recibos.close();
        } else if (action == QLatin1String("requery")) {
            recibos.requery(lines);
        } else if (action == QLatin1String("fetch")) {
            QCOMPARE(recibos.fetchMore(10), 3);
        } else if (action == QLatin1String("insert")) {
            recibos.insert();
        } else if (action == QLatin1String("cancel")) {
            recibos.insert();
            recibos.cancel();
        } else if (action == QLatin1String("delete")) {
            recibos.remove();
        } else if (action == QLatin1String("post")) {
            recibos.edit();
            recibos.fieldByName(QStringLiteral("EMITENTE")).setValue(QStringLiteral("Outro"));
            recibos.post();
        }
        QStringList seen = log.take();
        seen.removeAll(QStringLiteral("state"));
        QCOMPARE(seen, expected);
    }

    void enteringAListAtItsEndKeepsItsRows_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("the oldest current") << "";
        QTest::newRow("no row after it") << "n";
        QTest::newRow("deleted: the one before it") << "dd";
        QTest::newRow("new row before it") << "i";
        QTest::newRow("rows read as a grid scrolls") << "fff";
        QTest::newRow("deleted after the rest was read") << "ld";
    }

    void enteringAListAtItsEndKeepsItsRows()
    {
        QFETCH(QString, steps);
        TempDatabase entered;
        Module a(entered.path());
        fillRecibos(a.dm, 30);
        a.dm.Recibos.requeryAtLast(kNewestFirst, recibosEntries());
        QVERIFY(a.dm.Recibos.rowCount() < 30);
        QVERIFY(a.dm.Recibos.eof());

        TempDatabase read;
        Module b(read.path());
        fillRecibos(b.dm, 30);
        b.dm.Recibos.requery(kNewestFirst);
        b.dm.Recibos.last();
        QCOMPARE(walkFrom(a.dm.Recibos, steps), walkFrom(b.dm.Recibos, steps));
    }

    void enteringAListAtARowKeepsItsRows_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("partly");
        QTest::newRow("among equal names") << 4 << true << "nnn" << true;
        QTest::newRow("the last of equal names, deleted") << 7 << true << "dn" << true;
        QTest::newRow("the last by name, deleted: the one before it") << 10 << true << "d" << true;
        QTest::newRow("new row before it") << 8 << true << "in" << true;
        QTest::newRow("rows read as a grid scrolls") << 5 << true << "ffn" << true;
        // Sorted before every name, it is sought from the top.
        QTest::newRow("without a name") << 6 << true << "n" << false;
        QTest::newRow("the first by name") << 2 << true << "n" << true;
        QTest::newRow("no such client: the first by name") << 0 << false << "n" << true;
    }

    void enteringAListAtARowKeepsItsRows()
    {
        QFETCH(int, key);
        QFETCH(bool, found);
        QFETCH(QString, steps);
        QFETCH(bool, partly);
        TempDatabase entered;
        Module a(entered.path());
        fillEnteredClients(a.dm);
        QCOMPARE(a.dm.Clientes.requeryAtKey(kByName, clientesEntries(), key), found);
        QCOMPARE(a.dm.Clientes.rowCount() < 10, partly);

        TempDatabase read;
        Module b(read.path());
        fillEnteredClients(b.dm);
        b.dm.Clientes.requery(kByName);
        QCOMPARE(b.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), key), found);
        QCOMPARE(walkFrom(a.dm.Clientes, steps), walkFrom(b.dm.Clientes, steps));
    }

    void entriesWithOtherColumnsAreRefused()
    {
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, 3);
        ListEntries wrong = recibosEntries();
        wrong.reversed = QStringList{QStringLiteral("SELECT ID_RECIBO FROM RECIBOS ORDER BY ID_RECIBO")};
        QVERIFY_THROWS_EXCEPTION(DatabaseError, m.dm.Recibos.requeryAtLast(kNewestFirst, wrong));
        QVERIFY(!m.dm.Recibos.active());
    }

    void reopeningTheSameTextKeepsItsStatement_data()
    {
        QTest::addColumn<QStringList>("between");
        QTest::addColumn<bool>("kept");
        const QStringList other{QStringLiteral("SELECT * FROM CLIENTES ORDER BY ID_CLIENTE")};
        QTest::newRow("again at once") << QStringList{} << true;
        QTest::newRow("after another text") << QStringList{other.join(QString())} << true;
        QTest::newRow("after four other texts")
            << QStringList{"SELECT * FROM CLIENTES ORDER BY EMAIL", "SELECT * FROM CLIENTES ORDER BY CIDADE",
                           "SELECT * FROM CLIENTES ORDER BY UF", "SELECT * FROM CLIENTES ORDER BY CPF"}
            << false;
    }

    void reopeningTheSameTextKeepsItsStatement()
    {
        QFETCH(QStringList, between);
        QFETCH(bool, kept);
        TempDatabase db;
        Module m(db.path());
        for (const char *name : {"MARIA", "ANA", "MARCOS"})
            addCliente(m.dm, QLatin1String(name));
        Dataset &clientes = m.dm.Clientes;
        const QStringList lookup{QStringLiteral("SELECT * FROM CLIENTES WHERE CLIENTE STARTING WITH :TEXTO /* reuse */"),
                                 QStringLiteral("ORDER BY CLIENTE")};
        clientes.setParam(QStringLiteral("TEXTO"), QStringLiteral("MAR"));
        clientes.requery(lookup);
        const QVariant before = statementIdOf(m.dm, QStringLiteral("/* reuse */"));
        QVERIFY(before.isValid());
        for (const QString &text : between)
            clientes.requery({text});
        clientes.setParam(QStringLiteral("TEXTO"), QStringLiteral("A"));
        clientes.requery(lookup);
        QCOMPARE(clientNames(clientes), QStringList{QStringLiteral("ANA")});
        QCOMPARE(statementIdOf(m.dm, QStringLiteral("/* reuse */")) == before, kept);
    }

    void walkingWithControlsDisabledNotifiesOnceAtTheEnd()
    {
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, 30);
        Dataset &recibos = m.dm.Recibos;
        recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
        SignalLog log(recibos);
        Numeric total;
        {
            ControlsDisabled outer(recibos);
            {
                ControlsDisabled inner(recibos);
                recibos.moveTo(5);
            }
            QVERIFY(recibos.controlsDisabled());
            for (recibos.first(); !recibos.eof(); recibos.next())
                total += recibos.fieldByName(QStringLiteral("VALOR")).asNumeric();
            recibos.insert();
            recibos.fieldByName(QStringLiteral("EMITENTE")).setValue(QStringLiteral("X"));
            recibos.cancel();
            QVERIFY(log.entries.filter(QStringLiteral("current")).isEmpty());
            QVERIFY(log.entries.filter(QStringLiteral("field")).isEmpty());
            QVERIFY(!log.structural().isEmpty());
        }
        QCOMPARE(log.entries.filter(QStringLiteral("current")), QStringList{QStringLiteral("current(29)")});
        QCOMPARE(total, (Numeric{(1 + 30) * 15 * 123450LL, -2}));
        QVERIFY(!recibos.controlsDisabled());
    }

    void picturesAreReadOnlyWhenAskedFor()
    {
        TempDatabase db;
        Module m(db.path());
        Dataset &clientes = m.dm.Clientes;
        clientes.open();
        for (int i = 0; i < 40; ++i) {
            clientes.insert();
            clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')));
            clientes.fieldByName(QStringLiteral("FOTO_MARC")).setValue(QByteArray(100 * 1024, char('a' + i % 26)));
            clientes.post();
        }
        m.dm.Tra.commitRetaining();

        const QStringList lines{QStringLiteral("SELECT * FROM CLIENTES"), QStringLiteral("ORDER BY CLIENTE")};
        const qint64 before = pageFetchesOf(m.dm);
        clientes.requery(lines);
        QCOMPARE(clientNames(clientes).size(), 40);
        const qint64 walking = pageFetchesOf(m.dm) - before;
        // 40 pictures of 100 KB span about a thousand pages; the names alone a handful.
        QVERIFY2(walking < 250, qPrintable(QString::number(walking)));

        QVERIFY(clientes.locate(QStringLiteral("CLIENTE"), QStringLiteral("C03")));
        QCOMPARE(clientes.fieldByName(QStringLiteral("FOTO_MARC")).asBytes(), QByteArray(100 * 1024, 'd'));
        clientes.next();
        QCOMPARE(clientes.fieldByName(QStringLiteral("FOTO_MARC")).asBytes(), QByteArray(100 * 1024, 'e'));
        QCOMPARE(clientes.valueAt(0, clientes.fieldByName(QStringLiteral("FOTO_MARC")).index()).toByteArray(),
                 QByteArray(100 * 1024, 'a'));
    }

    void numericArithmeticIsExact_data()
    {
        QTest::addColumn<qlonglong>("a");
        QTest::addColumn<int>("aScale");
        QTest::addColumn<qlonglong>("b");
        QTest::addColumn<int>("bScale");
        QTest::addColumn<qlonglong>("sum");
        QTest::addColumn<int>("sumScale");
        QTest::addColumn<int>("order"); // sign of a - b
        QTest::newRow("cents") << 10LL << -2 << 20LL << -2 << 30LL << -2 << -1;
        QTest::newRow("scales differ") << 15LL << -1 << 5LL << -2 << 155LL << -2 << 1;
        QTest::newRow("equal across scales") << 150LL << -2 << 15LL << -1 << 300LL << -2 << 0;
        QTest::newRow("negative") << -100LL << -2 << 99LL << -2 << -1LL << -2 << -1;
        QTest::newRow("large") << 999999999999999999LL << -2 << 1LL << 0 << 1000000000000000099LL << -2 << 1;
    }

    void numericArithmeticIsExact()
    {
        QFETCH(qlonglong, a);
        QFETCH(int, aScale);
        QFETCH(qlonglong, b);
        QFETCH(int, bScale);
        QFETCH(qlonglong, sum);
        QFETCH(int, sumScale);
        QFETCH(int, order);
        const Numeric x{a, aScale}, y{b, bScale};
        const Numeric total = x + y;
        QCOMPARE(total.units, sum);
        QCOMPARE(total.scale, sumScale);
        Numeric running = x;
        running += y;
        QCOMPARE(running, total);
        QCOMPARE(x < y, order < 0);
        QCOMPARE(x > y, order > 0);
        QCOMPARE(x == y, order == 0);
        QCOMPARE(x <= y, order <= 0);
        QCOMPARE(x >= y, order >= 0);
        QCOMPARE(total - y, x);
    }

    void numericOverflowIsAnError()
    {
        const Numeric big{std::numeric_limits<qint64>::max() - 1, -2};
        QVERIFY_THROWS_EXCEPTION(DatabaseError, big + Numeric{2, -2});
        QVERIFY_THROWS_EXCEPTION(DatabaseError, big + Numeric{1, 0});
        QVERIFY((big > Numeric{1, 0}));
    }

    void amountsAreStoredExactlyOrRefused_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("stored"); // display text read back by another connection
        QTest::addColumn<QString>("error");  // part of the message when refused
        QTest::newRow("double") << QVariant(1234.5) << "1.234,50" << "";
        QTest::newRow("ten trillion") << QVariant(1e13) << "10.000.000.000.000,00" << "";
        QTest::newRow("largest") << QVariant::fromValue(Numeric{9999999999999999LL * 100 + 99, -2}) << "9.999.999.999.999.999,99" << "";
        QTest::newRow("too large double") << QVariant(1e17) << "" << "não cabe no campo VALOR";
        QTest::newRow("too large numeric") << QVariant::fromValue(Numeric{1000000000000000000LL, -2}) << "" << "não cabe no campo VALOR";
        QTest::newRow("infinite") << QVariant(std::numeric_limits<double>::infinity()) << "" << "não cabe no campo VALOR";
        QTest::newRow("text in the locale's form") << QVariant(QStringLiteral("12,50")) << "12,50" << "";
        QTest::newRow("text not a number") << QVariant(QStringLiteral("abc")) << "" << "não é um valor numérico válido";
        QTest::newRow("text with a dot") << QVariant(QStringLiteral("12.50")) << "" << "não é um valor numérico válido";
        QTest::newRow("rounded to cents") << QVariant(0.005) << "0,01" << "";
    }

    void amountsAreStoredExactlyOrRefused()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, stored);
        QFETCH(QString, error);
        TempDatabase db;
        Module m(db.path());
        Dataset &recibos = m.dm.Recibos;
        recibos.open();
        recibos.insert();
        Field &valor = recibos.fieldByName(QStringLiteral("VALOR"));
        valor.setValue(QVariant::fromValue(Numeric{700, -2}));
        try {
            valor.setValue(value);
            QVERIFY2(error.isEmpty(), "the value was accepted");
        } catch (const DatabaseError &refused) {
            QVERIFY2(!error.isEmpty() && refused.message().contains(error), qPrintable(refused.message()));
            QCOMPARE(valor.displayText(), QStringLiteral("7,00"));
            recibos.cancel();
            return;
        }
        recibos.post();
        m.dm.Tra.commitRetaining();
        Module other(db.path());
        other.dm.Recibos.open();
        QCOMPARE(other.dm.Recibos.fieldByName(QStringLiteral("VALOR")).displayText(), stored);
    }

    void wholeNumbersKeepTheirColumnsRange_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("fits");
        QTest::newRow("largest integer") << "integer" << QVariant(qint64(2147483647)) << true;
        QTest::newRow("smallest integer") << "integer" << QVariant(qint64(-2147483647)) << true;
        QTest::newRow("integer plus one") << "integer" << QVariant(qint64(2147483648LL)) << false;
        QTest::newRow("typed too large") << "integer" << QVariant(QStringLiteral("99999999999")) << false;
        QTest::newRow("smallint") << "smallint" << QVariant(40000) << false;
        QTest::newRow("bigint") << "bigint" << QVariant(qint64(9000000000000000000LL)) << true;
        QTest::newRow("double with fraction rounds") << "integer" << QVariant(2.6) << true;
        QTest::newRow("text") << "integer" << QVariant(QStringLiteral("doze")) << false;
    }

    void wholeNumbersKeepTheirColumnsRange()
    {
        QFETCH(QString, type);
        QFETCH(QVariant, value);
        QFETCH(bool, fits);
        TempDatabase db;
        Module m(db.path());
        m.dm.Base.open();
        PreparedStatement(m.dm.Base, QStringLiteral("create table NUMEROS (N %1)").arg(type)).execute(m.dm.Tra);
        m.dm.Tra.commitRetaining();
        Dataset numeros(m.dm.Base, m.dm.Tra, QStringLiteral("Numeros"));
        const UpdateSql statements = UpdateSql::forTable(QStringLiteral("NUMEROS"), {QStringLiteral("N")}, QStringLiteral("N"));
        numeros.setUpdateObject(&statements);
        numeros.requery({QStringLiteral("select N from NUMEROS")});
        numeros.insert();
        Field &n = numeros.fieldByName(QStringLiteral("N"));
        if (!fits) {
            QVERIFY_THROWS_EXCEPTION(DatabaseError, value.typeId() == QMetaType::QString ? n.setText(value.toString())
                                                                                         : n.setValue(value));
            QVERIFY(n.isNull());
            return;
        }
        n.setValue(value);
        numeros.post();
        numeros.requery({QStringLiteral("select N from NUMEROS")});
        const Numeric expected = value.typeId() == QMetaType::Double ? Numeric{3, 0} : Numeric{value.toLongLong(), 0};
        QCOMPARE(n.asNumeric(), expected);
    }

    void emptyValuesTravelAsNull_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("invalid date") << "DATA" << QVariant(QDate());
        QTest::newRow("null text") << "EMITENTE" << QVariant(QString());
        QTest::newRow("invalid time") << "HORA" << QVariant(QTime());
        QTest::newRow("no value") << "VALOR" << QVariant();
    }

    void emptyValuesTravelAsNull()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, 1);
        Dataset &recibos = m.dm.Recibos;
        recibos.open();
        recibos.edit();
        recibos.fieldByName(field).setValue(value);
        QVERIFY(recibos.fieldByName(field).isNull());
        recibos.post();
        // The statement layer too, as the screens' own queries use it.
        PreparedStatement(m.dm.Base, QStringLiteral("update RECIBOS set %1 = :V").arg(field)).execute(m.dm.Tra, QVariantList{value});
        m.dm.Tra.commitRetaining();
        Module other(db.path());
        other.dm.Recibos.open();
        QVERIFY(other.dm.Recibos.fieldByName(field).isNull());
        QCOMPARE(other.dm.Recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger(), 1);
    }

    void textsLongerThanTheirColumnAreRefused_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("stored");
        QTest::newRow("fits") << 50 << true;
        QTest::newRow("one more") << 51 << false;
        QTest::newRow("past 64K") << 65546 << false;
        QTest::newRow("exactly 64K") << 65536 << false;
    }

    void textsLongerThanTheirColumnAreRefused()
    {
        QFETCH(int, length);
        QFETCH(bool, stored);
        TempDatabase db;
        Module m(db.path());
        const int id = addCliente(m.dm, QStringLiteral("Curto"));
        const QString name(length, QLatin1Char('x'));
        m.dm.Clientes.edit();
        m.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(name);
        PreparedStatement direct(m.dm.Base, QStringLiteral("update CLIENTES set CLIENTE = :CLIENTE"));
        if (stored) {
            m.dm.Clientes.post();
            direct.execute(m.dm.Tra, QVariantList{name});
        } else {
            try {
                m.dm.Clientes.post();
                QFAIL("a text longer than its column was posted");
            } catch (const DatabaseError &error) {
                QVERIFY2(error.message().contains(QStringLiteral("no máximo 50")), qPrintable(error.message()));
            }
            QVERIFY_THROWS_EXCEPTION(DatabaseError, direct.execute(m.dm.Tra, QVariantList{name}));
            m.dm.Clientes.cancel();
        }
        m.dm.Tra.commitRetaining();
        Module other(db.path());
        other.dm.Clientes.open();
        QVERIFY(other.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), id));
        QCOMPARE(other.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), stored ? name : QStringLiteral("Curto"));
    }

    void ownQueryFieldsKeepTheirIdentityAndShowTheirType_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("shown");
        QTest::newRow("amount") << "VALOR" << "1.234,50";
        QTest::newRow("date") << "DATA" << "15/03/2024";
        QTest::newRow("text") << "EMITENTE" << "JOSÉ";
        QTest::newRow("sum") << "TOTAL" << "2.469,00";
    }

    void ownQueryFieldsKeepTheirIdentityAndShowTheirType()
    {
        QFETCH(QString, column);
        QFETCH(QString, shown);
        TempDatabase db;
        Module m(db.path());
        m.dm.Base.open();
        PreparedStatement(m.dm.Base, QStringLiteral("insert into RECIBOS (ID_RECIBO, EMITENTE, VALOR, DATA) values (1, :E, :V, :D)"))
            .execute(m.dm.Tra, QVariantList{QStringLiteral("JOSÉ"), QVariant::fromValue(Numeric{123450, -2}), QDate(2024, 3, 15)});
        Dataset query(m.dm.Base, m.dm.Tra, QStringLiteral("Qry"));
        const QStringList lines{QStringLiteral("select EMITENTE, VALOR, DATA, VALOR + VALOR - 0.01 + 0.01 as TOTAL from RECIBOS")};
        query.requery(lines);
        Field *kept = &query.fieldByName(column);
        QCOMPARE(kept->displayText(), shown);
        query.requery(lines);
        query.close();
        query.open();
        QCOMPARE(&query.fieldByName(column), kept);
        QCOMPARE(kept->displayText(), shown);
    }

    void errorTextsShowAccents_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("expected");
        QTest::newRow("key value in the data's encoding") << "duplicate" << "\"N\" = 'JOSÉ'";
        QTest::newRow("file name in the system's encoding") << "missing" << "relatórios";
    }

    void errorTextsShowAccents()
    {
        QFETCH(QString, situation);
        QFETCH(QString, expected);
        TempDatabase db;
        try {
            if (situation == QLatin1String("duplicate")) {
                Module m(db.path());
                m.dm.Base.open();
                PreparedStatement(m.dm.Base, QStringLiteral("create table NOMES (N varchar(20) unique)")).execute(m.dm.Tra);
                m.dm.Tra.commitRetaining();
                PreparedStatement insert(m.dm.Base, QStringLiteral("insert into NOMES (N) values (:N)"));
                insert.execute(m.dm.Tra, QVariantList{QStringLiteral("JOSÉ")});
                insert.execute(m.dm.Tra, QVariantList{QStringLiteral("JOSÉ")});
            } else {
                Module m(QDir(db.folder()).filePath(QStringLiteral("relatórios/NADA.FDB")));
                m.dm.Clientes.open();
            }
            QFAIL("no error");
        } catch (const DatabaseError &error) {
            QVERIFY2(error.message().contains(expected), qPrintable(error.message()));
            QVERIFY2(!error.message().contains(QChar(0xFFFD)), qPrintable(error.message()));
        }
    }

    void aLostConnectionSaysItsChangesWereDiscarded()
    {
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, 3);
        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
        m.dm.Recibos.remove(); // pending, not committed
        const QString connectionQuery = QStringLiteral("select current_connection from rdb$database");
        const QVariant lostId = m.dm.Base.prepared(connectionQuery).execute(m.dm.Tra).value(0);
        QStringList told;
        connect(&m.dm.Base, &Database::connectionLost, this, [&](const QString &text) {
            told << text + (m.dm.Base.connected() ? QStringLiteral(" [connected]") : QString());
        });

        // An administrator shuts the attachment down from elsewhere.
        Module admin(db.path());
        admin.dm.Tipo.open();
        PreparedStatement(admin.dm.Base, QStringLiteral("delete from mon$attachments where mon$attachment_id = :ID"))
            .execute(admin.dm.Tra, QVariantList{lostId});
        admin.dm.Tra.commitRetaining();

        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
        QCOMPARE(told, QStringList{QStringLiteral("A conexão com o banco de dados foi perdida. "
                                                  "As alterações ainda não gravadas foram descartadas.")});
        QCOMPARE(idsOf(m.dm.Recibos), (QStringList{"1", "2", "3"}));
        QVERIFY(m.dm.Base.prepared(connectionQuery).execute(m.dm.Tra).value(0) != lostId);
        m.dm.Clientes.close();
        m.dm.Clientes.open();
        QCOMPARE(told.size(), 1);
    }

    void terminationSignalsEndTheProgramAsAClose_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void terminationSignalsEndTheProgramAsAClose()
    {
        QFETCH(int, signalNumber);
        TempDatabase db;
        {
            Module m(db.path());
            fillRecibos(m.dm, 2);
        }
        ChildProcess child(db.path(), {QStringLiteral("event-loop")});
        QCOMPARE(child.readLine(), QStringLiteral("ready"));
        QCOMPARE(::kill(pid_t(child.pid()), signalNumber), 0);
        QCOMPARE(child.waitForExit(), 0);
        // Ended as at a normal close: the pending deletion was committed.
        Module m(db.path());
        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
        QCOMPARE(idsOf(m.dm.Recibos), QStringList{QStringLiteral("2")});
    }

    void everyColumnTypeReadsBack_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("smallint") << "smallint" << QVariant(-12345);
        QTest::newRow("integer") << "integer" << QVariant(2000000000);
        QTest::newRow("bigint") << "bigint" << QVariant(qint64(-9000000000000000000LL));
        QTest::newRow("numeric(4,1)") << "numeric(4,1)" << QVariant::fromValue(Numeric{-999, -1});
        QTest::newRow("numeric(9,3)") << "numeric(9,3)" << QVariant::fromValue(Numeric{123456789, -3});
        QTest::newRow("numeric(18,2)") << "numeric(18,2)" << QVariant::fromValue(Numeric{123456789012345678LL, -2});
        QTest::newRow("double") << "double precision" << QVariant(0.1);
        QTest::newRow("date") << "date" << QVariant(QDate(1900, 2, 28));
        QTest::newRow("time") << "time" << QVariant(QTime(23, 59, 58, 123));
        QTest::newRow("timestamp") << "timestamp" << QVariant(QDateTime(QDate(2024, 2, 29), QTime(12, 0)));
        QTest::newRow("char") << "char(5)" << QVariant(QStringLiteral("ção  "));
        QTest::newRow("varchar") << "varchar(200)" << QVariant(QStringLiteral("Cinqüenta € ").repeated(10));
        QTest::newRow("empty varchar") << "varchar(10)" << QVariant(QStringLiteral(""));
        QTest::newRow("boolean") << "boolean" << QVariant(true);
        QTest::newRow("blob") << "blob sub_type 0" << QVariant(QByteArray("\0\1\2", 3));
        QTest::newRow("text blob") << "blob sub_type 1" << QVariant(QStringLiteral("São João"));
    }

    void everyColumnTypeReadsBack()
    {
        QFETCH(QString, type);
        QFETCH(QVariant, value);
        TempDatabase db;
        Module m(db.path());
        m.dm.Base.open();
        PreparedStatement(m.dm.Base, QStringLiteral("create table TIPOS (ORDEM integer, V %1, DEPOIS varchar(5))").arg(type))
            .execute(m.dm.Tra);
        m.dm.Tra.commitRetaining();
        PreparedStatement insert(m.dm.Base, QStringLiteral("insert into TIPOS values (:O, :V, :D)"));
        insert.execute(m.dm.Tra, QVariantList{1, value, QStringLiteral("fim")});
        insert.execute(m.dm.Tra, QVariantList{2, QVariant(), QStringLiteral("nulo")});
        Dataset query(m.dm.Base, m.dm.Tra, QStringLiteral("Qry"));
        query.requery({QStringLiteral("select * from TIPOS order by ORDEM")});
        Field &v = query.fieldByName(QStringLiteral("V"));
        QCOMPARE(v.value(), value);
        QVERIFY(!v.isNull());
        QCOMPARE(query.fieldByName(QStringLiteral("DEPOIS")).asString(), QStringLiteral("fim"));
        query.next();
        QVERIFY(v.isNull());
        QCOMPARE(query.fieldByName(QStringLiteral("DEPOIS")).asString(), QStringLiteral("nulo"));
    }

    void fetchedRowsAreKeptCompact()
    {
        constexpr int kRows = 30000;
        TempDatabase db;
        Module m(db.path());
        m.dm.Base.open();
        PreparedStatement insert(m.dm.Base, QStringLiteral(
            "insert into RECIBOS (ID_RECIBO, EMITENTE, CLIENTE, VALOR, VALOREXTENSO, DATA, DATARECIBO, LOCAL, "
            "CPFCNPJCLIENTE, CPFCNPJEMITENTE, TIPO, REFERENTE, HORA) values (gen_id(GEN_RECIBOS_ID, 1), :EMITENTE, "
            "'EMPRESA EMITENTE LTDA', 12345, 'Cento e Vinte e Três Reais, e Quarenta e Cinco Centavos.', '2024-03-15', "
            "'15 de março de 2024', 'Recife', '12.345.678/0001-90', '123.456.789-01', 'RECEBIMENTO', "
            "'serviços prestados', '10:00')"));
        for (int i = 1; i <= kRows; ++i)
            insert.execute(m.dm.Tra, QVariantList{QStringLiteral("Pagador %1").arg(i)});
        m.dm.Tra.commitRetaining();
        Dataset &recibos = m.dm.Recibos;
        recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO DESC")});
        const long before = residentKb();
        QVERIFY(recibos.locate(QStringLiteral("ID_RECIBO"), 1));
        QCOMPARE(recibos.recNo(), kRows - 1);
        const double bytesPerRow = (residentKb() - before) * 1024.0 / kRows;
        QVERIFY2(bytesPerRow < 700, qPrintable(QString::number(bytesPerRow)));
        QCOMPARE(recibos.fieldByName(QStringLiteral("EMITENTE")).asString(), QStringLiteral("Pagador 1"));
        recibos.moveTo(kRows / 2);
        QCOMPARE(recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger(), kRows / 2);
    }

    void refusedPostsLeaveNothingBehind_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("character not in WIN1252") << "OBS" << "paga em 🙂";
        QTest::newRow("too long") << "UF" << "PER";
    }

    void refusedPostsLeaveNothingBehind()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        TempDatabase db;
        Module m(db.path());
        addCliente(m.dm, QStringLiteral("Ana"));
        Dataset &clientes = m.dm.Clientes;
        auto refuse = [&](int times) {
            for (int i = 0; i < times; ++i) {
                clientes.edit();
                clientes.fieldByName(field).setValue(text);
                try {
                    clientes.post();
                } catch (const DatabaseError &) {
                }
                clientes.cancel();
            }
        };
        refuse(500);
        const long before = residentKb();
        refuse(4000);
        const long grownKb = residentKb() - before;
        // Each leaked set of message descriptions costs kilobytes; 4,000 of them tens of megabytes.
        QVERIFY2(grownKb < 4096, qPrintable(QStringLiteral("%1 KB").arg(grownKb)));
    }

    void closingCommitsAndClosesEveryDataset()
    {
        TempDatabase db;
        Module a(db.path());
        fillRecibos(a.dm, 2);
        a.dm.Recibos.open();
        a.dm.Clientes.open();
        a.dm.Recibos.remove();
        a.dm.Base.close();
        QVERIFY(!a.dm.Recibos.active());
        QVERIFY(!a.dm.Clientes.active());
        QVERIFY(!a.dm.Tra.inTransaction());
        Module b(db.path());
        b.dm.Recibos.open();
        b.dm.Recibos.last();
        QCOMPARE(b.dm.Recibos.rowCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TstDataset)
#include "tst_dataset.moc"
