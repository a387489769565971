#include "common/PdfText.h"
#include "common/Pictures.h"
#include "common/SampleReceipt.h"
#include "common/TempDatabase.h"

#include "data/Statement.h"
#include "receipts/ReceiptPrinting.h"
#include "reportengine/ReportFonts.h"

#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ReceiptSheet)

namespace {

constexpr double kTolerance = 0.5 * units::kPerMm;

// Boxes of the printed sheets, in 1/96 inch from the page's top-left corner.
struct Box
{
    const char *name;
    QRectF rect;
};

const Box kOne[] = {
    {"Valor", {625.512215, 117.16543, 136.06308, 26.45669291}},
    {"Memo2", {30.23624, 328.81911, 109.6063163, 18.89765}},
    {"Memo3", {30.23624, 411.96877, 86.92913386, 18.89765}},
    {"Memo4", {30.23624, 480.00031, 71.81101386, 18.89765}},
    {"Extenso", {120.94496, 411.96877, 642.51968504, 18.89765}},
    {"referente", {120.94496, 480.00031, 642.51968504, 18.8976378}},
    {"local", {241.88992, 646.29963, 283.46433504, 18.89765}},
    {"Memo1", {529.1342, 646.29963, 7.55900386, 18.89765}},
    {"data1", {540.47271433, 646.29963, 222.99185504, 18.89765}},
    {"Recebi", {264.56717323, 822.93754, 264.56695354, 18.89765}},
    {"Memo10", {578.26809, 117.16543, 37.7953, 26.45669291}},
    {"cpfcnpjcliente", {264.56717323, 846.61472, 264.56695354, 18.89765}},
    {"Memo8", {30.23624, 359.05535, 86.92913386, 18.89765}},
    {"emitente", {147.40167, 328.81911, 616.06319472, 18.8976378}},
    {"cpfcnpjemitente", {120.94496, 359.05532804, 642.51990472, 18.89765}},
    {"Numero", {627.40198, 71.81107, 83.14966, 26.45671}},
    {"Memo7", {332.59864, 222.99227, 128.50402, 34.01575291}},
    {"Memo9", {578.26809, 71.81107, 37.7953, 26.45669291}},
    {"Referente2", {120.94496, 510.23655, 642.51968504, 18.8976378}},
};

const Box kTwo[] = {
    {"Valor", {617.95275591, 68.03154, 143.62214, 26.45669291}},
    {"Memo2", {30.23624, 120.94496, 109.6063163, 18.89765}},
    {"Memo3", {30.23624, 177.63791, 83.1496063, 18.89765}},
    {"Memo4", {30.23624, 215.43321, 83.1496063, 18.89765}},
    {"Extenso", {117.16543, 177.63791, 646.2992126, 18.89765}},
    {"referente", {117.16543, 215.43321, 646.2992126, 18.89765}},
    {"observacoes", {117.16543, 245.66945, 646.2992126, 18.89765}},
    {"recebi", {245.66945, 442.20501, 302.3619826, 30.23622047}},
    {"Emitente", {135.72458764, 120.94468661, 627.40178472, 18.8976378}},
    {"Memo9", {325.03958, 68.03154, 117.16543, 26.45671}},
    {"Memo10", {574.48818898, 68.03154, 37.7953, 26.45669291}},
    {"cpfcnpjemitente", {117.16552764, 143.62184465, 646.29943472, 18.89765}},
    {"cpfcnpjcliente", {245.66945, 476.22078, 302.36220472, 18.89765}},
    {"Memo8", {30.23624, 143.62214, 83.1496063, 18.89765}},
    {"Valor2", {614.173625, 559.37044, 143.62214, 26.45669291}},
    {"Memo11", {22.67718, 616.06339, 105.8267863, 18.89765}},
    {"Memo12", {22.67718, 676.53587, 83.1496063, 18.89765}},
    {"Memo13", {22.67718, 714.33117, 83.1496063, 18.89765}},
    {"Extenso2", {109.60637, 676.53587, 646.2992126, 18.89765}},
    {"referente2", {109.60637, 714.33117, 646.2992126, 18.89765}},
    {"observacoes2", {109.60637, 744.56741, 646.2992126, 18.89765}},
    {"Memo22", {325.03958, 559.37044, 117.16535433, 26.45671}},
    {"Memo23", {570.70903, 559.37044, 37.7953, 26.45669291}},
    {"Memo26", {22.67718, 638.74057, 83.1496063, 18.89765}},
    {"Recebi2", {245.66945, 941.10297, 302.3619826, 30.23622047}},
    {"cpfcnpjcliente2", {245.66945, 975.11874, 302.36220472, 18.89765}},
    {"Emitente2", {132.28355, 616.06339, 623.62225472, 18.8976378}},
    {"cpfcnpjemitente2", {109.60637, 638.74054804, 646.29943472, 18.89765}},
    {"Numero", {617.95275591, 37.7953, 83.14966, 26.45671}},
    {"Numero2", {614.17322591, 529.1342, 83.14966, 26.45671}},
    {"local", {291.02381, 328.81911, 234.33044504, 18.89765}},
    {"Memo1", {529.1342, 328.81911, 7.55900386, 18.89765}},
    {"data1", {540.47271433, 328.81911, 222.99185504, 18.89765}},
    {"Local2", {291.02381, 827.71707, 226.77138504, 18.89765}},
    {"Memo7", {521.57514, 827.71707, 7.55900386, 18.89765}},
    {"data2", {532.91365433, 827.71707, 222.99185504, 18.89765}},
    {"Memo16", {574.48856, 37.7953, 37.7953, 26.45669291}},
    {"Memo17", {570.70903, 529.1342, 37.7953, 26.45669291}},
};

QRectF boxOf(ReceiptSheet sheet, const char *name)
{
    if (sheet == ReceiptSheet::OnePerSheet) {
        for (const Box &box : kOne)
            if (qstrcmp(box.name, name) == 0)
                return box.rect;
    } else {
        for (const Box &box : kTwo)
            if (qstrcmp(box.name, name) == 0)
                return box.rect;
    }
    qFatal("no box %s", name);
}

} // namespace

class TstReceiptPrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        registerReportFonts();
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("fblock"));
        qputenv("FIREBIRD_LOCK", m_dir.filePath(QStringLiteral("fblock")).toLocal8Bit());
    }

    void everyTextInItsBox_data();
    void everyTextInItsBox();
    void kindDecidesPayerAndSigner_data();
    void kindDecidesPayerAndSigner();
    void secondPrintShowsOnlyItsValues_data();
    void secondPrintShowsOnlyItsValues();
    void longReferenceIsCutInItsBox_data();
    void longReferenceIsCutInItsBox();
    void logo_data();
    void logo();
    void largeLogoPrintsAtMost300Dpi_data();
    void largeLogoPrintsAtMost300Dpi();
    void valuesFromTheDatasets();

private:
    QVector<PdfPage> render(ReceiptSheet sheet, const ReceiptValues &values, Report *layout = nullptr)
    {
        Report fresh = receiptLayout(sheet);
        Report &report = layout ? *layout : fresh;
        fillReceipt(report, sheet, values);
        return pdfOf(report, m_dir.filePath(QStringLiteral("receipt.pdf")));
    }

    QTemporaryDir m_dir;
};

void TstReceiptPrinting::everyTextInItsBox_data()
{
    QTest::addColumn<ReceiptSheet>("sheet");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("expected");

    const ReceiptValues v = sampleReceipt();
    const auto row = [](ReceiptSheet sheet, const char *object, const QString &text) {
        QTest::addRow("%s %s", sheet == ReceiptSheet::OnePerSheet ? "1" : "2", object) << sheet << object << text;
    };
    const ReceiptSheet one = ReceiptSheet::OnePerSheet;
    row(one, "Valor", v.amount);
    row(one, "Memo2", QStringLiteral("Recebi(emos) de:"));
    row(one, "Memo3", QStringLiteral("a quantia de"));
    row(one, "Memo4", QStringLiteral("referente â"));
    row(one, "Extenso", v.amountInWords);
    row(one, "referente", v.reference);
    row(one, "local", v.place);
    row(one, "Memo1", QStringLiteral(","));
    row(one, "data1", v.dateText);
    row(one, "Recebi", v.issuerName);
    row(one, "Memo10", QStringLiteral("R$"));
    row(one, "cpfcnpjcliente", v.issuerDocument);
    row(one, "Memo8", QStringLiteral("CPF/CNPJ"));
    row(one, "emitente", v.otherPartyName);
    row(one, "cpfcnpjemitente", v.otherPartyDocument);
    row(one, "Numero", QStringLiteral("7"));
    row(one, "Memo7", QStringLiteral("RECIBO"));
    row(one, "Memo9", QStringLiteral("nº"));
    row(one, "Referente2", v.observation);

    const ReceiptSheet two = ReceiptSheet::TwoPerSheet;
    for (const char *suffix : {"", "2"}) {
        const bool lower = *suffix;
        const auto name = [suffix](const char *base) { return QByteArray(base).append(suffix); };
        row(two, name("Valor"), v.amount);
        row(two, name("Extenso"), v.amountInWords);
        row(two, name("referente"), v.reference);
        row(two, name("observacoes"), v.observation);
        row(two, lower ? "Recebi2" : "recebi", v.issuerName);
        row(two, name("cpfcnpjcliente"), v.issuerDocument);
        row(two, name("Emitente"), v.otherPartyName);
        row(two, name("cpfcnpjemitente"), v.otherPartyDocument);
        row(two, name("Numero"), QStringLiteral("7"));
        row(two, lower ? "Local2" : "local", v.place);
        row(two, lower ? "data2" : "data1", v.dateText);
        row(two, lower ? "Memo7" : "Memo1", QStringLiteral(","));
        row(two, lower ? "Memo11" : "Memo2", QStringLiteral("Recebi(emos) de"));
        row(two, lower ? "Memo12" : "Memo3", QStringLiteral("a quantia de"));
        row(two, lower ? "Memo13" : "Memo4", QStringLiteral("referente"));
        row(two, lower ? "Memo22" : "Memo9", QStringLiteral("Recibo"));
        row(two, lower ? "Memo23" : "Memo10", QStringLiteral("R$"));
        row(two, lower ? "Memo26" : "Memo8", QStringLiteral("CPF/CNPJ"));
        row(two, lower ? "Memo17" : "Memo16", QStringLiteral("nº"));
    }
}

