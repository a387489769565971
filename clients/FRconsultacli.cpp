#include "FRconsultacli.h"

#include "LookupQueries.h"

QList<LookupForm::Column> clientLookupColumns()
{
    return {{QStringLiteral("CLIENTE"), QStringLiteral("Nome/Razão"), 409},
            {QStringLiteral("CLASSIFICACAO"), QStringLiteral("Física/Jurídica"), 276}};
}

FRconsultacliForm::FRconsultacliForm(DataModule &dataModule, QWidget *parent)
    : LookupForm(QStringLiteral("FRconsultacli"), QStringLiteral("Consulta de Clientes"),
                 QStringLiteral("  Consulta - Digite o Nome/Razão do Cadastro"),
                 QStringLiteral("Selecione o CADASTRO com Duplo Clique"), dataModule, dataModule.Clientes, clientLookupColumns(),
                 lookupqueries::clientesByName(), lookupqueries::clientesByPrefix(),
                 QStringLiteral("Nome/Razão"), parent)
{
}
