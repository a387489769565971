#include "DatabaseRestore.h"

#include "RestoreCheck.h"

#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "data/FbApi.h"
#include "data/ServiceManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

using namespace Firebird;

namespace {

// Why a step failed, in Portuguese, and the server's own words for it.
struct Failure
{
    QString reason;
    QString detail;
};

const QString kUnchanged = QStringLiteral("O banco em uso não foi alterado.");

QString message(const Failure &failure, const QString &state)
{
    QString text = failure.reason + QLatin1Char(' ') + state;
    if (!failure.detail.isEmpty())
        text += QStringLiteral("\n\nDetalhe técnico: ") + failure.detail;
    return text;
}

// What the user can do something about, told from the server's text.
QString cause(const QString &detail)
{
    struct Known
    {
        const char *text;
        const char *cause;
    };
    static const Known known[] = {
        {"expected backup", "O arquivo não é um backup do Firebird, ou está danificado."},
        {"backup incomplete", "O arquivo de backup está incompleto."},
        {"cannot open backup file", "O arquivo de backup não pôde ser aberto."},
        {"no space left on device", "Não há espaço em disco para o banco restaurado."},
        {"file too large", "Não há espaço em disco para o banco restaurado."},
        {"user name and password", "O servidor do banco de dados recusou o usuário ou a senha do programa."},
        {"unable to complete network request", "O servidor do banco de dados não respondeu."},
        {"connection", "A conexão com o servidor do banco de dados foi perdida."},
        {"in use", "O banco está aberto em outra estação: feche o programa nas outras estações."},
    };
    for (const Known &entry : known) {
        if (detail.contains(QLatin1String(entry.text), Qt::CaseInsensitive))
            return QString::fromUtf8(entry.cause);
    }
    return QStringLiteral("O Firebird recusou a operação.");
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The embedded engine's restore runs in this process, and on a backup file that
// ends early it asks on the console for the next volume and waits there for an
// answer. While it runs, the console is one that answers at once with nothing.
class WithoutConsole
{
public:
    WithoutConsole()
    {
        const int null = ::open("/dev/null", O_RDWR);
        if (null < 0)
            throw DatabaseError(QStringLiteral("/dev/null: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        std::fflush(stdout);
        for (int fd : {STDIN_FILENO, STDOUT_FILENO}) {
            m_saved[fd] = ::dup(fd);
            ::dup2(null, fd);
        }
        ::close(null);
    }
    ~WithoutConsole()
    {
        std::fflush(stdout);
        for (int fd : {STDIN_FILENO, STDOUT_FILENO}) {
            if (m_saved[fd] >= 0) {
                ::dup2(m_saved[fd], fd);
                ::close(m_saved[fd]);
            }
        }
    }
    WithoutConsole(const WithoutConsole &) = delete;
    WithoutConsole &operator=(const WithoutConsole &) = delete;

private:
    int m_saved[2] = {-1, -1};
};

QByteArray restoreBlock(const QString &backupFile, const QString &target, bool replace)
{
    const QByteArray fileBytes = backupFile.toLocal8Bit();
    const QByteArray targetBytes = target.toLocal8Bit();
    return fb::parameterBlock(IXpbBuilder::SPB_START, [&](IXpbBuilder *builder, fb::Status *st) {
        builder->insertTag(st, isc_action_svc_restore);
        builder->insertString(st, isc_spb_bkp_file, fileBytes.constData());
        builder->insertString(st, isc_spb_dbname, targetBytes.constData());
        builder->insertInt(st, isc_spb_options, replace ? isc_spb_res_replace : isc_spb_res_create);
        // The output is the only way to learn that a backup file ended early.
        builder->insertTag(st, isc_spb_verbose);
    });
}

void dropDatabase(const QString &database, const QString &user, const QString &password)
{
    const QByteArray userBytes = user.toUtf8();
    const QByteArray passwordBytes = password.toUtf8();
    const QByteArray dpb = fb::parameterBlock(IXpbBuilder::DPB, [&](IXpbBuilder *builder, fb::Status *st) {
        builder->insertString(st, isc_dpb_user_name, userBytes.constData());
        builder->insertString(st, isc_dpb_password, passwordBytes.constData());
    });
    const QByteArray path = database.toLocal8Bit();
    IAttachment *attachment = fb::call([&](fb::Status *st) {
        return fb::provider()->attachDatabase(st, path.constData(), unsigned(dpb.size()),
                                              reinterpret_cast<const unsigned char *>(dpb.constData()));
    });
    fb::Status st;
    attachment->dropDatabase(&st);
    if (st.getState() & IStatus::STATE_ERRORS) {
        const QString reason = fb::messageOf(&st);
        fb::Status detached;
        attachment->detach(&detached);
        throw DatabaseError(reason);
    }
}

} // namespace

DatabaseRestore::DatabaseRestore(const QString &user, const QString &password)
    : m_user(user), m_password(password)
{
}

QString DatabaseRestore::safetyBackupName(const QString &destination, const QDateTime &now)
{
    QString name = DatabaseBackup::fileName(destination, now.date());
    name.chop(4);
    return name + now.toString(QStringLiteral("-HHmmss")) + QStringLiteral("-antes-da-restauracao.gbk");
}

QString DatabaseRestore::restoringName(const QString &database)
{
    return database + QStringLiteral(".restaurando");
}

QString DatabaseRestore::keptName(const QString &database, const QDateTime &now)
{
    const QFileInfo file(database);
    const QString suffix = file.suffix().isEmpty() ? QString() : QLatin1Char('.') + file.suffix();
    return file.dir().filePath(file.completeBaseName() + QStringLiteral("-antes-da-restauracao-")
                               + now.toString(QStringLiteral("ddMMyyyy-HHmmss")) + suffix);
}

DatabaseRestore::Result DatabaseRestore::run(const QString &database, const QString &backupFile,
                                             const QString &safetyBackup, const QDateTime &now, const Progress &progress)
{
    try {
        backUpFirst(database, safetyBackup, progress);
        if (databasecreator::isLocalPath(database))
            return swapHere(database, backupFile, safetyBackup, now, progress);
        return replaceOnServer(database, backupFile, safetyBackup, progress);
    } catch (const Failure &failure) {
        throw DatabaseError(message(failure, kUnchanged));
    }
}

void DatabaseRestore::backUpFirst(const QString &database, const QString &safetyBackup, const Progress &progress) const
{
    if (progress)
        progress(QStringLiteral("Backup de segurança do banco em uso: %1").arg(safetyBackup));
    const QString refused =
        QStringLiteral("O backup de segurança do banco em uso não pôde ser feito, e sem ele nada é restaurado.");
    qint64 written = -1;
    static const QRegularExpression closing(QStringLiteral("closing file, committing, and finishing\\. (\\d+) bytes"));
    try {
        DatabaseBackup::makeFolder(database, safetyBackup);
        DatabaseBackup(m_user, m_password).run(database, safetyBackup, [&](const QString &line) {
            if (const QRegularExpressionMatch match = closing.match(line); match.hasMatch())
                written = match.captured(1).toLongLong();
            if (progress)
                progress(line);
        });
    } catch (const DatabaseError &error) {
        throw Failure{refused + QLatin1Char(' ') + cause(error.message()), error.message()};
    }
    // The service says it closed the file; where the file is here, it must be all there.
    const bool visible = DatabaseBackup::renamableHere(database, safetyBackup);
    if (written < 0 || (visible && QFileInfo(safetyBackup).size() != written)) {
        throw Failure{refused + QStringLiteral(" O arquivo %1 não ficou completo.").arg(safetyBackup), QString()};
    }
}

void DatabaseRestore::restore(const QString &backupFile, const QString &target, bool replace, RestoreOutput &output,
                              const Progress &progress) const
{
    std::optional<WithoutConsole> console;
    if (databasecreator::isLocalPath(target))
        console.emplace();
    ServiceManager service;
    service.attach(ServiceManager::nameFor(target), m_user, m_password);
    service.start(restoreBlock(backupFile, ServiceManager::pathOnServer(target), replace));
    QString line;
    while (service.nextLine(line)) {
        output.add(line);
        if (progress)
            progress(line);
    }
    service.detach();
}

void DatabaseRestore::restoreChecked(const QString &backupFile, const QString &target, bool replace,
                                     RestoreOutput &output, const Progress &progress) const
{
    const QString notDone = QStringLiteral("A restauração de %1 não foi feita.").arg(QFileInfo(backupFile).fileName());
    if (progress)
        progress(QStringLiteral("Restaurando %1 em %2").arg(backupFile, target));
    try {
        restore(backupFile, target, replace, output, progress);
    } catch (const DatabaseError &error) {
        // A server breaks off the connection where the rows of a backup file
        // that ends early stop; one that still answers did not go away.
        if (error.message().contains(QLatin1String("connection"), Qt::CaseInsensitive) && !output.finished()
            && !output.lastTable().isEmpty() && serverAnswers(target)) {
            throw Failure{notDone + QLatin1Char(' ')
                              + RestoreCheck::incompleteBackup(
                                  QStringLiteral("a restauração parou nos registros de %1").arg(output.lastTable())),
                          error.message()};
        }
        throw Failure{notDone + QLatin1Char(' ') + cause(error.message()), error.message()};
    }
    if (progress)
        progress(QStringLiteral("Conferindo o banco restaurado"));
    try {
        RestoreCheck(m_user, m_password).verify(target, output);
    } catch (const DatabaseError &error) {
        throw Failure{notDone + QLatin1Char(' ') + error.message(), QString()};
    }
}

DatabaseRestore::Result DatabaseRestore::swapHere(const QString &database, const QString &backupFile,
                                                  const QString &safetyBackup, const QDateTime &now,
                                                  const Progress &progress) const
{
    const QString restored = restoringName(database);
    // Left by an attempt that did not live to clean up after itself.
    QFile::remove(restored);
    try {
        RestoreOutput output;
        restoreChecked(backupFile, restored, false, output, progress);
    } catch (...) {
        QFile::remove(restored);
        throw;
    }

    // Whoever could open the database before opens the restored one.
    if (!QFile::setPermissions(restored, QFileInfo(database).permissions())) {
        QFile::remove(restored);
        throw Failure{QStringLiteral("O banco restaurado não pôde receber as permissões do banco em uso."), QString()};
    }
    const QString kept = keptName(database, now);
    if (progress)
        progress(QStringLiteral("Guardando o banco anterior como %1").arg(kept));
    const QByteArray databaseFile = QFile::encodeName(database);
    const QByteArray keptFile = QFile::encodeName(kept);
    if (std::rename(databaseFile.constData(), keptFile.constData()) != 0) {
        const QString reason = systemError();
        QFile::remove(restored);
        throw Failure{QStringLiteral("O banco em uso não pôde ser guardado como %1.").arg(kept), reason};
    }
    if (std::rename(QFile::encodeName(restored).constData(), databaseFile.constData()) != 0) {
        const QString reason = systemError();
        if (std::rename(keptFile.constData(), databaseFile.constData()) != 0) {
            throw DatabaseError(QStringLiteral("O banco restaurado não pôde tomar o lugar do banco em uso, e o banco em "
                                               "uso ficou guardado como %1; o restaurado está em %2. Dê a um dos dois o "
                                               "nome %3 antes de abrir o programa de novo.\n\nDetalhe técnico: %4")
                                    .arg(kept, restored, database, reason));
        }
        QFile::remove(restored);
        throw Failure{QStringLiteral("O banco restaurado não pôde tomar o lugar do banco em uso."), reason};
    }
    return {safetyBackup, kept};
}

DatabaseRestore::Result DatabaseRestore::replaceOnServer(const QString &database, const QString &backupFile,
                                                         const QString &safetyBackup, const Progress &progress) const
{
    // A backup that does not restore, or not completely, never reaches the database.
    const QString trial = restoringName(database);
    try {
        RestoreOutput output;
        restoreChecked(backupFile, trial, true, output, progress);
    } catch (Failure &failure) {
        if (!removeRestored(trial))
            failure.reason += QStringLiteral(" O arquivo %1 ficou no servidor.").arg(ServiceManager::pathOnServer(trial));
        throw;
    }
    if (!removeRestored(trial)) {
        throw Failure{QStringLiteral("O banco restaurado de teste não pôde ser apagado no servidor (%1).")
                          .arg(ServiceManager::pathOnServer(trial)),
                      QString()};
    }

    RestoreOutput output;
    try {
        restoreChecked(backupFile, database, true, output, progress);
    } catch (const Failure &failure) {
        // The server never dropped the database: it is as it was.
        if (!output.created())
            throw;
        if (progress)
            progress(QStringLiteral("Recolocando o banco anterior a partir do backup de segurança"));
        try {
            RestoreOutput again;
            restoreChecked(safetyBackup, database, true, again, progress);
        } catch (const Failure &) {
            throw DatabaseError(message(failure, QStringLiteral("O banco em uso pode ter ficado incompleto: restaure o "
                                                                "backup de segurança %1 assim que possível.")
                                                     .arg(safetyBackup)));
        }
        throw DatabaseError(message(failure, QStringLiteral("O banco em uso foi recolocado como estava, a partir do "
                                                            "backup de segurança %1.")
                                                 .arg(safetyBackup)));
    }
    return {safetyBackup, QString()};
}

bool DatabaseRestore::serverAnswers(const QString &database) const
{
    try {
        ServiceManager service;
        service.attach(ServiceManager::nameFor(database), m_user, m_password);
        service.detach();
        return true;
    } catch (const DatabaseError &) {
        return false;
    }
}

bool DatabaseRestore::removeRestored(const QString &target) const
{
    try {
        dropDatabase(target, m_user, m_password);
        return true;
    } catch (const DatabaseError &error) {
        // A server that went away cannot drop it; where its file is here, it goes by hand.
        const QString file = ServiceManager::pathOnServer(target);
        if (ServiceManager::heldOnThisMachine(target))
            return !QFileInfo::exists(file) || QFile::remove(file);
        // Elsewhere, only the server's word that there is no such file will do.
        return error.message().contains(QLatin1String("No such file"), Qt::CaseInsensitive);
    }
}
