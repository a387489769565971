#include "FormBase.h"

#include "ErrorDisplay.h"
#include "PictureButton.h"
#include "TitlePanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

FormBase::FormBase(const QString &objectName, const QString &caption, const QString &closeName, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(objectName);
    setWindowTitle(caption.trimmed());
    setModal(true);

    m_title = new TitlePanel(caption, closeName, this);
    m_body = new QWidget(this);
    m_body->setObjectName(QStringLiteral("body"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_title);
    layout->addWidget(m_body, 1);

    connect(m_title->closeButton(), &PictureButton::clicked, this, [this] { guarded([this] { closePictureClick(); }); });
}

FormBase::~FormBase()
{
    qApp->removeEventFilter(this);
}

void FormBase::showModal()
{
    // A screen that gave itself a size keeps it.
    if (!testAttribute(Qt::WA_Resized))
        adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
}

bool FormBase::FormKeyDown(QKeyEvent *event)
{
    if (m_enterMovesFocus && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        focusNextChild();
        return true;
    }
    return false;
}

bool FormBase::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        // Every key reaches the focus widget and then its parents: only its first delivery counts.
        if (widget->window() == this && widget == QApplication::focusWidget())
            return FormKeyDown(static_cast<QKeyEvent *>(event));
    }
    return QDialog::eventFilter(watched, event);
}

void FormBase::keyPressEvent(QKeyEvent *event)
{
    // Neither Enter nor Esc closes the form by itself; screens decide in FormKeyDown.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FormBase::showEvent(QShowEvent *event)
{
    qApp->installEventFilter(this);
    QDialog::showEvent(event);
    // A failed show still shows the form, with whatever its controls hold.
    if (!event->spontaneous())
        guarded([this] { FormShow(); });
}

void FormBase::done(int result)
{
    guarded([this] { FormClose(); });
    QDialog::done(result);
}

void FormBase::hideEvent(QHideEvent *event)
{
    qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

void FormBase::setFocusHighlight(bool on)
{
    const QString rule = QStringLiteral("QLineEdit:focus, QComboBox:focus, QAbstractSpinBox:focus { background-color: %1; }")
                             .arg(focusColour().name());
    QString sheet = styleSheet();
    sheet.remove(rule);
    setStyleSheet(on ? sheet + rule : sheet);
}
