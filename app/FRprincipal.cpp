#include "FRprincipal.h"

#include "MenuPicture.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QPainter>

namespace {

constexpr int kTileSize = 96;
constexpr int kFirstColumn = 40;
constexpr int kColumnStep = 120;
constexpr int kRowTops[] = {104, 224};
const QColor kTeal(64, 128, 128);
const QColor kDarkTeal(0, 72, 72);

// The title panel: dark teal with white highlight and shadow lines.
class FlatPanel : public QFrame
{
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), kDarkTeal);
        painter.setPen(Qt::white);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, colour);
    widget->setPalette(colours);
}

} // namespace

FRprincipalForm::FRprincipalForm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FRprincipal"));
    setWindowTitle(QStringLiteral("Quindelo"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kTeal);
    setPalette(colours);

    m_title = new FlatPanel(this);
    m_title->setObjectName(QStringLiteral("FlatPanel1"));
    m_caption = new QLabel(QStringLiteral("  Tolvamar"), m_title);
    m_caption->setObjectName(QStringLiteral("FlatPanel1Caption"));
    QFont captionFont(QStringLiteral("Arial"));
    captionFont.setPixelSize(29);
    m_caption->setFont(captionFont);
    setTextColour(m_caption, QColor(192, 192, 192));
    m_caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_close = new MenuPicture(QStringLiteral("Image1"), m_title);
    m_close->setPixmap(QPixmap(QStringLiteral(":/quindelo/menu/fechar.png")));
    m_close->setToolTip(QStringLiteral("Fechar"));
    connect(m_close, &MenuPicture::clicked, this, &FRprincipalForm::Image1Click);

    MenuPicture *label1 = nullptr;
    MenuPicture *label8 = nullptr;
    MenuPicture *unused = nullptr;
    MenuPicture *image2 = addTile(0, 0, QStringLiteral("Image2"), QStringLiteral("cadastro"), QStringLiteral("Cadastro"),
                                  QStringLiteral("Label1"), QStringLiteral("CADASTRO"), &label1);
    MenuPicture *image3 = addTile(0, 1, QStringLiteral("Image3"), QStringLiteral("recibos"),
                                  QStringLiteral("Emitir Recibo"), QStringLiteral("Label8"), QStringLiteral("RECIBOS"), &label8);
    MenuPicture *image9 = addTile(0, 2, QStringLiteral("Image9"), QStringLiteral("backup"), QString(),
                                  QStringLiteral("Label9"), QStringLiteral("BACKUP"), &unused);
    MenuPicture *image7 = addTile(0, 3, QStringLiteral("Image7"), QStringLiteral("relatorios"),
                                  QStringLiteral("Emitir Recibo"), QStringLiteral("Label6"), QStringLiteral("RELATÓRIOS"), &unused);
    MenuPicture *image8 = addTile(1, 0, QStringLiteral("Image8"), QStringLiteral("configuracoes"), QStringLiteral("Cadastro"),
                                  QStringLiteral("Label10"), QStringLiteral("Configurações"), &unused);
    MenuPicture *image4 = addTile(1, 1, QStringLiteral("Image4"), QStringLiteral("manual"), QString(),
                                  QStringLiteral("Label2"), QStringLiteral("MANUAL"), &unused);

    connect(image2, &MenuPicture::clicked, this, &FRprincipalForm::Image2Click);
    connect(label1, &MenuPicture::clicked, this, &FRprincipalForm::Label1Click);
    connect(image3, &MenuPicture::clicked, this, &FRprincipalForm::Image3Click);
    connect(label8, &MenuPicture::clicked, this, &FRprincipalForm::Label8Click);
    connect(image9, &MenuPicture::clicked, this, &FRprincipalForm::Image9Click);
    connect(image7, &MenuPicture::clicked, this, &FRprincipalForm::Image7Click);
    connect(image8, &MenuPicture::clicked, this, &FRprincipalForm::Image8Click);
    connect(image4, &MenuPicture::clicked, this, &FRprincipalForm::Image4Click);

    m_openers.manual = [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

MenuPicture *FRprincipalForm::addTile(int row, int column, const QString &imageName, const QString &picture,
                                      const QString &hint, const QString &labelName, const QString &caption,
                                      MenuPicture **label)
{
    const int left = kFirstColumn + column * kColumnStep;
    const int top = kRowTops[row];

    auto *image = new MenuPicture(imageName, this);
    image->setPixmap(QPixmap(QStringLiteral(":/quindelo/menu/%1.png").arg(picture)));
    image->setToolTip(hint);
    image->setGeometry(left, top, kTileSize, kTileSize);

    auto *text = new MenuPicture(labelName, this);
    text->setText(caption);
    QFont font(QStringLiteral("Arial Black"));
    font.setPixelSize(11);
    font.setBold(true);
    text->setFont(font);
    setTextColour(text, Qt::white);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Centred on the tile; wide captions may pass its edges, never the next column.
    const int width = kColumnStep - 4;
    text->setGeometry(left + (kTileSize - width) / 2, top + kTileSize + 2, width, 18);
    *label = text;
    return image;
}

QUrl FRprincipalForm::manualUrl(const QString &programFolder)
{
    return QUrl::fromLocalFile(QDir(programFolder).filePath(QStringLiteral("manual/manual.html")));
}

void FRprincipalForm::setOpeners(const MenuOpeners &openers)
{
    m_openers = openers;
    if (!m_openers.manual)
        m_openers.manual = [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

void FRprincipalForm::run(const std::function<void()> &opener)
{
    if (opener)
        opener();
}

void FRprincipalForm::Image1Click()
{
    close();
}

void FRprincipalForm::Image2Click()
{
    run(m_openers.FRcadastro);
}

void FRprincipalForm::Label1Click()
{
    run(m_openers.FRcadastro);
}

void FRprincipalForm::Image3Click()
{
    run(m_openers.FRrecibo);
}

void FRprincipalForm::Label8Click()
{
    run(m_openers.FRrecibo);
}

void FRprincipalForm::Image9Click()
{
    run(m_openers.frmBackup);
}

void FRprincipalForm::Image7Click()
{
    run(m_openers.FRrelatorios);
}

void FRprincipalForm::Image8Click()
{
    run(m_openers.FRcademitente);
}

void FRprincipalForm::Image4Click()
{
    // Whether a browser could show it is not looked at.
    m_openers.manual(manualUrl(QCoreApplication::applicationDirPath()));
}

void FRprincipalForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_title->setGeometry(0, 0, width(), kTitleHeight);
    m_caption->setGeometry(1, 1, width() - 2, kTitleHeight - 2);
    m_close->setGeometry(width() - 48, 1, 47, 47);
}

void FRprincipalForm::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    // Closing the main window ends the program, whatever other window is up.
    QCoreApplication::quit();
}
