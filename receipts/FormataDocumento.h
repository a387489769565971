#pragma once

#include <QString>

// Brings a typed document number into its stored form: ".", "-" and "/" are
// dropped; 11 remaining characters take the CPF form 123.456.789-01, 14 take
// the CNPJ form 12.345.678/0001-99, any other count is returned as stripped.
// A character is a Unicode code point, so a surrogate pair counts once and is
// never split by a separator.
QString FormataDocumento(const QString &texto);
