#include "Planilha.h"

#include "data/ErrorText.h"
#include "data/Numeric.h"
#include "data/ValueText.h"
#include "reportengine/ReportError.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <sys/stat.h>

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

// What a file created here gets: read and write for everyone, less the process's umask.
QFileDevice::Permissions permissoesDeArquivoNovo()
{
    const mode_t mascara = ::umask(0);
    ::umask(mascara);
    QFileDevice::Permissions permissoes;
    const struct
    {
        mode_t bit;
        QFileDevice::Permissions qt;
    } bits[] = {{S_IRUSR, QFileDevice::ReadOwner | QFileDevice::ReadUser},
                {S_IWUSR, QFileDevice::WriteOwner | QFileDevice::WriteUser},
                {S_IRGRP, QFileDevice::ReadGroup}, {S_IWGRP, QFileDevice::WriteGroup},
                {S_IROTH, QFileDevice::ReadOther}, {S_IWOTH, QFileDevice::WriteOther}};
    for (const auto &bit : bits) {
        if ((0666 & ~mascara) & bit.bit)
            permissoes |= bit.qt;
    }
    return permissoes;
}

// libxlsxwriter's reasons, in the user's words.
QString motivo(lxw_error erro)
{
    switch (erro) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("faltou memória");
    case LXW_ERROR_CREATING_XLSX_FILE:
        return QStringLiteral("o arquivo não pôde ser criado (a pasta não existe ou não há permissão)");
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return QStringLiteral("o arquivo temporário da planilha não pôde ser usado");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return QStringLiteral("a gravação falhou; verifique se há espaço no disco");
    default:
        return QStringLiteral("erro da biblioteca de planilhas (%1)").arg(QString::fromUtf8(lxw_strerror(erro)));
    }
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

void escreveCelulas(lxw_workbook *livro, lxw_worksheet *folha, const Planilha &planilha, const Progresso &progresso,
                    Erros &erros)
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
    lxw_row_t row = 0;
    planilha.paraCadaLinha([&](const QVariantList &linha) {
        // The heading, the rows and the total row within the format's last row.
        if (row + 2 >= LXW_ROW_MAX)
            throw ReportError(QStringLiteral("Uma planilha XLSX comporta no máximo %1 linhas. Escolha um período "
                                             "menor ou grave a planilha em CSV.")
                                  .arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(LXW_ROW_MAX - 2)));
        ++row;
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
        if (progresso)
            progresso(row);
    });

    if (!temDinheiro)
        return;
    const lxw_row_t total = row + 1;
    if (planilha.colunas.first().tipo != Planilha::Tipo::Dinheiro)
        erros(worksheet_write_string(folha, total, 0, "Total", rotuloTotal));
    for (int c = 0; c < planilha.colunas.size(); ++c) {
        if (planilha.colunas.at(c).tipo != Planilha::Tipo::Dinheiro)
            continue;
        if (row == 0) {
            // A SUM over no rows would reach the total cell itself.
            erros(worksheet_write_number(folha, total, lxw_col_t(c), 0, dinheiroTotal));
            continue;
        }
        const QString letra = letraDaColuna(c);
        const QString formula = QStringLiteral("=SUM(%1%2:%1%3)").arg(letra).arg(2).arg(row + 1);
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

namespace {

// Each line goes to `escreve` as it is made; a failing writer throws and stops the rows.
void escreveCsv(const Planilha &planilha, const std::function<void(const QByteArray &)> &escreve,
                const Progresso &progresso)
{
    const auto linhaCsv = [&escreve](const QStringList &campos) {
        escreve(campos.join(QLatin1Char(';')).toUtf8() + "\r\n");
    };
    escreve("\xEF\xBB\xBF");
    QStringList titulos;
    for (const Planilha::Coluna &coluna : planilha.colunas)
        titulos << campoCsv(coluna.titulo, Planilha::Tipo::Texto);
    linhaCsv(titulos);
    qint64 escritas = 0;
    planilha.paraCadaLinha([&](const QVariantList &linha) {
        QStringList campos;
        for (int c = 0; c < planilha.colunas.size(); ++c)
            campos << campoCsv(linha.value(c), planilha.colunas.at(c).tipo);
        linhaCsv(campos);
        if (progresso)
            progresso(++escritas);
    });
}

} // namespace

QByteArray csv(const Planilha &planilha)
{
    QByteArray bytes;
    escreveCsv(planilha, [&bytes](const QByteArray &linha) { bytes += linha; }, {});
    return bytes;
}

void gravaCsv(const Planilha &planilha, const QString &path, const Progresso &progresso)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(cannotWrite(path, errortext::fileProblem(file)));
    escreveCsv(planilha, [&](const QByteArray &linha) {
        if (file.write(linha) != linha.size())
            throw ReportError(cannotWrite(path, errortext::fileProblem(file)));
    }, progresso);
    if (!file.commit())
        throw ReportError(cannotWrite(path, errortext::fileProblem(file)));
}

void gravaXlsx(const Planilha &planilha, const QString &path, const Progresso &progresso)
{
    // Written in full under a temporary name beside the target, then renamed.
    QTemporaryFile parcial(path + QStringLiteral(".XXXXXX"));
    if (!parcial.open())
        throw ReportError(cannotWrite(path, errortext::fileProblem(parcial)));
    parcial.close();

    // Each row is flushed to a temporary file when the next one starts, instead of kept.
    lxw_workbook_options opcoes{};
    opcoes.constant_memory = LXW_TRUE;
    lxw_workbook *livro = workbook_new_opt(QFile::encodeName(parcial.fileName()).constData(), &opcoes);
    if (!livro)
        throw ReportError(cannotWrite(path, QStringLiteral("falha ao iniciar a planilha")));
    Erros erros;
    lxw_worksheet *folha = workbook_add_worksheet(livro, planilha.nome.left(31).toUtf8().constData());
    try {
        if (folha)
            escreveCelulas(livro, folha, planilha, progresso, erros);
    } catch (...) {
        // Closing frees the workbook; the partial file goes with `parcial`.
        workbook_close(livro);
        throw;
    }
    const lxw_error fechamento = workbook_close(livro);
    if (!folha)
        throw ReportError(cannotWrite(path, QStringLiteral("nome de planilha inválido: %1").arg(planilha.nome)));
    erros(fechamento);
    if (erros.primeiro() != LXW_NO_ERROR)
        throw ReportError(cannotWrite(path, motivo(erros.primeiro())));
    if (QFile::exists(path) && !QFile::remove(path))
        throw ReportError(cannotWrite(path, QStringLiteral("o arquivo existente não pôde ser substituído")));
    // A temporary file is the owner's alone; the spreadsheet is a file like the CSV and the PDF.
    parcial.setPermissions(permissoesDeArquivoNovo());
    if (!parcial.rename(path))
        throw ReportError(cannotWrite(path, errortext::fileProblem(parcial)));
    parcial.setAutoRemove(false);
}

void grava(const Planilha &planilha, const QString &path, Formato formato, const Progresso &progresso)
{
    if (formato == Formato::Csv)
        gravaCsv(planilha, path, progresso);
    else
        gravaXlsx(planilha, path, progresso);
}

} // namespace planilha

void Planilha::paraCadaLinha(const Linha &linha) const
{
    if (leLinhas) {
        leLinhas(linha);
        return;
    }
    for (const QVariantList &valores : linhas)
        linha(valores);
}
