#include "ChildProcess.h"
#include "common/TempDatabase.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "data/Datamodule1.h"
#include "data/Statement.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

// Two processes on one database through a Firebird server, as in an office
// with several machines.
class TstServer : public QObject
{
    Q_OBJECT

    QString m_path;

private slots:
    void initTestCase()
    {
        if (testServer().isEmpty() || testServerFolder().isEmpty())
            QSKIP("No Firebird server: scripts/test starts one and sets QUINDELO_TEST_SERVER (host/port) "
                  "and QUINDELO_TEST_SERVER_DIR.");
        const QString file = QDir(testServerFolder()).filePath(QUuid::createUuid().toString(QUuid::Id128) + ".FDB");
        m_path = testServer() + QLatin1Char(':') + file;
        databasecreator::create(m_path);
    }

    void processesSeeEachOthersCommittedWork()
    {
        Module m(m_path);
        DataModule &dm = m.dm;
        const QString id = QString::number(addCliente(dm, QStringLiteral("Antes")));

        ChildProcess child(m_path);
        QCOMPARE(child.send(QStringLiteral("cliente-name ") + id), QStringLiteral("ok Antes"));
        QCOMPARE(child.send(QStringLiteral("rename-cliente %1 Pelo outro").arg(id)), QStringLiteral("ok"));
        dm.Clientes.close();
        dm.Clientes.open();
        QCOMPARE(dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), QStringLiteral("Antes"));

        QCOMPARE(child.send(QStringLiteral("commit")), QStringLiteral("ok"));
        dm.Clientes.close();
        dm.Clientes.open();
        QCOMPARE(dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), QStringLiteral("Pelo outro"));
        QCOMPARE(child.finish(), 0);
    }

    void anotherStationsCommittedChangeSurvivesOurSave()
    {
        Module m(m_path);
        DataModule &dm = m.dm;
        const int id = addCliente(dm, QStringLiteral("Lido"));
        ChildProcess other(m_path);
        QCOMPARE(other.send(QStringLiteral("rename-cliente %1 777").arg(id)), QStringLiteral("ok"));
        QCOMPARE(other.send(QStringLiteral("commit")), QStringLiteral("ok"));

        dm.Clientes.edit();
        dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("Meu"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, dm.Clientes.post());
        QCOMPARE(dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), QStringLiteral("Meu"));
        dm.Tra.commitRetaining();
        QCOMPARE(other.send(QStringLiteral("cliente-name %1").arg(id)), QStringLiteral("ok 777"));
        QCOMPARE(other.finish(), 0);
    }

    void accentsTravelThroughTheServer()
    {
        const QString name = QStringLiteral("JOSÉ DA CONCEIÇÃO € “Ltda”");
        int id = 0;
        {
            Module m(m_path);
            id = addCliente(m.dm, name);
        }
        Module m(m_path);
        m.dm.Clientes.open();
        QVERIFY(m.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), id));
        QCOMPARE(m.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).asString(), name);
    }

    void lockedRowsCollideAtOnce()
    {
        Module m(m_path);
        DataModule &dm = m.dm;
        const QString id = QString::number(addCliente(dm, QStringLiteral("Disputado")));

        dm.Clientes.edit();
        dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("Meu"));
        dm.Clientes.post();

        ChildProcess child(m_path);
        const QString refused = child.send(QStringLiteral("rename-cliente %1 Dele").arg(id));
        QVERIFY2(refused.startsWith(QStringLiteral("error:")) && refused.contains(QStringLiteral("update conflicts")),
                 qPrintable(refused));

        dm.Tra.commitRetaining();
        // The other transaction read its row before the commit; a fresh read succeeds.
        QCOMPARE(child.send(QStringLiteral("cliente-name ") + id), QStringLiteral("ok Meu"));
        QCOMPARE(child.send(QStringLiteral("rename-cliente %1 Dele").arg(id)), QStringLiteral("ok"));
        QCOMPARE(child.finish(), 0);
    }

    void aLostConnectionIsMadeAgainOnTheNextOpening()
    {
        Module m(m_path);
        DataModule &dm = m.dm;
        dm.Tipo.open();
        const QString connectionQuery = QStringLiteral("select current_connection from rdb$database");
        const QVariant lostId = dm.Base.prepared(connectionQuery).execute(dm.Tra).value(0);

        // An administrator shuts the attachment down from elsewhere.
        Module admin(m_path);
        admin.dm.Tipo.open();
        PreparedStatement(admin.dm.Base, QStringLiteral("delete from mon$attachments where mon$attachment_id = :ID"))
            .execute(admin.dm.Tra, QVariantList{lostId});
        admin.dm.Tra.commitRetaining();

        QSignalSpy told(&dm.Base, &Database::connectionLost);
        dm.Tipo.close();
        dm.Tipo.open();
        QVERIFY(dm.Tipo.active());
        QCOMPARE(told.size(), 1);
        QVERIFY(dm.Base.prepared(connectionQuery).execute(dm.Tra).value(0) != lostId);
    }

    void wrongPasswordIsTheServersMessage()
    {
        Database database;
        database.setDatabaseName(m_path);
        database.setParams({QStringLiteral("user_name=sysdba"), QStringLiteral("password=errada"),
                            QStringLiteral("lc_ctype=WIN1252")});
        try {
            database.open();
            QFAIL("a wrong password was accepted");
        } catch (const DatabaseError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("user name and password are not defined")),
                     qPrintable(error.message()));
        }
        QVERIFY(!database.connected());
    }
};

QTEST_GUILESS_MAIN(TstServer)
#include "tst_server.moc"
