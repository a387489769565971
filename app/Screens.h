#pragma once

#include <QString>

#include <memory>

class DataModule;
class FRcadastroForm;
class FRcademitenteForm;
class FRconfemailForm;
class FRconsultacliForm;
class FRconsultacli2Form;
class FRconsultacli3Form;
class FRconsultarecForm;
class FRemailForm;
class FRimagemForm;
class FRprincipalForm;
class FRreciboForm;
class FRabrerecibos1Form;
class FRabrerecibos2Form;
class FRabrerecibos3Form;
class FRdeclaracaoForm;
class FRrelatoriosForm;
class frmBackupForm;
class MessageDialog;

// The one registry of the program: owns every screen, dialog and the data
// module for the whole run. Each is created once, hidden, in the fixed
// start-up order, and handed what it uses; the members carry their names.
class Screens
{
public:
    Screens();
    ~Screens();

    // configFolder is where Arquivo.ini is looked for.
    void create(const QString &configFolder);
    void showMainWindow();

    std::unique_ptr<FRprincipalForm> FRprincipal;
    std::unique_ptr<frmBackupForm> frmBackup;
    std::unique_ptr<DataModule> Datamodule1;
    std::unique_ptr<MessageDialog> FRmensagem5;
    std::unique_ptr<MessageDialog> FRmensagem6;
    std::unique_ptr<MessageDialog> FRmensagem8;
    std::unique_ptr<MessageDialog> FRmensagem9;
    std::unique_ptr<MessageDialog> FRmensagem10;
    std::unique_ptr<MessageDialog> FRmensagem12;
    std::unique_ptr<FRreciboForm> FRrecibo;
    std::unique_ptr<FRabrerecibos1Form> FRabrerecibos1;
    std::unique_ptr<FRabrerecibos2Form> FRabrerecibos2;
    std::unique_ptr<FRabrerecibos3Form> FRabrerecibos3;
    std::unique_ptr<FRcadastroForm> FRcadastro;
    std::unique_ptr<FRcademitenteForm> FRcademitente;
    std::unique_ptr<FRconsultacliForm> FRconsultacli;
    std::unique_ptr<FRconsultarecForm> FRconsultarec;
    std::unique_ptr<FRimagemForm> FRimagem;
    std::unique_ptr<MessageDialog> FRmensagem;
    std::unique_ptr<FRconsultacli3Form> FRconsultacli3;
    std::unique_ptr<FRdeclaracaoForm> FRdeclaracao;
    std::unique_ptr<FRrelatoriosForm> FRrelatorios;
    std::unique_ptr<FRconsultacli2Form> FRconsultacli2;
    std::unique_ptr<MessageDialog> FRmensagem14;
    std::unique_ptr<FRemailForm> FRemail;
    std::unique_ptr<FRconfemailForm> FRconfemail;
    std::unique_ptr<MessageDialog> FRmensagem17;
    std::unique_ptr<MessageDialog> FRmensagem15;
    std::unique_ptr<MessageDialog> FRmensagem16;

private:
    // The menu's tiles open the screens of this registry.
    void connectMenu();
};
