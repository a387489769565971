#include "DatabaseCreator.h"

#include "Database.h"
#include "FbApi.h"
#include "SqlText.h"
#include "Statement.h"
#include "Transaction.h"

#include <QFile>
#include <QFileInfo>

using namespace Firebird;

namespace databasecreator {

QStringList splitScript(const QString &script)
{
    QStringList statements;
    QString current;
    bool hasCode = false;
    for (int i = 0; i < int(script.size()); ++i) {
        int last = i;
        const sqltext::Span span = sqltext::spanAt(script, i, &last);
        const QChar c = script.at(i);
        if (span == sqltext::Span::Comment) {
            current += QLatin1Char(' ');
        } else if (span == sqltext::Span::Literal) {
            current += script.mid(i, last - i + 1);
            hasCode = true;
        } else if (c == QLatin1Char(';')) {
            if (hasCode)
                statements << current.trimmed();
            current.clear();
            hasCode = false;
        } else {
            current += c;
            hasCode = hasCode || !c.isSpace();
        }
        i = last;
    }
    if (hasCode)
        statements << current.trimmed();
    return statements;
}

bool isLocalPath(const QString &path)
{
    // "host:path" and "host/port:path" name a server; a path starting with
    // "/" or "." is a file even when a folder name holds a colon.
    return !path.contains(QLatin1Char(':')) || path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1Char('.'));
}

QString schemaScript()
{
    QFile file(QStringLiteral(":/quindelo/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(QStringLiteral("O esquema do banco de dados não foi encontrado no programa."));
    return QString::fromUtf8(file.readAll());
}

void create(const QString &path, const QString &user, const QString &password)
{
    if (isLocalPath(path) && QFileInfo::exists(path))
        throw DatabaseError(QStringLiteral("O arquivo %1 já existe; nada foi alterado.").arg(path));

    fb::prepareLockFolder();
    const QByteArray userBytes = user.toUtf8();
    const QByteArray passwordBytes = password.toUtf8();
    const QByteArray dpb = fb::parameterBlock(IXpbBuilder::DPB, [&](IXpbBuilder *builder, fb::Status *st) {
        builder->insertString(st, isc_dpb_user_name, userBytes.constData());
        builder->insertString(st, isc_dpb_password, passwordBytes.constData());
        builder->insertString(st, isc_dpb_lc_ctype, "WIN1252");
        builder->insertString(st, isc_dpb_set_db_charset, "WIN1252");
        builder->insertInt(st, isc_dpb_sql_dialect, 3);
        builder->insertInt(st, isc_dpb_page_size, 8192);
    });
    const QByteArray fileName = path.toLocal8Bit();
    IAttachment *attachment = fb::call([&](fb::Status *st) {
        return fb::provider()->createDatabase(st, fileName.constData(), unsigned(dpb.size()),
                                              reinterpret_cast<const unsigned char *>(dpb.constData()));
    });
    fb::call([&](fb::Status *st) { attachment->detach(st); });

    // Fill it through the same connection the program uses; each statement is
    // committed on its own so later ones see the tables made by earlier ones.
    Database database;
    Transaction transaction;
    database.setDatabaseName(path);
    database.setParams({QStringLiteral("user_name=") + user, QStringLiteral("password=") + password,
                        QStringLiteral("lc_ctype=WIN1252")});
    database.setDefaultTransaction(&transaction);
    transaction.setDefaultDatabase(&database);
    database.open();
    for (const QString &statement : splitScript(schemaScript())) {
        transaction.startTransaction();
        PreparedStatement(database, statement).execute(transaction);
        transaction.commit();
    }
    database.close();
}

} // namespace databasecreator
