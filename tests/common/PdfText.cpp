#include "PdfText.h"

#include "reportengine/Report.h"
#include "reportengine/ReportExport.h"

#include <QProcess>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr double kUnitsPerPoint = 96.0 / 72.0;
// Liberation Sans and Tahoma: descent 0.21 of ascent plus descent 1.12.
constexpr double kDescentShare = 0.19;

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString unescape(QString text)
{
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

struct PdfFont
{
    QString name;
    bool embedded;
};

QVector<PdfFont> fontsOf(const QString &path)
{
    const QStringList lines = run(QStringLiteral("pdffonts"), {path}).split(QLatin1Char('\n'));
    QVector<PdfFont> fonts;
    // Columns: name, type (may hold a blank), encoding, emb, sub, uni, object ID.
    static const QRegularExpression row(QStringLiteral(R"re(^(\S+)\s+.*\s(yes|no)\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+$)re"));
    for (const QString &line : lines.mid(2)) {
        if (line.trimmed().isEmpty())
            continue;
        const auto match = row.match(line.trimmed());
        // A line of another shape counts as a font not embedded, so that it is seen.
        fonts.append({line.section(QLatin1Char(' '), 0, 0), match.hasMatch() && match.captured(2) == QLatin1String("yes")});
    }
    return fonts;
}

} // namespace

QString PdfPage::text() const
{
    QStringList all;
    for (const PdfWord &word : words)
        all << word.text;
    return all.join(QLatin1Char(' '));
}

QVector<PdfWord> PdfPage::wordsInside(const QRectF &area, double tolerance) const
{
    const QRectF grown = area.adjusted(-tolerance, -tolerance, tolerance, tolerance);
    QVector<PdfWord> inside;
    for (const PdfWord &word : words) {
        // pdftotext's box reaches the font's full descent below the baseline, which a
        // large font hangs out of a tight box however it is drawn; the rest must be inside.
        const QRectF aboveDescent = word.box.adjusted(0, 0, 0, -kDescentShare * word.box.height());
        if (grown.contains(aboveDescent))
            inside << word;
    }
    return inside;
}

QString PdfPage::textInside(const QRectF &area, double tolerance) const
{
    QStringList texts;
    for (const PdfWord &word : wordsInside(area, tolerance))
        texts << word.text;
    return texts.join(QLatin1Char(' '));
}

QVector<PdfPage> pdfOf(Report &report, const QString &path)
{
    report.prepareReport();
    reportexport::toPdf(report.preparedPages(), path);
    return readPdf(path);
}

QStringList PdfPage::lines() const
{
    QVector<PdfWord> sorted = words;
    std::sort(sorted.begin(), sorted.end(), [](const PdfWord &a, const PdfWord &b) {
        return a.box.center().y() < b.box.center().y();
    });
    QVector<QVector<PdfWord>> rows;
    for (const PdfWord &word : sorted) {
        if (rows.isEmpty() || word.box.center().y() - rows.last().first().box.center().y() > 6)
            rows.append(QVector<PdfWord>());
        rows.last().append(word);
    }
    QStringList texts;
    for (QVector<PdfWord> &row : rows) {
        std::sort(row.begin(), row.end(), [](const PdfWord &a, const PdfWord &b) { return a.box.left() < b.box.left(); });
        QStringList parts;
        for (const PdfWord &word : row)
            parts << word.text;
        texts << parts.join(QLatin1Char(' '));
    }
    return texts;
}

int PdfPage::count(const QString &word) const
{
    return int(std::count_if(words.begin(), words.end(), [&](const PdfWord &w) { return w.text == word; }));
}

QStringList listedReceiptNumbers(const QVector<PdfPage> &pages)
{
    static const QRegularExpression row(QStringLiteral("^(\\d+) \\d\\d/\\d\\d/\\d{4} "));
    QStringList numbers;
    for (const PdfPage &page : pages) {
        for (const QString &line : page.lines()) {
            if (const auto match = row.match(line); match.hasMatch())
                numbers << match.captured(1);
        }
    }
    return numbers;
}

QStringList wordsMatching(const QVector<PdfPage> &pages, const QRegularExpression &pattern)
{
    QStringList matching;
    for (const PdfPage &page : pages) {
        for (const PdfWord &word : page.words) {
            if (pattern.match(word.text).hasMatch())
                matching << word.text;
        }
    }
    return matching;
}

QVector<PdfPage> readPdf(const QString &path)
{
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression pageTag(QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    static const QRegularExpression wordTag(QStringLiteral(
        R"re(<word xMin="([\d.-]+)" yMin="([\d.-]+)" xMax="([\d.-]+)" yMax="([\d.-]+)">([^<]*)</word>)re"));
    QVector<PdfPage> pages;
    for (const QString &line : html.split(QLatin1Char('\n'))) {
        if (const auto page = pageTag.match(line); page.hasMatch()) {
            pages.append(PdfPage{QSizeF(page.captured(1).toDouble(), page.captured(2).toDouble()) * kUnitsPerPoint, {}});
        } else if (const auto word = wordTag.match(line); word.hasMatch() && !pages.isEmpty()) {
            const QPointF topLeft(word.captured(1).toDouble(), word.captured(2).toDouble());
            const QPointF bottomRight(word.captured(3).toDouble(), word.captured(4).toDouble());
            pages.last().words.append(
                {unescape(word.captured(5)), QRectF(topLeft * kUnitsPerPoint, bottomRight * kUnitsPerPoint)});
        }
    }
    return pages;
}

QStringList fontNames(const QString &path)
{
    QStringList names;
    for (const PdfFont &font : fontsOf(path))
        names << font.name;
    return names;
}

QStringList fontsNotEmbedded(const QString &path)
{
    QStringList missing;
    for (const PdfFont &font : fontsOf(path)) {
        if (!font.embedded)
            missing << font.name;
    }
    return missing;
}

QVector<QSizeF> pictureResolutions(const QString &path)
{
    const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path}).split(QLatin1Char('\n'));
    QVector<QSizeF> resolutions;
    // Columns: page, num, type, width, height, color, comp, bpc, enc, interp, object, ID, x-ppi, y-ppi, size, ratio.
    for (const QString &line : lines.mid(2)) {
        const QStringList columns = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (columns.size() >= 14 && columns.at(2) == QLatin1String("image"))
            resolutions << QSizeF(columns.at(12).toDouble(), columns.at(13).toDouble());
    }
    return resolutions;
}
