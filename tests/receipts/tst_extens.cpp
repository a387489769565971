#include "receipts/Extens.h"

#include <QLocale>
#include <QStringList>
#include <QTest>

#include <cmath>
#include <limits>

// Spelled independently of the code under test, for the cents sweep.
static QString ateNoventaENove(int n)
{
    static const QStringList unidades = {
        "", "Um", "Dois", "Três", "Quatro", "Cinco", "Seis", "Sete", "Oito", "Nove",
        "Dez", "Onze", "Doze", "Treze", "Quatorze", "Quinze", "Dezesseis", "Dezessete",
        "Dezoito", "Dezenove"};
    static const QStringList dezenas = {
        "", "", "Vinte", "Trinta", "Quarenta", "Cinqüenta", "Sessenta", "Setenta",
        "Oitenta", "Noventa"};
    if (n < 20)
        return unidades.at(n);
    return n % 10 == 0 ? dezenas.at(n / 10) : dezenas.at(n / 10) + " e " + unidades.at(n % 10);
}

class TstExtens : public QObject
{
    Q_OBJECT

    QStringList mensagens;

private slots:
    void init()
    {
        mensagens.clear();
        setRangeMessageSink([this](const QString &m) { mensagens << m; });
        QLocale::setDefault(QLocale::c());
    }
    void cleanup() { setRangeMessageSink(nullptr); }

    void centena_data();
    void centena();
    void extenso_data();
    void extenso();
    void centavos_data();
    void centavos();
    void maisLongo();
    void foraDoIntervalo_data();
    void foraDoIntervalo();
    void semSinkVaiParaOAviso();
    void naoDependeDoLocale_data();
    void naoDependeDoLocale();
};

void TstExtens::centena_data()
{
    QTest::addColumn<QString>("grupo");
    QTest::addColumn<QString>("esperado");
    const char *casos[][2] = {
        {"000", ""}, {"001", "Um"}, {"003", "Três"}, {"010", "Dez"}, {"011", "Onze"},
        {"014", "Quatorze"}, {"019", "Dezenove"}, {"020", "Vinte"}, {"050", "Cinqüenta"},
        {"021", "Vinte e Um"}, {"100", "Cem"}, {"101", "Cento e Um"}, {"110", "Cento e Dez"},
        {"115", "Cento e Quinze"}, {"120", "Cento e Vinte"}, {"200", "Duzentos"},
        {"305", "Trezentos e Cinco"}, {"999", "Novecentos e Noventa e Nove"},
        // Malformed groups give nothing instead of indexing out of the tables.
        {"", ""}, {"12", ""}, {"1234", ""}, {"1a3", ""}, {"-12", ""}};
    for (const auto &c : casos)
        QTest::newRow(c[0][0] ? c[0] : "vazio") << QString::fromUtf8(c[0]) << QString::fromUtf8(c[1]);
}

void TstExtens::centena()
{
    QFETCH(QString, grupo);
    QFETCH(QString, esperado);
    QCOMPARE(CentenaPorExtenso(grupo), esperado);
}

void TstExtens::extenso_data()
{
    QTest::addColumn<double>("valor");
    QTest::addColumn<QString>("esperado");
    const struct { double valor; const char *texto; } casos[] = {
        {0.00, ""},
        {-0.0, ""},
        {0.01, "Um Centavo."},
        {0.10, "Dez Centavos."},
        {0.15, "Quinze Centavos."},
        {0.50, "Cinqüenta Centavos."},
        {0.99, "Noventa e Nove Centavos."},
        {1.00, "Um Real."},
        {1.01, "Um Real, e Um Centavo."},
        {1.50, "Um Real, e Cinqüenta Centavos."},
        {2.00, "Dois Reais."},
        {12.00, "Doze Reais."},
        {21.45, "Vinte e Um Reais, e Quarenta e Cinco Centavos."},
        {100.00, "Cem Reais."},
        {101.00, "Cento e Um Reais."},
        {110.00, "Cento e Dez Reais."},
        {199.99, "Cento e Noventa e Nove Reais, e Noventa e Nove Centavos."},
        {1000.00, "Um Mil Reais."},
        {1000.01, "Um Mil Reais, e Um Centavo."},
        {1001.00, "Um Mil, e Um Reais."},
        {1500.00, "Um Mil, e Quinhentos Reais."},
        {2000.50, "Dois Mil Reais, e Cinqüenta Centavos."},
        {1234.56, "Um Mil, e Duzentos e Trinta e Quatro Reais, e Cinqüenta e Seis Centavos."},
        {21000.00, "Vinte e Um Mil Reais."},
        {100000.00, "Cem Mil Reais."},
        {100100.00, "Cem Mil, e Cem Reais."},
        {101000.01, "Cento e Um Mil Reais, e Um Centavo."},
        {999999.99, "Novecentos e Noventa e Nove Mil, e Novecentos e Noventa e Nove Reais, e Noventa e Nove Centavos."},
        // Groups 001 and 000 in both positions.
        {1001.01, "Um Mil, e Um Reais, e Um Centavo."},
        {2001.00, "Dois Mil, e Um Reais."},
        {5000.05, "Cinco Mil Reais, e Cinco Centavos."},
        {5.00, "Cinco Reais."},
        {1.02, "Um Real, e Dois Centavos."},
        {2.01, "Dois Reais, e Um Centavo."},
        {999000.00, "Novecentos e Noventa e Nove Mil Reais."},
        {1100.00, "Um Mil, e Cem Reais."},
        // Rounding to cents, halves away from zero as written in decimal.
        {0.285, "Vinte e Nove Centavos."},
        {1.005, "Um Real, e Um Centavo."},
        {2.675, "Dois Reais, e Sessenta e Oito Centavos."},
        {0.125, "Treze Centavos."},
        {0.994, "Noventa e Nove Centavos."},
        {0.995, "Um Real."},
        {999.995, "Um Mil Reais."},
        {999999.989, "Novecentos e Noventa e Nove Mil, e Novecentos e Noventa e Nove Reais, e Noventa e Nove Centavos."},
        {0.005, "Um Centavo."},
        // Not zero, yet nothing left after rounding: only the final full stop.
        {0.004, "."},
        {std::numeric_limits<double>::denorm_min(), "."},
    };
    for (const auto &c : casos)
        QTest::addRow("%.6f", c.valor) << c.valor << QString::fromUtf8(c.texto);
}

