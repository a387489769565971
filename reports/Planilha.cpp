#include "Planilha.h"

#include "data/ValueText.h"
#include "data/Numeric.h"
#include "reportengine/ReportError.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

namespace planilha {

namespace {

const QString kDataCurta = QStringLiteral("dd/MM/yyyy");

QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, reason);
}

QString campoCsv(const QVariant &valor, Planilha::Tipo tipo)
{
    if (valor.isNull())
        return QString();
    switch (tipo) {
    case Planilha::Tipo::Inteiro:
        return QString::number(valor.toLongLong());
    case Planilha::Tipo::Data:
        return valor.toDate().toString(kDataCurta);
    case Planilha::Tipo::Dinheiro:
        // Whatever the machine's settings: the file is for a Brazilian spreadsheet.
        return valuetext::formatNumber(valor.value<Numeric>(), QStringLiteral("0.00"),
                                            QLocale(QLocale::Portuguese, QLocale::Brazil));
    case Planilha::Tipo::Texto:
        break;
    }
    QString texto = valor.toString();
    if (texto.contains(QLatin1Char(';')) || texto.contains(QLatin1Char('"')) || texto.contains(QLatin1Char('\n'))
        || texto.contains(QLatin1Char('\r'))) {
        texto.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        texto = QLatin1Char('"') + texto + QLatin1Char('"');
    }
    return texto;
}

QString letraDaColuna(int coluna)
{
    QString letras;
    for (++coluna; coluna > 0; coluna = (coluna - 1) / 26)
        letras.prepend(QChar(u'A' + (coluna - 1) % 26));
    return letras;
}

// The workbook's calls report their first failure; later calls are still made
// so the workbook can be closed and freed.
class Erros
{
public:
    void operator()(lxw_error erro)
    {
        if (erro != LXW_NO_ERROR && m_primeiro == LXW_NO_ERROR)
            m_primeiro = erro;
    }
    lxw_error primeiro() const { return m_primeiro; }

private:
    lxw_error m_primeiro = LXW_NO_ERROR;
};

void escreveCelulas(lxw_workbook *livro, lxw_worksheet *folha, const Planilha &planilha, Erros &erros)
{
    lxw_format *cabecalho = workbook_add_format(livro);
    format_set_bold(cabecalho);
    format_set_bottom(cabecalho, LXW_BORDER_THIN);
    lxw_format *dinheiro = workbook_add_format(livro);
    format_set_num_format(dinheiro, "#,##0.00");
    lxw_format *data = workbook_add_format(livro);
    format_set_num_format(data, "dd/mm/yyyy");
    lxw_format *rotuloTotal = workbook_add_format(livro);
    format_set_bold(rotuloTotal);
    lxw_format *dinheiroTotal = workbook_add_format(livro);
    format_set_bold(dinheiroTotal);
    format_set_num_format(dinheiroTotal, "#,##0.00");

    bool temDinheiro = false;
    for (int c = 0; c < planilha.colunas.size(); ++c) {
        const Planilha::Coluna &coluna = planilha.colunas.at(c);
        erros(worksheet_set_column(folha, lxw_col_t(c), lxw_col_t(c), coluna.largura, nullptr));
        erros(worksheet_write_string(folha, 0, lxw_col_t(c), coluna.titulo.toUtf8().constData(), cabecalho));
        temDinheiro = temDinheiro || coluna.tipo == Planilha::Tipo::Dinheiro;
    }
    worksheet_freeze_panes(folha, 1, 0);

    QVector<double> somas(planilha.colunas.size(), 0.0);
    for (int r = 0; r < planilha.linhas.size(); ++r) {
        const QVariantList &linha = planilha.linhas.at(r);
        const lxw_row_t row = lxw_row_t(r + 1);
        for (int c = 0; c < planilha.colunas.size() && c < linha.size(); ++c) {
            const QVariant &valor = linha.at(c);
            if (valor.isNull())
                continue;
            const lxw_col_t col = lxw_col_t(c);
            switch (planilha.colunas.at(c).tipo) {
            case Planilha::Tipo::Texto:
                erros(worksheet_write_string(folha, row, col, valor.toString().toUtf8().constData(), nullptr));
                break;
            case Planilha::Tipo::Inteiro:
                erros(worksheet_write_number(folha, row, col, double(valor.toLongLong()), nullptr));
                break;
            case Planilha::Tipo::Data: {
                const QDate dia = valor.toDate();
                lxw_datetime quando{dia.year(), dia.month(), dia.day(), 0, 0, 0};
                erros(worksheet_write_datetime(folha, row, col, &quando, data));
                break;
            }
            case Planilha::Tipo::Dinheiro: {
                const double quantia = valor.value<Numeric>().toDouble();
                somas[c] += quantia;
                erros(worksheet_write_number(folha, row, col, quantia, dinheiro));
                break;
            }
            }
        }
    }

    if (!temDinheiro)
        return;
    const lxw_row_t total = lxw_row_t(planilha.linhas.size() + 1);
    if (planilha.colunas.first().tipo != Planilha::Tipo::Dinheiro)
        erros(worksheet_write_string(folha, total, 0, "Total", rotuloTotal));
    for (int c = 0; c < planilha.colunas.size(); ++c) {
        if (planilha.colunas.at(c).tipo != Planilha::Tipo::Dinheiro)
            continue;
        if (planilha.linhas.isEmpty()) {
            // A SUM over no rows would reach the total cell itself.
            erros(worksheet_write_number(folha, total, lxw_col_t(c), 0, dinheiroTotal));
            continue;
        }
        const QString letra = letraDaColuna(c);
        const QString formula = QStringLiteral("=SUM(%1%2:%1%3)").arg(letra).arg(2).arg(planilha.linhas.size() + 1);
        erros(worksheet_write_formula_num(folha, total, lxw_col_t(c), formula.toUtf8().constData(), dinheiroTotal,
                                          somas.at(c)));
    }
}

} // namespace

