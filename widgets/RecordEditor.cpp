#include "RecordEditor.h"

#include "DBEdit.h"
#include "DBLookupComboBox.h"
#include "PictureButton.h"
#include "data/DatabaseError.h"
#include "data/Dataset.h"
#include "data/Transaction.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

PictureButton *toolbarButton(const char *name, const char *picture, const char *hint, QWidget *parent)
{
    auto *button = new PictureButton(QLatin1String(name), QStringLiteral(":/widgets/icons/%1.png").arg(QLatin1String(picture)),
                                     QString::fromUtf8(hint), parent);
    // A hidden picture keeps its slot.
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
    button->setFixedSize(RecordEditor::kSlotWidth, RecordEditor::kSlotWidth);
    return button;
}

QVariantList currentValues(const Dataset &dataset)
{
    QVariantList values;
    for (const auto &field : dataset.fields())
        values << dataset.fieldValue(field->index());
    return values;
}

} // namespace

RecordEditor::RecordEditor(const QString &objectName, const QString &caption, Toolbar toolbar, const QString &closeName,
                           QWidget *parent)
    : FormBase(objectName, caption, closeName, parent)
{
    setEnterMovesFocus(true);
    setFocusHighlight(true);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("FlatPanel2"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_toolbar = panel;
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(4);

    QList<PictureButton *> pictures;
    if (toolbar == Toolbar::Full) {
        BTnovo = toolbarButton("BTnovo", "novo", "Novo Cadastro", panel);
        BTalterar = toolbarButton("BTalterar", "alterar", "Editar Cadastro", panel);
        BTexcluir = toolbarButton("BTexcluir", "excluir", "Excluir Cadastro", panel);
        BTconsultar = toolbarButton("BTconsultar", "consultar", "Localizar Cadastro", panel);
        pictures = {BTnovo, BTalterar, BTexcluir, BTconsultar};
    } else {
        // Three empty slots keep the remaining pictures at the right.
        for (int i = 0; i < 3; ++i)
            row->addSpacing(kSlotWidth + row->spacing());
        BTalterar = toolbarButton("BTalterar", "alterar", "Editar Cadastro", panel);
        pictures = {BTalterar};
    }
    BTsalvar = toolbarButton("BTsalvar", "salvar", "Salvar Cadastro", panel);
    BTcancelar = toolbarButton("BTcancelar", "cancelar", "Cancelar Cadastro", panel);
    pictures << BTsalvar << BTcancelar;
    for (PictureButton *button : pictures)
        row->addWidget(button);
    row->addStretch(1);

    static_cast<QVBoxLayout *>(layout())->addWidget(panel);
    setBrowseState();
}

void RecordEditor::showEvent(QShowEvent *event)
{
    // In the browse state the fields are disabled: they look read-only, lightly
    // tinted, yet their text stays dark enough to read at a glance. Each field
    // gets its own palette: the form's style sheet does not pass one down.
    for (QWidget *field : findChildren<QWidget *>()) {
        if (!qobject_cast<DBEdit *>(field) && !qobject_cast<DBLookupComboBox *>(field))
            continue;
        QPalette colours = field->palette();
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText})
            colours.setColor(QPalette::Disabled, role, readOnlyTextColour());
        for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Button})
            colours.setColor(QPalette::Disabled, role, readOnlyBackground());
        field->setPalette(colours);
    }
    FormBase::showEvent(event);
}

void RecordEditor::restaura()
{
    for (PictureButton *button : {BTnovo, BTalterar, BTexcluir, BTconsultar, BTsalvar, BTcancelar}) {
        if (button)
            button->setHidden(!button->isHidden());
    }
    for (QWidget *field : qAsConst(m_fields))
        field->setEnabled(field->testAttribute(Qt::WA_Disabled));
    for (QWidget *control : qAsConst(m_visibles))
        control->setHidden(!control->isHidden());
}

void RecordEditor::setBrowseState()
{
    for (PictureButton *button : {BTnovo, BTalterar, BTexcluir, BTconsultar}) {
        if (button)
            button->show();
    }
    BTsalvar->hide();
    BTcancelar->hide();
    for (QWidget *field : qAsConst(m_fields))
        field->setEnabled(false);
}

void RecordEditor::postAndCommit(Dataset &dataset, Transaction &transaction)
{
    try {
        DBEdit::updateRecords(this);
        if (dataset.state() == Dataset::State::Browse)
            dataset.edit();
        dataset.post();
    } catch (const DatabaseError &error) {
        // The user knows the field by its caption on this screen, not by its column.
        throw error.labelled(fieldLabel(error.fieldName()));
    }
    transaction.commitRetaining();
}

void RecordEditor::rememberPendingRow(const Dataset &dataset)
{
    m_pendingRow = currentValues(dataset);
}

bool RecordEditor::hasUnsavedChanges(const Dataset &dataset) const
{
    if (dataset.state() != Dataset::State::Insert && dataset.state() != Dataset::State::Edit)
        return false;
    const QList<DBEdit *> entries = findChildren<DBEdit *>();
    for (const DBEdit *entry : entries) {
        if (entry->dataset() == &dataset && entry->isModified())
            return true;
    }
    return currentValues(dataset) != m_pendingRow;
}

QString RecordEditor::fieldLabel(const QString &column) const
{
    if (column.isEmpty())
        return QString();
    const auto shared = m_sharedLabels.constFind(column.toUpper());
    if (shared != m_sharedLabels.constEnd())
        return shared.value()->text().trimmed();
    for (const QLabel *label : findChildren<QLabel *>()) {
        const QWidget *control = label->buddy();
        QString bound;
        if (const auto *edit = qobject_cast<const DBEdit *>(control))
            bound = edit->dataField();
        else if (const auto *combo = qobject_cast<const DBLookupComboBox *>(control))
            bound = combo->field() ? combo->field()->fieldName() : QString();
        if (bound.compare(column, Qt::CaseInsensitive) == 0)
            return label->text().remove(QLatin1Char('&')).trimmed();
    }
    return QString();
}
