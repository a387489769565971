#pragma once

#include "PeriodoRecibos.h"

#include "data/Dataset.h"
#include "reportengine/DataSource.h"
#include "reportengine/Report.h"

#include <QDate>

class DataModule;

// The query ibqRelatorio of a period screen and its report frpEvento, which
// sees the query as the dataset "ibqEvento". The screen's "Visualizar" and the
// export command both go through abreConsulta.
class RelatorioPeriodo
{
public:
    // The query runs on the data module's connection and transaction.
    RelatorioPeriodo(const PeriodoRecibos &periodo, DataModule &dataModule);

    const PeriodoRecibos &periodo() const { return m_periodo; }
    Dataset &ibqRelatorio() { return m_query; }
    Report &frpEvento() { return m_report; }
    // The rows the report prints, read afresh through a cursor of their own.
    DataSource &fdsEvento() { return m_fdsEvento; }

    // Sets the name heading, re-opens the query on the days ini..fim (both
    // included); the report is then ready to be prepared.
    void abreConsulta(const QDate &ini, const QDate &fim);

private:
    const PeriodoRecibos &m_periodo;
    Dataset m_query;
    DatasetQuerySource m_fdsEvento;
    Report m_report;
};
