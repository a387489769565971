#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the data layer: the text is what the user sees in the
// standard error display (the Firebird client's own message where it has one).
class DatabaseError : public std::runtime_error
{
public:
    enum class Kind { General, LockConflict };

    explicit DatabaseError(const QString &message, Kind kind = Kind::General);

    QString message() const { return m_message; }
    bool isLockConflict() const { return m_kind == Kind::LockConflict; }

private:
    QString m_message;
    Kind m_kind;
};
