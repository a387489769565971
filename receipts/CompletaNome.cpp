#include "CompletaNome.h"

NomeCompletado CompletaNome(const QString &digitado, const QString &nomeEncontrado)
{
    NomeCompletado resultado;
    resultado.texto = digitado;
    resultado.inicioSelecao = int(digitado.size());
    if (nomeEncontrado.size() > digitado.size()) {
        resultado.texto += nomeEncontrado.mid(digitado.size());
        resultado.tamanhoSelecao = int(nomeEncontrado.size() - digitado.size());
    }
    return resultado;
}
