#pragma once

#include "PreparedReport.h"

#include <QPainter>

// The one drawing path of prepared pages: the preview, the printer, PDF and
// JPEG all call paintPage with a painter scaled to units.
namespace pagerenderer {

// The painter must already map units to the device (scale dpi / 96).
void paintPage(const PreparedReport &report, int pageIndex, QPainter &painter);

} // namespace pagerenderer