bool formatoDoArquivo(const QString &path, Formato *formato)
{
    const QString sufixo = QFileInfo(path).suffix().toLower();
    if (sufixo == QLatin1String("csv"))
        *formato = Formato::Csv;
    else if (sufixo == QLatin1String("xlsx"))
        *formato = Formato::Xlsx;
    else
        return false;
    return true;
}

QByteArray csv(const Planilha &planilha)
{
    const auto linhaCsv = [](const QStringList &campos) {
        return campos.join(QLatin1Char(';')).toUtf8() + "\r\n";
    };
    QByteArray bytes("\xEF\xBB\xBF");
    QStringList titulos;
    for (const Planilha::Coluna &coluna : planilha.colunas)
        titulos << campoCsv(coluna.titulo, Planilha::Tipo::Texto);
    bytes += linhaCsv(titulos);
    for (const QVariantList &linha : planilha.linhas) {
        QStringList campos;
        for (int c = 0; c < planilha.colunas.size(); ++c)
            campos << campoCsv(linha.value(c), planilha.colunas.at(c).tipo);
        bytes += linhaCsv(campos);
    }
    return bytes;
}

void gravaCsv(const Planilha &planilha, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(cannotWrite(path, file.errorString()));
    const QByteArray bytes = csv(planilha);
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw ReportError(cannotWrite(path, file.errorString()));
}

void gravaXlsx(const Planilha &planilha, const QString &path)
{
    // Written in full under a temporary name beside the target, then renamed.
    QTemporaryFile parcial(path + QStringLiteral(".XXXXXX"));
    if (!parcial.open())
        throw ReportError(cannotWrite(path, parcial.errorString()));
    parcial.close();

    lxw_workbook *livro = workbook_new(QFile::encodeName(parcial.fileName()).constData());
    if (!livro)
        throw ReportError(cannotWrite(path, QStringLiteral("falha ao iniciar a planilha")));
    Erros erros;
    lxw_worksheet *folha = workbook_add_worksheet(livro, planilha.nome.left(31).toUtf8().constData());
    if (folha)
        escreveCelulas(livro, folha, planilha, erros);
    const lxw_error fechamento = workbook_close(livro);
    if (!folha)
        throw ReportError(cannotWrite(path, QStringLiteral("nome de planilha inválido: %1").arg(planilha.nome)));
    erros(fechamento);
    if (erros.primeiro() != LXW_NO_ERROR)
        throw ReportError(cannotWrite(path, QString::fromUtf8(lxw_strerror(erros.primeiro()))));
    if (QFile::exists(path) && !QFile::remove(path))
        throw ReportError(cannotWrite(path, QStringLiteral("o arquivo existente não pôde ser substituído")));
    if (!parcial.rename(path))
        throw ReportError(cannotWrite(path, parcial.errorString()));
    parcial.setAutoRemove(false);
}

void grava(const Planilha &planilha, const QString &path, Formato formato)
{
    if (formato == Formato::Csv)
        gravaCsv(planilha, path);
    else
        gravaXlsx(planilha, path);
}

} // namespace planilha