void TstReceiptPrinting::everyTextInItsBox()
{
    QFETCH(ReceiptSheet, sheet);
    QFETCH(QString, object);
    QFETCH(QString, expected);
    static QHash<int, QVector<PdfPage>> rendered;
    if (!rendered.contains(int(sheet)))
        rendered.insert(int(sheet), render(sheet, sampleReceipt()));
    const QVector<PdfPage> &pages = rendered[int(sheet)];
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages[0].textInside(boxOf(sheet, object.toLatin1().constData()), kTolerance), expected);
}

void TstReceiptPrinting::kindDecidesPayerAndSigner_data()
{
    QTest::addColumn<ReceiptSheet>("sheet");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("issuerPays");

    for (ReceiptSheet sheet : {ReceiptSheet::OnePerSheet, ReceiptSheet::TwoPerSheet}) {
        const char *tag = sheet == ReceiptSheet::OnePerSheet ? "1" : "2";
        QTest::addRow("%s PAGAMENTO", tag) << sheet << "PAGAMENTO" << true;
        QTest::addRow("%s RECEBIMENTO", tag) << sheet << "RECEBIMENTO" << false;
        QTest::addRow("%s pagamento", tag) << sheet << "pagamento" << false;
        QTest::addRow("%s empty", tag) << sheet << "" << false;
        QTest::addRow("%s PAGAMENTO with blank", tag) << sheet << "PAGAMENTO " << false;
    }
}

void TstReceiptPrinting::kindDecidesPayerAndSigner()
{
    QFETCH(ReceiptSheet, sheet);
    QFETCH(QString, kind);
    QFETCH(bool, issuerPays);
    const ReceiptValues v = sampleReceipt(kind);
    const QVector<PdfPage> pages = render(sheet, v);
    QCOMPARE(pages.size(), 1);
    const QString payer = issuerPays ? v.issuerName : v.otherPartyName;
    const QString payerDocument = issuerPays ? v.issuerDocument : v.otherPartyDocument;
    const QString signer = issuerPays ? v.otherPartyName : v.issuerName;
    const QString signerDocument = issuerPays ? v.otherPartyDocument : v.issuerDocument;

    struct Copy
    {
        const char *payer, *payerDocument, *signer, *signerDocument;
    };
    const QVector<Copy> copies = sheet == ReceiptSheet::OnePerSheet
        ? QVector<Copy>{{"emitente", "cpfcnpjemitente", "Recebi", "cpfcnpjcliente"}}
        : QVector<Copy>{{"Emitente", "cpfcnpjemitente", "recebi", "cpfcnpjcliente"},
                        {"Emitente2", "cpfcnpjemitente2", "Recebi2", "cpfcnpjcliente2"}};
    for (const Copy &copy : copies) {
        QCOMPARE(pages[0].textInside(boxOf(sheet, copy.payer), kTolerance), payer);
        QCOMPARE(pages[0].textInside(boxOf(sheet, copy.payerDocument), kTolerance), payerDocument);
        QCOMPARE(pages[0].textInside(boxOf(sheet, copy.signer), kTolerance), signer);
        QCOMPARE(pages[0].textInside(boxOf(sheet, copy.signerDocument), kTolerance), signerDocument);
    }
}

