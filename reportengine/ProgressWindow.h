#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QString>

class QWidget;

// Shows a progress window while a long job runs, with "Cancelar"; short jobs
// never show it. The window's own input is answered as the job reports, and a
// click on "Cancelar" throws ReportCancelled through the job.
class ProgressWindow
{
public:
    // total 0: the count is not known yet, and the label counts what is done in `unit`s.
    ProgressWindow(const QString &label, int total, QWidget *parent, const QString &unit = QStringLiteral("página"));

    void operator()(qint64 done);

private:
    QString m_label;
    QString m_unit;
    QProgressDialog m_dialog;
    QElapsedTimer m_started;
    QElapsedTimer m_sinceAnswer;
};
