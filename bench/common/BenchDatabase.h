#pragma once

#include <QDate>
#include <QString>

// The database the benches measure against, made once in a folder and reused
// by later runs. The rows are made by the engine itself: filling a million
// of them through the client library would take longer than any measurement.
namespace benchdb {

constexpr int kClients = 100000;
constexpr int kReceipts = 1000000;

struct Contents
{
    int clients = kClients;
    int logoBytes = 0; // FOTO_MARC of every client; none when 0
    int receipts = kReceipts;
    QDate firstDay{2020, 1, 1}; // receipts spread over `days` days from here
    int days = 2000;
};

// Client i (from 1), as stored: a first name, a surname and the number, so
// that typed prefixes match from a few rows to thousands.
QString clientName(int i);

// FOLDER/FILE, created and filled when it does not exist yet; says on the
// standard output how long the fill took, or that the file is reused.
// Throws DatabaseError.
QString prepare(const QString &folder, const QString &file, const Contents &contents);

} // namespace benchdb
