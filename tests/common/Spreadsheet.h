#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// An XLSX file read back with Debian's python3-openpyxl, outside our code.
struct XlsxCell
{
    QString type;   // "int", "float", "str", "date", "formula" or "none"
    QString value;  // dates as AAAA-MM-DD, formulas as written
    QString format; // the cell's number format
    QString cached; // a formula's stored result; otherwise the value
};

struct XlsxSheet
{
    QString title;
    QString frozen; // the top-left cell below and right of the frozen panes, "" when none
    QVector<QVector<XlsxCell>> rows;
};

// An empty title when the file cannot be read; the failure is printed.
XlsxSheet readXlsx(const QString &path);
