#include "ScreenFixture.h"

#include "receipts/FRcademitente.h"
#include "receipts/FRimagem.h"
#include "receipts/FRrecibo.h"

#include <QTest>

ScreenFixture::ScreenFixture()
{
    screens().FRrecibo->setClock([] { return kToday; });
}

FRreciboForm &ScreenFixture::recibo()
{
    return *screens().FRrecibo;
}

FRreciboForm &ScreenFixture::shownRecibo()
{
    FRreciboForm &form = recibo();
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        qFatal("The receipt editor did not become active");
    return form;
}

FRcademitenteForm &ScreenFixture::cademitente()
{
    return *screens().FRcademitente;
}

FRimagemForm &ScreenFixture::imagem()
{
    return *screens().FRimagem;
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
