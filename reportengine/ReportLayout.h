#pragma once

#include "TextTemplate.h"

#include <QColor>
#include <QImage>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

// Layouts measure in 1/96 inch ("units"), as the screen does at 100 %.
namespace units {
constexpr double kPerInch = 96.0;
constexpr double kPerMm = kPerInch / 25.4;
inline double fromMm(double mm) { return mm * kPerMm; }
inline double toMm(double u) { return u / kPerMm; }
} // namespace units

enum class ObjectKind { Text, Line, Rectangle, Picture };
enum class LineStyle { Solid, Dotted, SquareDots };
enum class BandKind { ReportTitle, PageHeader, MasterData, ReportSummary };

struct FontDesc
{
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    QColor color = Qt::black;
};

// Inner gaps of a text box and the gap between its lines.
struct TextGaps
{
    double left = 2;
    double top = 1;
    double right = 2;
    double bottom = 1;
    double between = 2;
};

// Border lines of a text box, drawn over its fill.
struct Frame
{
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
    double width = 1;
    LineStyle style = LineStyle::Solid;

    bool any() const { return left || top || right || bottom; }
};

class ReportObject
{
public:
    ObjectKind kind = ObjectKind::Text;
    QString name;
    // Relative to the band's top-left corner; a line runs from the top-left to the bottom-right corner.
    QRectF box;

    // Text
    FontDesc font;
    Qt::Alignment hAlign = Qt::AlignLeft;
    Qt::Alignment vAlign = Qt::AlignTop;
    bool wordWrap = true;
    bool autoWidth = false;
    TextGaps gaps;
    QColor fill; // invalid: transparent
    Frame frame;
    // A number or date printed through this pattern ("%2.2n"); empty prints it plainly.
    QString displayFormat;

    // Line
    LineStyle lineStyle = LineStyle::Solid;
    double lineWidth = 1;

    // Placed in the middle of the band's width whatever the left given.
    bool centred = false;

    const TextTemplate &content() const { return m_content; }
    QString text() const { return m_content.source(); }
    // Printed as it stands: brackets in it are not expressions.
    void setText(const QString &text) { m_content = TextTemplate::literal(text); }
    void setContent(TextTemplate content) { m_content = std::move(content); }

    const QImage &picture() const { return m_picture; }
    // Bytes of a BMP, JPEG or PNG file, decoded at no more than 300 dpi of the
    // box, which is set first; anything else, or nothing, empties the picture.
    void setPicture(const QByteArray &bytes);
    void setPicture(const QImage &image) { m_picture = image; }

private:
    TextTemplate m_content;
    QImage m_picture;
};

struct Band
{
    BandKind kind = BandKind::ReportTitle;
    QString name;
    double height = 0;
    // Master data only: the data source whose rows it prints.
    QString dataSource;
    std::vector<ReportObject> objects;
};

struct PageSettings
{
    QSizeF paperMm{210, 297};
    bool landscape = false;
    QMarginsF marginsMm;

    QSizeF sizeUnits() const;
    QRectF printableUnits() const;
};

struct ReportLayout
{
    QString name;
    PageSettings page;
    std::vector<Band> bands;

    // Case-insensitive, the first match in band and drawing order; null when none.
    ReportObject *findObject(const QString &objectName);
    const ReportObject *findObject(const QString &objectName) const;
};
