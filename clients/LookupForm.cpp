#include "LookupForm.h"

#include "LookupQueries.h"

#include "data/DatabaseError.h"
#include "data/Win1252.h"
#include "widgets/CaseEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorDisplay.h"

#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <utility>

LookupForm::LookupForm(const QString &objectName, const QString &formCaption, const QString &titleCaption,
                       const QString &instruction, DataModule &dataModule, Dataset &dataset,
                       const QList<Column> &columns, const QStringList &fullList, const QStringList &searchList,
                       const QString &searchLabel, QWidget *parent)
    : FormBase(objectName, titleCaption, QStringLiteral("Image1"), parent),
      m_dataModule(dataModule),
      m_dataset(dataset),
      m_fullList(fullList),
      m_searchList(searchList),
      m_searchLabel(searchLabel)
{
    setWindowTitle(formCaption);
    setFocusHighlight(true);

    EDlocalizar = new CaseEdit(QStringLiteral("EDlocalizar"), body());
    EDlocalizar->setCharCase(CaseEdit::CharCase::Upper);
    DBGrid1 = new DBGrid(QStringLiteral("DBGrid1"), body());
    DBGrid1->setDataset(&dataset, columns);
    int width = 0;
    for (const Column &column : columns)
        width += column.width;
    Label1 = new QLabel(instruction, body());
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(body());
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(EDlocalizar);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(Label1);
    // Room for the row indicator, the lines and the scroll bar beside the columns.
    resize(width + 80, 480);

    connect(EDlocalizar, &QLineEdit::textChanged, this, [this] { guarded([this] { EDlocalizarChange(); }); });
    connect(DBGrid1, &DBGrid::gridDoubleClicked, this, [this] { guarded([this] { DBGrid1DblClick(); }); });
}

void LookupForm::FormShow()
{
    m_dataset.requery(m_fullList);
    {
        // Emptying an entry that is already empty changes nothing, yet every
        // showing starts with the empty-text search.
        const QSignalBlocker blocker(EDlocalizar);
        EDlocalizar->clear();
    }
    EDlocalizar->setFocus();
    EDlocalizarChange();
}

void LookupForm::EDlocalizarChange()
{
    m_searchText = EDlocalizar->text();
    const qsizetype unstorable = win1252::unencodableAt(m_searchText);
    if (unstorable < 0) {
        m_toldUnstorable = false;
        if (m_searchText.isEmpty() && !m_emptySearchList.isEmpty())
            lookupqueries::search(m_dataset, m_emptySearchList, m_searchText, m_emptySearchEntries);
        else
            lookupqueries::search(m_dataset, m_searchList, m_searchText, m_searchEntries);
        return;
    }
    // No row can hold the character, so nothing is listed. The user is told
    // once, not again with every key typed while it stays in the entry.
    m_dataset.close();
    if (std::exchange(m_toldUnstorable, true))
        return;
    throw DatabaseError::aboutField(
        QStringLiteral("O campo %1 contém um caractere que não pode ser gravado: ")
            + win1252::characterAt(m_searchText, unstorable),
        m_searchLabel);
}

void LookupForm::DBGrid1DblClick()
{
    close();
}

bool LookupForm::FormKeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    // The key goes on to the control that had the focus: in the grid it moves a row.
    if (event->key() == Qt::Key_Down && !DBGrid1->hasFocus())
        DBGrid1->setFocus();
    return false;
}

void LookupForm::FormClose()
{
    Dataset &clientes = m_dataModule.Clientes;
    m_chosenClient = clientes.active() && clientes.recNo() >= 0
                         ? clientes.fieldByName(QStringLiteral("ID_CLIENTE")).asInteger()
                         : 0;
    lookupqueries::reopenClientes(clientes, m_chosenClient);
}
