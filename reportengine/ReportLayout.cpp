#include "ReportLayout.h"

#include "PictureDecoding.h"

#include <cmath>

void ReportObject::setPicture(const QByteArray &bytes)
{
    // More detail than 300 dpi of the box is never seen on paper, and a
    // picture of any size fits in memory and in the PDF so.
    constexpr double kDotsPerInch = 300;
    const double scale = kDotsPerInch / units::kPerInch;
    const QSize bound(int(std::ceil(box.width() * scale)), int(std::ceil(box.height() * scale)));
    // A picture that cannot be decoded prints nothing, like an empty one.
    m_picture = picturedecoding::decode(bytes, bound);
}

QSizeF PageSettings::sizeUnits() const
{
    const QSizeF size(units::fromMm(paperMm.width()), units::fromMm(paperMm.height()));
    return landscape ? size.transposed() : size;
}

QRectF PageSettings::printableUnits() const
{
    const QSizeF size = sizeUnits();
    const double left = units::fromMm(marginsMm.left());
    const double top = units::fromMm(marginsMm.top());
    return QRectF(left, top, size.width() - left - units::fromMm(marginsMm.right()),
                  size.height() - top - units::fromMm(marginsMm.bottom()));
}

ReportObject *ReportLayout::findObject(const QString &objectName)
{
    return const_cast<ReportObject *>(static_cast<const ReportLayout *>(this)->findObject(objectName));
}

const ReportObject *ReportLayout::findObject(const QString &objectName) const
{
    for (const Band &band : bands) {
        for (const ReportObject &object : band.objects) {
            if (object.name.compare(objectName, Qt::CaseInsensitive) == 0)
                return &object;
        }
    }
    return nullptr;
}
