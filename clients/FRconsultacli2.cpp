#include "FRconsultacli2.h"

#include "FRconsultacli.h"
#include "LookupQueries.h"

FRconsultacli2Form::FRconsultacli2Form(DataModule &dataModule, QWidget *parent)
    : LookupForm(QStringLiteral("FRconsultacli2"), QStringLiteral("Consulta de Clientes"),
                 QStringLiteral("  Consulta - Digite o Nome/Razão do Cadastro"),
                 QStringLiteral("Selecione o CADASTRO com Duplo Clique"), dataModule, dataModule.Clientes, clientLookupColumns(),
                 lookupqueries::clientesByName(), lookupqueries::clientesByPrefix(),
                 QStringLiteral("Nome/Razão"), parent)
{
}

void FRconsultacli2Form::DBGrid1DblClick()
{
    Dataset &recibos = dataModule().Recibos;
    const Dataset &clientes = dataModule().Clientes;
    // With no match the receipt's other party is emptied.
    const bool chosen = clientes.active() && clientes.recNo() >= 0;
    const auto value = [&](const char *column) {
        return chosen ? clientes.fieldByName(QLatin1String(column)).value() : QVariant(QString());
    };
    const bool person = value("CLASSIFICACAO").toString() == QStringLiteral("FÍSICA");
    const QVariant document = person ? value("CPF") : value("CNPJ");
    recibos.edit();
    recibos.fieldByName(QStringLiteral("EMITENTE")).setValue(value("CLIENTE"));
    recibos.fieldByName(QStringLiteral("CPFCNPJEMITENTE")).setValue(document);
    close();
}
