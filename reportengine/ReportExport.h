#pragma once

#include "PreparedReport.h"

class ReportPreparation;

#include <QImage>
#include <QStringList>

#include <functional>

// Exports of prepared pages. Each either writes every file or, on failure,
// leaves no file behind and throws ReportError with the reason. A progress
// callback may throw ReportCancelled to stop: no file is left either.
namespace reportexport {

using Progress = std::function<void(int pagesDone)>;

// One PDF page per prepared page at its exact size, text as text, fonts embedded.
void toPdf(const PreparedReport &report, const QString &path, const QString &title = QString(),
           const Progress &progress = {});
// Each page written as soon as it is prepared, the preparation carried to its end.
void toPdf(ReportPreparation &preparation, const QString &path, const QString &title = QString(),
           const Progress &progress = {});

// One JPEG file per page: the path itself for one page, "NAME-1.jpg", "NAME-2.jpg"...
// for more. Returns the files written.
QStringList toJpeg(const PreparedReport &report, const QString &path, int dpi = 96, const Progress &progress = {});
// The preparation carried to its end first: the names depend on the page count.
QStringList toJpeg(ReportPreparation &preparation, const QString &path, int dpi = 96, const Progress &progress = {});
QStringList jpegFileNames(const QString &path, int pageCount);

// A page drawn on white at the given resolution.
QImage pageImage(const PreparedReport &report, int pageIndex, double dpi);

} // namespace reportexport
