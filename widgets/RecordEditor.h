#pragma once

#include "FormBase.h"

#include <QHash>
#include <QList>
#include <QVariantList>

class Dataset;
class QLabel;
class PictureButton;
class Transaction;

// The record editor: a form with a toolbar panel of six pictures in fixed
// slots (New, Edit, Delete, Find | Save, Cancel), a browse state and an edit
// state, and restaura, which switches between the two by inverting.
class RecordEditor : public FormBase
{
    Q_OBJECT
public:
    enum class Toolbar {
        Full,    // BTnovo, BTalterar, BTexcluir, BTconsultar, BTsalvar, BTcancelar
        EditOnly // BTalterar, BTsalvar, BTcancelar in the three rightmost slots
    };
    static constexpr int kSlotWidth = 56;

    RecordEditor(const QString &objectName, const QString &caption, Toolbar toolbar = Toolbar::Full,
                 const QString &closeName = QStringLiteral("Image1"), QWidget *parent = nullptr);

    // The pictures of the toolbar; null when the toolbar has no such slot.
    PictureButton *BTnovo = nullptr;
    PictureButton *BTalterar = nullptr;
    PictureButton *BTexcluir = nullptr;
    PictureButton *BTconsultar = nullptr;
    PictureButton *BTsalvar = nullptr;
    PictureButton *BTcancelar = nullptr;

    QWidget *toolbarPanel() const { return m_toolbar; }

    // The fields whose enabled state restaura inverts, and further controls
    // (such as print tiles) whose visibility it inverts with the toolbar.
    void setRestauraList(const QList<QWidget *> &fields) { m_fields = fields; }
    void setRestauraVisibleList(const QList<QWidget *> &controls) { m_visibles = controls; }

    // Inverts the toolbar pictures' visibility, the listed fields' enabled
    // state and the listed controls' visibility: browse <-> edit.
    void restaura();
    // The browse state set absolutely: New, Edit, Delete, Find shown, Save,
    // Cancel hidden, every listed field disabled.
    void setBrowseState();

    // A save's first steps: the typed text of every entry into its field, the
    // dataset into editing if needed, post, commit-retaining. A field's error
    // names the field by its label.
    void postAndCommit(Dataset &dataset, Transaction &transaction);

    // The row New or Edit has just prepared, before the user typed anything.
    void rememberPendingRow(const Dataset &dataset);
    // The dataset inserts or edits a row that differs from the remembered one,
    // or an entry holds typed text not yet in its field.
    bool hasUnsavedChanges(const Dataset &dataset) const;
    // The colours of a data field in the browse state.
    static QColor readOnlyTextColour() { return QColor(0x1a, 0x1a, 0x1a); }
    static QColor readOnlyBackground() { return QColor(0xe6, 0xed, 0xed); }

    // The text of the label whose buddy is the control bound to `column`; empty when none is.
    QString fieldLabel(const QString &column) const;
    // A field without a label of its own that the user knows by another's, such as a second line.
    void shareLabel(const QString &column, QLabel *label) { m_sharedLabels.insert(column.toUpper(), label); }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *m_toolbar;
    QList<QWidget *> m_fields;
    QList<QWidget *> m_visibles;
    QVariantList m_pendingRow;
    QHash<QString, QLabel *> m_sharedLabels;
};
