#include "SmtpTestServer.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace {

QString modeName(SmtpTestServer::Mode mode)
{
    switch (mode) {
    case SmtpTestServer::Mode::Plain:
        return QStringLiteral("plain");
    case SmtpTestServer::Mode::StartTls:
        return QStringLiteral("starttls");
    case SmtpTestServer::Mode::Ssl:
        return QStringLiteral("ssl");
    case SmtpTestServer::Mode::Silent:
        return QStringLiteral("silent");
    }
    return {};
}

} // namespace

SmtpTestServer::SmtpTestServer(const Options &options)
{
    const QDir folder(m_folder.path());
    folder.mkpath(QStringLiteral("in"));
    QStringList arguments{QStringLiteral(SMTP_SERVER_SCRIPT), QStringLiteral("--folder"), folder.filePath(QStringLiteral("in")),
                          QStringLiteral("--mode"), modeName(options.mode), QStringLiteral("--certs"),
                          folder.filePath(QStringLiteral("certs"))};
    if (!options.user.isEmpty())
        arguments << QStringLiteral("--user") << options.user << QStringLiteral("--password") << options.password;
    for (const QString &refused : options.refused)
        arguments << QStringLiteral("--refuse") << refused;
    // Debian's interpreter: the one python3-aiosmtpd is installed for.
    m_process.start(QStringLiteral(TEST_PYTHON3), arguments);
    while (m_process.waitForReadyRead(20000) && !m_process.canReadLine()) {
    }
    bool ok = false;
    m_port = QString::fromUtf8(m_process.readLine()).trimmed().toInt(&ok);
    if (!ok) {
        m_process.kill();
        m_process.waitForFinished();
        m_failure = QStringLiteral("the test SMTP server did not start (python3-aiosmtpd and openssl, installed by "
                                   "scripts/test): %1")
                        .arg(QString::fromUtf8(m_process.readAllStandardError()));
        m_port = 0;
    }
}

SmtpTestServer::~SmtpTestServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QString SmtpTestServer::authorityFile() const
{
    return QDir(m_folder.path()).filePath(QStringLiteral("certs/ca.pem"));
}

QList<QJsonObject> SmtpTestServer::messages() const
{
    QList<QJsonObject> found;
    const QDir in(QDir(m_folder.path()).filePath(QStringLiteral("in")));
    for (int n = 1;; ++n) {
        QFile file(in.filePath(QStringLiteral("%1.json").arg(n)));
        if (!file.open(QIODevice::ReadOnly))
            return found;
        found << QJsonDocument::fromJson(file.readAll()).object();
    }
}
