#include "PlanilhaPeriodo.h"

#include "RelatorioPeriodo.h"

namespace {

// Between the first row asked for and the end of the walk, also when writing stops half-way.
class RowWalk
{
public:
    explicit RowWalk(DataSource &rows) : m_rows(rows) { m_rows.beginRows(); }
    ~RowWalk() { m_rows.endRows(); }
    RowWalk(const RowWalk &) = delete;
    RowWalk &operator=(const RowWalk &) = delete;

private:
    DataSource &m_rows;
};

} // namespace

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
    // The rows as the report reads them, one at a time: a million receipts are never held.
    planilha.leLinhas = [&relatorio](const Planilha::Linha &linha) {
        DataSource &consulta = relatorio.fdsEvento();
        const RowWalk walk(consulta);
        const auto valor = [&consulta](const char *coluna) { return consulta.value(QLatin1String(coluna)); };
        for (consulta.first(); !consulta.eof(); consulta.next()) {
            linha({valor("ID_RECIBO"), valor("DATA"), valor("TIPO"), valor("EMITENTE"), valor("CPFCNPJEMITENTE"),
                   valor("REFERENTE"), valor("VALOR")});
        }
    };
    return planilha;
}
