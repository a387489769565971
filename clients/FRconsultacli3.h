#pragma once

#include "LookupForm.h"

#include <optional>

// A client as the annual statement names the other party.
struct ClienteEscolhido
{
    QString nome;      // CLIENTE
    QString documento; // its CPF or CNPJ, by person type
};

// The client lookup of the annual statement: it only tells which client was
// chosen and writes into no receipt.
class FRconsultacli3Form : public LookupForm
{
    Q_OBJECT
public:
    explicit FRconsultacli3Form(DataModule &dataModule, QWidget *parent = nullptr);

    // Shows the lookup modally; the client double-clicked, nothing when it was closed otherwise.
    std::optional<ClienteEscolhido> escolhe();

    void DBGrid1DblClick() override;

private:
    std::optional<ClienteEscolhido> m_escolhido;
};
