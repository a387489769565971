#include "TitlePanel.h"

#include "PictureButton.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

const QColor kPanelColour(0, 72, 72);
const QColor kCaptionColour(192, 192, 192);

} // namespace

TitlePanel::TitlePanel(const QString &caption, const QString &closeName, QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("FlatPanel1"));
    setFixedHeight(kHeight);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kPanelColour);
    colours.setColor(QPalette::Light, Qt::white);
    colours.setColor(QPalette::Dark, Qt::white);
    colours.setColor(QPalette::WindowText, kCaptionColour);
    setPalette(colours);
    setAutoFillBackground(true);

    m_caption = new QLabel(caption, this);
    m_caption->setObjectName(QStringLiteral("caption"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(29);
    m_caption->setFont(font);
    m_caption->setTextFormat(Qt::PlainText);
    // Its own palette: under a form's style sheet the panel's is not passed on
    // to the caption, which would then be drawn black.
    QPalette captionColours = m_caption->palette();
    captionColours.setColor(QPalette::WindowText, kCaptionColour);
    m_caption->setPalette(captionColours);
    // Keeps the leading blanks of the caption on screen.
    m_caption->setText(caption);

    m_close = new PictureButton(closeName, QStringLiteral(":/widgets/icons/fechar.png"), QStringLiteral("Fechar"), this);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 1, 1);
    layout->addWidget(m_caption, 1);
    layout->addWidget(m_close);
}

QString TitlePanel::caption() const
{
    return m_caption->text();
}

