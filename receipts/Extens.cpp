#include "Extens.h"

#include <QLocale>
#include <QtGlobal>

namespace {

// Indexed by digit - 1.
const char16_t *const kUnidades[9] = {
    u"Um", u"Dois", u"Três", u"Quatro", u"Cinco",
    u"Seis", u"Sete", u"Oito", u"Nove"};
const char16_t *const kDezMais[9] = {
    u"Onze", u"Doze", u"Treze", u"Quatorze", u"Quinze",
    u"Dezesseis", u"Dezessete", u"Dezoito", u"Dezenove"};
const char16_t *const kDezenas[9] = {
    u"Dez", u"Vinte", u"Trinta", u"Quarenta", u"Cinqüenta",
    u"Sessenta", u"Setenta", u"Oitenta", u"Noventa"};
const char16_t *const kCentenas[9] = {
    u"Cento", u"Duzentos", u"Trezentos", u"Quatrocentos", u"Quinhentos",
    u"Seiscentos", u"Setecentos", u"Oitocentos", u"Novecentos"};

QString palavra(const char16_t *const tabela[9], QChar digito)
{
    return QString::fromUtf16(tabela[digito.unicode() - u'1']);
}

RangeMessageSink &sinkInstalado()
{
    static RangeMessageSink sink;
    return sink;
}

void avisaForaDoIntervalo()
{
    const QString mensagem = rangeMessageText();
    if (const RangeMessageSink &sink = sinkInstalado())
        sink(mensagem);
    else
        qWarning().noquote() << mensagem;
}

// Whole cents of a non-negative amount. The amount normally is a two-decimal
// money value converted to double, so its shortest round-trip decimal text is
// exactly what the user typed (0.285, not 0.28499999...). Rounding that text
// in decimal gives half-away-from-zero without binary surprises, and
// QString::number never uses the locale's separator.
qint64 centavosArredondados(double valor)
{
    const QString texto = QString::number(valor, 'f', QLocale::FloatingPointShortest);
    const qsizetype ponto = texto.indexOf(u'.');
    const QString inteiros = ponto < 0 ? texto : texto.left(ponto);
    const QString fracao = (ponto < 0 ? QString() : texto.mid(ponto + 1))
                               .leftJustified(3, u'0', true);
    qint64 centavos = inteiros.toLongLong() * 100 + fracao.left(2).toInt();
    if (fracao.at(2) >= u'5')
        ++centavos;
    return centavos;
}

QString tresDigitos(qint64 n)
{
    return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
}

} // namespace

void setRangeMessageSink(RangeMessageSink sink)
{
    sinkInstalado() = std::move(sink);
}

QString rangeMessageText()
{
    return QStringLiteral("O valor está fora do intervalo permitido.")
         + QStringLiteral("O número deve ser maior ou igual a zero e menor que 999.999,99.")
         + QStringLiteral(" Se não for corrigido o número não será escrito por extenso.");
}

QString CentenaPorExtenso(const QString &grupo)
{
    if (grupo.size() != 3)
        return {};
    for (QChar c : grupo) {
        if (c < u'0' || c > u'9')
            return {};
    }
    const QChar c = grupo.at(0);
    const QChar d = grupo.at(1);
    const QChar u = grupo.at(2);

    QString centena, dezena, unidade;
    if (d == u'1' && u != u'0') {
        unidade = palavra(kDezMais, u);
    } else {
        if (d != u'0')
            dezena = palavra(kDezenas, d);
        if (u != u'0')
            unidade = palavra(kUnidades, u);
    }
    if (c == u'1' && dezena.isEmpty() && unidade.isEmpty())
        centena = QStringLiteral("Cem");
    else if (c != u'0')
        centena = palavra(kCentenas, c);

    QString resultado = centena;
    if (!centena.isEmpty() && (!dezena.isEmpty() || !unidade.isEmpty()))
        resultado += QStringLiteral(" e ");
    resultado += dezena;
    if (!dezena.isEmpty() && !unidade.isEmpty())
        resultado += QStringLiteral(" e ");
    resultado += unidade;
    return resultado;
}

QString NumeroPorExtenso(double valor)
{
    // Written so that NaN fails the test too. The upper bound is inclusive.
    if (!(valor >= 0.0 && valor <= 999999.99)) {
        avisaForaDoIntervalo();
        return {};
    }
    if (valor == 0.0)
        return {};

    const qint64 total = centavosArredondados(valor);
    const qint64 reais = total / 100;
    const QString grupoMil = tresDigitos(reais / 1000);
    const QString grupoUnidades = tresDigitos(reais % 1000);
    const QString grupoCentavos = tresDigitos(total % 100); // "0" plus the two cents digits

    const QString milhares = CentenaPorExtenso(grupoMil);
    const QString unidades = CentenaPorExtenso(grupoUnidades);
    const QString centavos = CentenaPorExtenso(grupoCentavos);

    QString resultado = milhares;
    if (!milhares.isEmpty()) {
        resultado += grupoUnidades == QLatin1String("000") ? QStringLiteral(" Mil Reais")
                                                           : QStringLiteral(" Mil, e ");
    }
    resultado += unidades;

    // After a thousands part the plural is used even for a units group of 001.
    if (milhares.isEmpty() && grupoUnidades == QLatin1String("001"))
        resultado += QStringLiteral(" Real");
    else if (grupoUnidades != QLatin1String("000"))
        resultado += QStringLiteral(" Reais");

    if (centavos.isEmpty())
        return resultado + u'.';

    if (milhares.isEmpty() && unidades.isEmpty())
        resultado = centavos;
    else
        resultado += QStringLiteral(", e ") + centavos;
    resultado += grupoCentavos.mid(1) == QLatin1String("01") ? QStringLiteral(" Centavo.")
                                                             : QStringLiteral(" Centavos.");
    return resultado;
}
