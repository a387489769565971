#include "ScreenFixture.h"

#include "common/ModalAnswerer.h"
#include "common/ScreenTesting.h"

#include "data/Statement.h"
#include "receipts/DataExtenso.h"
#include "receipts/Extens.h"
#include "receipts/FRrecibo.h"
#include "widgets/DBEdit.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"

#include <QTest>

namespace {

const QStringList kColumns{"ID_RECIBO", "TIPO",  "EMITENTE", "CPFCNPJEMITENTE", "REFERENTE", "OBS",
                           "VALOR",     "VALOREXTENSO", "CLIENTE", "CPFCNPJCLIENTE", "LOCAL", "DATA", "DATARECIBO"};
const QStringList kCopied{"TIPO", "EMITENTE", "CPFCNPJEMITENTE", "REFERENTE", "OBS", "VALOR", "VALOREXTENSO"};

// Every receipt as stored, by number.
QMap<int, QVariantMap> storedRecibos(DataModule &dm)
{
    std::unique_ptr<Cursor> cursor =
        dm.Base.prepared(QStringLiteral("SELECT %1 FROM RECIBOS").arg(kColumns.join(QStringLiteral(", "))))
            .openCursor(dm.Tra);
    QMap<int, QVariantMap> rows;
    Row row;
    while (cursor->fetch(row)) {
        QVariantMap values;
        for (int i = 0; i < kColumns.size(); ++i)
            values.insert(kColumns.at(i), row.at(i));
        rows.insert(row.at(0).toInt(), values);
    }
    return rows;
}

} // namespace

class TstDuplicaRecibo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareScreenTests(); }
    void init() { m_fx = std::make_unique<ScreenFixture>(); }
    void cleanup() { m_fx.reset(); }

    void duplicateIsNextMonthsReceipt_data();
    void duplicateIsNextMonthsReceipt();
    void tilesDoNothingWithoutReceipts_data();
    void tilesDoNothingWithoutReceipts();

private:
    FRreciboForm &openEditor() { return m_fx->shownRecibo(); }

    std::unique_ptr<ScreenFixture> m_fx;
};

void TstDuplicaRecibo::duplicateIsNextMonthsReceipt_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("saved") << "BTsalvar";
    QTest::newRow("cancelled") << "BTcancelar";
}

void TstDuplicaRecibo::duplicateIsNextMonthsReceipt()
{
    QFETCH(QString, ending);
    DataModule &dm = m_fx->dm();
    saveIssuer(dm, QStringLiteral("OFICINA NOVA"), QStringLiteral("12.345.678/0001-99"), QStringLiteral("Recife"));
    Dataset &recibos = dm.Recibos;
    recibos.open();
    recibos.insert();
    const QVariantMap source{{"TIPO", QStringLiteral("PAGAMENTO")},
                             {"EMITENTE", QStringLiteral("CLÍNICA BEM ESTAR")},
                             {"CPFCNPJEMITENTE", QStringLiteral("123.456.789-01")},
                             {"REFERENTE", QStringLiteral("Sessões de fevereiro")},
                             {"OBS", QStringLiteral("Quatro sessões")},
                             {"VALOREXTENSO", NumeroPorExtenso(1234.56)},
                             {"CLIENTE", QStringLiteral("OFICINA ANTIGA")},
                             {"CPFCNPJCLIENTE", QStringLiteral("98.765.432/0001-10")},
                             {"LOCAL", QStringLiteral("Olinda")},
                             {"DATA", QDate(2024, 2, 5)},
                             {"DATARECIBO", DataPorExtenso(QDate(2024, 2, 5))}};
    for (auto it = source.begin(); it != source.end(); ++it)
        recibos.fieldByName(it.key()).setValue(it.value());
    recibos.fieldByName(QStringLiteral("VALOR")).setText(QStringLiteral("1234,56"));
    recibos.post();
    dm.Tra.commitRetaining();
    const QMap<int, QVariantMap> before = storedRecibos(dm);
    QCOMPARE(before.size(), 1);
    const int sourceId = before.firstKey();

    FRreciboForm &form = openEditor();
    clickNamed(&form, QStringLiteral("Image5"));
    QCOMPARE(recibos.state(), Dataset::State::Insert);
    QVERIFY(!form.BTsalvar->isHidden() && form.BTnovo->isHidden() && form.Image5->isHidden());
    QVERIFY(form.DBreferente->hasFocus());
    QCOMPARE(form.DBreferente->text(), QStringLiteral("Sessões de fevereiro"));
    QVERIFY(recibos.fieldByName(QStringLiteral("ID_RECIBO")).isNull());

    ModalAnswerer answerer;
    clickNamed(&form, ending);
    const QMap<int, QVariantMap> after = storedRecibos(dm);
    QCOMPARE(after.value(sourceId), before.value(sourceId));
    if (ending == QLatin1String("BTcancelar")) {
        QCOMPARE(after.size(), 1);
        return;
    }
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRmensagem12")});
    QCOMPARE(after.size(), 2);
    const int copyId = after.lastKey();
    QVERIFY(copyId > sourceId);
    const QVariantMap copy = after.value(copyId);
    for (const QString &column : kCopied)
        QVERIFY2(copy.value(column) == before.value(sourceId).value(column), qPrintable(column));
    QCOMPARE(copy.value("DATA").toDate(), ScreenFixture::kToday);
    QCOMPARE(copy.value("DATARECIBO").toString(), QStringLiteral("05 de março de 2024"));
    // The issuer as New copies it, not the source's.
    QCOMPARE(copy.value("CLIENTE").toString(), QStringLiteral("OFICINA NOVA"));
    QCOMPARE(copy.value("CPFCNPJCLIENTE").toString(), QStringLiteral("12.345.678/0001-99"));
    QCOMPARE(copy.value("LOCAL").toString(), QStringLiteral("Recife"));
}

void TstDuplicaRecibo::tilesDoNothingWithoutReceipts_data()
{
    QTest::addColumn<QString>("tile");
    QTest::newRow("send") << "Image4";
    QTest::newRow("duplicate") << "Image5";
}

void TstDuplicaRecibo::tilesDoNothingWithoutReceipts()
{
    QFETCH(QString, tile);
    FRreciboForm &form = openEditor();
    ModalAnswerer answerer;
    clickNamed(&form, tile);
    QCOMPARE(answerer.names(), QStringList());
    QCOMPARE(m_fx->dm().Recibos.state(), Dataset::State::Browse);
    QVERIFY(!form.Image4->isHidden() && !form.Image5->isHidden());
}

QTEST_MAIN(TstDuplicaRecibo)
#include "tst_duplicarecibo.moc"
