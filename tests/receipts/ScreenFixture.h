#pragma once

#include "ReceiptFixtures.h"

#include "common/ProgramFixture.h"

#include <QDate>

class FRreciboForm;
class FRcademitenteForm;
class FRimagemForm;

// The program's screens on a fresh database, the receipt editor's day being kToday.
class ScreenFixture : public ProgramFixture
{
public:
    static inline const QDate kToday{2024, 3, 5};

    ScreenFixture();

    FRreciboForm &recibo();
    // The receipt editor shown and active, as the menu opens it.
    FRreciboForm &shownRecibo();
    FRcademitenteForm &cademitente();
    FRimagemForm &imagem();
};

// Saves a receipt directly; returns its number.
int addRecibo(DataModule &dm, const QString &emitente, const QString &tipo = QStringLiteral("RECEBIMENTO"));
