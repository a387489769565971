#pragma once

#include <QString>
#include <QVariantList>
#include <QVector>

#include <functional>

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

    using Linha = std::function<void(const QVariantList &)>;

    QString nome; // the worksheet's name
    QVector<Coluna> colunas;
    // QString, int, QDate or Numeric as the column says; a null value is an empty cell.
    QVector<QVariantList> linhas;
    // For a table too large to hold: hands each row in turn to the writer,
    // which then writes it at once; `linhas` is not used when this is set.
    std::function<void(const Linha &)> leLinhas;

    void paraCadaLinha(const Linha &linha) const;
};

namespace planilha {

enum class Formato { Csv, Xlsx };

// From the file's extension (.csv or .xlsx, any case); false for any other.
bool formatoDoArquivo(const QString &path, Formato *formato);

// Told after each row written; it may throw ReportCancelled to stop, and no file is left then.
using Progresso = std::function<void(qint64 linhas)>;

// UTF-8 with a byte-order mark, ";" between fields, CRLF after each line,
// decimal comma without grouping, dates dd/mm/aaaa, quotes as RFC 4180 has
// them: the form a Brazilian spreadsheet program opens as it stands.
QByteArray csv(const Planilha &planilha);
void gravaCsv(const Planilha &planilha, const QString &path, const Progresso &progresso = {});

// Amounts as numbers in "#,##0.00", dates as dates, the heading row frozen and,
// when there is an amount column, a total row with a SUM formula under the rows.
// Rows go to the file as they come, so memory stays the same whatever their number.
void gravaXlsx(const Planilha &planilha, const QString &path, const Progresso &progresso = {});

void grava(const Planilha &planilha, const QString &path, Formato formato, const Progresso &progresso = {});

} // namespace planilha
