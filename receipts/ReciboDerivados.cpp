#include "ReciboDerivados.h"

#include "DataExtenso.h"
#include "Extens.h"

#include "data/Dataset.h"

namespace {

constexpr qint64 kMaiorValorEmCentavos = 99999999;

} // namespace

QString ValorPorExtensoSemAviso(const Numeric &valor)
{
    const qint64 centavos = valor.rescaled(-2).units;
    if (centavos < 0 || centavos > kMaiorValorEmCentavos)
        return {};
    return NumeroPorExtenso(valor.rescaled(-2).toDouble());
}

void AtualizaDerivados(Dataset &recibos)
{
    Field &valor = recibos.fieldByName(QStringLiteral("VALOR"));
    Field &data = recibos.fieldByName(QStringLiteral("DATA"));
    Field &extenso = recibos.fieldByName(QStringLiteral("VALOREXTENSO"));
    Field &dataRecibo = recibos.fieldByName(QStringLiteral("DATARECIBO"));
    if (valor.isNull())
        extenso.clear();
    else
        extenso.setValue(ValorPorExtensoSemAviso(valor.asNumeric()));
    if (data.isNull())
        dataRecibo.clear();
    else
        dataRecibo.setValue(DataPorExtenso(data.asDate()));
}
