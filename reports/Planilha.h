#pragma once

#include <QString>
#include <QVariantList>
#include <QVector>

// A table handed to the accountant as a spreadsheet: a heading per column and
// rows of typed cells. Both writers put the file in place whole or leave no
// file behind, and throw ReportError with the reason.
struct Planilha
{
    enum class Tipo { Texto, Inteiro, Data, Dinheiro };
    struct Coluna
    {
        QString titulo;
        Tipo tipo = Tipo::Texto;
        double largura = 12; // characters, XLSX only
    };

    QString nome; // the worksheet's name
    QVector<Coluna> colunas;
    // QString, int, QDate or Numeric as the column says; a null value is an empty cell.
    QVector<QVariantList> linhas;
};

namespace planilha {

enum class Formato { Csv, Xlsx };

// From the file's extension (.csv or .xlsx, any case); false for any other.
bool formatoDoArquivo(const QString &path, Formato *formato);

// UTF-8 with a byte-order mark, ";" between fields, CRLF after each line,
// decimal comma without grouping, dates dd/mm/aaaa, quotes as RFC 4180 has
// them: the form a Brazilian spreadsheet program opens as it stands.
QByteArray csv(const Planilha &planilha);
void gravaCsv(const Planilha &planilha, const QString &path);

// Amounts as numbers in "#,##0.00", dates as dates, the heading row frozen and,
// when there is an amount column, a total row with a SUM formula under the rows.
void gravaXlsx(const Planilha &planilha, const QString &path);

void grava(const Planilha &planilha, const QString &path, Formato formato);

} // namespace planilha