void TstReceiptPrinting::secondPrintShowsOnlyItsValues_data()
{
    QTest::addColumn<ReceiptSheet>("sheet");
    QTest::newRow("one per sheet") << ReceiptSheet::OnePerSheet;
    QTest::newRow("two per sheet") << ReceiptSheet::TwoPerSheet;
}

void TstReceiptPrinting::secondPrintShowsOnlyItsValues()
{
    QFETCH(ReceiptSheet, sheet);
    Report layout = receiptLayout(sheet);
    ReceiptValues first = sampleReceipt(QStringLiteral("PAGAMENTO"));
    first.logo = pictureBytes("PNG");
    render(sheet, first, &layout);

    ReceiptValues second; // an empty receipt but for its name and number
    second.otherPartyName = QStringLiteral("Zeca");
    second.number = QStringLiteral("12");
    const QVector<PdfPage> pages = render(sheet, second, &layout);
    QCOMPARE(pages.size(), 1);
    const QString text = pages[0].text();
    for (const QString &old : {first.amount, QStringLiteral("Souza"), QStringLiteral("Modelo"), QStringLiteral("pintura"),
                               QStringLiteral("dinheiro"), QStringLiteral("Paulo"), QStringLiteral("março"),
                               QStringLiteral("123.456.789-01"), QStringLiteral("cinquenta")})
        QVERIFY2(!text.contains(old), qPrintable(old));
    QVERIFY(text.contains(QStringLiteral("Zeca")));
    QCOMPARE(text.count(QStringLiteral("12")), sheet == ReceiptSheet::OnePerSheet ? 1 : 2);
    QVERIFY(!text.contains(QStringLiteral(" 7 ")));
    for (const Primitive &primitive : layout.preparedPages().page(0).primitives)
        QVERIFY(primitive.type != Primitive::Type::Picture);
}

void TstReceiptPrinting::longReferenceIsCutInItsBox_data()
{
    QTest::addColumn<ReceiptSheet>("sheet");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("below"); // the object under the reference, unmoved
    QTest::newRow("one per sheet") << ReceiptSheet::OnePerSheet << "referente" << "Referente2";
    QTest::newRow("two per sheet") << ReceiptSheet::TwoPerSheet << "referente" << "observacoes";
}

void TstReceiptPrinting::longReferenceIsCutInItsBox()
{
    QFETCH(ReceiptSheet, sheet);
    QFETCH(QString, reference);
    QFETCH(QString, below);
    ReceiptValues v = sampleReceipt();
    QStringList words;
    for (int i = 1; i <= 40; ++i)
        words << QStringLiteral("palavra%1").arg(i);
    v.reference = words.join(QLatin1Char(' '));
    const QVector<PdfPage> pages = render(sheet, v);
    QCOMPARE(pages.size(), 1);
    const QString inside = pages[0].textInside(boxOf(sheet, reference.toLatin1().constData()), kTolerance);
    QVERIFY2(v.reference.startsWith(inside + QLatin1Char(' ')), qPrintable(inside));
    QVERIFY2(inside.count(QLatin1Char(' ')) >= 9, qPrintable(inside));
    QVERIFY(!pages[0].text().contains(QStringLiteral("palavra40")));
    QCOMPARE(pages[0].textInside(boxOf(sheet, below.toLatin1().constData()), kTolerance), v.observation);
}

void TstReceiptPrinting::logo_data()
{
    QTest::addColumn<ReceiptSheet>("sheet");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("pictures");

    for (ReceiptSheet sheet : {ReceiptSheet::OnePerSheet, ReceiptSheet::TwoPerSheet}) {
        const int copies = sheet == ReceiptSheet::OnePerSheet ? 1 : 2;
        const char *tag = copies == 1 ? "1" : "2";
        QTest::addRow("%s png", tag) << sheet << pictureBytes("PNG") << copies;
        QTest::addRow("%s jpeg", tag) << sheet << pictureBytes("JPG") << copies;
        QTest::addRow("%s bmp", tag) << sheet << pictureBytes("BMP") << copies;
        QTest::addRow("%s not a picture", tag) << sheet << QByteArray("GIF89a?") << 0;
        QTest::addRow("%s none", tag) << sheet << QByteArray() << 0;
    }
}

