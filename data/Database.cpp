#include "Database.h"

#include "FbApi.h"
#include "Statement.h"
#include "Transaction.h"

#include <QFileInfo>

#include <sys/stat.h>

using namespace Firebird;

namespace {

constexpr int kConnectTimeoutSeconds = 10;

// "host:path" reaches a server; a bare path (or a drive letter's "C:") is a file of ours.
bool isEmbedded(const QString &name)
{
    const int colon = int(name.indexOf(QLatin1Char(':')));
    return colon < 0 || colon == 1;
}

bool fileIdentity(const QString &path, quint64 *device, quint64 *inode)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    *device = quint64(st.st_dev);
    *inode = quint64(st.st_ino);
    return true;
}

} // namespace

Database::Database(QObject *parent)
    : QObject(parent)
{
}

Database::~Database()
{
    if (connected()) {
        try {
            close();
        } catch (const DatabaseError &error) {
            qWarning("Closing the database failed: %s", qPrintable(error.message()));
        }
    }
}

QByteArray Database::parameterBlock() const
{
    return fb::parameterBlock(IXpbBuilder::DPB, [this](IXpbBuilder *dpb, fb::Status *st) {
        // A server that accepts the connection and never answers would hold the window for minutes.
        int timeout = kConnectTimeoutSeconds;
        for (const QString &param : m_params) {
            const QString name = param.section(QLatin1Char('='), 0, 0).trimmed().toLower();
            const QByteArray value = param.section(QLatin1Char('='), 1).toUtf8();
            if (name == QLatin1String("user_name"))
                dpb->insertString(st, isc_dpb_user_name, value.constData());
            else if (name == QLatin1String("password"))
                dpb->insertString(st, isc_dpb_password, value.constData());
            else if (name == QLatin1String("lc_ctype"))
                dpb->insertString(st, isc_dpb_lc_ctype, value.constData());
            else if (name == QLatin1String("sql_role_name"))
                dpb->insertString(st, isc_dpb_sql_role_name, value.constData());
            else if (name == QLatin1String("connect_timeout"))
                timeout = value.toInt();
        }
        dpb->insertInt(st, isc_dpb_sql_dialect, m_sqlDialect);
        dpb->insertInt(st, isc_dpb_connect_timeout, timeout);
    });
}

void Database::open()
{
    if (connected())
        return;
    fb::prepareLockFolder();
    const QByteArray dpb = parameterBlock();
    const QByteArray path = m_databaseName.toLocal8Bit();
    fb::Status st;
    // No answer within the timeout comes back as a rejected connection.
    IAttachment *attachment = fb::provider()->attachDatabase(&st, path.constData(), unsigned(dpb.size()),
                                                             reinterpret_cast<const unsigned char *>(dpb.constData()));
    if ((st.getState() & IStatus::STATE_ERRORS) && fb::hasCode(st.getErrors(), isc_already_opened))
        throw DatabaseError(QStringLiteral("O banco de dados já está aberto em outro programa Quindelo. "
                                           "Feche o outro programa e tente de novo."));
    try {
        st.check();
    } catch (const DatabaseError &error) {
        // The user is told which database could not be opened.
        throw error.whileOpening(m_databaseName);
    }
    m_attachment = attachment;
    m_filePath.clear();
    if (isEmbedded(m_databaseName)) {
        const QString file = QFileInfo(m_databaseName).absoluteFilePath();
        if (fileIdentity(file, &m_fileDevice, &m_fileInode))
            m_filePath = file;
    }
    emit opened();
}

void Database::close()
{
    if (!connected())
        return;
    emit aboutToClose();
    releaseStatements();
    if (m_defaultTransaction && m_defaultTransaction->inTransaction())
        m_defaultTransaction->commit();
    IAttachment *attachment = m_attachment;
    m_attachment = nullptr;
    fb::call([&](fb::Status *st) { attachment->detach(st); });
}

bool Database::dropIfLost()
{
    if (!connected())
        return false;
    fb::Status st;
    m_attachment->ping(&st);
    if (!(st.getState() & IStatus::STATE_ERRORS))
        return false;
    // Nothing more can be said to that attachment: only let go of the handles.
    IAttachment *lost = std::exchange(m_attachment, nullptr);
    emit aboutToClose();
    releaseStatements();
    if (m_defaultTransaction)
        m_defaultTransaction->abandon();
    lost->release();
    emit connectionLost(QStringLiteral("A conexão com o banco de dados foi perdida. "
                                       "As alterações ainda não gravadas foram descartadas."));
    return true;
}

void Database::requireSameFile() const
{
    if (!connected() || m_filePath.isEmpty())
        return;
    quint64 device = 0;
    quint64 inode = 0;
    if (!fileIdentity(m_filePath, &device, &inode) || device != m_fileDevice || inode != m_fileInode)
        throw DatabaseError(QStringLiteral("O arquivo do banco de dados foi apagado ou movido enquanto o programa estava aberto."));
}

PreparedStatement &Database::prepared(const QString &sql)
{
    auto found = m_statements.find(sql);
    if (found != m_statements.end())
        return *found->second;
    auto statement = std::make_unique<PreparedStatement>(*this, sql);
    return *m_statements.emplace(sql, std::move(statement)).first->second;
}

void Database::releaseStatements()
{
    m_statements.clear();
}
