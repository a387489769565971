#pragma once

#include "PreparedReport.h"

#include <QFont>
#include <QPainter>

// The one drawing path of prepared pages: the preview, the printer, PDF and
// JPEG all call paintPage with a painter scaled to units.
namespace pagerenderer {

// A font that measures in units on a device of the given resolution: its
// point size is compensated, because the painter's scale already maps units
// to the device.
QFont fontFor(const FontSpec &spec, double deviceDpi);

// The painter must already map units to the device (scale dpi / 96).
void paintPage(const PreparedReport &report, int pageIndex, QPainter &painter);

} // namespace pagerenderer
