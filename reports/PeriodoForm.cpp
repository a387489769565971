#include "PeriodoForm.h"

#include "PlanilhaPeriodo.h"

#include "data/Datamodule1.h"
#include "reportengine/ProgressWindow.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportPreview.h"
#include "widgets/DateEdit.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace {

const QString kXlsxFilter = QStringLiteral("Planilha do Excel (*.xlsx)");
const QString kCsvFilter = QStringLiteral("Texto separado por ponto e vírgula (*.csv)");

QString askSpreadsheetFile(QWidget *parent, const QString &suggested)
{
    QString filter = kXlsxFilter;
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Salvar planilha"), suggested,
                                                kXlsxFilter + QStringLiteral(";;") + kCsvFilter, &filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += filter == kCsvFilter ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
    return path;
}

} // namespace

PeriodoForm::PeriodoForm(const PeriodoRecibos &periodo, DataModule &dataModule, QWidget *parent)
    : FormBase(periodo.formName, periodo.caption, QStringLiteral("BTsair"), parent)
    , m_dataModule(dataModule)
    , m_relatorio(periodo, dataModule)
{
    setWindowTitle(QStringLiteral("Escolha o período da Emissão dos Recibos"));
    setEnterMovesFocus(true);

    m_ini = new DateEdit(QStringLiteral("Medtini"), body());
    m_fim = new DateEdit(QStringLiteral("Medtfim"), body());
    m_visualizar = PictureButton::textPanel(QStringLiteral("Panel1"), QStringLiteral("Visualizar"), body());
    m_visualizar->setMinimumSize(120, 32);
    m_planilha = PictureButton::textPanel(QStringLiteral("Panel2"), QStringLiteral("Planilha"), body());
    m_planilha->setMinimumSize(120, 32);
    m_askFile = [this] {
        const QString name = QStringLiteral("%1 %2 a %3.xlsx")
                                 .arg(m_relatorio.periodo().caption.trimmed(), m_ini->date().toString(Qt::ISODate),
                                      m_fim->date().toString(Qt::ISODate));
        return askSpreadsheetFile(this, QDir::home().filePath(name));
    };

    auto *grid = new QGridLayout(body());
    grid->setContentsMargins(24, 16, 24, 16);
    grid->setHorizontalSpacing(24);
    grid->addWidget(new QLabel(QStringLiteral("Data"), body()), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Data"), body()), 0, 1);
    grid->addWidget(m_ini, 1, 0);
    grid->addWidget(m_fim, 1, 1);
    auto *panels = new QHBoxLayout;
    panels->addStretch();
    panels->addWidget(m_visualizar);
    panels->addWidget(m_planilha);
    panels->addStretch();
    grid->addLayout(panels, 2, 0, 1, 2);
    setTabOrder(m_ini, m_fim);

    connect(m_visualizar, &PictureButton::clicked, this, &PeriodoForm::Panel1Click);
    connect(m_planilha, &PictureButton::clicked, this, &PeriodoForm::Panel2Click);
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

void PeriodoForm::Panel2Click()
{
    guarded([this] {
        const QString path = m_askFile();
        if (path.isEmpty())
            return;
        planilha::Formato formato = planilha::Formato::Xlsx;
        if (!planilha::formatoDoArquivo(path, &formato))
            throw ReportError(QStringLiteral("A planilha deve terminar em .xlsx ou .csv: %1").arg(path));
        m_relatorio.abreConsulta(m_ini->date(), m_fim->date());
        ProgressWindow progress(QStringLiteral("Gravando a planilha..."), 0, this, QStringLiteral("linha"));
        try {
            planilha::grava(planilhaDoPeriodo(m_relatorio), path, formato, std::ref(progress));
        } catch (const ReportCancelled &) {
            // Cancelled by the user: no file, nothing to tell.
        }
    });
}
