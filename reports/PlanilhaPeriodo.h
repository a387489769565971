#pragma once

#include "Planilha.h"

class RelatorioPeriodo;

// The rows of a period report, after abreConsulta, as the accountant's
// spreadsheet: number, date, kind, the other party's name and document,
// reference and amount.
Planilha planilhaDoPeriodo(RelatorioPeriodo &relatorio);
