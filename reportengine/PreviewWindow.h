#pragma once

#include "PreparedReport.h"

#include <QDialog>
#include <QKeySequence>
#include <QList>

#include <memory>

class QLabel;
class QLineEdit;
class QPrinter;
class QScrollArea;
class PageView;

// The modal preview of prepared pages: print, open and save prepared pages,
// PDF and JPEG export, zoom, find, page navigation and page setup.
// A failed action shows its reason through the standard error display and
// the preview stays open.
class PreviewWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PreviewWindow(const PreparedReport &report, QWidget *parent = nullptr);
    ~PreviewWindow() override;

    // Opens maximised at zoom 1.0; returns when the window closes.
    int exec() override;

    const PreparedReport &report() const { return m_report; }
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

    void buildToolbar();
    void updatePageLabel();
    void printClicked();
    void pageSetupClicked();
    void openClicked();
    void saveClicked();
    void exportPdfClicked();
    void exportJpegClicked();
    void findClicked();
    void findShortcut();

    PreparedReport m_report;
    int m_page = 0;
    double m_zoom = 1.0;
    std::unique_ptr<QPrinter> m_printer;
    PageView *m_view = nullptr;
    QScrollArea *m_scroll = nullptr;
    QLabel *m_pageLabel = nullptr;
    QLabel *m_status = nullptr;
    QLineEdit *m_find = nullptr;
};