void TstExtens::extenso()
{
    QFETCH(double, valor);
    QFETCH(QString, esperado);
    QCOMPARE(NumeroPorExtenso(valor), esperado);
    QVERIFY(mensagens.isEmpty());
}

void TstExtens::centavos_data()
{
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("esperado");
    const struct { const char *reais; const char *prefixo; } partes[] = {
        {"0", ""},
        {"1", "Um Real, e "},
        {"7", "Sete Reais, e "},
        {"1000", "Um Mil Reais, e "},
        {"345678", "Trezentos e Quarenta e Cinco Mil, e Seiscentos e Setenta e Oito Reais, e "},
    };
    for (const auto &p : partes) {
        for (int c = 1; c <= 99; ++c) {
            const QString digitado = QStringLiteral("%1.%2").arg(p.reais).arg(c, 2, 10, QLatin1Char('0'));
            const QString esperado = QString::fromUtf8(p.prefixo) + ateNoventaENove(c)
                                   + (c == 1 ? " Centavo." : " Centavos.");
            QTest::newRow(qPrintable(digitado)) << digitado << esperado;
        }
    }
}

void TstExtens::centavos()
{
    QFETCH(QString, digitado);
    QFETCH(QString, esperado);
    bool ok = false;
    const double valor = digitado.toDouble(&ok);
    QVERIFY(ok);
    QCOMPARE(NumeroPorExtenso(valor), esperado);
}

void TstExtens::maisLongo()
{
    const QString texto = NumeroPorExtenso(454454.54);
    QCOMPARE(texto, QStringLiteral("Quatrocentos e Cinqüenta e Quatro Mil, e Quatrocentos e "
                                   "Cinqüenta e Quatro Reais, e Cinqüenta e Quatro Centavos."));
    QCOMPARE(texto.size(), 112);
}

void TstExtens::foraDoIntervalo_data()
{
    QTest::addColumn<double>("valor");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("1000000.00") << 1000000.00;
    QTest::newRow("999999.995") << 999999.995;
    QTest::newRow("just above 999999.99") << std::nextafter(999999.99, inf);
    QTest::newRow("-0.01") << -0.01;
    QTest::newRow("-5.00") << -5.00;
    QTest::newRow("smallest negative") << -std::numeric_limits<double>::denorm_min();
    QTest::newRow("max") << std::numeric_limits<double>::max();
    QTest::newRow("lowest") << std::numeric_limits<double>::lowest();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("+inf") << inf;
    QTest::newRow("-inf") << -inf;
}

void TstExtens::foraDoIntervalo()
{
    QFETCH(double, valor);
    QCOMPARE(NumeroPorExtenso(valor), QString());
    QCOMPARE(mensagens, QStringList{QStringLiteral(
        "O valor está fora do intervalo permitido.O número deve ser maior ou igual a zero e "
        "menor que 999.999,99. Se não for corrigido o número não será escrito por extenso.")});
}

void TstExtens::semSinkVaiParaOAviso()
{
    setRangeMessageSink(nullptr);
    QTest::ignoreMessage(QtWarningMsg, qPrintable(rangeMessageText()));
    QCOMPARE(NumeroPorExtenso(-1.0), QString());
}

void TstExtens::naoDependeDoLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("pt_BR") << QStringLiteral("pt_BR");
    QTest::newRow("C") << QStringLiteral("C");
    QTest::newRow("de_DE") << QStringLiteral("de_DE");
}

void TstExtens::naoDependeDoLocale()
{
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(NumeroPorExtenso(1234.56),
             QStringLiteral("Um Mil, e Duzentos e Trinta e Quatro Reais, e Cinqüenta e Seis Centavos."));
    QCOMPARE(NumeroPorExtenso(0.5), QStringLiteral("Cinqüenta Centavos."));
    QCOMPARE(NumeroPorExtenso(2.675), QStringLiteral("Dois Reais, e Sessenta e Oito Centavos."));
    QCOMPARE(NumeroPorExtenso(999999.99),
             QStringLiteral("Novecentos e Noventa e Nove Mil, e Novecentos e Noventa e Nove Reais, "
                            "e Noventa e Nove Centavos."));
    QVERIFY(mensagens.isEmpty());
}

QTEST_GUILESS_MAIN(TstExtens)
#include "tst_extens.moc"
