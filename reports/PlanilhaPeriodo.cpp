#include "PlanilhaPeriodo.h"

#include "RelatorioPeriodo.h"

Planilha planilhaDoPeriodo(RelatorioPeriodo &relatorio)
{
    using Tipo = Planilha::Tipo;
    Planilha planilha;
    planilha.nome = relatorio.periodo().caption.trimmed();
    planilha.colunas = {{QStringLiteral("Nº Recibo"), Tipo::Inteiro, 10},
                        {QStringLiteral("Data"), Tipo::Data, 11},
                        {QStringLiteral("Tipo"), Tipo::Texto, 14},
                        {QStringLiteral("Nome ou Razão Social"), Tipo::Texto, 40},
                        {QStringLiteral("CPF/CNPJ"), Tipo::Texto, 20},
                        {QStringLiteral("Referente"), Tipo::Texto, 50},
                        {QStringLiteral("Valor"), Tipo::Dinheiro, 14}};
    Dataset &consulta = relatorio.ibqRelatorio();
    const auto valor = [&consulta](const char *coluna) { return consulta.fieldByName(QLatin1String(coluna)).value(); };
    for (consulta.first(); !consulta.eof(); consulta.next()) {
        planilha.linhas.append({valor("ID_RECIBO"), valor("DATA"), valor("TIPO"), valor("EMITENTE"),
                                valor("CPFCNPJEMITENTE"), valor("REFERENTE"), valor("VALOR")});
    }
    return planilha;
}
