#pragma once

#include <QString>
#include <QStringList>

// What sets the three receipt lists apart: screen, caption, kind filter,
// heading of the name column and layout.
struct PeriodoRecibos
{
    QString formName;      // objectName of the period screen
    QString caption;       // title panel caption
    QString tipo;          // kind filter ("Tip"); empty lists every kind
    QString cabecalhoNome; // text put into Memo9 before each preview; empty keeps the layout's
    QString layoutFile;

    bool filtraTipo() const { return !tipo.isEmpty(); }
    // The select text of ibqRelatorio, a line at a time.
    QStringList sql() const;
};

extern const PeriodoRecibos kRecibosRecebimento; // FRabrerecibos1
extern const PeriodoRecibos kRecibosPagamento;   // FRabrerecibos2
extern const PeriodoRecibos kTodosRecibos;       // FRabrerecibos3
