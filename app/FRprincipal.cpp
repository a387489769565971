#include "FRprincipal.h"

#include "widgets/PictureButton.h"
#include "widgets/TitlePanel.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>

namespace {

constexpr int kTileSize = 96;
constexpr int kFirstColumn = 40;
constexpr int kColumnStep = 120;
constexpr int kRowTops[] = {104, 224};
const QColor kTeal(64, 128, 128);

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

    m_title = new TitlePanel(QStringLiteral("  Tolvamar"), QStringLiteral("Image1"), this);
    connect(m_title->closeButton(), &PictureButton::clicked, this, &FRprincipalForm::Image1Click);

    PictureButton *label1 = nullptr;
    PictureButton *label8 = nullptr;
    PictureButton *unused = nullptr;
    PictureButton *image2 = addTile(0, 0, QStringLiteral("Image2"), QStringLiteral("cadastro"), QStringLiteral("Cadastro"),
                                  QStringLiteral("Label1"), QStringLiteral("CADASTRO"), &label1);
    PictureButton *image3 = addTile(0, 1, QStringLiteral("Image3"), QStringLiteral("recibos"),
                                  QStringLiteral("Emitir Recibo"), QStringLiteral("Label8"), QStringLiteral("RECIBOS"), &label8);
    PictureButton *image9 = addTile(0, 2, QStringLiteral("Image9"), QStringLiteral("backup"), QString(),
                                  QStringLiteral("Label9"), QStringLiteral("BACKUP"), &unused);
    PictureButton *image7 = addTile(0, 3, QStringLiteral("Image7"), QStringLiteral("relatorios"),
                                  QStringLiteral("Emitir Recibo"), QStringLiteral("Label6"), QStringLiteral("RELATÓRIOS"), &unused);
    PictureButton *image8 = addTile(1, 0, QStringLiteral("Image8"), QStringLiteral("configuracoes"), QStringLiteral("Cadastro"),
                                  QStringLiteral("Label10"), QStringLiteral("Configurações"), &unused);
    PictureButton *image4 = addTile(1, 1, QStringLiteral("Image4"), QStringLiteral("manual"), QString(),
                                  QStringLiteral("Label2"), QStringLiteral("MANUAL"), &unused);

    connect(image2, &PictureButton::clicked, this, &FRprincipalForm::Image2Click);
    connect(label1, &PictureButton::clicked, this, &FRprincipalForm::Label1Click);
    connect(image3, &PictureButton::clicked, this, &FRprincipalForm::Image3Click);
    connect(label8, &PictureButton::clicked, this, &FRprincipalForm::Label8Click);
    connect(image9, &PictureButton::clicked, this, &FRprincipalForm::Image9Click);
    connect(image7, &PictureButton::clicked, this, &FRprincipalForm::Image7Click);
    connect(image8, &PictureButton::clicked, this, &FRprincipalForm::Image8Click);
    connect(image4, &PictureButton::clicked, this, &FRprincipalForm::Image4Click);

    m_openers.manual = [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

PictureButton *FRprincipalForm::addTile(int row, int column, const QString &imageName, const QString &picture,
                                      const QString &hint, const QString &labelName, const QString &caption,
                                      PictureButton **label)
{
    const int left = kFirstColumn + column * kColumnStep;
    const int top = kRowTops[row];

    auto *image = new PictureButton(imageName, QStringLiteral(":/quindelo/menu/%1.png").arg(picture), hint, this);
    image->setGeometry(left, top, kTileSize, kTileSize);

    auto *text = new PictureButton(labelName, QString(), QString(), this);
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
    m_title->setGeometry(0, 0, width(), TitlePanel::kHeight);
}

void FRprincipalForm::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    // Closing the main window ends the program, whatever other window is up.
    QCoreApplication::quit();
}
