#include "ReportsFixture.h"

#include "data/Numeric.h"
#include "data/Statement.h"
#include "reportengine/Report.h"
#include "reportengine/ReportExport.h"

#include <QLocale>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>

namespace {

// A number written in letters (1 = B, 26 = BA), so that names print no digits.
QString letras(int number)
{
    QString text;
    do {
        text.prepend(QChar(u'A' + number % 26));
        number /= 26;
    } while (number > 0);
    return text;
}

} // namespace

QVariant money(qint64 cents)
{
    return QVariant::fromValue(Numeric{cents, -2});
}

void addRecibos(DataModule &dm, const QVector<Recibo> &recibos)
{
    dm.Base.open();
    if (!dm.Tra.inTransaction())
        dm.Tra.startTransaction();
    PreparedStatement insert(dm.Base, QStringLiteral(
        "insert into RECIBOS (ID_RECIBO, EMITENTE, CLIENTE, VALOR, DATA, TIPO) "
        "values (:ID, :EMITENTE, 'EMPRESA EMITENTE LTDA', :VALOR, :DATA, :TIPO)"));
    for (const Recibo &r : recibos) {
        const QString nome = r.nome.isEmpty() ? QStringLiteral("PAGADOR ") + letras(r.id) : r.nome;
        insert.execute(dm.Tra, QVariantList{r.id, nome, r.valor, r.data, r.tipo});
    }
    dm.Tra.commitRetaining();
}

QVector<Recibo> recibosNoDia(int firstId, int count, const QDate &day, const QString &tipo)
{
    QVector<Recibo> recibos;
    for (int i = 0; i < count; ++i)
        recibos.append({firstId + i, day, tipo, money(1000 + 37 * i), QString()});
    return recibos;
}

QString somaNoBanco(DataModule &dm, const QDate &ini, const QDate &fim, const QString &tipo)
{
    QString sql = QStringLiteral("select coalesce(sum(VALOR), 0) from RECIBOS where DATA between :INI and :FIM");
    QVariantList params{ini, fim};
    if (!tipo.isEmpty()) {
        sql += QStringLiteral(" and TIPO = :TIPO");
        params << tipo;
    }
    PreparedStatement sum(dm.Base, sql);
    std::unique_ptr<Cursor> cursor = sum.openCursor(dm.Tra, params);
    Row row;
    cursor->fetch(row);
    const Numeric total = row.value(0).value<Numeric>().rescaled(-2);
    return QLocale().toString(double(total.units) / 100.0, 'f', 2);
}

QVector<PdfPage> pdfOf(Report &report, const QString &path)
{
    report.prepareReport();
    reportexport::toPdf(report.preparedPages(), path);
    return readPdf(path);
}

QStringList numerosImpressos(const QVector<PdfPage> &pages)
{
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    QStringList numbers;
    for (const PdfPage &page : pages) {
        for (const PdfWord &word : page.words) {
            if (digits.match(word.text).hasMatch())
                numbers << word.text;
        }
    }
    return numbers;
}

QStringList valoresImpressos(const QVector<PdfPage> &pages)
{
    static const QRegularExpression amount(QStringLiteral("^-?\\d{1,3}(\\.\\d{3})*,\\d\\d$"));
    QStringList amounts;
    for (const PdfPage &page : pages) {
        for (const PdfWord &word : page.words) {
            if (amount.match(word.text).hasMatch())
                amounts << word.text;
        }
    }
    return amounts;
}

QString totalImpresso(const PdfPage &page)
{
    for (const PdfWord &label : page.words) {
        if (label.text != QLatin1String("Total"))
            continue;
        QStringList right;
        for (const PdfWord &word : page.words) {
            if (word.box.left() > label.box.right() && qAbs(word.box.center().y() - label.box.center().y()) < 8
                && word.text != QLatin1String("R$"))
                right << word.text;
        }
        return right.join(QLatin1Char(' '));
    }
    return QString();
}

QStringList linhas(const PdfPage &page)
{
    QVector<PdfWord> words = page.words;
    std::sort(words.begin(), words.end(), [](const PdfWord &a, const PdfWord &b) {
        return a.box.center().y() < b.box.center().y();
    });
    QVector<QVector<PdfWord>> lines;
    for (const PdfWord &word : words) {
        if (lines.isEmpty() || word.box.center().y() - lines.last().first().box.center().y() > 6)
            lines.append(QVector<PdfWord>());
        lines.last().append(word);
    }
    QStringList texts;
    for (QVector<PdfWord> &line : lines) {
        std::sort(line.begin(), line.end(), [](const PdfWord &a, const PdfWord &b) { return a.box.left() < b.box.left(); });
        QStringList parts;
        for (const PdfWord &word : line)
            parts << word.text;
        texts << parts.join(QLatin1Char(' '));
    }
    return texts;
}

QStringList fontesDoPdf(const QString &path)
{
    QProcess pdffonts;
    pdffonts.start(QStringLiteral("pdffonts"), {path});
    pdffonts.waitForFinished();
    QStringList names;
    const QStringList lines = QString::fromUtf8(pdffonts.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString &line : lines.mid(2)) {
        if (!line.trimmed().isEmpty())
            names << line.section(QLatin1Char(' '), 0, 0);
    }
    return names;
}

int contaPalavra(const PdfPage &page, const QString &word)
{
    int count = 0;
    for (const PdfWord &w : page.words)
        count += w.text == word ? 1 : 0;
    return count;
}
