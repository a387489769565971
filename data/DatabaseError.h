#pragma once

#include <QList>
#include <QString>
#include <stdexcept>

// The one error type of the data layer. It carries the Firebird client's own
// text and the codes of its status vector, or a text of our own.
class DatabaseError : public std::runtime_error
{
public:
    enum class Kind { General, LockConflict };

    explicit DatabaseError(const QString &message, Kind kind = Kind::General);
    // An error of the Firebird client: its formatted text and its status vector's codes, in order.
    DatabaseError(const QString &message, const QList<qint64> &codes);
    // A text meant for a column that the column cannot take; `pattern` holds
    // %1 where the field is named, so a screen can name it by its label.
    static DatabaseError aboutField(const QString &pattern, const QString &fieldName);

    QString message() const;
    bool isLockConflict() const;

    const QList<qint64> &codes() const { return m_codes; }
    bool hasCode(qint64 code) const { return m_codes.contains(code); }

    // The database whose opening failed; empty for errors after the opening.
    QString databaseName() const { return m_databaseName; }
    DatabaseError whileOpening(const QString &databaseName) const;

    bool isAboutField() const { return !m_fieldName.isEmpty(); }
    QString fieldName() const { return m_fieldName; }
    // The same problem, the field named as the screen shows it.
    DatabaseError labelled(const QString &label) const;

private:
    QString m_message;
    Kind m_kind = Kind::General;
    QList<qint64> m_codes;
    QString m_databaseName;
    QString m_fieldName;
    QString m_fieldPattern;
    QString m_label;
};
