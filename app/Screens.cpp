#include "Screens.h"

#include "FRprincipal.h"
#include "clients/FRcadastro.h"
#include "clients/FRconsultacli.h"
#include "clients/FRconsultacli2.h"
#include "clients/FRconsultarec.h"
#include "data/Datamodule1.h"
#include "dialogs/Mensagens.h"
#include "receipts/FRcademitente.h"
#include "receipts/FRimagem.h"
#include "receipts/FRrecibo.h"
#include "reports/FRabrerecibos1.h"
#include "reports/FRabrerecibos2.h"
#include "reports/FRabrerecibos3.h"
#include "reports/FRrelatorios.h"
#include "maintenance/frmBackup.h"

FRprincipalForm *FRprincipal = nullptr;

Screens::Screens() = default;

Screens::~Screens()
{
    // Screens go before the data module, whose end commits the transaction.
    FRconsultacli2 = nullptr;
    m_consultacli2.reset();
    FRimagem = nullptr;
    m_imagem.reset();
    FRconsultarec = nullptr;
    m_consultarec.reset();
    FRconsultacli = nullptr;
    m_consultacli.reset();
    FRcademitente = nullptr;
    m_cademitente.reset();
    FRcadastro = nullptr;
    m_cadastro.reset();
    FRrecibo = nullptr;
    m_recibo.reset();
    FRrelatorios = nullptr;
    m_relatorios.reset();
    FRabrerecibos3 = nullptr;
    m_abrerecibos3.reset();
    FRabrerecibos2 = nullptr;
    m_abrerecibos2.reset();
    FRabrerecibos1 = nullptr;
    m_abrerecibos1.reset();
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

    m_recibo = std::make_unique<FRreciboForm>();
    FRrecibo = m_recibo.get();
    // The lookups are created later; they are reached when the editor opens them.
    m_recibo->setLookups([] { FRconsultarec->showModal(); }, [] { FRconsultacli2->showModal(); });

    m_abrerecibos1 = std::make_unique<FRabrerecibos1Form>(*Datamodule1);
    FRabrerecibos1 = m_abrerecibos1.get();
    m_abrerecibos2 = std::make_unique<FRabrerecibos2Form>(*Datamodule1);
    FRabrerecibos2 = m_abrerecibos2.get();
    m_abrerecibos3 = std::make_unique<FRabrerecibos3Form>(*Datamodule1);
    FRabrerecibos3 = m_abrerecibos3.get();


    m_cadastro = std::make_unique<FRcadastroForm>();
    FRcadastro = m_cadastro.get();

    m_cademitente = std::make_unique<FRcademitenteForm>();
    FRcademitente = m_cademitente.get();

    m_consultacli = std::make_unique<FRconsultacliForm>();
    FRconsultacli = m_consultacli.get();
    m_consultarec = std::make_unique<FRconsultarecForm>();
    FRconsultarec = m_consultarec.get();

    m_imagem = std::make_unique<FRimagemForm>();
    FRimagem = m_imagem.get();

    addDialog("FRmensagem");

    m_relatorios = std::make_unique<FRrelatoriosForm>();
    FRrelatorios = m_relatorios.get();

    m_consultacli2 = std::make_unique<FRconsultacli2Form>();
    FRconsultacli2 = m_consultacli2.get();

    addDialog("FRmensagem14");

    connectMenu();
}

void Screens::connectMenu()
{
    MenuOpeners openers;
    openers.frmBackup = [] { frmBackup->showModal(); };
    openers.FRcadastro = [] { FRcadastro->showModal(); };
    openers.FRrecibo = [] { FRrecibo->showModal(); };
    openers.FRrelatorios = [] { FRrelatorios->showModal(); };
    openers.FRcademitente = [] { FRcademitente->showModal(); };
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
