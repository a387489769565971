#include "FormataDocumento.h"

#include <QList>

namespace {

struct Separador {
    int depoisDe; // number of characters written before it
    char16_t caractere;
};

const Separador kCpf[] = {{3, u'.'}, {6, u'.'}, {9, u'-'}};
const Separador kCnpj[] = {{2, u'.'}, {5, u'.'}, {8, u'/'}, {12, u'-'}};

template <size_t N>
QString pontua(const QString &limpo, const QList<qsizetype> &inicios, const Separador (&seps)[N])
{
    QString saida;
    saida.reserve(limpo.size() + qsizetype(N));
    qsizetype de = 0;
    for (const Separador &s : seps) {
        const qsizetype ate = inicios.at(s.depoisDe);
        saida += QStringView(limpo).mid(de, ate - de);
        saida += QChar(s.caractere);
        de = ate;
    }
    saida += QStringView(limpo).mid(de);
    return saida;
}

} // namespace

QString SemSeparadores(const QString &texto)
{
    QString limpo;
    limpo.reserve(texto.size());
    for (QChar c : texto) {
        if (c != u'.' && c != u'-' && c != u'/')
            limpo += c;
    }
    return limpo;
}

QString DocumentoDoCliente(const QString &classificacao, const QString &cpf, const QString &cnpj)
{
    return classificacao == QStringLiteral("FÍSICA") ? cpf : cnpj;
}

QString FormataDocumento(const QString &texto)
{
    const QString limpo = SemSeparadores(texto);

    // Where each code point starts; a lone surrogate counts as a character of its own.
    QList<qsizetype> inicios;
    for (qsizetype i = 0; i < limpo.size() && inicios.size() <= 14; ++i) {
        inicios.append(i);
        if (limpo.at(i).isHighSurrogate() && i + 1 < limpo.size() && limpo.at(i + 1).isLowSurrogate())
            ++i;
    }

    if (inicios.size() == 11)
        return pontua(limpo, inicios, kCpf);
    if (inicios.size() == 14)
        return pontua(limpo, inicios, kCnpj);
    return limpo;
}
