#include "RelatorioDeclaracao.h"

#include "data/ValueText.h"
#include "receipts/DataExtenso.h"
#include "receipts/Extens.h"

namespace {

const QString kSemDocumento = QStringLiteral("(recibo sem CPF/CNPJ)");
const Numeric kMaiorPorExtenso{99999999, -2};

void escreve(Report &report, const char *objeto, const QString &texto)
{
    if (ReportObject *found = report.findObject(QLatin1String(objeto)))
        found->setText(texto);
}

QString comDocumento(const QString &documento)
{
    return documento.isEmpty() ? QString() : QStringLiteral("CPF/CNPJ ") + documento;
}

} // namespace

QString textoDeclaracao(const Declaracao &declaracao)
{
    const QString verbo = declaracao.tipo == kPagamento ? QStringLiteral("pagamos a ") : QStringLiteral("recebemos de ");
    return QStringLiteral("Declaramos, para fins de comprovação junto à Receita Federal, que ") + verbo
           + declaracao.parte.nome + QStringLiteral(", CPF/CNPJ ") + declaracao.parte.documento
           + QStringLiteral(", no ano-calendário de ") + QString::number(declaracao.ano)
           + QStringLiteral(", os valores abaixo, referentes aos recibos emitidos:");
}

QString totalEmFiguras(const Numeric &total)
{
    return QStringLiteral("Total: R$ ") + valuetext::formatNumber(total, QStringLiteral("#,##0.00"));
}

QString totalPorExtenso(const Numeric &total)
{
    // Out of range, NumeroPorExtenso would show its message; here the words are just left out.
    const Numeric centavos = total.rescaled(-2);
    if (centavos.units < 0 || centavos > kMaiorPorExtenso)
        return QString();
    return NumeroPorExtenso(centavos.toDouble());
}

RelatorioDeclaracao::RelatorioDeclaracao() : m_report(Report::fromFile(QStringLiteral(":/reports/declaracao.layout")))
{
}

void RelatorioDeclaracao::preenche(const Declaracao &declaracao, const Emissor &emissor, const QDate &hoje)
{
    if (ReportObject *logo = m_report.findObject(QStringLiteral("Picture1")))
        logo->setPicture(emissor.logo);
    escreve(m_report, "Emitente", emissor.nome);
    escreve(m_report, "CpfcnpjEmitente", comDocumento(emissor.documento));
    escreve(m_report, "Cidade", emissor.cidade);
    escreve(m_report, "Texto", textoDeclaracao(declaracao));

    m_linhas = std::make_unique<MemoryDataSource>(
        QStringList{QStringLiteral("ID_RECIBO"), QStringLiteral("DATA"), QStringLiteral("REFERENTE"), QStringLiteral("VALOR")});
    for (const ReciboDeclarado &recibo : declaracao.recibos) {
        // The mark goes first: a long reference is cut at the column's end.
        const QString referente = recibo.semDocumento() ? kSemDocumento + QLatin1Char(' ') + recibo.referente
                                                        : recibo.referente;
        m_linhas->addRow({recibo.numero, recibo.data, referente, QVariant::fromValue(recibo.valor)});
    }
    m_report.setDataSource(QStringLiteral("ibqDeclaracao"), m_linhas.get());

    const Numeric total = declaracao.total();
    escreve(m_report, "Nenhum",
            declaracao.recibos.isEmpty() ? QStringLiteral("Nenhum recibo encontrado para este ano.") : QString());
    escreve(m_report, "Total", totalEmFiguras(total));
    escreve(m_report, "Extenso", totalPorExtenso(total));
    const QString data = DataPorExtenso(hoje);
    escreve(m_report, "LocalData", emissor.cidade.isEmpty() ? data : emissor.cidade + QStringLiteral(", ") + data);
    escreve(m_report, "Assinatura", emissor.nome);
    escreve(m_report, "AssinaturaDoc", comDocumento(emissor.documento));
}
