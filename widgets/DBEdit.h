#pragma once

#include "CaseEdit.h"
#include "FieldBinding.h"
#include "data/Dataset.h"

// An entry control bound to a field of a dataset. It shows the field's display
// text, and its edit text while it is being edited; the field's edit mask
// governs typing. The typed text goes into the field when the focus leaves
// (exited() follows) or when updateRecord() is called before a post.
class DBEdit : public CaseEdit
{
    Q_OBJECT
public:
    // The refusal of a masked entry left with required positions unfilled.
    static QString invalidInputText() { return QStringLiteral("Invalid input value.  Use escape key to abandon changes"); }

    explicit DBEdit(const QString &objectName, QWidget *parent = nullptr);

    void setDataField(Dataset *dataset, const QString &fieldName);
    Dataset *dataset() const { return m_binding.dataset(); }
    QString dataField() const { return m_binding.fieldName(); }
    Field *field() const { return m_binding.field(); }

    // Writes typed text into the field; throws DatabaseError when it is refused.
    void updateRecord();
    // updateRecord() for every bound entry control under root: what a save calls before posting.
    static void updateRecords(QWidget *root);

signals:
    // The focus left and the typed text was accepted: the screens' ...Exit handlers.
    void exited();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void refresh();
    // False for typed characters a number field cannot hold.
    bool acceptsCharacters(const QString &typed) const;

    FieldBinding m_binding;
    bool m_masked = false;
};

// The input mask for a field's edit mask, in QLineEdit notation. A CNPJ
// position before the check digits takes a letter (upper-cased) or a digit.
QString entryInputMask(const EditMask &mask);
