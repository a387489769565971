#include "PeriodoRecibos.h"

const PeriodoRecibos kRecibosRecebimento{QStringLiteral("FRabrerecibos1"), QStringLiteral("  Recibos Recebimento"),
                                         QStringLiteral("RECEBIMENTO"), QStringLiteral("Emitente"),
                                         QStringLiteral(":/reports/abrerecibos1.layout")};
const PeriodoRecibos kRecibosPagamento{QStringLiteral("FRabrerecibos2"), QStringLiteral("  Recibos Pagamento"),
                                       QStringLiteral("PAGAMENTO"), QStringLiteral("Emitente"),
                                       QStringLiteral(":/reports/abrerecibos2.layout")};
const PeriodoRecibos kTodosRecibos{QStringLiteral("FRabrerecibos3"), QStringLiteral("  Todos os Recibos"), QString(),
                                   QString(), QStringLiteral(":/reports/abrerecibos3.layout")};

QStringList PeriodoRecibos::sql() const
{
    if (filtraTipo()) {
        return {QStringLiteral("select"), QStringLiteral("  * from"), QStringLiteral("RECIBOS"),
                QStringLiteral("where (Data>=:pini and Data<=:pfim)  and (Tipo=:tip)")};
    }
    return {QStringLiteral("select"), QStringLiteral("  * from"), QStringLiteral("RECIBOS"),
            QStringLiteral("where (Data>=:pini and Data<=:pfim) ")};
}
