#include "DBEdit.h"

#include "ErrorDisplay.h"
#include "data/DatabaseError.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>

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
    : CaseEdit(objectName, parent), m_binding(this)
{
    connect(&m_binding, &FieldBinding::changed, this, &DBEdit::refresh);
}

void DBEdit::setDataField(Dataset *dataset, const QString &fieldName)
{
    m_binding.bind(dataset, fieldName);
    const Field *bound = field();
    const QString inputMask = bound ? entryInputMask(bound->editMask()) : QString();
    m_masked = !inputMask.isEmpty();
    setInputMask(inputMask);
    if (!m_masked && bound && bound->dataType() == ColumnType::Text && bound->size() > 0)
        setMaxLength(bound->size());
    refresh();
}

void DBEdit::refresh()
{
    if (!m_binding.dataset())
        return;
    const bool editing = m_binding.editing();
    setReadOnly(!editing);
    const Field *bound = m_binding.activeField();
    if (!bound)
        showText(QString());
    else
        showText(hasFocus() && editing ? bound->editText() : bound->displayText());
}

void DBEdit::updateRecord()
{
    Field *bound = field();
    if (!bound || !isModified())
        return;
    // An entry erased to its literals and blanks empties the field.
    if (m_masked && !hasAcceptableInput() && !bound->editMask().isBlankText(text()))
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
    if (!isModified())
        refresh();
    CaseEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent *event)
{
    CaseEdit::focusOutEvent(event);
    if (!m_binding.focusLeft(*event))
        return;
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

bool DBEdit::acceptsCharacters(const QString &typed) const
{
    const Field *bound = field();
    if (!bound || typed.isEmpty() || !typed.at(0).isPrint())
        return true;
    const ColumnType type = bound->dataType();
    if (type != ColumnType::Numeric && type != ColumnType::Integer && type != ColumnType::Double)
        return true;
    // A number field takes only what can be part of a number.
    const QLocale locale;
    QString allowed = QStringLiteral("0123456789+-");
    if (type != ColumnType::Integer)
        allowed += locale.decimalPoint();
    allowed += locale.groupSeparator();
    for (const QChar c : typed) {
        if (!allowed.contains(c))
            return false;
    }
    return true;
}

void DBEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isModified()) {
        setModified(false);
        refresh();
        event->accept();
        return;
    }
    if (!acceptsCharacters(event->text())) {
        event->accept();
        return;
    }
    CaseEdit::keyPressEvent(event);
}
