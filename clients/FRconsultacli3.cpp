#include "FRconsultacli3.h"

#include "FRconsultacli.h"
#include "LookupQueries.h"

#include "receipts/FormataDocumento.h"

FRconsultacli3Form::FRconsultacli3Form(DataModule &dataModule, QWidget *parent)
    : LookupForm(QStringLiteral("FRconsultacli3"), QStringLiteral("Consulta de Clientes"),
                 QStringLiteral("  Consulta - Digite o Nome/Razão do Cadastro"),
                 QStringLiteral("Selecione o CADASTRO com Duplo Clique"), dataModule, dataModule.Clientes,
                 clientLookupColumns(), lookupqueries::clientesByName(), lookupqueries::clientesByPrefix(),
                 QStringLiteral("Nome/Razão"), parent)
{
}

std::optional<ClienteEscolhido> FRconsultacli3Form::escolhe()
{
    m_escolhido.reset();
    showModal();
    return m_escolhido;
}

void FRconsultacli3Form::DBGrid1DblClick()
{
    const Dataset &clientes = dataModule().Clientes;
    // A double click on an empty list chooses nobody.
    if (clientes.active() && clientes.recNo() >= 0) {
        const auto texto = [&](const char *column) { return clientes.fieldByName(QLatin1String(column)).asString(); };
        m_escolhido = ClienteEscolhido{texto("CLIENTE"),
                                       DocumentoDoCliente(texto("CLASSIFICACAO"), texto("CPF"), texto("CNPJ"))};
    }
    close();
}
