#pragma once

#include "data/Datamodule1.h"
#include "widgets/DatasetModel.h"
#include "widgets/FormBase.h"

#include <QStringList>

class CaseEdit;
class DBGrid;
class QLabel;

// The shape every lookup screen shares: a search entry that re-issues the list
// with each change, a read-only grid on a shared dataset, a bottom instruction.
// Choosing is a double click; every way of closing puts Clientes back on the
// full list at the client that was current.
class LookupForm : public FormBase
{
    Q_OBJECT
public:
    using Column = DatasetModel::Column;

    CaseEdit *EDlocalizar;
    DBGrid *DBGrid1;
    QLabel *Label1;

    // The last search text, as the query received it.
    QString searchText() const { return m_searchText; }

    void FormShow() override;
    void EDlocalizarChange();
    virtual void DBGrid1DblClick();
    void FormClose() override;

protected:
    // The list is on `dataset`, one of dataModule's; closing puts its Clientes back.
    // searchLabel is what the entry searches, as the screen names it.
    LookupForm(const QString &objectName, const QString &formCaption, const QString &titleCaption,
               const QString &instruction, DataModule &dataModule, Dataset &dataset, const QList<Column> &columns,
               const QStringList &fullList, const QStringList &searchList, const QString &searchLabel,
               QWidget *parent);

    DataModule &dataModule() const { return m_dataModule; }
    Dataset &dataset() const { return m_dataset; }
    // Ways into the search's list besides its top.
    void setSearchEntries(const ListEntries &entries) { m_searchEntries = entries; }
    // What the empty text lists, where a query of its own finds those rows quicker.
    void setEmptySearch(const QStringList &lines, const ListEntries &entries)
    {
        m_emptySearchList = lines;
        m_emptySearchEntries = entries;
    }

    bool FormKeyDown(QKeyEvent *event) override;

private:
    DataModule &m_dataModule;
    Dataset &m_dataset;
    const QStringList m_fullList;
    const QStringList m_searchList;
    const QString m_searchLabel;
    ListEntries m_searchEntries;
    QStringList m_emptySearchList;
    ListEntries m_emptySearchEntries;
    QString m_searchText;
    // The entry holds a character no row can hold, and the user was told.
    bool m_toldUnstorable = false;
    int m_chosenClient = 0;
};
