#pragma once

#include <QString>

#include <memory>
#include <vector>

class DataModule;
class FRprincipalForm;
class frmBackupForm;
class MessageDialog;

// Owns every screen, dialog and the data module for the whole run; each is
// created once, hidden, in the fixed start-up order, and reached through its
// process-wide reference (FRprincipal, Datamodule1, ...).
class Screens
{
public:
    Screens();
    ~Screens();

    // configFolder is where Arquivo.ini is looked for.
    void create(const QString &configFolder);
    void showMainWindow();

private:
    void addDialog(const char *name);
    // The menu's tiles open the screens through their references.
    void connectMenu();

    std::unique_ptr<FRprincipalForm> m_principal;
    std::unique_ptr<frmBackupForm> m_backup;
    std::unique_ptr<DataModule> m_dataModule;
    std::vector<std::unique_ptr<MessageDialog>> m_dialogs;
};

extern FRprincipalForm *FRprincipal;
