#include "PeriodoForm.h"

#include "data/Datamodule1.h"
#include "reportengine/ReportPreview.h"
#include "widgets/DateEdit.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"

#include <QGridLayout>
#include <QLabel>

PeriodoForm::PeriodoForm(const PeriodoRecibos &periodo, DataModule &dataModule, QWidget *parent)
    : FormBase(periodo.formName, periodo.caption, QStringLiteral("BTsair"), parent)
    , m_dataModule(dataModule)
    , m_relatorio(periodo, dataModule)
{
    setWindowTitle(QStringLiteral("Escolha o período da Emissão dos Recibos"));
    setEnterMovesFocus(true);

    m_ini = new DateEdit(QStringLiteral("Medtini"), body());
    m_fim = new DateEdit(QStringLiteral("Medtfim"), body());
    m_visualizar = new PictureButton(QStringLiteral("Panel1"), QString(), QString(), body());
    m_visualizar->setText(QStringLiteral("Visualizar"));
    m_visualizar->setFrameShape(QFrame::Panel);
    m_visualizar->setFrameShadow(QFrame::Raised);
    m_visualizar->setMinimumSize(120, 32);

    auto *grid = new QGridLayout(body());
    grid->setContentsMargins(24, 16, 24, 16);
    grid->setHorizontalSpacing(24);
    grid->addWidget(new QLabel(QStringLiteral("Data"), body()), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Data"), body()), 0, 1);
    grid->addWidget(m_ini, 1, 0);
    grid->addWidget(m_fim, 1, 1);
    grid->addWidget(m_visualizar, 2, 0, 1, 2, Qt::AlignHCenter);
    setTabOrder(m_ini, m_fim);

    connect(m_visualizar, &PictureButton::clicked, this, &PeriodoForm::Panel1Click);
}

void PeriodoForm::FormShow()
{
    m_dataModule.Clientes.requery({QStringLiteral("SELECT * FROM CLIENTES"), QStringLiteral("ORDER BY CLIENTE")});
    m_ini->setDate(m_today());
    m_fim->setDate(m_today());
}

void PeriodoForm::Panel1Click()
{
    guarded([this] {
        m_relatorio.abreConsulta(m_ini->date(), m_fim->date());
        showReport(m_relatorio.frpEvento(), this);
    });
}
