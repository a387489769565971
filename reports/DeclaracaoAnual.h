#pragma once

#include "data/Numeric.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVector>

class DataModule;

// The annual statement of payments: every receipt of a year between the
// issuer and one other party, for that party's income-tax return.

inline const QString kRecebimento = QStringLiteral("RECEBIMENTO");
inline const QString kPagamento = QStringLiteral("PAGAMENTO");

// Years a statement can be asked for.
constexpr int kPrimeiroAno = 1900;
constexpr int kUltimoAno = 9999;

// The other party: the name and document printed in the text.
struct ParteDeclarada
{
    QString nome;
    QString documento;
};

// Which receipts are listed: the kind, the year and the party, found by its
// document when one is given, else by its name.
struct PedidoDeclaracao
{
    int ano = 0;
    QString tipo = kRecebimento;
    QString documento; // as typed; only its characters other than ".", "-", "/" count
    QString nome;
};

struct ReciboDeclarado
{
    int numero = 0;
    QDate data;
    QString emitente;  // EMITENTE
    QString documento; // CPFCNPJEMITENTE
    QString referente;
    Numeric valor{0, -2}; // an empty amount counts as zero

    bool semDocumento() const { return documento.trimmed().isEmpty(); }
};

struct Declaracao
{
    int ano = 0;
    QString tipo;
    ParteDeclarada parte;
    QVector<ReciboDeclarado> recibos; // by date, then number

    Numeric total() const;
};

// The issuer at the top and under the signature.
struct Emissor
{
    QString nome;
    QString documento;
    QString cidade;
    QByteArray logo;
};

// Whether the statement lists the receipt (of the right kind and year): by
// document, ignoring the separators, plus the receipts without a document that
// bear the party's name; without a document, by name alone. Names compare
// without regard to case or surrounding blanks.
bool pertenceAParte(const ReciboDeclarado &recibo, const PedidoDeclaracao &pedido);

// Reads the statement's receipts, the party and the issuer from the database.
class ConsultaDeclaracao
{
public:
    explicit ConsultaDeclaracao(DataModule &dataModule);

    // The receipts the request selects, with the party as given.
    Declaracao declaracao(const PedidoDeclaracao &pedido);
    // When only one of document and name is known (the command line): the
    // other is the registered client's, else the newest listed receipt's.
    Declaracao declaracaoCompletandoParte(const PedidoDeclaracao &pedido);

    // The single issuer row; empty when there is none.
    Emissor emissor();

private:
    QVector<ReciboDeclarado> recibos(const PedidoDeclaracao &pedido);
    // The registered client with the document (either column), or by name.
    bool clientePorDocumento(const QString &documento, ParteDeclarada *parte);
    bool clientePorNome(const QString &nome, ParteDeclarada *parte);

    DataModule &m_dataModule;
};
