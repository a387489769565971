#pragma once

#include "data/Numeric.h"

#include <QString>

class Dataset;

// The amount in words without the out-of-range message: an amount outside
// 0 to 999999.99 gives the empty text silently.
QString ValorPorExtensoSemAviso(const Numeric &valor);

// Brings VALOREXTENSO and DATARECIBO of the receipt being inserted or edited
// into agreement with VALOR and DATA, so a saved receipt never disagrees with
// itself whichever field had the focus. A NULL source empties its text; no
// message is shown.
void AtualizaDerivados(Dataset &recibos);
