#include "ReportPreparer.h"

#include "FontFace.h"
#include "ReportError.h"
#include "ReportMemory.h"
#include "ValueFormat.h"

#include "data/ValueText.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// A line that overruns its box by less than this is drawn whole rather than clipped.
constexpr double kOverrunTolerance = 1.0;

QString sumKey(const QString &band, const QString &source, const QString &field)
{
    return (band + QLatin1Char('|') + source + QLatin1Char('|') + field).toUpper();
}

} // namespace

ReportPreparer::ReportPreparer(const ReportLayout &layout, const QHash<QString, DataSource *> &sources,
                               const QLocale &locale)
    : m_layout(layout), m_locale(locale)
{
    for (auto it = sources.constBegin(); it != sources.constEnd(); ++it)
        m_sources.insert(it.key().toUpper(), it.value());
}

ReportPreparer::~ReportPreparer()
{
    stop();
}

void ReportPreparer::prepare(PreparedReport &report, const Progress &progress)
{
    start(report);
    while (!finished()) {
        preparePage();
        if (progress)
            progress(report.pageCount());
    }
}

void ReportPreparer::start(PreparedReport &report)
{
    stop();
    reportmemory::retainFreedMemory();
    report.clear();
    m_report = &report;
    m_page = nullptr;
    m_sums.clear();
    m_sumsOfBand.clear();
    for (const Band &band : m_layout.bands) {
        for (const Band &any : m_layout.bands) {
            for (const ReportObject &object : any.objects) {
                for (const Expression &expression : object.content().expressions()) {
                    if (expression.kind != Expression::Kind::Sum
                        || expression.band.compare(band.name, Qt::CaseInsensitive) != 0)
                        continue;
                    // The same sum printed twice is still counted once per row.
                    const QString key = sumKey(expression.band, expression.dataSource, expression.field);
                    QVector<TrackedSum> &tracked = m_sumsOfBand[&band];
                    const bool known = std::any_of(tracked.cbegin(), tracked.cend(),
                                                   [&](const TrackedSum &sum) { return sum.key == key; });
                    if (!known)
                        tracked.append({expression, key});
                }
            }
        }
    }
    m_printable = m_layout.page.printableUnits();
    m_title = nullptr;
    m_header = nullptr;
    for (const Band &band : m_layout.bands) {
        if (band.kind == BandKind::ReportTitle && !m_title)
            m_title = &band;
        else if (band.kind == BandKind::PageHeader && !m_header)
            m_header = &band;
    }
    m_phase = Phase::Rows;
    m_band = -1;
    try {
        startPage(true);
    } catch (...) {
        stop();
        throw;
    }
}

void ReportPreparer::preparePage()
{
    const int before = m_report ? m_report->pageCount() : 0;
    try {
        while (!finished() && m_report->pageCount() == before)
            step();
    } catch (...) {
        stop();
        throw;
    }
}

void ReportPreparer::stop()
{
    endWalk();
    m_phase = Phase::Done;
    m_page = nullptr;
    m_current = PreparedPage();
}

void ReportPreparer::step()
{
    if (m_phase == Phase::Summary) {
        for (const Band &band : m_layout.bands) {
            if (band.kind != BandKind::ReportSummary)
                continue;
            if (m_y + band.height > m_printable.bottom() && m_y > m_pageBodyTop)
                startPage(false);
            printBand(band);
        }
        finishPage();
        m_phase = Phase::Done;
        return;
    }
    if (!m_walking) {
        nextMasterBand();
        return;
    }
    const Band &band = m_layout.bands.at(size_t(m_band));
    if (m_walking->eof()) {
        endWalk();
        return;
    }
    if (m_y + band.height > m_printable.bottom() && m_y > m_pageBodyTop)
        startPage(false);
    accumulate(band);
    printBand(band);
    m_walking->next();
}

void ReportPreparer::nextMasterBand()
{
    do {
        ++m_band;
    } while (m_band < int(m_layout.bands.size()) && m_layout.bands.at(size_t(m_band)).kind != BandKind::MasterData);
    if (m_band >= int(m_layout.bands.size())) {
        m_phase = Phase::Summary;
        return;
    }
    DataSource &rows = source(m_layout.bands.at(size_t(m_band)).dataSource);
    rows.beginRows();
    m_walking = &rows;
    rows.first();
}

