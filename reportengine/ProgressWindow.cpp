#include "ProgressWindow.h"

#include "ReportError.h"

#include <QApplication>

namespace {

// How often a long job lets the progress window answer.
constexpr qint64 kRepaintMs = 50;

} // namespace

ProgressWindow::ProgressWindow(const QString &label, int total, QWidget *parent, const QString &unit)
    : m_label(label), m_unit(unit), m_dialog(label, QStringLiteral("Cancelar"), 0, total, parent)
{
    m_dialog.setObjectName(QStringLiteral("ProgressWindow"));
    m_dialog.setWindowTitle(QStringLiteral("Quindelo"));
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(500);
    m_dialog.setAutoReset(false);
    m_started.start();
    m_sinceAnswer.start();
}

void ProgressWindow::operator()(qint64 done)
{
    if (m_sinceAnswer.elapsed() < kRepaintMs)
        return;
    m_sinceAnswer.restart();
    if (m_dialog.maximum() > 0) {
        m_dialog.setValue(int(qMin<qint64>(done, m_dialog.maximum())));
    } else {
        m_dialog.setLabelText(QStringLiteral("%1 %2 %3").arg(m_label, m_unit).arg(done));
        // With no count to estimate from, the dialog never shows itself.
        if (!m_dialog.isVisible() && m_started.elapsed() >= m_dialog.minimumDuration())
            m_dialog.show();
    }
    QApplication::processEvents();
    if (m_dialog.wasCanceled())
        throw ReportCancelled();
}
