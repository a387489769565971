#include "receipts/FormataDocumento.h"

#include <QTest>

class TstFormataDocumento : public QObject
{
    Q_OBJECT

private slots:
    void formata_data();
    void formata();
    void textoMuitoLongo();
};

void TstFormataDocumento::formata_data()
{
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("esperado");

    const QString rosto = QString::fromUtf8("\xF0\x9F\x98\x80"); // U+1F600, a surrogate pair
    const QString loneHigh(QChar(0xD800));

    QTest::newRow("cpf digits") << "12345678901" << "123.456.789-01";
    QTest::newRow("cpf formed") << "123.456.789-01" << "123.456.789-01";
    QTest::newRow("cnpj digits") << "12345678000199" << "12.345.678/0001-99";
    QTest::newRow("cnpj formed") << "12.345.678/0001-99" << "12.345.678/0001-99";
    QTest::newRow("mixed separators") << "123-456/789.01" << "123.456.789-01";
    QTest::newRow("cnpj with cpf punctuation") << "123.456.780-00199" << "12.345.678/0001-99";
    QTest::newRow("10 left") << "123.456.789-0" << "1234567890";
    QTest::newRow("12 left") << "123456789012" << "123456789012";
    QTest::newRow("13 left") << "1234567890123" << "1234567890123";
    QTest::newRow("15 left") << "123456789012345" << "123456789012345";
    QTest::newRow("short") << "98.7" << "987";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("separators only") << "./-./-" << "";
    QTest::newRow("letters count") << "abcdefghijk" << "abc.def.ghi-jk";
    QTest::newRow("blanks count") << "123 456 789" << "123. 45.6 7-89";
    QTest::newRow("accented")
        << QString::fromUtf8("ÁÉÍÓÚáéíóúç") << QString::fromUtf8("ÁÉÍ.ÓÚá.éíó-úç");
    QTest::newRow("accented cnpj")
        << QString::fromUtf8("çãõ45678000199") << QString::fromUtf8("çã.õ45.678/0001-99");
    QTest::newRow("other dashes are content")
        << QString::fromUtf8("123456789–1") << QString::fromUtf8("123.456.789-–1");
    // A surrogate pair is one character: counted once and never split.
    QTest::newRow("pair as 11th") << "1234567890" + rosto << "123.456.789-0" + rosto;
    QTest::newRow("pair where a dot goes")
        << "12" + rosto + "45678901" << "12" + rosto + ".456.789-01";
    QTest::newRow("pair as 14th") << "1234567890123" + rosto << "12.345.678/9012-3" + rosto;
    QTest::newRow("pair makes 10") << "12" + rosto + "3456789" << "12" + rosto + "3456789";
    QTest::newRow("eleven pairs")
        << rosto.repeated(11)
        << rosto.repeated(3) + '.' + rosto.repeated(3) + '.' + rosto.repeated(3) + '-' + rosto.repeated(2);
    QTest::newRow("lone surrogate") << loneHigh + "1234567890" << loneHigh + "12.345.678-90";
}

void TstFormataDocumento::formata()
{
    QFETCH(QString, digitado);
    QFETCH(QString, esperado);
    const QString formatado = FormataDocumento(digitado);
    QCOMPARE(formatado, esperado);
    QCOMPARE(FormataDocumento(formatado), formatado);
}

void TstFormataDocumento::textoMuitoLongo()
{
    const QString digitado = QStringLiteral("1.2-3/").repeated(100000);
    const QString formatado = FormataDocumento(digitado);
    QCOMPARE(formatado, QStringLiteral("123").repeated(100000));
}

QTEST_GUILESS_MAIN(TstFormataDocumento)
#include "tst_formatadocumento.moc"
