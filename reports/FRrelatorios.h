#pragma once

#include "widgets/FormBase.h"

class FRdeclaracaoForm;
class PeriodoForm;
class PictureButton;

// The report menu: a tile per receipt list, each opening its period screen,
// and one for the annual statement.
class FRrelatoriosForm : public FormBase
{
    Q_OBJECT
public:
    // The period screens its tiles open: every receipt, payments, receipts of payment received.
    FRrelatoriosForm(PeriodoForm &FRabrerecibos3, PeriodoForm &FRabrerecibos2, PeriodoForm &FRabrerecibos1,
                     FRdeclaracaoForm &FRdeclaracao, QWidget *parent = nullptr);

    void Image5Click();
    void Image2Click();
    void Image3Click();
    void Image4Click();

private:
    void addTile(PictureButton *image, const QString &label, int row, int column);

    PeriodoForm &m_todos;
    PeriodoForm &m_pagamento;
    PeriodoForm &m_recebimento;
    FRdeclaracaoForm &m_declaracao;
};
