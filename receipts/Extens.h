#pragma once

#include <QString>

#include <functional>

// Spells an amount in reais out in Portuguese words, e.g. 1234.56 gives
// "Um Mil, e Duzentos e Trinta e Quatro Reais, e Cinqüenta e Seis Centavos.".
// Accepts 0 to 999999.99, both included; zero gives the empty text. Any other
// amount (negative, larger, NaN, infinite) reports rangeMessageText() through
// the sink and gives the empty text. Rounds to cents, halves away from zero.
QString NumeroPorExtenso(double valor);

// Spells a group of exactly three digits ("000" to "999"); "000" and any
// malformed group give the empty text.
QString CentenaPorExtenso(const QString &grupo);

using RangeMessageSink = std::function<void(const QString &message)>;
// Installed once at start-up by the application; it shows the plain message box.
void setRangeMessageSink(RangeMessageSink sink);
QString rangeMessageText();
