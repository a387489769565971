#include "MessageDialog.h"

#include "widgets/ErrorDisplay.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QFont messageFont()
{
    QFont font;
    // Where Segoe UI is not installed the program substitutes one font for it
    // at start-up, the same in the dialogs as in the printed receipts.
    font.setFamily(QStringLiteral("Segoe UI"));
    font.setPixelSize(29);
    return font;
}

QLabel *messageLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(messageFont());
    return label;
}

QPushButton *flatButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    QFont font = messageFont();
    font.setPixelSize(16);
    button->setFont(font);
    button->setMinimumSize(110, 40);
    return button;
}

} // namespace

MessageDialog::MessageDialog(const QString &objectName, Kind kind, const QStringList &lines, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(objectName);
    setModal(true);
    setWindowOpacity(240 / 255.0);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(85, 85, 85));
    colours.setColor(QPalette::WindowText, Qt::white);
    colours.setColor(QPalette::ButtonText, Qt::white);
    colours.setColor(QPalette::Button, QColor(85, 85, 85));
    setPalette(colours);
    setAutoFillBackground(true);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("FlatPanel1"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(32, 20, 32, 20);
    if (kind == Kind::Acknowledgement)
        column->addWidget(messageLabel(QStringLiteral("Label1"), QStringLiteral(":)"), panel));
    for (int i = 0; i < lines.size(); ++i) {
        m_lines << messageLabel(QStringLiteral("Label%1").arg(i + 2), lines.at(i), panel);
        column->addWidget(m_lines.last());
    }
    column->addSpacing(12);

    auto *buttons = new QHBoxLayout;
    column->addLayout(buttons);
    auto *first = flatButton(QStringLiteral("FlatButton1"), kind == Kind::Question ? QStringLiteral("Sim") : QStringLiteral("OK"),
                             panel);
    connect(first, &QPushButton::clicked, this, [this] { guarded([this] { firstButtonClick(); }); });
    buttons->addStretch(1);
    buttons->addWidget(first);
    if (kind == Kind::Question) {
        auto *second = flatButton(QStringLiteral("FlatButton2"), QString::fromUtf8("Não"), panel);
        connect(second, &QPushButton::clicked, this, &QDialog::reject);
        buttons->addStretch(1);
        buttons->addWidget(second);
    }
    buttons->addStretch(1);
}

QStringList MessageDialog::lines() const
{
    QStringList texts;
    for (const QLabel *label : m_lines)
        texts << label->text();
    return texts;
}

void MessageDialog::setLine(int index, const QString &text)
{
    m_lines.at(index)->setText(text);
}

void MessageDialog::showModal()
{
    showModalOver(nullptr);
}

void MessageDialog::ask(Action onYes)
{
    m_action = std::move(onYes);
    showModal();
    m_action = {};
}

void MessageDialog::showModalOver(MessageDialog *beneath)
{
    m_beneath = beneath;
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
    m_beneath = nullptr;
}

void MessageDialog::firstButtonClick()
{
    if (m_action)
        m_action(*this);
    else
        accept();
}

void MessageDialog::keyPressEvent(QKeyEvent *event)
{
    // No key answers a message: Enter and Esc included.
    event->accept();
}
