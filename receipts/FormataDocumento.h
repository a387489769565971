#pragma once

#include <QString>

// Brings a typed document number into its stored form: ".", "-" and "/" are
// dropped; 11 remaining characters take the CPF form 123.456.789-01, 14 take
// the CNPJ form 12.345.678/0001-99, any other count is returned as stripped.
// A character is a Unicode code point, so a surrogate pair counts once and is
// never split by a separator.
QString FormataDocumento(const QString &texto);

// The text without ".", "-" and "/": two numbers are the same document when
// these agree, however each was punctuated.
QString SemSeparadores(const QString &texto);

// The number a client brings to a receipt: its CPF for a natural person
// (classification exactly "FÍSICA"), its CNPJ for any other.
QString DocumentoDoCliente(const QString &classificacao, const QString &cpf, const QString &cnpj);