void ReportPreparer::endWalk()
{
    if (DataSource *rows = std::exchange(m_walking, nullptr))
        rows->endRows();
}

void ReportPreparer::finishPage()
{
    if (!m_page)
        return;
    m_report->addPage(m_current);
    m_page = nullptr;
}

void ReportPreparer::startPage(bool first)
{
    const qsizetype previous = m_current.primitives.size();
    finishPage();
    m_current.size = m_layout.page.sizeUnits();
    m_current.primitives.clear();
    m_current.primitives.reserve(previous);
    m_page = &m_current;
    m_y = m_printable.top();
    if (first && m_title)
        printBand(*m_title);
    if (m_header)
        printBand(*m_header);
    m_pageBodyTop = m_y;
}

void ReportPreparer::accumulate(const Band &band)
{
    const auto tracked = m_sumsOfBand.constFind(&band);
    if (tracked == m_sumsOfBand.constEnd())
        return;
    for (const TrackedSum &sum : *tracked) {
        const Expression &expression = sum.expression;
        const QVariant current = source(expression.dataSource).value(expression.field);
        if (current.isNull())
            continue;
        Numeric number;
        if (!valuetext::toNumeric(current, &number))
            throw ReportError(QStringLiteral("O campo %1.%2 não é numérico e não pode ser somado.")
                                  .arg(expression.dataSource, expression.field));
        m_sums[sum.key] += number;
    }
}

void ReportPreparer::printBand(const Band &band)
{
    const QPointF origin(m_printable.left(), m_y);
    for (const ReportObject &object : band.objects)
        placeObject(object, object.box.translated(origin), m_printable.width());
    m_y += band.height;
}

void ReportPreparer::placeObject(const ReportObject &object, const QRectF &box, double bandWidth)
{
    QRectF placed = box;
    if (object.centred)
        placed.moveLeft(m_printable.left() + (bandWidth - box.width()) / 2);

    Primitive primitive;
    primitive.rect = placed;
    switch (object.kind) {
    case ObjectKind::Text:
        placeText(object, box, bandWidth, evaluate(object));
        return;
    case ObjectKind::Line:
        primitive.type = Primitive::Type::Line;
        primitive.lineStyle = object.lineStyle;
        primitive.width = object.lineWidth;
        break;
    case ObjectKind::Rectangle:
        primitive.type = Primitive::Type::Rectangle;
        primitive.width = object.lineWidth;
        break;
    case ObjectKind::Picture: {
        const QImage &image = object.picture();
        if (image.isNull() || image.width() == 0 || image.height() == 0)
            return;
        const double scale = qMin(placed.width() / image.width(), placed.height() / image.height());
        primitive.type = Primitive::Type::Picture;
        primitive.rect = QRectF(placed.topLeft(), QSizeF(image.width() * scale, image.height() * scale));
        primitive.image = m_report->imageIndex(image);
        break;
    }
    }
    m_page->primitives.append(primitive);
}

