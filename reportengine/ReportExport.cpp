#include "ReportExport.h"

#include "PageRenderer.h"
#include "ReportError.h"
#include "ReportMemory.h"
#include "ReportPreparation.h"

#include "data/ErrorText.h"

#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>

namespace reportexport {

namespace {

constexpr int kPdfResolution = 1200;

QPageSize pageSizeOf(const QSizeF &sizeUnits)
{
    // A size within a hair of a standard paper takes its exact dimensions.
    const QSizeF mm(units::toMm(sizeUnits.width()), units::toMm(sizeUnits.height()));
    return QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
}

QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("Não foi possível gravar o arquivo %1: %2.").arg(path, reason);
}

// Pages are asked for in order; `exists(i)` says whether page i is there, preparing it when it must.
void writePdf(const PreparedReport &report, const std::function<bool(int)> &exists, const QString &path,
              const QString &title, const Progress &progress)
{
    if (!exists(0))
        throw ReportError(QStringLiteral("O relatório não tem páginas para exportar."));
    reportmemory::retainFreedMemory();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(cannotWrite(path, errortext::fileProblem(file)));
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("Quindelo"));
        writer.setTitle(title);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setPageSize(pageSizeOf(report.pageSize(0)));
        QPainter painter;
        if (!painter.begin(&writer))
            throw ReportError(cannotWrite(path, QStringLiteral("falha ao iniciar o PDF")));
        const double scale = kPdfResolution / units::kPerInch;
        for (int i = 0; exists(i); ++i) {
            if (i > 0) {
                const QPageSize size = pageSizeOf(report.pageSize(i));
                if (!(writer.pageLayout().pageSize() == size))
                    writer.setPageSize(size);
                writer.newPage();
            }
            painter.resetTransform();
            painter.scale(scale, scale);
            pagerenderer::paintPage(report, i, painter);
            if (progress)
                progress(i + 1);
        }
        painter.end();
    }
    if (!file.commit())
        throw ReportError(cannotWrite(path, errortext::fileProblem(file)));
}

} // namespace

void toPdf(const PreparedReport &report, const QString &path, const QString &title, const Progress &progress)
{
    writePdf(report, [&report](int page) { return page < report.pageCount(); }, path, title, progress);
}

void toPdf(ReportPreparation &preparation, const QString &path, const QString &title, const Progress &progress)
{
    const ReportPreparation::Ahead ahead(preparation);
    writePdf(preparation.pages(), [&preparation](int page) { return preparation.reach(page); }, path, title, progress);
}

QStringList jpegFileNames(const QString &path, int pageCount)
{
    if (pageCount == 1)
        return {path};
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("jpg") : info.suffix();
    const QString stem = info.path() + QLatin1Char('/') + info.completeBaseName();
    QStringList names;
    for (int i = 1; i <= pageCount; ++i)
        names << QStringLiteral("%1-%2.%3").arg(stem).arg(i).arg(suffix);
    return names;
}

QImage pageImage(const PreparedReport &report, int pageIndex, double dpi)
{
    const double scale = dpi / units::kPerInch;
    const QSizeF size = report.pageSize(pageIndex) * scale;
    QImage image(int(std::lround(size.width())), int(std::lround(size.height())), QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.scale(scale, scale);
    pagerenderer::paintPage(report, pageIndex, painter);
    painter.end();
    return image;
}

QStringList toJpeg(const PreparedReport &report, const QString &path, int dpi, const Progress &progress)
{
    if (report.pageCount() == 0)
        throw ReportError(QStringLiteral("O relatório não tem páginas para exportar."));
    if (dpi < 10 || dpi > 1200)
        throw ReportError(QStringLiteral("Resolução inválida: %1 dpi.").arg(dpi));
    const QStringList names = jpegFileNames(path, report.pageCount());
    // Every page is written in full under a temporary name before any file takes its final name.
    QStringList written;
    const auto fail = [&](const QString &name, const QString &reason) {
        for (const QString &done : written)
            QFile::remove(done);
        throw ReportError(cannotWrite(name, reason));
    };
    try {
        for (int i = 0; i < report.pageCount(); ++i) {
            QFile file(names.at(i) + QStringLiteral(".parcial"));
            if (!file.open(QIODevice::WriteOnly))
                fail(names.at(i), errortext::fileProblem(file));
            written << file.fileName();
            if (!pageImage(report, i, dpi).save(&file, "JPG", 90) || !file.flush())
                fail(names.at(i), errortext::fileProblem(file));
            file.close();
            if (file.error() != QFileDevice::NoError)
                fail(names.at(i), errortext::fileProblem(file));
            if (progress)
                progress(i + 1);
        }
    } catch (const ReportCancelled &) {
        for (const QString &done : written)
            QFile::remove(done);
        throw;
    }
    for (int i = 0; i < names.size(); ++i) {
        QFile::remove(names.at(i));
        if (!QFile::rename(written.at(i), names.at(i))) {
            for (int done = 0; done < i; ++done)
                QFile::remove(names.at(done));
            written = written.mid(i);
            fail(names.at(i), QStringLiteral("não foi possível renomear o arquivo"));
        }
    }
    return names;
}

QStringList toJpeg(ReportPreparation &preparation, const QString &path, int dpi, const Progress &progress)
{
    preparation.finish();
    return toJpeg(preparation.pages(), path, dpi, progress);
}

} // namespace reportexport
