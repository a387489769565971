#include "PreviewWindow.h"

#include "PageRenderer.h"
#include "ReportError.h"
#include "ReportExport.h"

#include "widgets/ErrorDisplay.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 8.0;

// Shows a progress window while a long job runs; short jobs never show it.
class Progress
{
public:
    Progress(const QString &label, int pages, QWidget *parent)
        : m_dialog(label, QString(), 0, pages, parent)
    {
        m_dialog.setWindowTitle(QStringLiteral("Quindelo"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(500);
    }

    void operator()(int done)
    {
        m_dialog.setValue(done);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

// One page at the window's zoom, drawn through the same painter code as every output.
class PageView : public QWidget
{
public:
    explicit PageView(PreviewWindow &window) : QWidget(nullptr), m_window(window)
    {
        setObjectName(QStringLiteral("PageView"));
        setAutoFillBackground(false);
    }

    double scale() const { return m_window.zoom() * logicalDpiX() / units::kPerInch; }

    void refresh()
    {
        const PreparedReport &report = m_window.report();
        const QSizeF size = report.pageCount() ? report.page(m_window.currentPage()).size : QSizeF(0, 0);
        setFixedSize((size * scale()).toSize());
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (m_window.report().pageCount() == 0)
            return;
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.scale(scale(), scale());
        pagerenderer::paintPage(m_window.report(), m_window.currentPage(), painter);
    }

private:
    PreviewWindow &m_window;
};

PreviewWindow::PreviewWindow(const PreparedReport &report, QWidget *parent)
    : QDialog(parent), m_report(report), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("Visualização"));
    setModal(true);
    m_printer->setFullPage(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolbar();

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("PageScroll"));
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(*this);
    m_scroll->setWidget(m_view);
    layout->addWidget(m_scroll, 1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("LBstatus"));
    layout->addWidget(m_status);
    showPage(0);
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::buildToolbar()
{
    // Two rows, so that every command shows on a 1366-pixel-wide screen
    // instead of hiding behind the toolbar's overflow arrow.
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("PreviewToolbar"));
    layout()->addWidget(bar);
    auto *navigation = new QToolBar(this);
    navigation->setObjectName(QStringLiteral("PreviewNavigation"));
    layout()->addWidget(navigation);
    for (QToolBar *row : {bar, navigation}) {
        row->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        row->setIconSize(QSize(24, 24));
    }
    // The desktop's icon where its theme has one, the program's own otherwise;
    // the tooltip names the keys.
    const auto add = [this](QToolBar *row, const Command &command, auto handler) {
        const QIcon own(QStringLiteral(":/reportengine/icons/%1.png").arg(QLatin1String(command.ownIcon)));
        QAction *action = row->addAction(command.themeIcon ? QIcon::fromTheme(QLatin1String(command.themeIcon), own) : own,
                                         command.text);
        action->setObjectName(QLatin1String(command.name));
        action->setShortcuts(command.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        QString tip = command.hint;
        if (!command.keys.isEmpty())
            tip += QStringLiteral(" (%1)").arg(command.keys.constFirst().toString(QKeySequence::NativeText));
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, [this, handler] { guarded([&] { handler(); }); });
        return action;
    };
    using Keys = QList<QKeySequence>;
    add(bar, {"ACimprimir", "document-print", "imprimir", QStringLiteral("Imprimir"),
              QStringLiteral("Imprimir numa impressora"), Keys{QKeySequence(Qt::CTRL | Qt::Key_P)}},
        [this] { printClicked(); });
    add(bar, {"ACconfigurar", "document-page-setup", "configurar", QStringLiteral("Configurar página"),
              QStringLiteral("Papel, orientação e margens da impressora"), {}},
        [this] { pageSetupClicked(); });
    bar->addSeparator();
    add(bar, {"ACabrir", "document-open", "abrir", QStringLiteral("Abrir"),
              QStringLiteral("Abrir páginas salvas (.qpg)"), Keys{QKeySequence(Qt::CTRL | Qt::Key_O)}},
        [this] { openClicked(); });
    add(bar, {"ACsalvar", "document-save", "salvar", QStringLiteral("Salvar"),
              QStringLiteral("Salvar estas páginas (.qpg)"), Keys{QKeySequence(Qt::CTRL | Qt::Key_S)}},
        [this] { saveClicked(); });
    add(bar, {"ACpdf", nullptr, "pdf", QStringLiteral("Exportar PDF"),
              QStringLiteral("Gravar as páginas num arquivo PDF"), {}},
        [this] { exportPdfClicked(); });
    add(bar, {"ACjpeg", "image-x-generic", "jpeg", QStringLiteral("Exportar JPEG"),
              QStringLiteral("Gravar cada página numa imagem JPEG"), {}},
        [this] { exportJpegClicked(); });
    bar->addSeparator();
    add(bar, {"ACfechar", "window-close", "fechar", QStringLiteral("Fechar"), QStringLiteral("Fechar a visualização"),
              Keys{QKeySequence(Qt::Key_Escape)}},
        [this] { accept(); });

    add(navigation, {"ACzoommais", "zoom-in", "ampliar", QStringLiteral("Ampliar"), QStringLiteral("Ampliar a página"),
                     // Ctrl and = is the same key as + on keyboards where + needs Shift.
                     Keys{QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}},
        [this] { zoomIn(); });
    add(navigation, {"ACzoommenos", "zoom-out", "reduzir", QStringLiteral("Reduzir"), QStringLiteral("Reduzir a página"),
                     Keys{QKeySequence(Qt::CTRL | Qt::Key_Minus)}},
        [this] { zoomOut(); });
    add(navigation, {"AClargura", "zoom-fit-best", "largura", QStringLiteral("Largura da página"),
                     QStringLiteral("A página inteira na largura da janela"), {}},
        [this] { zoomToPageWidth(); });
    navigation->addSeparator();
    m_find = new QLineEdit(navigation);
    m_find->setObjectName(QStringLiteral("EDlocalizar"));
    m_find->setPlaceholderText(QStringLiteral("Localizar texto"));
    m_find->setToolTip(QStringLiteral("Texto a localizar nas páginas (Ctrl+F)"));
    m_find->setMinimumWidth(140);
    m_find->setMaximumWidth(200);
    navigation->addWidget(m_find);
    connect(m_find, &QLineEdit::returnPressed, this, [this] { guarded([this] { findClicked(); }); });
    add(navigation, {"AClocalizar", "edit-find", "localizar", QStringLiteral("Localizar"),
                     QStringLiteral("Ir à próxima página com o texto"), Keys{QKeySequence(Qt::CTRL | Qt::Key_F)}},
        [this] { findShortcut(); });
    navigation->addSeparator();
    add(navigation, {"ACprimeira", "go-first", "primeira", QStringLiteral("Primeira"), QStringLiteral("Primeira página"),
                     Keys{QKeySequence(Qt::Key_Home)}},
        [this] { showPage(0); });
    add(navigation, {"ACanterior", "go-previous", "anterior", QStringLiteral("Anterior"), QStringLiteral("Página anterior"),
                     Keys{QKeySequence(Qt::Key_PageUp)}},
        [this] { showPage(m_page - 1); });
    m_pageLabel = new QLabel(navigation);
    m_pageLabel->setObjectName(QStringLiteral("LBpagina"));
    navigation->addWidget(m_pageLabel);
    add(navigation, {"ACproxima", "go-next", "proxima", QStringLiteral("Próxima"), QStringLiteral("Próxima página"),
                     Keys{QKeySequence(Qt::Key_PageDown)}},
        [this] { showPage(m_page + 1); });
    add(navigation, {"ACultima", "go-last", "ultima", QStringLiteral("Última"), QStringLiteral("Última página"),
                     Keys{QKeySequence(Qt::Key_End)}},
        [this] { showPage(m_report.pageCount() - 1); });
}

int PreviewWindow::exec()
{
    setZoom(1.0);
    // The page has the keys, not the text to find: Home and End turn pages.
    m_scroll->setFocus();
    setWindowState(windowState() | Qt::WindowMaximized);
    return QDialog::exec();
}

void PreviewWindow::showPage(int index)
{
    m_page = qBound(0, index, qMax(0, m_report.pageCount() - 1));
    m_view->refresh();
    updatePageLabel();
}

void PreviewWindow::updatePageLabel()
{
    m_pageLabel->setText(QStringLiteral(" Página %1 de %2 ").arg(m_report.pageCount() ? m_page + 1 : 0)
                             .arg(m_report.pageCount()));
}

void PreviewWindow::setZoom(double zoom)
{
    m_zoom = qBound(kMinZoom, zoom, kMaxZoom);
    m_view->refresh();
}

void PreviewWindow::zoomIn()
{
    setZoom(m_zoom * kZoomStep);
}

void PreviewWindow::zoomOut()
{
    setZoom(m_zoom / kZoomStep);
}

void PreviewWindow::zoomToPageWidth()
{
    if (m_report.pageCount() == 0)
        return;
    const double available = m_scroll->viewport()->width() - 2 * m_scroll->frameWidth();
    const double pageWidth = m_report.page(m_page).size.width() * m_view->logicalDpiX() / units::kPerInch;
    setZoom(available / pageWidth);
}

bool PreviewWindow::findText(const QString &text)
{
    if (text.isEmpty())
        return false;
    int found = m_report.findText(text, m_page + 1);
    if (found < 0)
        found = m_report.findText(text, 0);
    if (found < 0) {
        m_status->setText(QStringLiteral("Texto não encontrado: %1").arg(text));
        return false;
    }
    m_status->setText(QStringLiteral("Encontrado na página %1").arg(found + 1));
    showPage(found);
    return true;
}

void PreviewWindow::findClicked()
{
    findText(m_find->text());
}

void PreviewWindow::findShortcut()
{
    // The first press goes to the text to find; with text typed there, it finds.
    if (m_find->hasFocus() && !m_find->text().isEmpty()) {
        findClicked();
        return;
    }
    m_find->setFocus(Qt::ShortcutFocusReason);
    m_find->selectAll();
}

bool PreviewWindow::exportPdfTo(const QString &path)
{
    return guarded([&] {
        Progress progress(QStringLiteral("Exportando PDF..."), m_report.pageCount(), this);
        reportexport::toPdf(m_report, path, windowTitle(), std::ref(progress));
    });
}

bool PreviewWindow::exportJpegTo(const QString &path, int dpi)
{
    return guarded([&] {
        Progress progress(QStringLiteral("Exportando JPEG..."), m_report.pageCount(), this);
        reportexport::toJpeg(m_report, path, dpi, std::ref(progress));
    });
}

bool PreviewWindow::savePagesTo(const QString &path)
{
    return guarded([&] { m_report.saveToFile(path); });
}

bool PreviewWindow::openPagesFrom(const QString &path)
{
    return guarded([&] {
        m_report = PreparedReport::loadFromFile(path);
        showPage(0);
    });
}

bool PreviewWindow::printTo(QPrinter &printer)
{
    return guarded([&] {
        printer.setFullPage(true);
        int from = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
        int to = printer.toPage() > 0 ? printer.toPage() - 1 : m_report.pageCount() - 1;
        to = qMin(to, m_report.pageCount() - 1);
        QPainter painter;
        if (!painter.begin(&printer))
            throw ReportError(QStringLiteral("Não foi possível iniciar a impressão."));
        // One page per sheet at its own size: no scaling to the paper.
        const double scale = printer.resolution() / units::kPerInch;
        for (int i = from; i <= to; ++i) {
            if (i > from)
                printer.newPage();
            painter.resetTransform();
            painter.scale(scale, scale);
            pagerenderer::paintPage(m_report, i, painter);
        }
        if (!painter.end())
            throw ReportError(QStringLiteral("A impressão falhou."));
    });
}

void PreviewWindow::printClicked()
{
    if (QPrinterInfo::availablePrinters().isEmpty())
        throw ReportError(QStringLiteral("Nenhuma impressora está instalada. Exporte o relatório em PDF ou JPEG."));
    QPrintDialog dialog(m_printer.get(), this);
    dialog.setMinMax(1, qMax(1, m_report.pageCount()));
    if (dialog.exec() == QDialog::Accepted)
        printTo(*m_printer);
}

void PreviewWindow::pageSetupClicked()
{
    QPageSetupDialog dialog(m_printer.get(), this);
    dialog.exec();
}

void PreviewWindow::openClicked()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Abrir páginas"), QString(),
                                                      QStringLiteral("Páginas do Quindelo (*.qpg)"));
    if (!path.isEmpty())
        openPagesFrom(path);
}

void PreviewWindow::saveClicked()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salvar páginas"), QString(),
                                                      QStringLiteral("Páginas do Quindelo (*.qpg)"));
    if (!path.isEmpty())
        savePagesTo(path);
}

void PreviewWindow::exportPdfClicked()
{
    // The exports write over an existing file without asking, as the layouts' settings say.
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Exportar PDF"), QString(),
                                                      QStringLiteral("PDF (*.pdf)"), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        exportPdfTo(path);
}

void PreviewWindow::exportJpegClicked()
{
    bool ok = false;
    const int dpi = QInputDialog::getInt(this, QStringLiteral("Exportar JPEG"), QStringLiteral("Resolução (dpi):"),
                                         96, 36, 600, 1, &ok);
    if (!ok)
        return;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Exportar JPEG"), QString(),
                                                      QStringLiteral("JPEG (*.jpg)"), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        exportJpegTo(path, dpi);
}
