#include "PreviewWindow.h"

#include "PageRenderer.h"
#include "ProgressWindow.h"
#include "ReportError.h"
#include "ReportExport.h"
#include "ReportPreparation.h"

#include "widgets/ErrorDisplay.h"

#include <QFile>
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
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <chrono>
#include <cmath>
#include <limits>

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 8.0;

// How long the preview prepares pages before it looks at the user's input again.
constexpr std::chrono::milliseconds kPreparationSlice{25};

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
        const QSizeF size = report.pageCount() ? report.pageSize(m_window.currentPage()) : QSizeF(0, 0);
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
    : QDialog(parent), m_opened(report), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    buildWindow();
}

PreviewWindow::PreviewWindow(ReportPreparation &preparation, QWidget *parent)
    : QDialog(parent),
      m_preparation(&preparation),
      m_pages(&preparation.pages()),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    buildWindow();
    m_prepareTimer = new QTimer(this);
    connect(m_prepareTimer, &QTimer::timeout, this, &PreviewWindow::prepareSlice);
    updatePreparation();
}

void PreviewWindow::buildWindow()
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

    auto *statusRow = new QWidget(this);
    auto *status = new QHBoxLayout(statusRow);
    status->setContentsMargins(4, 0, 4, 0);
    m_status = new QLabel(statusRow);
    m_status->setObjectName(QStringLiteral("LBstatus"));
    status->addWidget(m_status, 1);
    buildProgressRow(statusRow);
    layout->addWidget(statusRow);
    showPage(0);
}

void PreviewWindow::buildProgressRow(QWidget *row)
{
    m_progressLabel = new QLabel(row);
    m_progressLabel->setObjectName(QStringLiteral("LBpreparando"));
    // The number of pages is not known before the last row is read.
    m_progressBar = new QProgressBar(row);
    m_progressBar->setObjectName(QStringLiteral("PBpreparando"));
    m_progressBar->setRange(0, 0);
    m_progressBar->setMaximumWidth(160);
    m_cancel = new QPushButton(QStringLiteral("Cancelar"), row);
    m_cancel->setObjectName(QStringLiteral("BTcancelar"));
    connect(m_cancel, &QPushButton::clicked, this, &PreviewWindow::cancelPreparation);
    for (QWidget *widget : {static_cast<QWidget *>(m_progressLabel), static_cast<QWidget *>(m_progressBar),
                            static_cast<QWidget *>(m_cancel)}) {
        row->layout()->addWidget(widget);
        widget->hide();
    }
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
        // The last page of the whole report: what is still missing is prepared first, behind "Cancelar".
        [this] {
            finishPreparation();
            showPage(report().pageCount() - 1);
        });
}

int PreviewWindow::exec()
{
    setZoom(1.0);
    // The page has the keys, not the text to find: Home and End turn pages.
    m_scroll->setFocus();
    setWindowState(windowState() | Qt::WindowMaximized);
    return QDialog::exec();
}

void PreviewWindow::done(int result)
{
    if (m_prepareTimer)
        m_prepareTimer->stop();
    QDialog::done(result);
}

bool PreviewWindow::preparing() const
{
    return m_preparation && m_preparation->preparing();
}

void PreviewWindow::cancelPreparation()
{
    if (!preparing())
        return;
    m_preparation->cancel();
    updatePreparation();
}

void PreviewWindow::prepareSlice()
{
    if (m_busy || !preparing())
        return;
    guarded([this] { m_preparation->prepareFor(kPreparationSlice); });
    updatePreparation();
}

void PreviewWindow::updatePreparation()
{
    const bool going = preparing();
    if (m_prepareTimer && going != m_prepareTimer->isActive()) {
        if (going)
            m_prepareTimer->start(0);
        else
            m_prepareTimer->stop();
    }
    for (QWidget *widget : {static_cast<QWidget *>(m_progressLabel), static_cast<QWidget *>(m_progressBar),
                            static_cast<QWidget *>(m_cancel)})
        widget->setVisible(going);
    if (going) {
        m_progressLabel->setText(QStringLiteral("Preparando o relatório: %1 páginas").arg(report().pageCount()));
    } else if (m_preparation && m_preparation->state() == ReportPreparation::State::Cancelled) {
        m_status->setText(QStringLiteral("Preparação cancelada: o relatório ficou incompleto, com %1 páginas.")
                              .arg(report().pageCount()));
    } else if (m_preparation && m_preparation->state() == ReportPreparation::State::Failed) {
        m_status->setText(QStringLiteral("Preparação interrompida: %1").arg(m_preparation->failure()));
    }
    if (report().pageCount() > 0 && m_view->size().isEmpty())
        showPage(m_page);
    updatePageLabel();
}

bool PreviewWindow::pageExists(int index)
{
    return preparing() ? m_preparation->reach(index) : index < report().pageCount();
}

void PreviewWindow::requireWholeReport() const
{
    if (!m_preparation || m_pages != &m_preparation->pages())
        return;
    if (m_preparation->state() == ReportPreparation::State::Cancelled
        || m_preparation->state() == ReportPreparation::State::Failed)
        throw ReportError(QStringLiteral("O relatório ficou incompleto (a preparação não chegou ao fim) e não pode "
                                         "ser impresso, salvo nem exportado. Feche a visualização e peça o "
                                         "relatório de novo."));
}

