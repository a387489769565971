#include "RelatorioPeriodo.h"

#include "data/Datamodule1.h"

RelatorioPeriodo::RelatorioPeriodo(const PeriodoRecibos &periodo, DataModule &dataModule)
    : m_periodo(periodo)
    , m_query(dataModule.Base, dataModule.Tra, QStringLiteral("ibqRelatorio"))
    , m_fdsEvento(m_query, dataModule.Base, dataModule.Tra)
    , m_report(Report::fromFile(periodo.layoutFile))
{
    m_query.setSql(periodo.sql());
    m_report.setDataSource(QStringLiteral("ibqEvento"), &m_fdsEvento);
}

void RelatorioPeriodo::abreConsulta(const QDate &ini, const QDate &fim)
{
    if (!m_periodo.cabecalhoNome.isEmpty()) {
        if (ReportObject *heading = m_report.findObject(QStringLiteral("Memo9")))
            heading->setText(m_periodo.cabecalhoNome);
    }
    m_query.close();
    m_query.setParam(QStringLiteral("Pini"), ini);
    m_query.setParam(QStringLiteral("Pfim"), fim);
    if (m_periodo.filtraTipo())
        m_query.setParam(QStringLiteral("Tip"), m_periodo.tipo);
    m_query.open();
}
