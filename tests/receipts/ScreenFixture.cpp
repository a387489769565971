#include "ScreenFixture.h"

#include "clients/FRconsultacli2.h"
#include "clients/FRconsultarec.h"
#include "dialogs/Mensagens.h"
#include "receipts/FRcademitente.h"
#include "receipts/FRimagem.h"
#include "receipts/FRrecibo.h"
#include "widgets/PictureButton.h"

#include <QTest>

struct ScreenFixture::Screens
{
    Screens()
    {
        for (const char *name : {"FRmensagem8", "FRmensagem9", "FRmensagem10", "FRmensagem12"})
            dialogs.push_back(createMessageDialog(QLatin1String(name)));
        FRimagem = imagem.get();
        FRcademitente = cademitente.get();
        recibo = std::make_unique<FRreciboForm>();
        FRrecibo = recibo.get();
        recibo->setClock([] { return kToday; });
        consultarec = std::make_unique<FRconsultarecForm>();
        FRconsultarec = consultarec.get();
        consultacli2 = std::make_unique<FRconsultacli2Form>();
        FRconsultacli2 = consultacli2.get();
        recibo->setLookups([] { FRconsultarec->showModal(); }, [] { FRconsultacli2->showModal(); });
    }
    ~Screens()
    {
        FRconsultacli2 = nullptr;
        FRconsultarec = nullptr;
        FRrecibo = nullptr;
        FRcademitente = nullptr;
        FRimagem = nullptr;
        clearMessageDialogs();
    }

    std::vector<std::unique_ptr<MessageDialog>> dialogs;
    std::unique_ptr<FRimagemForm> imagem = std::make_unique<FRimagemForm>();
    std::unique_ptr<FRcademitenteForm> cademitente = std::make_unique<FRcademitenteForm>();
    std::unique_ptr<FRreciboForm> recibo;
    std::unique_ptr<FRconsultarecForm> consultarec;
    std::unique_ptr<FRconsultacli2Form> consultacli2;
};

ScreenFixture::ScreenFixture()
    : m_module(std::make_unique<Module>(m_db.path()))
{
    Datamodule1 = &m_module->dm;
    m_screens = std::make_unique<Screens>();
}

ScreenFixture::~ScreenFixture()
{
    m_screens.reset();
    Datamodule1 = nullptr;
    m_module.reset();
}

FRreciboForm &ScreenFixture::recibo()
{
    return *m_screens->recibo;
}

FRcademitenteForm &ScreenFixture::cademitente()
{
    return *m_screens->cademitente;
}

FRimagemForm &ScreenFixture::imagem()
{
    return *m_screens->imagem;
}

int addRecibo(DataModule &dm, const QString &emitente, const QString &tipo)
{
    Dataset &recibos = dm.Recibos;
    recibos.open();
    recibos.insert();
    recibos.fieldByName(QStringLiteral("EMITENTE")).setValue(emitente);
    recibos.fieldByName(QStringLiteral("TIPO")).setValue(tipo);
    recibos.fieldByName(QStringLiteral("DATA")).setValue(QDate(2024, 1, 10));
    recibos.post();
    dm.Tra.commitRetaining();
    return recibos.fieldByName(QStringLiteral("ID_RECIBO")).asInteger();
}
