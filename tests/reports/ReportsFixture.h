#pragma once

#include "common/PdfText.h"

#include "data/Datamodule1.h"

#include <QDate>
#include <QStringList>
#include <QVariant>
#include <QVector>


struct Recibo
{
    int id = 0;
    QDate data;
    QVariant tipo;  // null: no kind
    QVariant valor; // Numeric, or null
    QString nome; // empty: a name of letters made from the id
};

QVariant money(qint64 cents);
// Stores the receipts with their own keys and commits.
void addRecibos(DataModule &dm, const QVector<Recibo> &recibos);
QVector<Recibo> recibosNoDia(int firstId, int count, const QDate &day, const QString &tipo);

// The database's own sum of VALOR over a period and kind, in the report's form.
QString somaNoBanco(DataModule &dm, const QDate &ini, const QDate &fim, const QString &tipo);


// Every word of the pages made of digits only: the receipt numbers.
QStringList numerosImpressos(const QVector<PdfPage> &pages);
// Amounts as the report prints them ("1.234,50"), in page order.
QStringList valoresImpressos(const QVector<PdfPage> &pages);
// The words printed right of "Total" on its line of the page.
QString totalImpresso(const PdfPage &page);
