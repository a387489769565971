#include "SampleReceipt.h"

ReceiptValues sampleReceipt(const QString &kind)
{
    ReceiptValues v;
    v.amount = QStringLiteral("1.234,50");
    v.amountInWords = QStringLiteral("um mil duzentos e trinta e quatro reais e cinquenta centavos");
    v.reference = QStringLiteral("Serviços de pintura da fachada");
    v.observation = QStringLiteral("Pago em dinheiro");
    v.place = QStringLiteral("São Paulo");
    v.dateText = QStringLiteral("05 de março de 2026");
    v.number = QStringLiteral("7");
    v.otherPartyName = QStringLiteral("Maria Souza");
    v.otherPartyDocument = QStringLiteral("123.456.789-01");
    v.issuerName = QStringLiteral("Oficina Modelo Ltda");
    v.issuerDocument = QStringLiteral("12.345.678/0001-99");
    v.kind = kind;
    return v;
}
