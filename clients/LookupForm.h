#pragma once

#include "data/Dataset.h"
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
    LookupForm(const QString &objectName, const QString &formCaption, const QString &titleCaption,
               const QString &instruction, Dataset &dataset, const QList<Column> &columns,
               const QStringList &fullList, const QStringList &searchList, QWidget *parent);

    Dataset &dataset() const { return m_dataset; }

    bool FormKeyDown(QKeyEvent *event) override;

private:
    Dataset &m_dataset;
    const QStringList m_fullList;
    const QStringList m_searchList;
    QString m_searchText;
    int m_chosenClient = 0;
};
