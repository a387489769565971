#include "DatabaseError.h"

DatabaseError::DatabaseError(const QString &message, Kind kind)
    : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind)
{
}
