#include "ErrorText.h"

#include "DatabaseError.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>

#include <ibase.h>

#include <initializer_list>

namespace errortext {

namespace {

bool hasAny(const DatabaseError &error, std::initializer_list<qint64> codes)
{
    for (const qint64 code : codes) {
        if (error.hasCode(code))
            return true;
    }
    return false;
}

QString unreachable(const QString &databaseName)
{
    const QString server = serverOf(databaseName);
    return QStringLiteral("Não foi possível conectar ao servidor do banco de dados%1. "
                          "Verifique se ele está ligado e acessível pela rede.")
        .arg(server.isEmpty() ? QString() : QLatin1Char(' ') + server);
}

} // namespace

QString explanation(const DatabaseError &error)
{
    if (error.codes().isEmpty())
        return QString();
    const bool opening = !error.databaseName().isEmpty();
    if (hasAny(error, {isc_lock_conflict, isc_update_conflict, isc_deadlock, isc_lock_timeout}))
        return QStringLiteral("Este registro está sendo alterado em outra estação. Tente de novo em alguns instantes.");
    if (hasAny(error, {isc_login, isc_login_error}))
        return QStringLiteral("O servidor do banco de dados recusou o usuário ou a senha do programa.");
    if (hasAny(error, {isc_net_connect_err, isc_net_connect_listen_err, isc_net_lookup_err, isc_connect_reject}))
        return unreachable(error.databaseName());
    // A server that stops answering while we attach was never reached.
    if (opening && hasAny(error, {isc_network_error, isc_net_read_err, isc_net_write_err}))
        return unreachable(error.databaseName());
    if (hasAny(error, {isc_network_error, isc_net_read_err, isc_net_write_err, isc_conn_lost, isc_lost_db_connection,
                       isc_att_shutdown, isc_shutdown, isc_net_server_shutdown}))
        return QStringLiteral("A conexão com o banco de dados foi perdida.");
    // gbak's own codes: the backup file, not the database, is the problem.
    if (hasAny(error, {isc_gbak_open_bkup_error, isc_gbak_write_error}))
        return QStringLiteral("Não foi possível abrir ou gravar o arquivo de backup. "
                              "Verifique se a pasta existe e se há espaço no disco.");
    if (hasAny(error, {isc_io_write_err, isc_io_create_err, isc_read_only_database}))
        return QStringLiteral("Não há espaço em disco (ou permissão) para gravar no banco de dados.");
    // Whatever else stops an attachment, the database could not be opened.
    if (opening || hasAny(error, {isc_io_open_err, isc_io_access_err, isc_io_read_err, isc_bad_db_format}))
        return error.databaseName().isEmpty()
            ? QStringLiteral("Não foi possível abrir o banco de dados.")
            : QStringLiteral("Não foi possível abrir o banco de dados %1.").arg(error.databaseName());
    return QStringLiteral("O banco de dados recusou a operação.");
}

QString forUser(const DatabaseError &error)
{
    const QString sentence = explanation(error);
    if (sentence.isEmpty())
        return error.message();
    return sentence + QStringLiteral("\n\nDetalhe técnico:\n") + error.message();
}

QString forUser(const std::exception &error)
{
    if (const auto *databaseError = dynamic_cast<const DatabaseError *>(&error))
        return forUser(*databaseError);
    return QString::fromUtf8(error.what());
}

QString serverOf(const QString &databaseName)
{
    // "inet://servidor:3051/caminho" and the classic "servidor[/porta]:caminho".
    const QString inet = QStringLiteral("inet://");
    if (databaseName.startsWith(inet, Qt::CaseInsensitive)) {
        const QString rest = databaseName.mid(inet.size());
        return rest.left(rest.indexOf(QLatin1Char('/')));
    }
    const qsizetype colon = databaseName.indexOf(QLatin1Char(':'));
    // "C:\..." is a drive letter, not a server.
    if (colon <= 1)
        return QString();
    return databaseName.left(colon);
}

QString fileProblem(const QFileDevice &file)
{
    // Qt words a few system errors in English whatever the language, and the
    // C library words the rest in the language of the environment.
    struct Known
    {
        const char *english;
        const char *portuguese;
    };
    static const Known known[] = {
        {"No space left on device", "não há espaço no disco"},
        {"Disk quota exceeded", "a cota de espaço em disco acabou"},
        {"Permission denied", "sem permissão de acesso"},
        {"is not writable", "o arquivo existente não pode ser alterado"},
        {"Read-only file system", "o disco só permite leitura"},
        {"No such file or directory", "a pasta ou o arquivo não existe"},
        {"Is a directory", "o caminho é de uma pasta"},
        {"refers to a directory", "o caminho é de uma pasta"},
        {"Too many open files", "há arquivos abertos demais"},
        {"File too large", "o arquivo ficou grande demais para o disco"},
        {"Input/output error", "erro de leitura ou gravação no disco"},
    };
    const QString reason = file.errorString();
    for (const Known &entry : known) {
        if (reason.contains(QLatin1String(entry.english), Qt::CaseInsensitive))
            return QString::fromUtf8(entry.portuguese);
    }
    const bool unknown = reason == QLatin1String("Unknown error")
        || reason == QCoreApplication::translate("QIODevice", "Unknown error");
    if (file.error() != QFileDevice::NoError && !unknown) {
        // Qt's translation of the system's words, made to follow a colon.
        QString phrase = reason;
        if (phrase.size() > 1 && phrase.at(1).isLower())
            phrase[0] = phrase.at(0).toLower();
        if (phrase.endsWith(QLatin1Char('.')))
            phrase.chop(1);
        return phrase;
    }
    // Nothing recorded: an image writer that stopped half-way, most often on a full disk.
    const QStorageInfo storage(QFileInfo(file.fileName()).absolutePath());
    if (storage.isValid() && storage.bytesAvailable() < 1024 * 1024)
        return QStringLiteral("não há espaço no disco");
    return QStringLiteral("a gravação falhou");
}

} // namespace errortext
