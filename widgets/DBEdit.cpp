#include "DBEdit.h"

#include "ErrorDisplay.h"
#include "data/DatabaseError.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace {

const QString kCnpjPattern = QStringLiteral("00\\.000\\.000\\/0000\\-00");
const QString kAlphanumericCnpj = QStringLiteral(">NN.NNN.NNN/NNNN!-99");

} // namespace

QString entryInputMask(const EditMask &mask)
{
    if (mask.isEmpty())
        return {};
    if (mask.mask().section(QLatin1Char(';'), 0, 0) == kCnpjPattern)
        return kAlphanumericCnpj + QLatin1Char(';') + mask.blank();
    return mask.qtInputMask();
}

DBEdit::DBEdit(const QString &objectName, QWidget *parent)
    : CaseEdit(objectName, parent)
{
}

void DBEdit::setDataField(Dataset *dataset, const QString &fieldName)
{
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    m_fieldName = fieldName;
    if (dataset) {
        connect(dataset, &Dataset::reset, this, &DBEdit::refresh);
        connect(dataset, &Dataset::stateChanged, this, &DBEdit::refresh);
        connect(dataset, &Dataset::currentChanged, this, &DBEdit::refresh);
        connect(dataset, &Dataset::fieldChanged, this, &DBEdit::fieldChanged);
    }
    const Field *bound = field();
    const QString inputMask = bound ? entryInputMask(bound->editMask()) : QString();
    m_masked = !inputMask.isEmpty();
    setInputMask(inputMask);
    if (!m_masked && bound && bound->dataType() == ColumnType::Text && bound->size() > 0)
        setMaxLength(bound->size());
    refresh();
}

Field *DBEdit::field() const
{
    return m_dataset ? m_dataset->findField(m_fieldName) : nullptr;
}

bool DBEdit::datasetEditing() const
{
    return m_dataset && (m_dataset->state() == Dataset::State::Insert || m_dataset->state() == Dataset::State::Edit);
}

void DBEdit::refresh()
{
    if (!m_dataset)
        return;
    const Field *bound = field();
    setReadOnly(!datasetEditing());
    if (!bound || !m_dataset->active()) {
        setText(QString());
        return;
    }
    setText(hasFocus() && datasetEditing() ? bound->editText() : bound->displayText());
}

void DBEdit::fieldChanged(int fieldIndex)
{
    const Field *bound = field();
    if (bound && bound->index() == fieldIndex)
        refresh();
}

void DBEdit::updateRecord()
{
    Field *bound = field();
    if (!bound || !isModified())
        return;
    if (m_masked && !hasAcceptableInput())
        throw DatabaseError(invalidInputText());
    bound->setText(text());
    setModified(false);
}

void DBEdit::updateRecords(QWidget *root)
{
    const QList<DBEdit *> entries = root->findChildren<DBEdit *>();
    for (DBEdit *entry : entries)
        entry->updateRecord();
}

void DBEdit::focusInEvent(QFocusEvent *event)
{
    m_hasFocus = true;
    if (!isModified())
        refresh();
    CaseEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent *event)
{
    CaseEdit::focusOutEvent(event);
    // Another window coming up (a message, a popup) is not leaving the control.
    if (!m_hasFocus || event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    m_hasFocus = false;
    QString refusal;
    try {
        updateRecord();
    } catch (const std::exception &error) {
        refusal = errordisplay::textOf(error);
    }
    if (!refusal.isEmpty()) {
        setFocus(Qt::OtherFocusReason);
        errordisplay::show(refusal);
        return;
    }
    refresh();
    emit exited();
}

void DBEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isModified()) {
        setModified(false);
        refresh();
        event->accept();
        return;
    }
    CaseEdit::keyPressEvent(event);
}
