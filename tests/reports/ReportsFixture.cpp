#include "ReportsFixture.h"

#include "data/Numeric.h"
#include "data/Statement.h"

#include <QLocale>

namespace {

// A number written in letters (1 = B, 26 = BA), so that names print no digits.
QString letras(int number)
{
    QString text;
    do {
        text.prepend(QChar(u'A' + number % 26));
        number /= 26;
    } while (number > 0);
    return text;
}

} // namespace

QVariant money(qint64 cents)
{
    return QVariant::fromValue(Numeric{cents, -2});
}

void addRecibos(DataModule &dm, const QVector<Recibo> &recibos)
{
    dm.Base.open();
    if (!dm.Tra.inTransaction())
        dm.Tra.startTransaction();
    PreparedStatement insert(dm.Base, QStringLiteral(
        "insert into RECIBOS (ID_RECIBO, EMITENTE, CLIENTE, VALOR, DATA, TIPO) "
        "values (:ID, :EMITENTE, 'EMPRESA EMITENTE LTDA', :VALOR, :DATA, :TIPO)"));
    for (const Recibo &r : recibos) {
        const QString nome = r.nome.isEmpty() ? QStringLiteral("PAGADOR ") + letras(r.id) : r.nome;
        insert.execute(dm.Tra, QVariantList{r.id, nome, r.valor, r.data, r.tipo});
    }
    dm.Tra.commitRetaining();
}

QVector<Recibo> recibosNoDia(int firstId, int count, const QDate &day, const QString &tipo)
{
    QVector<Recibo> recibos;
    for (int i = 0; i < count; ++i)
        recibos.append({firstId + i, day, tipo, money(1000 + 37 * i), QString()});
    return recibos;
}

QString somaNoBanco(DataModule &dm, const QDate &ini, const QDate &fim, const QString &tipo)
{
    QString sql = QStringLiteral("select coalesce(sum(VALOR), 0) from RECIBOS where DATA between :INI and :FIM");
    QVariantList params{ini, fim};
    if (!tipo.isEmpty()) {
        sql += QStringLiteral(" and TIPO = :TIPO");
        params << tipo;
    }
    PreparedStatement sum(dm.Base, sql);
    std::unique_ptr<Cursor> cursor = sum.openCursor(dm.Tra, params);
    Row row;
    cursor->fetch(row);
    const Numeric total = row.value(0).value<Numeric>().rescaled(-2);
    return QLocale().toString(double(total.units) / 100.0, 'f', 2);
}

QStringList numerosImpressos(const QVector<PdfPage> &pages)
{
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    return wordsMatching(pages, digits);
}

QStringList valoresImpressos(const QVector<PdfPage> &pages)
{
    static const QRegularExpression amount(QStringLiteral("^-?\\d{1,3}(\\.\\d{3})*,\\d\\d$"));
    return wordsMatching(pages, amount);
}

QString totalImpresso(const PdfPage &page)
{
    for (const PdfWord &label : page.words) {
        if (label.text != QLatin1String("Total"))
            continue;
        QStringList right;
        for (const PdfWord &word : page.words) {
            if (word.box.left() > label.box.right() && qAbs(word.box.center().y() - label.box.center().y()) < 8
                && word.text != QLatin1String("R$"))
                right << word.text;
        }
        return right.join(QLatin1Char(' '));
    }
    return QString();
}
