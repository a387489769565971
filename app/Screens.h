#pragma once

#include <QString>

#include <memory>
#include <vector>

class DataModule;
class FRcadastroForm;
class FRcademitenteForm;
class FRconsultacliForm;
class FRconsultacli2Form;
class FRconsultarecForm;
class FRimagemForm;
class FRprincipalForm;
class FRreciboForm;
class FRabrerecibos1Form;
class FRabrerecibos2Form;
class FRabrerecibos3Form;
class FRrelatoriosForm;
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
    std::unique_ptr<FRreciboForm> m_recibo;
    std::unique_ptr<FRcademitenteForm> m_cademitente;
    std::unique_ptr<FRimagemForm> m_imagem;
    std::unique_ptr<FRcadastroForm> m_cadastro;
    std::unique_ptr<FRconsultacliForm> m_consultacli;
    std::unique_ptr<FRconsultarecForm> m_consultarec;
    std::unique_ptr<FRconsultacli2Form> m_consultacli2;
    std::unique_ptr<FRabrerecibos1Form> m_abrerecibos1;
    std::unique_ptr<FRabrerecibos2Form> m_abrerecibos2;
    std::unique_ptr<FRabrerecibos3Form> m_abrerecibos3;
    std::unique_ptr<FRrelatoriosForm> m_relatorios;
};

extern FRprincipalForm *FRprincipal;
