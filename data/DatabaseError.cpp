#include "DatabaseError.h"

#include <ibase.h>

DatabaseError::DatabaseError(const QString &message, Kind kind)
    : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind)
{
}

DatabaseError::DatabaseError(const QString &message, const QList<qint64> &codes)
    : std::runtime_error(message.toStdString()), m_message(message), m_codes(codes)
{
    // The conflict code is rarely the first one of the vector.
    for (const qint64 code : {isc_update_conflict, isc_lock_conflict, isc_deadlock}) {
        if (codes.contains(code))
            m_kind = Kind::LockConflict;
    }
}

DatabaseError DatabaseError::aboutField(const QString &pattern, const QString &fieldName)
{
    DatabaseError error(pattern.arg(fieldName));
    error.m_fieldName = fieldName;
    error.m_fieldPattern = pattern;
    return error;
}

QString DatabaseError::message() const
{
    return m_label.isEmpty() ? m_message : m_fieldPattern.arg(m_label);
}

bool DatabaseError::isLockConflict() const
{
    return m_kind == Kind::LockConflict;
}

DatabaseError DatabaseError::whileOpening(const QString &databaseName) const
{
    DatabaseError error(*this);
    error.m_databaseName = databaseName;
    return error;
}

DatabaseError DatabaseError::labelled(const QString &label) const
{
    DatabaseError error(*this);
    if (isAboutField())
        error.m_label = label;
    return error;
}
