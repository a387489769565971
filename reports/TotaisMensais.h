#pragma once

#include "Planilha.h"

#include "data/Numeric.h"

#include <QVector>

class DataModule;

// What the Carnê-Leão asks month by month: how many receipts of a kind and
// their sum.
struct TotalMensal
{
    int mes = 0; // 1..12
    int recibos = 0;
    Numeric total{0, -2};
};

// The twelve months of the year in order, months without receipts included.
QVector<TotalMensal> totaisMensais(DataModule &dataModule, int ano, const QString &tipo);

// "Mês;Recibos;Total", the month written "01/2026".
Planilha planilhaMensal(int ano, const QVector<TotalMensal> &meses);
