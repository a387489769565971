#include "TotaisMensais.h"

#include "data/Datamodule1.h"

#include <QDate>

QVector<TotalMensal> totaisMensais(DataModule &dataModule, int ano, const QString &tipo)
{
    Dataset consulta(dataModule.Base, dataModule.Tra, QStringLiteral("ibqMensal"));
    consulta.setSql({QStringLiteral("select extract(month from DATA) as MES, count(*) as RECIBOS, "
                                    "coalesce(sum(VALOR), 0) as TOTAL"),
                     QStringLiteral("from RECIBOS where TIPO = :TIPO and DATA >= :INI and DATA <= :FIM"),
                     QStringLiteral("group by 1")});
    consulta.setParam(QStringLiteral("TIPO"), tipo);
    consulta.setParam(QStringLiteral("INI"), QDate(ano, 1, 1));
    consulta.setParam(QStringLiteral("FIM"), QDate(ano, 12, 31));
    consulta.open();

    QVector<TotalMensal> meses(12);
    for (int m = 0; m < 12; ++m)
        meses[m].mes = m + 1;
    for (consulta.first(); !consulta.eof(); consulta.next()) {
        TotalMensal &mes = meses[consulta.fieldByName(QStringLiteral("MES")).asInteger() - 1];
        mes.recibos = consulta.fieldByName(QStringLiteral("RECIBOS")).asInteger();
        mes.total = consulta.fieldByName(QStringLiteral("TOTAL")).asNumeric().rescaled(-2);
    }
    return meses;
}

Planilha planilhaMensal(int ano, const QVector<TotalMensal> &meses)
{
    Planilha planilha;
    planilha.nome = QStringLiteral("Carnê-Leão %1").arg(ano);
    planilha.colunas = {{QStringLiteral("Mês"), Planilha::Tipo::Texto, 10},
                        {QStringLiteral("Recibos"), Planilha::Tipo::Inteiro, 10},
                        {QStringLiteral("Total"), Planilha::Tipo::Dinheiro, 14}};
    for (const TotalMensal &mes : meses) {
        planilha.linhas.append({QStringLiteral("%1/%2").arg(mes.mes, 2, 10, QLatin1Char('0')).arg(ano), mes.recibos,
                                QVariant::fromValue(mes.total)});
    }
    return planilha;
}
