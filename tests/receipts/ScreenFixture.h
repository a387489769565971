#pragma once

#include "ReceiptFixtures.h"

#include <QDate>

#include <memory>

class FRreciboForm;
class FRcademitenteForm;
class FRimagemForm;
class QWidget;

// A fresh database and the screens the receipt editor and the issuer
// registry reach (dialogs, lookups), each behind its process-wide reference.
class ScreenFixture
{
public:
    static inline const QDate kToday{2024, 3, 5};

    ScreenFixture();
    ~ScreenFixture();

    DataModule &dm() { return m_module->dm; }
    QString databasePath() const { return m_db.path(); }
    FRreciboForm &recibo();
    FRcademitenteForm &cademitente();
    FRimagemForm &imagem();

private:
    struct Screens;
    TempDatabase m_db;
    std::unique_ptr<Module> m_module;
    std::unique_ptr<Screens> m_screens;
};

// Saves a receipt directly; returns its number.
int addRecibo(DataModule &dm, const QString &emitente, const QString &tipo = QStringLiteral("RECEBIMENTO"));
