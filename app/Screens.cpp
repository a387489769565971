#include "Screens.h"

#include "FRprincipal.h"
#include "data/Datamodule1.h"
#include "dialogs/Mensagens.h"
#include "maintenance/frmBackup.h"

FRprincipalForm *FRprincipal = nullptr;

Screens::Screens() = default;

Screens::~Screens()
{
    // Screens go before the data module, whose end commits the transaction.
    clearMessageDialogs();
    m_dialogs.clear();
    frmBackup = nullptr;
    m_backup.reset();
    FRprincipal = nullptr;
    m_principal.reset();
    Datamodule1 = nullptr;
    m_dataModule.reset();
}

void Screens::create(const QString &configFolder)
{
    // The creation order is fixed: FRprincipal first (it becomes the main
    // window), then frmBackup, Datamodule1, the dialogs FRmensagem5 ... 12,
    // FRrecibo, FRabrerecibos1-3, FRcadastro, FRcademitente, FRconsultacli,
    // FRconsultarec, FRimagem, FRmensagem, FRrelatorios, FRconsultacli2 and
    // FRmensagem14. Each screen is added here at its place in that order.
    m_principal = std::make_unique<FRprincipalForm>();
    FRprincipal = m_principal.get();
    m_backup = std::make_unique<frmBackupForm>();
    frmBackup = m_backup.get();

    m_dataModule = std::make_unique<DataModule>(configFolder);
    Datamodule1 = m_dataModule.get();

    for (const char *name : {"FRmensagem5", "FRmensagem6", "FRmensagem8", "FRmensagem9", "FRmensagem10", "FRmensagem12"})
        addDialog(name);

    addDialog("FRmensagem");

    addDialog("FRmensagem14");

    connectMenu();
}

void Screens::connectMenu()
{
    MenuOpeners openers;
    openers.frmBackup = [] { frmBackup->showModal(); };
    m_principal->setOpeners(openers);
}

void Screens::addDialog(const char *name)
{
    m_dialogs.push_back(createMessageDialog(QLatin1String(name)));
}

void Screens::showMainWindow()
{
    m_principal->showMaximized();
}