void TstReceiptPrinting::logo()
{
    QFETCH(ReceiptSheet, sheet);
    QFETCH(QByteArray, bytes);
    QFETCH(int, pictures);
    ReceiptValues v = sampleReceipt();
    v.logo = bytes;
    Report layout = receiptLayout(sheet);
    const QVector<PdfPage> pages = render(sheet, v, &layout);
    QCOMPARE(pages.size(), 1);
    QVERIFY(pages[0].text().contains(v.amountInWords));

    // 300 x 100 scaled into the picture boxes from their top-left corners.
    const QVector<QRectF> boxes = sheet == ReceiptSheet::OnePerSheet
        ? QVector<QRectF>{{30.23624, 59.47248, 204.09462, 102.04731}}
        : QVector<QRectF>{{26.45671, 37.7953, 185.19697, 71.81107}, {22.67718, 529.1342, 185.19697, 71.81107}};
    QVector<QRectF> drawn;
    for (const Primitive &primitive : layout.preparedPages().page(0).primitives)
        if (primitive.type == Primitive::Type::Picture)
            drawn << primitive.rect;
    QCOMPARE(drawn.size(), pictures);
    for (int i = 0; i < drawn.size(); ++i) {
        const QRectF &box = boxes[i];
        QCOMPARE(drawn[i].topLeft(), box.topLeft());
        QCOMPARE(drawn[i].width(), box.width());
        QCOMPARE(drawn[i].height(), box.width() / 3);
    }
}

void TstReceiptPrinting::largeLogoPrintsAtMost300Dpi_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("10,000 x 10,000 png") << largePngBytes({10000, 10000});
    QTest::newRow("6,000 x 2,000 jpeg") << pictureBytes("JPG", {6000, 2000});
}

void TstReceiptPrinting::largeLogoPrintsAtMost300Dpi()
{
    QFETCH(QByteArray, bytes);
    ReceiptValues v = sampleReceipt();
    v.logo = bytes;
    QCOMPARE(render(ReceiptSheet::OnePerSheet, v).size(), 1);
    const QVector<QSizeF> resolutions = pictureResolutions(m_dir.filePath(QStringLiteral("receipt.pdf")));
    QCOMPARE(resolutions.size(), 1);
    for (const double dpi : {resolutions[0].width(), resolutions[0].height()})
        QVERIFY2(dpi > 200 && dpi <= 301, qPrintable(QString::number(dpi)));
}

void TstReceiptPrinting::valuesFromTheDatasets()
{
    TempDatabase database;
    Module module(database.path());
    DataModule &dm = module.dm;
    dm.Base.open();
    PreparedStatement(dm.Base, QStringLiteral("insert into RECIBOS (ID_RECIBO, EMITENTE, CLIENTE, VALOR, TIPO, OBS, "
                                              "CPFCNPJEMITENTE, DATARECIBO) values (7, 'Maria', 'Oficina', :VALOR, "
                                              "'PAGAMENTO', null, '123.456.789-01', '05 de março de 2026')"))
        .execute(dm.Tra, QVariantList{QVariant::fromValue(Numeric{123450, -2})});
    dm.Tra.commitRetaining();
    dm.Recibos.open();
    dm.Emitente.open();

    ReceiptValues v = receiptValues(dm.Recibos, dm.Emitente);
    QCOMPARE(v.amount, QStringLiteral("1.234,50"));
    QCOMPARE(v.number, QStringLiteral("7"));
    QCOMPARE(v.otherPartyName, QStringLiteral("Maria"));
    QCOMPARE(v.issuerName, QStringLiteral("Oficina"));
    QCOMPARE(v.kind, QStringLiteral("PAGAMENTO"));
    QCOMPARE(v.observation, QString());
    QCOMPARE(v.dateText, QStringLiteral("05 de março de 2026"));
    QVERIFY(v.logo.isEmpty());

    const QByteArray logo = pictureBytes("PNG");
    dm.Emitente.insert();
    dm.Emitente.fieldByName(QStringLiteral("EMITENTE")).setValue(QStringLiteral("Oficina"));
    dm.Emitente.fieldByName(QStringLiteral("FOTO_MARC")).setValue(logo);
    dm.Emitente.post();
    v = receiptValues(dm.Recibos, dm.Emitente);
    QCOMPARE(v.logo, logo);
}

QTEST_MAIN(TstReceiptPrinting)
#include "tst_receiptprinting.moc"
