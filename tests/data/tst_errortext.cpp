#include "common/TempDatabase.h"

#include "data/Database.h"
#include "data/DatabaseError.h"
#include "data/ErrorText.h"

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <ibase.h>

namespace {

const QString kLock = QStringLiteral("Este registro está sendo alterado em outra estação. Tente de novo em alguns instantes.");
const QString kPassword = QStringLiteral("O servidor do banco de dados recusou o usuário ou a senha do programa.");
const QString kSpace = QStringLiteral("Não há espaço em disco (ou permissão) para gravar no banco de dados.");
const QString kLost = QStringLiteral("A conexão com o banco de dados foi perdida.");

QString unreachable(const QString &server)
{
    return QStringLiteral("Não foi possível conectar ao servidor do banco de dados %1. "
                          "Verifique se ele está ligado e acessível pela rede.")
        .arg(server);
}

QString cannotOpen(const QString &path)
{
    return QStringLiteral("Não foi possível abrir o banco de dados %1.").arg(path);
}

// The error of opening `name`; fails the test when it opens.
DatabaseError openingError(const QString &name, const QString &password = QStringLiteral("tarvolimb"))
{
    Database database;
    database.setDatabaseName(name);
    database.setParams({QStringLiteral("user_name=sysdba"), QStringLiteral("password=") + password,
                        QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("connect_timeout=2")});
    try {
        database.open();
    } catch (const DatabaseError &error) {
        return error;
    }
    return DatabaseError(QStringLiteral("opened"));
}

void verifyExplained(const DatabaseError &error, const QString &sentence, const QString &original)
{
    const QString text = errortext::forUser(error);
    QVERIFY2(text.startsWith(sentence + QStringLiteral("\n\nDetalhe técnico:\n")), qPrintable(text));
    QVERIFY2(text.contains(original), qPrintable(text));
}

} // namespace

Q_DECLARE_METATYPE(QList<qint64>)

class TstErrorText : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    // Takes connections and never answers, like a server that hangs.
    QTcpServer m_silent;

