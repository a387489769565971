#include "ChildProcess.h"
#include "common/TempDatabase.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "data/Datamodule1.h"
#include "data/Statement.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

void fillRecibos(DataModule &dm, int count)
{
    dm.Base.open();
    PreparedStatement insert(dm.Base, QStringLiteral(
        "insert into RECIBOS (ID_RECIBO, EMITENTE, VALOR, DATA) values (gen_id(GEN_RECIBOS_ID, 1), :EMITENTE, :VALOR, :DATA)"));
    for (int i = 1; i <= count; ++i)
        insert.execute(dm.Tra, QVariantList{QStringLiteral("Pagador %1").arg(i), QVariant::fromValue(Numeric{i * 100, -2}),
                                            QDate(2024, 1, 1).addDays(i % 365)});
    dm.Tra.commitRetaining();
}

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
        QTest::newRow("too long") << QString(51, QLatin1Char('x')) << "string right truncation";
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
        QProcess isql;
        isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-ch"), QStringLiteral("UTF8"), QStringLiteral("-user"),
                                               QStringLiteral("sysdba"), QStringLiteral("-q"), db.path()});
        QVERIFY(isql.waitForStarted());
        isql.write("set list on; select CLIENTE from CLIENTES order by ID_CLIENTE;\n");
        isql.closeWriteChannel();
        QVERIFY(isql.waitForFinished(30000));
        const QString output = QString::fromUtf8(isql.readAllStandardOutput());
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