void ReportPreparer::placeText(const ReportObject &object, QRectF box, double bandWidth, const QString &text)
{
    const TextGaps &gaps = object.gaps;
    const int font = m_report->fontIndex(object.font);
    const FontFace &face = FontFace::of(object.font);
    if (object.autoWidth) {
        double widest = 0;
        for (const QString &line : text.split(QLatin1Char('\n')))
            widest = qMax(widest, face.advance(line));
        box.setWidth(widest + gaps.left + gaps.right);
    }
    if (object.centred)
        box.moveLeft(m_printable.left() + (bandWidth - box.width()) / 2);

    if (object.fill.isValid()) {
        Primitive fill;
        fill.type = Primitive::Type::Fill;
        fill.rect = box;
        fill.color = object.fill.rgba();
        m_page->primitives.append(fill);
    }

    if (!text.isEmpty()) {
        const QRectF inner = box.adjusted(gaps.left, gaps.top, -gaps.right, -gaps.bottom);
        const QStringList lines = object.wordWrap && !object.autoWidth ? wrap(face, text, inner.width())
                                                                       : text.split(QLatin1Char('\n'));
        const double lineHeight = face.height();
        const double step = lineHeight + gaps.between;
        const int fitting = 1 + qMax(0, int(std::floor((inner.height() - lineHeight) / step + 1e-6)));
        const int shown = int(qMin<qsizetype>(fitting, lines.size()));
        const double total = shown * lineHeight + (shown - 1) * gaps.between;
        double top = inner.top();
        if (object.vAlign & Qt::AlignVCenter)
            top += (inner.height() - total) / 2;
        else if (object.vAlign & Qt::AlignBottom)
            top = inner.bottom() - total;

        QVector<double> widths(shown);
        bool overrun = shown < lines.size() || top + total > box.bottom() + kOverrunTolerance;
        for (int i = 0; i < shown; ++i) {
            widths[i] = face.advance(lines.at(i));
            overrun = overrun || widths[i] > inner.width() + kOverrunTolerance;
        }

        Primitive line;
        line.type = Primitive::Type::Text;
        line.font = font;
        line.color = object.font.color.rgba();
        line.align = quint8(object.hAlign & Qt::AlignHorizontal_Mask);
        line.clip = overrun ? box : QRectF();
        for (int i = 0; i < shown; ++i) {
            line.rect = QRectF(inner.left(), top + i * step, inner.width(), lineHeight);
            line.text = lines.at(i);
            line.width = widths[i];
            m_page->primitives.append(line);
        }
    }

    const Frame &frame = object.frame;
    if (frame.any()) {
        Primitive edge;
        edge.type = Primitive::Type::Line;
        edge.width = frame.width;
        edge.lineStyle = frame.style;
        const auto addEdge = [&](bool wanted, const QPointF &from, const QPointF &to) {
            if (!wanted)
                return;
            edge.rect = QRectF(from, to);
            m_page->primitives.append(edge);
        };
        addEdge(frame.top, box.topLeft(), box.topRight());
        addEdge(frame.bottom, box.bottomLeft(), box.bottomRight());
        addEdge(frame.left, box.topLeft(), box.bottomLeft());
        addEdge(frame.right, box.topRight(), box.bottomRight());
    }
}

QString ReportPreparer::evaluate(const ReportObject &object) const
{
    const TextTemplate &content = object.content();
    if (content.isLiteral())
        return content.source();
    QString text;
    for (const TextTemplate::Part &part : content.parts()) {
        if (part.expression < 0)
            text += part.literal;
        else
            text += valueformat::format(value(content.expressions().at(part.expression)), object.displayFormat,
                                        m_locale);
    }
    return text;
}

QVariant ReportPreparer::value(const Expression &expression) const
{
    if (expression.kind == Expression::Kind::Sum) {
        return QVariant::fromValue(
            m_sums.value(sumKey(expression.band, expression.dataSource, expression.field), Numeric{0, -2}));
    }
    return source(expression.dataSource).value(expression.field);
}

DataSource &ReportPreparer::source(const QString &name) const
{
    // Asked for every value of every row: the name as written is looked up first.
    const auto known = m_sourceOf.constFind(name);
    if (known != m_sourceOf.constEnd())
        return **known;
    DataSource *found = m_sources.value(name.toUpper());
    if (!found)
        throw ReportError(QStringLiteral("Fonte de dados desconhecida no relatório: %1").arg(name));
    m_sourceOf.insert(name, found);
    return *found;
}

QStringList ReportPreparer::wrap(const FontFace &face, const QString &text, double width)
{
    QStringList lines;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        if (face.advance(paragraph) <= width) {
            lines << paragraph;
            continue;
        }
        QString current;
        for (const QString &word : paragraph.split(QLatin1Char(' '))) {
            const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (face.advance(candidate) <= width) {
                current = candidate;
                continue;
            }
            if (!current.isEmpty())
                lines << current;
            current = word;
            // A word wider than the box is broken where it reaches the edge.
            while (current.size() > 1 && face.advance(current) > width) {
                qsizetype fit = 1;
                while (fit < current.size() && face.advance(current.left(fit + 1)) <= width)
                    ++fit;
                lines << current.left(fit);
                current = current.mid(fit);
            }
        }
        lines << current;
    }
    return lines;
}
