#pragma once

#include "RelatorioDeclaracao.h"

#include "clients/FRconsultacli3.h"
#include "widgets/FormBase.h"

#include <QDate>

#include <functional>
#include <optional>

class CaseEdit;
class DataModule;
class PictureButton;
class QComboBox;
class QSpinBox;

// The annual statement of payments for one party: the year, the party by
// document and name (typed or chosen from the register), the kind, and
// "Visualizar", which previews the statement.
class FRdeclaracaoForm : public FormBase
{
    Q_OBJECT
public:
    struct Collaborators
    {
        DataModule &dataModule;
        // The client lookup, shown modally: the client chosen, if any.
        std::function<std::optional<ClienteEscolhido>()> FRconsultacli3;
    };

    explicit FRdeclaracaoForm(Collaborators collaborators, QWidget *parent = nullptr);

    // Where "today" comes from (the default year, the date printed); tests fix it.
    void setClock(std::function<QDate()> today) { m_today = std::move(today); }

    RelatorioDeclaracao &relatorio() { return m_relatorio; }

    void FormShow() override;
    void EDcpfcnpjExit();
    void Panel2Click();
    void Panel1Click();

    QSpinBox *EDano;
    CaseEdit *EDcpfcnpj;
    CaseEdit *EDnome;
    PictureButton *Panel2;
    QComboBox *CBtipo;
    PictureButton *Panel1;

private:
    Collaborators m_uses;
    RelatorioDeclaracao m_relatorio;
    std::function<QDate()> m_today = &QDate::currentDate;
};