private slots:
    void initTestCase()
    {
        QVERIFY(m_silent.listen(QHostAddress::LocalHost));
    }

    void sentenceByCode_data()
    {
        QTest::addColumn<QList<qint64>>("codes");
        QTest::addColumn<QString>("database"); // the one being opened, if any
        QTest::addColumn<QString>("sentence");

        const QString served = QStringLiteral("servidor/3051:/dados/QUINDELO.FDB");
        QTest::newRow("deadlock") << QList<qint64>{isc_deadlock, isc_update_conflict, isc_concurrent_transaction}
                                  << QString() << kLock;
        QTest::newRow("lock conflict") << QList<qint64>{isc_lock_conflict} << QString() << kLock;
        QTest::newRow("refused login") << QList<qint64>{isc_login} << served << kPassword;
        QTest::newRow("connection refused") << QList<qint64>{isc_network_error, isc_net_connect_err} << served
                                            << unreachable(QStringLiteral("servidor/3051"));
        QTest::newRow("unknown host") << QList<qint64>{isc_network_error, isc_net_lookup_err} << served
                                      << unreachable(QStringLiteral("servidor/3051"));
        QTest::newRow("silent server") << QList<qint64>{isc_connect_reject} << QStringLiteral("inet://servidor:3051/q.fdb")
                                       << unreachable(QStringLiteral("servidor:3051"));
        QTest::newRow("cut while attaching") << QList<qint64>{isc_network_error, isc_net_read_err} << served
                                             << unreachable(QStringLiteral("servidor/3051"));
        QTest::newRow("cut later") << QList<qint64>{isc_network_error, isc_net_read_err} << QString() << kLost;
        QTest::newRow("shut down") << QList<qint64>{isc_att_shutdown} << QString() << kLost;
        QTest::newRow("disk full") << QList<qint64>{isc_io_error, isc_io_write_err} << QString() << kSpace;
        QTest::newRow("read-only database") << QList<qint64>{isc_read_only_database} << QString() << kSpace;
        QTest::newRow("missing file") << QList<qint64>{isc_io_error, isc_io_open_err}
                                      << QStringLiteral("/dados/QUINDELO.FDB")
                                      << cannotOpen(QStringLiteral("/dados/QUINDELO.FDB"));
        QTest::newRow("windows drive is no server") << QList<qint64>{isc_io_error, isc_io_open_err}
                                                    << QStringLiteral("C:\\Quindelo\\QUINDELO.FDB")
                                                    << cannotOpen(QStringLiteral("C:\\Quindelo\\QUINDELO.FDB"));
        QTest::newRow("not a database") << QList<qint64>{isc_io_error, isc_io_read_err} << QStringLiteral("/d/Q.FDB")
                                        << cannotOpen(QStringLiteral("/d/Q.FDB"));
        QTest::newRow("engine in use") << QList<qint64>{isc_random} << QStringLiteral("/d/Q.FDB")
                                       << cannotOpen(QStringLiteral("/d/Q.FDB"));
        QTest::newRow("other error") << QList<qint64>{isc_random} << QString()
                                     << QStringLiteral("O banco de dados recusou a operação.");
    }

    void sentenceByCode()
    {
        QFETCH(QList<qint64>, codes);
        QFETCH(QString, database);
        QFETCH(QString, sentence);
        DatabaseError error(QStringLiteral("texto do Firebird"), codes);
        if (!database.isEmpty())
            error = error.whileOpening(database);
        verifyExplained(error, sentence, QStringLiteral("texto do Firebird"));
    }

    void ourOwnTextsStandAlone_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("specified date text") << QStringLiteral("'32/01/2024' is not a valid date");
        QTest::newRow("specified mask text") << QStringLiteral("Invalid input value.  Use escape key to abandon changes");
        QTest::newRow("portuguese") << QStringLiteral("Não há transação ativa.");
    }

    void ourOwnTextsStandAlone()
    {
        QFETCH(QString, text);
        QCOMPARE(errortext::forUser(DatabaseError(text)), text);
    }

    void lockConflictFromASecondConnection()
    {
        TempDatabase db;
        Module a(db.path());
        const int id = addCliente(a.dm, QStringLiteral("DISPUTADO"));
        Module b(db.path());
        b.dm.Clientes.open();
        QVERIFY(b.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), id));
        a.dm.Clientes.edit();
        a.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("PELA ESTAÇÃO A"));
        a.dm.Clientes.post();
        try {
            b.dm.Clientes.edit();
            b.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("PELA ESTAÇÃO B"));
            b.dm.Clientes.post();
            QFAIL("the held row was written");
        } catch (const DatabaseError &error) {
            verifyExplained(error, kLock, QStringLiteral("update conflicts with concurrent update"));
        }
    }

    void failedOpenings_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("original");

        const QString missing = m_folder.filePath(QStringLiteral("NAO-EXISTE.FDB"));
        QTest::newRow("missing file") << missing << cannotOpen(missing) << "I/O error during \"open\" operation";
        const QString garbage = m_folder.filePath(QStringLiteral("LIXO.FDB"));
        QFile file(garbage);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("não é um banco") > 0);
        QTest::newRow("not a database") << garbage << cannotOpen(garbage) << "I/O error";

        // A port that refuses, and one that takes the connection and never answers.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString refusing = QStringLiteral("127.0.0.1/%1").arg(closed.serverPort());
        closed.close();
        QTest::newRow("refused port") << refusing + QStringLiteral(":/q.fdb") << unreachable(refusing)
                                      << "Failed to establish a connection";
        const QString quiet = QStringLiteral("127.0.0.1/%1").arg(m_silent.serverPort());
        QTest::newRow("silent port") << quiet + QStringLiteral(":/q.fdb") << unreachable(quiet)
                                     << "connection rejected by remote interface";
    }

    void failedOpenings()
    {
        QFETCH(QString, database);
        QFETCH(QString, sentence);
        QFETCH(QString, original);
        verifyExplained(openingError(database), sentence, original);
    }

    void refusedPassword()
    {
        if (testServer().isEmpty() || testServerFolder().isEmpty())
            QSKIP("No Firebird server: scripts/test starts one and sets QUINDELO_TEST_SERVER.");
        const QString path = testServer() + QStringLiteral(":") + testServerFolder() + QStringLiteral("/QUALQUER.FDB");
        verifyExplained(openingError(path, QStringLiteral("errada")), kPassword,
                        QStringLiteral("user name and password are not defined"));
    }

    void fileProblems_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << "/dev/full" << "não há espaço no disco";
        QTest::newRow("missing folder") << "/nao/existe/recibo.pdf" << "a pasta ou o arquivo não existe";
    }

    void fileProblems()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            const QByteArray bytes(64 * 1024, 'x');
            QVERIFY(file.write(bytes) != bytes.size() || !file.flush());
        }
        QCOMPARE(errortext::fileProblem(file), reason);
    }
};

QTEST_GUILESS_MAIN(TstErrorText)
#include "tst_errortext.moc"
