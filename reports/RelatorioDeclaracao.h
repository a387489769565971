#pragma once

#include "DeclaracaoAnual.h"

#include "reportengine/DataSource.h"
#include "reportengine/Report.h"

#include <QDate>

#include <memory>

// The statement's sentence before the table, for RECEBIMENTO or PAGAMENTO.
QString textoDeclaracao(const Declaracao &declaracao);
// "Total: R$ 12.345,67".
QString totalEmFiguras(const Numeric &total);
// The total in words; empty above 999.999,99 (and for zero), without a message.
QString totalPorExtenso(const Numeric &total);

// The statement's page layout frxDeclaracao, filled for one statement: the
// issuer at the top, the text, the receipts as the table "ibqDeclaracao",
// the total, place and date, and the signature.
class RelatorioDeclaracao
{
public:
    RelatorioDeclaracao();

    Report &frxDeclaracao() { return m_report; }

    // `hoje` is the date printed after the issuer's city.
    void preenche(const Declaracao &declaracao, const Emissor &emissor, const QDate &hoje);

private:
    Report m_report;
    std::unique_ptr<MemoryDataSource> m_linhas;
};
