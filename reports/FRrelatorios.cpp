#include "FRrelatorios.h"

#include "FRdeclaracao.h"
#include "PeriodoForm.h"

#include "widgets/PictureButton.h"

#include <QGridLayout>
#include <QLabel>

namespace {

const QString kTilePicture = QStringLiteral(":/reports/icons/relatorio.png");
const QString kTileHint = QStringLiteral("Emitir Recibo");

} // namespace

FRrelatoriosForm::FRrelatoriosForm(PeriodoForm &FRabrerecibos3, PeriodoForm &FRabrerecibos2,
                                   PeriodoForm &FRabrerecibos1, FRdeclaracaoForm &FRdeclaracao, QWidget *parent)
    : FormBase(QStringLiteral("FRrelatorios"), QStringLiteral("  Relatórios"), QStringLiteral("Image1"), parent),
      m_todos(FRabrerecibos3),
      m_pagamento(FRabrerecibos2),
      m_recebimento(FRabrerecibos1),
      m_declaracao(FRdeclaracao)
{
    auto *grid = new QGridLayout(body());
    grid->setContentsMargins(24, 24, 24, 24);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(24);

    auto *image5 = new PictureButton(QStringLiteral("Image5"), kTilePicture, kTileHint, body());
    auto *image2 = new PictureButton(QStringLiteral("Image2"), kTilePicture, kTileHint, body());
    auto *image3 = new PictureButton(QStringLiteral("Image3"), kTilePicture, kTileHint, body());
    auto *image4 = new PictureButton(QStringLiteral("Image4"), kTilePicture, kTileHint, body());
    addTile(image5, QStringLiteral("- Todos os Recibos"), 0, 0);
    addTile(image2, QStringLiteral("- Recibos de Pagamento"), 0, 1);
    addTile(image3, QStringLiteral("- Recibos de Recebimento"), 1, 0);
    addTile(image4, QStringLiteral("- Declaração Anual"), 1, 1);

    connect(image5, &PictureButton::clicked, this, &FRrelatoriosForm::Image5Click);
    connect(image2, &PictureButton::clicked, this, &FRrelatoriosForm::Image2Click);
    connect(image3, &PictureButton::clicked, this, &FRrelatoriosForm::Image3Click);
    connect(image4, &PictureButton::clicked, this, &FRrelatoriosForm::Image4Click);
}

void FRrelatoriosForm::addTile(PictureButton *image, const QString &label, int row, int column)
{
    auto *grid = static_cast<QGridLayout *>(body()->layout());
    grid->addWidget(image, row, column * 2);
    grid->addWidget(new QLabel(label, body()), row, column * 2 + 1);
}

void FRrelatoriosForm::Image5Click()
{
    m_todos.showModal();
}

void FRrelatoriosForm::Image2Click()
{
    m_pagamento.showModal();
}

void FRrelatoriosForm::Image3Click()
{
    m_recebimento.showModal();
}

void FRrelatoriosForm::Image4Click()
{
    m_declaracao.showModal();
}
