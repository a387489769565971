#pragma once

#include "PreparedReport.h"

#include <QDialog>
#include <QKeySequence>
#include <QList>

#include <memory>

#include <functional>

class QLabel;
class QLineEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTimer;
class PageView;
class ProgressWindow;
class ReportPreparation;

// The modal preview of prepared pages: print, open and save prepared pages,
// PDF and JPEG export, zoom, find, page navigation and page setup.
// A failed action shows its reason through the standard error display and
// the preview stays open.
class PreviewWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PreviewWindow(const PreparedReport &report, QWidget *parent = nullptr);
    // Shows the pages as they are prepared and prepares the rest between the
    // user's input, with a progress bar and "Cancelar". Printing and the
    // exports take the whole report, preparing what is missing as they go.
    explicit PreviewWindow(ReportPreparation &preparation, QWidget *parent = nullptr);
    ~PreviewWindow() override;

    // Opens maximised at zoom 1.0; returns when the window closes.
    int exec() override;
    void done(int result) override;

    const PreparedReport &report() const { return *m_pages; }
    bool preparing() const;
    // Stops preparing; the pages prepared so far can still be seen, but not printed or exported.
    void cancelPreparation();
    int currentPage() const { return m_page; }
    double zoom() const { return m_zoom; }

    void showPage(int index);
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    void zoomToPageWidth();
    // Moves to the next page from the current one holding the text; false when none does.
    bool findText(const QString &text);

    // What the toolbar's actions do once a file is chosen; errors go to the error display.
    bool exportPdfTo(const QString &path);
    bool exportJpegTo(const QString &path, int dpi);
    bool savePagesTo(const QString &path);
    bool openPagesFrom(const QString &path);
    bool printTo(QPrinter &printer);

private:
    // A toolbar command: its object name, freedesktop theme icon (none where the
    // theme names none), own icon, text, tooltip and keys.
    struct Command
    {
        const char *name;
        const char *themeIcon;
        const char *ownIcon;
        QString text;
        QString hint;
        QList<QKeySequence> keys;
    };

    void buildWindow();
    void buildToolbar();
    void buildProgressRow(QWidget *row);
    void prepareSlice();
    void updatePreparation();
    // Prepares what is missing behind a progress window; false when cancelled.
    bool finishPreparation();
    // Runs an action that may take long, behind a progress window with "Cancelar";
    // false when it failed (the error display says why) or was cancelled.
    bool runLong(const QString &label, const std::function<void(ProgressWindow &)> &action);
    bool pageExists(int index);
    void requireWholeReport() const;
    void updatePageLabel();
    void printClicked();
    void pageSetupClicked();
    void openClicked();
    void saveClicked();
    void exportPdfClicked();
    void exportJpegClicked();
    void findClicked();
    void findShortcut();

    PreparedReport m_opened;
    ReportPreparation *m_preparation = nullptr;
    const PreparedReport *m_pages = &m_opened;
    // While an export or the printing runs, it prepares the pages it needs itself.
    bool m_busy = false;
    QTimer *m_prepareTimer = nullptr;
    QLabel *m_progressLabel = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QPushButton *m_cancel = nullptr;
    int m_page = 0;
    double m_zoom = 1.0;
    std::unique_ptr<QPrinter> m_printer;
    PageView *m_view = nullptr;
    QScrollArea *m_scroll = nullptr;
    QLabel *m_pageLabel = nullptr;
    QLabel *m_status = nullptr;
    QLineEdit *m_find = nullptr;
};
