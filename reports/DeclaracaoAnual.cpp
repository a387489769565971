#include "DeclaracaoAnual.h"

#include "data/Datamodule1.h"
#include "receipts/FormataDocumento.h"
#include "reportengine/ReportError.h"

namespace {

QString documentoLimpo(const QString &documento)
{
    return SemSeparadores(documento.trimmed());
}

bool mesmoNome(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// The stored document without its separators, as SQL.
const QString kDocumentoSql =
    QStringLiteral("replace(replace(replace(trim(%1), '.', ''), '-', ''), '/', '')");

void valida(const PedidoDeclaracao &pedido)
{
    if (pedido.ano < kPrimeiroAno || pedido.ano > kUltimoAno)
        throw ReportError(QStringLiteral("Ano inválido: %1 (use de %2 a %3).").arg(pedido.ano).arg(kPrimeiroAno).arg(kUltimoAno));
    if (pedido.tipo != kRecebimento && pedido.tipo != kPagamento)
        throw ReportError(QStringLiteral("Tipo inválido: %1 (use RECEBIMENTO ou PAGAMENTO).").arg(pedido.tipo));
    if (documentoLimpo(pedido.documento).isEmpty() && pedido.nome.trimmed().isEmpty())
        throw ReportError(QStringLiteral("Informe o CPF/CNPJ ou o nome da outra parte."));
}

QVector<ReciboDeclarado> filtra(const QVector<ReciboDeclarado> &candidatos, const PedidoDeclaracao &pedido)
{
    QVector<ReciboDeclarado> listados;
    for (const ReciboDeclarado &recibo : candidatos) {
        if (pertenceAParte(recibo, pedido))
            listados.append(recibo);
    }
    return listados;
}

// The newest listed receipt's non-empty value of a column.
QString doMaisRecente(const QVector<ReciboDeclarado> &recibos, QString ReciboDeclarado::*coluna)
{
    for (auto it = recibos.crbegin(); it != recibos.crend(); ++it) {
        const QString valor = ((*it).*coluna).trimmed();
        if (!valor.isEmpty())
            return valor;
    }
    return QString();
}

} // namespace

Numeric Declaracao::total() const
{
    Numeric soma{0, -2};
    for (const ReciboDeclarado &recibo : recibos)
        soma += recibo.valor;
    return soma;
}

bool pertenceAParte(const ReciboDeclarado &recibo, const PedidoDeclaracao &pedido)
{
    const bool doNome = !pedido.nome.trimmed().isEmpty() && mesmoNome(recibo.emitente, pedido.nome);
    const QString documento = documentoLimpo(pedido.documento);
    if (documento.isEmpty())
        return doNome;
    return documentoLimpo(recibo.documento) == documento || (recibo.semDocumento() && doNome);
}

ConsultaDeclaracao::ConsultaDeclaracao(DataModule &dataModule) : m_dataModule(dataModule) {}

QVector<ReciboDeclarado> ConsultaDeclaracao::recibos(const PedidoDeclaracao &pedido)
{
    // The database narrows the rows down; names are compared here, where case
    // folding knows accented letters.
    Dataset consulta(m_dataModule.Base, m_dataModule.Tra, QStringLiteral("ibqDeclaracao"));
    QStringList sql{QStringLiteral("select ID_RECIBO, DATA, EMITENTE, CPFCNPJEMITENTE, REFERENTE, VALOR from RECIBOS"),
                    QStringLiteral("where TIPO = :TIPO and DATA >= :INI and DATA <= :FIM")};
    const QString documento = documentoLimpo(pedido.documento);
    if (!documento.isEmpty()) {
        sql << QStringLiteral("and (%1 = cast(:DOC as varchar(200)) or coalesce(trim(CPFCNPJEMITENTE), '') = '')")
                   .arg(kDocumentoSql.arg(QStringLiteral("CPFCNPJEMITENTE")));
    }
    sql << QStringLiteral("order by DATA, ID_RECIBO");
    consulta.setSql(sql);
    if (!documento.isEmpty())
        consulta.setParam(QStringLiteral("DOC"), documento);
    consulta.setParam(QStringLiteral("TIPO"), pedido.tipo);
    consulta.setParam(QStringLiteral("INI"), QDate(pedido.ano, 1, 1));
    consulta.setParam(QStringLiteral("FIM"), QDate(pedido.ano, 12, 31));
    consulta.open();

    QVector<ReciboDeclarado> candidatos;
    for (consulta.first(); !consulta.eof(); consulta.next()) {
        ReciboDeclarado recibo;
        recibo.numero = consulta.fieldByName(QStringLiteral("ID_RECIBO")).asInteger();
        recibo.data = consulta.fieldByName(QStringLiteral("DATA")).asDate();
        recibo.emitente = consulta.fieldByName(QStringLiteral("EMITENTE")).asString();
        recibo.documento = consulta.fieldByName(QStringLiteral("CPFCNPJEMITENTE")).asString();
        recibo.referente = consulta.fieldByName(QStringLiteral("REFERENTE")).asString();
        const Field &valor = consulta.fieldByName(QStringLiteral("VALOR"));
        if (!valor.isNull())
            recibo.valor = valor.asNumeric();
        candidatos.append(recibo);
    }
    return candidatos;
}

Declaracao ConsultaDeclaracao::declaracao(const PedidoDeclaracao &pedido)
{
    valida(pedido);
    return {pedido.ano, pedido.tipo, {pedido.nome, pedido.documento}, filtra(recibos(pedido), pedido)};
}

Declaracao ConsultaDeclaracao::declaracaoCompletandoParte(const PedidoDeclaracao &pedido)
{
    valida(pedido);
    const QVector<ReciboDeclarado> candidatos = recibos(pedido);
    PedidoDeclaracao completo = pedido;
    ParteDeclarada parte{pedido.nome.trimmed().toUpper(), FormataDocumento(pedido.documento.trimmed())};
    ParteDeclarada cliente;
    if (!documentoLimpo(pedido.documento).isEmpty()) {
        // The name also brings in the party's receipts typed without a document.
        if (clientePorDocumento(documentoLimpo(pedido.documento), &cliente))
            parte.nome = cliente.nome;
        else
            parte.nome = doMaisRecente(filtra(candidatos, pedido), &ReciboDeclarado::emitente);
        completo.nome = parte.nome;
    }
    Declaracao declaracao{pedido.ano, pedido.tipo, parte, filtra(candidatos, completo)};
    if (documentoLimpo(pedido.documento).isEmpty()) {
        declaracao.parte.documento = clientePorNome(pedido.nome, &cliente)
                                         ? cliente.documento
                                         : doMaisRecente(declaracao.recibos, &ReciboDeclarado::documento);
    }
    return declaracao;
}

bool ConsultaDeclaracao::clientePorDocumento(const QString &documento, ParteDeclarada *parte)
{
    Dataset consulta(m_dataModule.Base, m_dataModule.Tra, QStringLiteral("ibqClienteDocumento"));
    consulta.setSql({QStringLiteral("select CLIENTE from CLIENTES"),
                     QStringLiteral("where %1 = cast(:DOC as varchar(200)) or %2 = cast(:DOC as varchar(200)) order by CLIENTE")
                         .arg(kDocumentoSql.arg(QStringLiteral("CPF")), kDocumentoSql.arg(QStringLiteral("CNPJ")))});
    consulta.setParam(QStringLiteral("DOC"), documento);
    consulta.open();
    if (consulta.isEmpty())
        return false;
    parte->nome = consulta.fieldByName(QStringLiteral("CLIENTE")).asString();
    return true;
}

bool ConsultaDeclaracao::clientePorNome(const QString &nome, ParteDeclarada *parte)
{
    Dataset consulta(m_dataModule.Base, m_dataModule.Tra, QStringLiteral("ibqClienteNome"));
    consulta.setSql({QStringLiteral("select CLIENTE, CLASSIFICACAO, CPF, CNPJ from CLIENTES order by CLIENTE")});
    consulta.open();
    for (consulta.first(); !consulta.eof(); consulta.next()) {
        const QString cliente = consulta.fieldByName(QStringLiteral("CLIENTE")).asString();
        if (!mesmoNome(cliente, nome))
            continue;
        parte->nome = cliente;
        parte->documento = DocumentoDoCliente(consulta.fieldByName(QStringLiteral("CLASSIFICACAO")).asString(),
                                              consulta.fieldByName(QStringLiteral("CPF")).asString(),
                                              consulta.fieldByName(QStringLiteral("CNPJ")).asString());
        return true;
    }
    return false;
}

Emissor ConsultaDeclaracao::emissor()
{
    Dataset consulta(m_dataModule.Base, m_dataModule.Tra, QStringLiteral("ibqEmissor"));
    consulta.setSql({QStringLiteral("select EMITENTE, CPFCNPJ, CIDADE, FOTO_MARC from EMITENTE")});
    consulta.open();
    if (consulta.isEmpty())
        return {};
    return {consulta.fieldByName(QStringLiteral("EMITENTE")).asString(),
            consulta.fieldByName(QStringLiteral("CPFCNPJ")).asString(),
            consulta.fieldByName(QStringLiteral("CIDADE")).asString(),
            consulta.fieldByName(QStringLiteral("FOTO_MARC")).asBytes()};
}