bool PreviewWindow::runLong(const QString &label, const std::function<void(ProgressWindow &)> &action)
{
    const QScopedValueRollback<bool> busy(m_busy, true);
    bool cancelled = false;
    const bool done = guarded([&] {
        requireWholeReport();
        ProgressWindow progress(label, preparing() ? 0 : report().pageCount(), this);
        try {
            action(progress);
        } catch (const ReportCancelled &) {
            cancelled = true;
        }
    });
    updatePreparation();
    if (cancelled)
        m_status->setText(QStringLiteral("Cancelado: %1").arg(label));
    return done && !cancelled;
}

bool PreviewWindow::finishPreparation()
{
    if (!preparing())
        return true;
    return runLong(QStringLiteral("Preparando o relatório..."), [this](ProgressWindow &progress) {
        while (preparing()) {
            m_preparation->prepareFor(kPreparationSlice);
            progress(report().pageCount());
        }
    });
}

void PreviewWindow::showPage(int index)
{
    m_page = qBound(0, index, qMax(0, report().pageCount() - 1));
    m_view->refresh();
    updatePageLabel();
}

void PreviewWindow::updatePageLabel()
{
    const int pages = report().pageCount();
    const QString text = preparing() ? QStringLiteral(" Página %1 de %2 (preparando...) ")
                                     : QStringLiteral(" Página %1 de %2 ");
    m_pageLabel->setText(text.arg(pages ? m_page + 1 : 0).arg(pages));
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
    if (report().pageCount() == 0)
        return;
    const double available = m_scroll->viewport()->width() - 2 * m_scroll->frameWidth();
    const double pageWidth = report().pageSize(m_page).width() * m_view->logicalDpiX() / units::kPerInch;
    setZoom(available / pageWidth);
}

bool PreviewWindow::findText(const QString &text)
{
    if (text.isEmpty())
        return false;
    int found = report().findText(text, m_page + 1);
    if (found < 0)
        found = report().findText(text, 0);
    if (found < 0 && preparing()) {
        m_status->setText(QStringLiteral("Texto não encontrado nas %1 páginas preparadas até agora: %2")
                              .arg(report().pageCount())
                              .arg(text));
        return false;
    }
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
    return runLong(QStringLiteral("Exportando PDF..."), [&](ProgressWindow &progress) {
        if (preparing())
            reportexport::toPdf(*m_preparation, path, windowTitle(), std::ref(progress));
        else
            reportexport::toPdf(report(), path, windowTitle(), std::ref(progress));
    });
}

bool PreviewWindow::exportJpegTo(const QString &path, int dpi)
{
    return finishPreparation() && runLong(QStringLiteral("Exportando JPEG..."), [&](ProgressWindow &progress) {
        reportexport::toJpeg(report(), path, dpi, std::ref(progress));
    });
}

bool PreviewWindow::savePagesTo(const QString &path)
{
    return finishPreparation() && guarded([&] {
        requireWholeReport();
        report().saveToFile(path);
    });
}

bool PreviewWindow::openPagesFrom(const QString &path)
{
    return guarded([&] {
        PreparedReport opened = PreparedReport::loadFromFile(path);
        // The window shows the file from now on; the report it was preparing is dropped.
        if (m_preparation) {
            m_preparation->cancel();
            m_preparation = nullptr;
        }
        m_opened = std::move(opened);
        m_pages = &m_opened;
        m_status->clear();
        updatePreparation();
        showPage(0);
    });
}

bool PreviewWindow::printTo(QPrinter &printer)
{
    return runLong(QStringLiteral("Imprimindo..."), [&](ProgressWindow &progress) {
        printer.setFullPage(true);
        const int from = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
        const int to = printer.toPage() > 0 ? printer.toPage() - 1 : std::numeric_limits<int>::max();
        QPainter painter;
        if (!painter.begin(&printer))
            throw ReportError(QStringLiteral("Não foi possível iniciar a impressão."));
        // One page per sheet at its own size: no scaling to the paper.
        const double scale = printer.resolution() / units::kPerInch;
        try {
            for (int i = from; i <= to && pageExists(i); ++i) {
                if (i > from)
                    printer.newPage();
                painter.resetTransform();
                painter.scale(scale, scale);
                pagerenderer::paintPage(report(), i, painter);
                progress(i + 1);
            }
        } catch (...) {
            printer.abort();
            painter.end();
            // Printed to a file: no half file stays.
            if (!printer.outputFileName().isEmpty())
                QFile::remove(printer.outputFileName());
            throw;
        }
        if (!painter.end())
            throw ReportError(QStringLiteral("A impressão falhou."));
    });
}

void PreviewWindow::printClicked()
{
    if (QPrinterInfo::availablePrinters().isEmpty())
        throw ReportError(QStringLiteral("Nenhuma impressora está instalada. Exporte o relatório em PDF ou JPEG."));
    if (!finishPreparation())
        return;
    requireWholeReport();
    QPrintDialog dialog(m_printer.get(), this);
    dialog.setMinMax(1, qMax(1, report().pageCount()));
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
