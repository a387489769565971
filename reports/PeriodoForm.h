#pragma once

#include "RelatorioPeriodo.h"

#include "widgets/FormBase.h"

#include <QDate>

#include <functional>

class DataModule;
class DateEdit;
class PictureButton;

// A period selection screen: the first and the last day, and "Visualizar",
// which lists the receipts of those days in the report's preview.
class PeriodoForm : public FormBase
{
    Q_OBJECT
public:
    PeriodoForm(const PeriodoRecibos &periodo, DataModule &dataModule, QWidget *parent = nullptr);

    RelatorioPeriodo &relatorio() { return m_relatorio; }
    DateEdit *Medtini() const { return m_ini; }
    DateEdit *Medtfim() const { return m_fim; }

    void FormShow() override;
    void Panel1Click();
    // "Planilha": the same rows, written to a CSV or XLSX file the user names.
    void Panel2Click();

    // Where "today" comes from; tests fix it.
    void setClock(std::function<QDate()> today) { m_today = std::move(today); }
    // Asks for the spreadsheet's file; empty when the user gives up. Tests answer it.
    void setFileQuestion(std::function<QString()> ask) { m_askFile = std::move(ask); }

private:
    DataModule &m_dataModule;
    RelatorioPeriodo m_relatorio;
    DateEdit *m_ini;
    DateEdit *m_fim;
    PictureButton *m_visualizar;
    PictureButton *m_planilha;
    std::function<QDate()> m_today = &QDate::currentDate;
    std::function<QString()> m_askFile;
};
