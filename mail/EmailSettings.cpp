#include "EmailSettings.h"

#include "MailError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace emailsettings {

namespace {

struct Names
{
    EmailSettings::Security security;
    const char *name;
};
constexpr Names kSecurityNames[] = {
    {EmailSettings::Security::StartTls, "STARTTLS"},
    {EmailSettings::Security::SslTls, "SSL/TLS"},
    {EmailSettings::Security::None, "Nenhuma"},
};

MailError unreadable(const QString &path, const QString &why)
{
    return MailError(QStringLiteral("Não foi possível ler as configurações de e-mail em %1: %2.").arg(path, why));
}

MailError unwritable(const QString &path, const QString &why)
{
    return MailError(QStringLiteral("Não foi possível gravar as configurações de e-mail em %1: %2.").arg(path, why));
}

QString systemReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("sem permissão");
    case ENOSPC:
        return QStringLiteral("disco cheio");
    case EROFS:
        return QStringLiteral("o disco só permite leitura");
    default:
        return QStringLiteral("erro %1 do sistema").arg(error);
    }
}

// False with errno set when a write fails.
bool writeAll(int fd, const QByteArray &bytes)
{
    const char *at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, at, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        at += written;
        left -= written;
    }
    return true;
}

} // namespace

QString securityName(EmailSettings::Security security)
{
    for (const Names &entry : kSecurityNames) {
        if (entry.security == security)
            return QString::fromUtf8(entry.name);
    }
    return {};
}

std::optional<EmailSettings::Security> securityFromName(const QString &name)
{
    for (const Names &entry : kSecurityNames) {
        if (name == QString::fromUtf8(entry.name))
            return entry.security;
    }
    return std::nullopt;
}

QString defaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is ignored, as desktops do.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::home().filePath(QStringLiteral(".config"));
    return QDir(base).filePath(QStringLiteral("quindelo/email.conf"));
}

std::optional<EmailSettings> load(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    if (!info.isFile())
        throw unreadable(path, QStringLiteral("não é um arquivo"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw unreadable(path, info.isReadable() ? QStringLiteral("o arquivo não pôde ser aberto")
                                                 : QStringLiteral("sem permissão de leitura"));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (file.error() != QFileDevice::NoError)
        throw unreadable(path, QStringLiteral("falha na leitura"));

    EmailSettings settings;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            throw unreadable(path, QStringLiteral("a linha %1 não é uma configuração").arg(i + 1));
        const QString key = line.left(equals).trimmed();
        const QString raw = line.mid(equals + 1);
        const QString value = raw.trimmed();
        if (key == QLatin1String("servidor")) {
            settings.server = value;
        } else if (key == QLatin1String("porta")) {
            bool ok = false;
            settings.port = value.toInt(&ok);
            if (!ok || settings.port < 1 || settings.port > 65535)
                throw unreadable(path, QStringLiteral("porta inválida na linha %1").arg(i + 1));
        } else if (key == QLatin1String("seguranca")) {
            const auto security = securityFromName(value);
            if (!security)
                throw unreadable(path, QStringLiteral("segurança desconhecida na linha %1").arg(i + 1));
            settings.security = *security;
        } else if (key == QLatin1String("usuario")) {
            settings.user = value;
        } else if (key == QLatin1String("senha")) {
            // Blanks may belong to a password.
            settings.password = raw;
        } else if (key == QLatin1String("remetente")) {
            settings.sender = value;
        } else if (key == QLatin1String("nomeremetente")) {
            settings.senderName = value;
        }
    }
    return settings;
}

void save(const EmailSettings &settings, const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder))
            throw unwritable(path, QStringLiteral("a pasta não pôde ser criada"));
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    }
    const auto oneLine = [](QString text) { return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r')); };
    QString text = QStringLiteral("# Quindelo: envio de recibos por e-mail\n");
    text += QStringLiteral("servidor=%1\n").arg(oneLine(settings.server));
    text += QStringLiteral("porta=%1\n").arg(settings.port);
    text += QStringLiteral("seguranca=%1\n").arg(securityName(settings.security));
    text += QStringLiteral("usuario=%1\n").arg(oneLine(settings.user));
    text += QStringLiteral("senha=%1\n").arg(oneLine(settings.password));
    text += QStringLiteral("remetente=%1\n").arg(oneLine(settings.sender));
    text += QStringLiteral("nomeremetente=%1\n").arg(oneLine(settings.senderName));

    // A new file in the same folder, private from its first byte, then put in
    // place at once: the password is never readable by others, not even briefly.
    QByteArray temporary = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw unwritable(path, systemReason(errno));
    // mkstemp makes the file with mode 0600.
    const bool written = writeAll(fd, text.toUtf8()) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    const int closeError = errno;
    if (!written || !closed) {
        ::unlink(temporary.constData());
        throw unwritable(path, systemReason(!written ? writeError : closeError));
    }
    if (::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        throw unwritable(path, systemReason(error));
    }
}

} // namespace emailsettings
