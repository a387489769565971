#pragma once

#include "ReportLayout.h"

#include <QString>

// Layout files: one line per page setting, band or object, in drawing order;
// "#" starts a comment line. For example:
//
//   layout frxReport
//   page paper=210x297 margins=0,0,0,0
//   band ReportTitle1 kind=title height=910.87
//   text Valor left=625.51 top=117.17 width=136.06 height=26.46 size=18 bold align=right fill=#c8c8c8 text="RECIBO"
//   line Line1 left=147.4 top=355.28 width=616.06 style=dotted
//
// Reading stops at the first problem with a LayoutError naming the line.
namespace layoutfile {

ReportLayout parse(const QString &text, const QString &fileName);
ReportLayout load(const QString &path);

} // namespace layoutfile
