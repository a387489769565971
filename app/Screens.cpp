#include "Screens.h"

#include "FRprincipal.h"
#include "clients/FRcadastro.h"
#include "clients/FRconsultacli.h"
#include "clients/FRconsultacli2.h"
#include "clients/FRconsultacli3.h"
#include "clients/FRconsultarec.h"
#include "data/Datamodule1.h"
#include "dialogs/Mensagens.h"
#include "mail/EmailSettings.h"
#include "receipts/FRcademitente.h"
#include "receipts/FRconfemail.h"
#include "receipts/FRemail.h"
#include "receipts/FRimagem.h"
#include "receipts/FRrecibo.h"
#include "reports/FRabrerecibos1.h"
#include "reports/FRabrerecibos2.h"
#include "reports/FRabrerecibos3.h"
#include "reports/FRdeclaracao.h"
#include "reports/FRrelatorios.h"
#include "maintenance/frmBackup.h"
#include "widgets/PlainMessage.h"

namespace {

std::unique_ptr<MessageDialog> dialog(const char *name)
{
    return createMessageDialog(QLatin1String(name));
}

} // namespace

Screens::Screens() = default;

Screens::~Screens()
{
    // Every screen goes before the data module, whose end commits the
    // transaction; later screens may refer to earlier ones, so last first.
    FRmensagem16.reset();
    FRmensagem15.reset();
    FRmensagem17.reset();
    FRconfemail.reset();
    FRemail.reset();
    FRmensagem14.reset();
    FRconsultacli2.reset();
    FRrelatorios.reset();
    FRdeclaracao.reset();
    FRconsultacli3.reset();
    FRmensagem.reset();
    FRimagem.reset();
    FRconsultarec.reset();
    FRconsultacli.reset();
    FRcademitente.reset();
    FRcadastro.reset();
    FRabrerecibos3.reset();
    FRabrerecibos2.reset();
    FRabrerecibos1.reset();
    FRrecibo.reset();
    FRmensagem12.reset();
    FRmensagem10.reset();
    FRmensagem9.reset();
    FRmensagem8.reset();
    FRmensagem6.reset();
    FRmensagem5.reset();
    frmBackup.reset();
    FRprincipal.reset();
    Datamodule1.reset();
}

void Screens::create(const QString &configFolder)
{
    // The creation order is fixed. A screen created before what it uses gets
    // a callback that reaches it through this registry when it is needed.
    FRprincipal = std::make_unique<FRprincipalForm>();
    frmBackup = std::make_unique<frmBackupForm>(frmBackupForm::Collaborators{
        [this]() -> Database & { return Datamodule1->Base; }, [this] { FRmensagem14->showModal(); },
        [this]() -> MessageDialog & { return *FRmensagem15; }, [this] { FRmensagem16->showModal(); }});

    Datamodule1 = std::make_unique<DataModule>(configFolder);
    DataModule &dm = *Datamodule1;
    const auto discardQuestion = [this]() -> MessageDialog & { return *FRmensagem17; };

    FRmensagem5 = dialog("FRmensagem5");
    FRmensagem6 = dialog("FRmensagem6");
    FRmensagem8 = dialog("FRmensagem8");
    FRmensagem9 = dialog("FRmensagem9");
    FRmensagem10 = dialog("FRmensagem10");
    FRmensagem12 = dialog("FRmensagem12");

    FRrecibo = std::make_unique<FRreciboForm>(FRreciboForm::Collaborators{
        dm, *FRmensagem8, *FRmensagem10, *FRmensagem12, [this] { FRconsultarec->showModal(); },
        [this] { FRconsultacli2->showModal(); },
        [this](const ReceiptValues &recibo) {
            FRemail->setRecibo(recibo);
            FRemail->showModal();
        },
        discardQuestion});

    FRabrerecibos1 = std::make_unique<FRabrerecibos1Form>(dm);
    FRabrerecibos2 = std::make_unique<FRabrerecibos2Form>(dm);
    FRabrerecibos3 = std::make_unique<FRabrerecibos3Form>(dm);

    FRcadastro = std::make_unique<FRcadastroForm>(FRcadastroForm::Collaborators{
        dm, *FRmensagem5, *FRmensagem6, *FRmensagem8, [this] { FRmensagem->showModal(); },
        [this] { FRconsultacli->showModal(); }, discardQuestion});
    FRcademitente = std::make_unique<FRcademitenteForm>(
        FRcademitenteForm::Collaborators{dm, *FRmensagem9, [this] { FRimagem->showModal(); },
                                         [this] { FRconfemail->showModal(); }, discardQuestion});

    FRconsultacli = std::make_unique<FRconsultacliForm>(dm);
    FRconsultarec = std::make_unique<FRconsultarecForm>(dm);
    FRimagem = std::make_unique<FRimagemForm>(dm);
    FRmensagem = dialog("FRmensagem");
    FRconsultacli3 = std::make_unique<FRconsultacli3Form>(dm);
    FRdeclaracao = std::make_unique<FRdeclaracaoForm>(
        FRdeclaracaoForm::Collaborators{dm, [this] { return FRconsultacli3->escolhe(); }});
    FRrelatorios =
        std::make_unique<FRrelatoriosForm>(*FRabrerecibos3, *FRabrerecibos2, *FRabrerecibos1, *FRdeclaracao);
    FRconsultacli2 = std::make_unique<FRconsultacli2Form>(dm);
    FRmensagem14 = dialog("FRmensagem14");
    FRemail = std::make_unique<FRemailForm>(FRemailForm::Collaborators{
        dm, emailsettings::defaultPath(), [this] { FRconfemail->showModal(); }, &showPlainMessage});
    FRconfemail = std::make_unique<FRconfemailForm>(
        FRconfemailForm::Collaborators{dm, emailsettings::defaultPath(), *FRmensagem9, &showPlainMessage});
    FRmensagem17 = dialog("FRmensagem17");
    FRmensagem15 = dialog("FRmensagem15");
    FRmensagem16 = dialog("FRmensagem16");

    connectMenu();
}

void Screens::connectMenu()
{
    MenuOpeners openers;
    openers.frmBackup = [this] { frmBackup->showModal(); };
    openers.FRcadastro = [this] { FRcadastro->showModal(); };
    openers.FRrecibo = [this] { FRrecibo->showModal(); };
    openers.FRrelatorios = [this] { FRrelatorios->showModal(); };
    openers.FRcademitente = [this] { FRcademitente->showModal(); };
    FRprincipal->setOpeners(openers);
}

void Screens::showMainWindow()
{
    FRprincipal->showMaximized();
}
