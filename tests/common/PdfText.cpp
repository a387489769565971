#include "PdfText.h"

#include <QProcess>
#include <QRegularExpression>

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

QStringList fontsNotEmbedded(const QString &path)
{
    const QStringList lines = run(QStringLiteral("pdffonts"), {path}).split(QLatin1Char('\n'));
    QStringList missing;
    // Columns: name, type (may hold a blank), encoding, emb, sub, uni, object ID.
    static const QRegularExpression row(QStringLiteral(R"re(^(\S+)\s+.*\s(yes|no)\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+$)re"));
    for (const QString &line : lines.mid(2)) {
        const auto match = row.match(line.trimmed());
        if (match.hasMatch() && match.captured(2) == QLatin1String("no"))
            missing << match.captured(1);
    }
    return missing;
}
