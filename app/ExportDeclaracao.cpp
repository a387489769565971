#include "ExportDeclaracao.h"

#include "reportengine/ReportExport.h"
#include "reports/DeclaracaoAnual.h"
#include "reports/RelatorioDeclaracao.h"

#include <QFileInfo>

namespace quindeloexport {

namespace {

const QString kCpfCnpj = QStringLiteral("--cpfcnpj");
const QString kNome = QStringLiteral("--nome");

void exportStatement(const Request &request, DataModule &dm)
{
    PedidoDeclaracao pedido;
    pedido.ano = yearOf(request);
    pedido.tipo = kindOf(request);
    pedido.documento = request.options.value(kCpfCnpj);
    pedido.nome = request.options.value(kNome);
    if (request.options.contains(kCpfCnpj) == request.options.contains(kNome))
        throw ExportError(QStringLiteral("Indique a outra parte com --cpfcnpj DOC ou com --nome NOME (um dos dois)."));
    if (QFileInfo(request.output).suffix().toLower() != QLatin1String("pdf"))
        throw ExportError(QStringLiteral("O arquivo de saída deve terminar em .pdf: %1").arg(request.output));

    ConsultaDeclaracao consulta(dm);
    const Declaracao declaracao = consulta.declaracaoCompletandoParte(pedido);
    RelatorioDeclaracao relatorio;
    relatorio.preenche(declaracao, consulta.emissor(), QDate::currentDate());
    relatorio.frxDeclaracao().prepareReport();
    reportexport::toPdf(relatorio.frxDeclaracao().preparedPages(), request.output,
                        QStringLiteral("Declaração Anual de Pagamentos %1").arg(declaracao.ano));
}

} // namespace

int yearOf(const Request &request)
{
    if (request.arguments.size() != 1)
        throw ExportError(QStringLiteral("Indique o ano (AAAA)."));
    const QString &text = request.arguments.first();
    bool ok = false;
    const int year = text.toInt(&ok);
    if (!ok || year < kPrimeiroAno || year > kUltimoAno)
        throw ExportError(QStringLiteral("Ano inválido: %1 (use de %2 a %3).").arg(text).arg(kPrimeiroAno).arg(kUltimoAno));
    return year;
}

QString kindOf(const Request &request)
{
    const QString kind = request.options.value(QStringLiteral("--tipo"), kRecebimento);
    if (kind != kRecebimento && kind != kPagamento)
        throw ExportError(QStringLiteral("Tipo inválido: %1 (use PAGAMENTO ou RECEBIMENTO).").arg(kind));
    return kind;
}

Subcommand declaracaoSubcommand()
{
    return {QStringLiteral("declaracao"),
            QStringLiteral("declaracao ANO (--cpfcnpj DOC | --nome NOME) [--tipo RECEBIMENTO|PAGAMENTO] "
                           "[--banco CAMINHO] -o SAIDA.pdf"),
            {},
            {kCpfCnpj, kNome, QStringLiteral("--tipo")},
            exportStatement};
}

} // namespace quindeloexport
