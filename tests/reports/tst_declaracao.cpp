#include "common/PdfText.h"
#include "common/Spreadsheet.h"
#include "common/TempDatabase.h"

#include "data/ValueText.h"
#include "data/Statement.h"
#include "receipts/Extens.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportFonts.h"
#include "reports/DeclaracaoAnual.h"
#include "reports/PlanilhaPeriodo.h"
#include "reports/RelatorioDeclaracao.h"
#include "reports/RelatorioPeriodo.h"
#include "reports/TotaisMensais.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kRec = QStringLiteral("RECEBIMENTO");
const QString kPag = QStringLiteral("PAGAMENTO");
const QString kMaria = QStringLiteral("MARIA SOUZA");
const QDate kHoje(2026, 2, 20);

struct Linha
{
    int id;
    QDate data;
    QString tipo;
    QString emitente;
    QVariant documento; // null: no document at all
    QString referente;
    qint64 centavos;
};

// The party's receipts across years and kinds, typed in every way a document
// and a name reach the database, among other parties' receipts.
const QVector<Linha> kRecibos{
    {1, {2025, 1, 10}, kRec, kMaria, "123.456.789-01", "CONSULTA", 25000},
    {2, {2025, 2, 10}, kRec, kMaria, "12345678901", "CONSULTA", 25000},
    {3, {2025, 3, 10}, kRec, "maria souza ", QVariant(), "CONSULTA; \"AVULSA\"", 18050},
    {4, {2025, 3, 10}, kRec, kMaria, "", "RETORNO", 9000},
    {5, {2025, 4, 1}, kPag, kMaria, "123.456.789-01", "REEMBOLSO", 4000},
    {6, {2024, 12, 31}, kRec, kMaria, "123.456.789-01", "ANO ANTERIOR", 30000},
    {7, {2026, 1, 1}, kRec, kMaria, "123.456.789-01", "ANO SEGUINTE", 30000},
    {8, {2025, 5, 5}, kRec, kMaria, "987.654.321-00", "HOMÔNIMA", 50000},
    {9, {2025, 6, 6}, kRec, QStringLiteral("JOÃO LIMA"), "123-456-789/01", "PELA FILHA", 7025},
    {10, {2025, 1, 5}, kRec, "PEDRO", "11.222.333/0001-44", "OUTRO", 100000},
    {11, {2025, 7, 7}, kPag, "OFICINA X LTDA", "11.222.333/0001-44", "PEÇAS", 123456},
    {12, {2025, 8, 8}, kPag, "oficina x ltda", QVariant(), "FRETE", 1000},
    {13, {2025, 12, 31}, kRec, kMaria, "123.456.789-01", "ÚLTIMO DIA", 100},
    {14, {2025, 1, 2}, kRec, kMaria, "123.456.789-01", "DIGITADO DEPOIS, DATADO ANTES", 12000},
};

void insere(DataModule &dm, const QVector<Linha> &linhas)
{
    dm.Base.open();
    PreparedStatement insert(dm.Base, QStringLiteral(
        "insert into RECIBOS (ID_RECIBO, DATA, TIPO, EMITENTE, CPFCNPJEMITENTE, REFERENTE, VALOR) "
        "values (:ID, :DATA, :TIPO, :EMITENTE, :DOC, :REFERENTE, :VALOR)"));
    for (const Linha &l : linhas) {
        insert.execute(dm.Tra, QVariantList{l.id, l.data, l.tipo, l.emitente, l.documento, l.referente,
                                            QVariant::fromValue(Numeric{l.centavos, -2})});
    }
    PreparedStatement cliente(dm.Base, QStringLiteral(
        "insert into CLIENTES (ID_CLIENTE, CLIENTE, CLASSIFICACAO, CPF, CNPJ) values (:ID, :NOME, :TIPO, :CPF, :CNPJ)"));
    cliente.execute(dm.Tra, QVariantList{1, kMaria, QStringLiteral("FÍSICA"), "123.456.789-01", QVariant()});
    cliente.execute(dm.Tra, QVariantList{2, "OFICINA X LTDA", QStringLiteral("JURÍDICA"), "111.111.111-11",
                                         "11.222.333/0001-44"});
    dm.Base.prepared(QStringLiteral("insert into EMITENTE (ID_EMITENTE, EMITENTE, CPFCNPJ, CIDADE) values "
                                    "(1, 'DRA. ANA LIMA', '222.333.444-55', 'Recife')"))
        .execute(dm.Tra);
    dm.Tra.commitRetaining();
}

QString money(const Numeric &value)
{
    return valuetext::formatNumber(value, QStringLiteral("#,##0.00"));
}

// The database's own sum for the party, written apart from the program's query.
Numeric somaNoBanco(DataModule &dm, const PedidoDeclaracao &p)
{
    const QString semSeparadores =
        QStringLiteral("replace(replace(replace(coalesce(CPFCNPJEMITENTE, ''), '.', ''), '-', ''), '/', '')");
    QString parte = QStringLiteral("upper(trim(EMITENTE)) = '%1'").arg(p.nome.trimmed().toUpper());
    if (!p.documento.isEmpty()) {
        const QString doc = QString(p.documento).remove(QRegularExpression(QStringLiteral("[./-]")));
        parte = QStringLiteral("%1 = '%2' or (coalesce(trim(CPFCNPJEMITENTE), '') = '' and %3)")
                    .arg(semSeparadores, doc, p.nome.isEmpty() ? QStringLiteral("1 = 0") : parte);
    }
    const Row row = dm.Base.prepared(QStringLiteral("select coalesce(sum(VALOR), 0) from RECIBOS where TIPO = '%1' "
                                                    "and extract(year from DATA) = %2 and (%3)")
                                         .arg(p.tipo).arg(p.ano).arg(parte))
                        .execute(dm.Tra);
    return row.value(0).value<Numeric>().rescaled(-2);
}

// The lines of all pages that contain the text, with their page numbers.
QStringList linhasCom(const QVector<PdfPage> &pages, const QString &text)
{
    QStringList found;
    for (int p = 0; p < pages.size(); ++p) {
        for (const QString &line : pages.at(p).lines()) {
            if (line.contains(text))
                found << QStringLiteral("%1: %2").arg(p + 1).arg(line);
        }
    }
    return found;
}

QString todoTexto(const QVector<PdfPage> &pages)
{
    QStringList texts;
    for (const PdfPage &page : pages)
        texts << page.text();
    return texts.join(QLatin1Char(' '));
}

} // namespace

class TstDeclaracao : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_rangeMessages.clear(); }

    void partyMatching_data();
    void partyMatching();
    void statementListsAndTotals_data();
    void statementListsAndTotals();
    void commandLineCompletesTheParty_data();
    void commandLineCompletesTheParty();
    void multiPageStatement();
    void noReceiptSaysSo();
    void totalInWords_data();
    void totalInWords();
    void badRequestsAreRefused_data();
    void badRequestsAreRefused();
    void monthlyTotalsEqualTheGroupBy();
    void csvFields_data();
    void csvFields();
    void periodCsvFile();
    void periodXlsxReadBack();
    void unwritableSpreadsheetLeavesNothing_data();
    void unwritableSpreadsheetLeavesNothing();
    void cancelledSpreadsheetKeepsTheFileThere_data();
    void cancelledSpreadsheetKeepsTheFileThere();
    void rowsPastTheXlsxLimitSaySo();

private:
    QVector<PdfPage> statementPdf(DataModule &dm, const Declaracao &declaracao, const QString &name);

    QTemporaryDir m_out;
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<Module> m_module;
    QStringList m_rangeMessages;
};

void TstDeclaracao::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    registerReportFonts();
    setRangeMessageSink([this](const QString &text) { m_rangeMessages << text; });
    m_db = std::make_unique<TempDatabase>();
    m_module = std::make_unique<Module>(m_db->path());
    insere(m_module->dm, kRecibos);
}

QVector<PdfPage> TstDeclaracao::statementPdf(DataModule &dm, const Declaracao &declaracao, const QString &name)
{
    RelatorioDeclaracao relatorio;
    relatorio.preenche(declaracao, ConsultaDeclaracao(dm).emissor(), kHoje);
    return pdfOf(relatorio.frxDeclaracao(), m_out.filePath(name));
}

void TstDeclaracao::partyMatching_data()
{
    QTest::addColumn<QString>("emitente");
    QTest::addColumn<QString>("documento");
    QTest::addColumn<QString>("pedidoDocumento");
    QTest::addColumn<QString>("pedidoNome");
    QTest::addColumn<bool>("listed");

    QTest::newRow("same document, other punctuation") << "X" << "12345678901" << "123.456.789-01" << "" << true;
    QTest::newRow("other document, same name") << kMaria << "98765432100" << "12345678901" << kMaria << false;
    QTest::newRow("no document, name in other case") << "Maria Souza  " << "" << "12345678901" << kMaria << true;
    QTest::newRow("blank document counts as none") << kMaria << "   " << "12345678901" << kMaria << true;
    QTest::newRow("no document, no name asked") << kMaria << "" << "12345678901" << "" << false;
    QTest::newRow("no document, other name") << "MARIA SOUSA" << "" << "12345678901" << kMaria << false;
    QTest::newRow("accented name in other case") << "JOÃO" << "" << "" << "joão" << true;
    QTest::newRow("by name, document ignored") << kMaria << "98765432100" << "" << kMaria << true;
    QTest::newRow("empty name never matches") << "" << "" << "" << "" << false;
}

void TstDeclaracao::partyMatching()
{
    QFETCH(QString, emitente);
    QFETCH(QString, documento);
    QFETCH(QString, pedidoDocumento);
    QFETCH(QString, pedidoNome);
    ReciboDeclarado recibo;
    recibo.emitente = emitente;
    recibo.documento = documento;
    PedidoDeclaracao pedido;
    pedido.documento = pedidoDocumento;
    pedido.nome = pedidoNome;
    QTEST(pertenceAParte(recibo, pedido), "listed");
}

void TstDeclaracao::statementListsAndTotals_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("documento");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<int>("semDocumento");
    QTest::addColumn<QString>("texto");

    QTest::newRow("by document, with the name's undocumented receipts")
        << kRec << "123.456.789-01" << kMaria << QStringList{"14", "1", "2", "3", "4", "9", "13"} << 2
        << "que recebemos de MARIA SOUZA, CPF/CNPJ 123.456.789-01, no ano-calendário de 2025, os valores abaixo";
    QTest::newRow("by unpunctuated document, no name")
        << kRec << "12345678901" << "" << QStringList{"14", "1", "2", "9", "13"} << 0
        << "que recebemos de , CPF/CNPJ 12345678901, no ano-calendário de 2025";
    QTest::newRow("by name typed in mixed case")
        << kRec << "" << "Maria Souza" << QStringList{"14", "1", "2", "3", "4", "8", "13"} << 2
        << "que recebemos de Maria Souza, CPF/CNPJ , no ano-calendário de 2025";
    QTest::newRow("payments to a company")
        << kPag << "11222333000144" << "OFICINA X LTDA" << QStringList{"11", "12"} << 1
        << "que pagamos a OFICINA X LTDA, CPF/CNPJ 11222333000144, no ano-calendário de 2025";
}

void TstDeclaracao::statementListsAndTotals()
{
    QFETCH(QString, tipo);
    QFETCH(QString, documento);
    QFETCH(QString, nome);
    QFETCH(QStringList, ids);
    QFETCH(int, semDocumento);
    QFETCH(QString, texto);

    DataModule &dm = m_module->dm;
    const PedidoDeclaracao pedido{2025, tipo, documento, nome};
    const QVector<PdfPage> pages = statementPdf(dm, ConsultaDeclaracao(dm).declaracao(pedido), "lista.pdf");

    QCOMPARE(pages.size(), 1);
    QCOMPARE(listedReceiptNumbers(pages), ids);
    QCOMPARE(linhasCom(pages, QStringLiteral("(recibo sem CPF/CNPJ)")).size(), semDocumento);
    QCOMPARE(linhasCom(pages, QStringLiteral("Total: R$")),
             QStringList{QStringLiteral("1: Total: R$ ") + money(somaNoBanco(dm, pedido))});
    const QString text = pages.first().text();
    QVERIFY2(text.contains(texto), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("DECLARAÇÃO ANUAL DE PAGAMENTOS")));
    QVERIFY(text.contains(QStringLiteral("Recife, 20 de fevereiro de 2026")));
    QCOMPARE(pages.first().count(QStringLiteral("222.333.444-55")), 2);
}

void TstDeclaracao::commandLineCompletesTheParty_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("documento");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("nomeImpresso");
    QTest::addColumn<QString>("documentoImpresso");
    QTest::addColumn<QList<int>>("ids");

    QTest::newRow("document of a client: the client's name")
        << kRec << "12345678901" << "" << kMaria << "123.456.789-01" << QList<int>{14, 1, 2, 3, 4, 9, 13};
    QTest::newRow("document of no client: the newest receipt's name")
        << kRec << "987.654.321-00" << "" << kMaria << "987.654.321-00" << QList<int>{3, 4, 8};
    QTest::newRow("name of a company: its CNPJ")
        << kPag << "" << "oficina x ltda" << "OFICINA X LTDA" << "11.222.333/0001-44" << QList<int>{11, 12};
    QTest::newRow("name of no client: the newest receipt's document")
        << kRec << "" << "joão lima" << "JOÃO LIMA" << "123-456-789/01" << QList<int>{9};
    QTest::newRow("wrong length, nothing found")
        << kRec << "12.3" << "" << "" << "123" << QList<int>{};
}

void TstDeclaracao::commandLineCompletesTheParty()
{
    QFETCH(QString, tipo);
    QFETCH(QString, documento);
    QFETCH(QString, nome);
    QFETCH(QList<int>, ids);
    const Declaracao declaracao =
        ConsultaDeclaracao(m_module->dm).declaracaoCompletandoParte({2025, tipo, documento, nome});
    QTEST(declaracao.parte.nome, "nomeImpresso");
    QTEST(declaracao.parte.documento, "documentoImpresso");
    QList<int> listed;
    for (const ReciboDeclarado &recibo : declaracao.recibos)
        listed << recibo.numero;
    QCOMPARE(listed, ids);
}

void TstDeclaracao::multiPageStatement()
{
    TempDatabase db;
    Module m(db.path());
    QVector<Linha> linhas;
    QStringList ids;
    for (int i = 1; i <= 130; ++i) {
        linhas.append({i, QDate(2025, 1, 1).addDays(i * 2), kRec, kMaria, "123.456.789-01",
                       QStringLiteral("SESSÃO %1").arg(i), 15000 + i});
        ids << QString::number(i);
    }
    insere(m.dm, linhas);
    const PedidoDeclaracao pedido{2025, kRec, "123.456.789-01", kMaria};
    const QVector<PdfPage> pages = statementPdf(m.dm, ConsultaDeclaracao(m.dm).declaracao(pedido), "longa.pdf");

    QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
    QCOMPARE(listedReceiptNumbers(pages), ids);
    QCOMPARE(linhasCom(pages, QStringLiteral("Declaramos")).size(), 1);
    QVERIFY(linhasCom(pages, QStringLiteral("Declaramos")).first().startsWith(QLatin1String("1: ")));
    QCOMPARE(linhasCom(pages, QStringLiteral("Total: R$")),
             QStringList{QStringLiteral("%1: Total: R$ %2").arg(pages.size()).arg(money(somaNoBanco(m.dm, pedido)))});
    QCOMPARE(linhasCom(pages, QStringLiteral("Nº Recibo Data Referente Valor R$")).size(), pages.size());
    QCOMPARE(linhasCom(pages, QStringLiteral("DRA. ANA LIMA")).size(), 2);
}

void TstDeclaracao::noReceiptSaysSo()
{
    DataModule &dm = m_module->dm;
    const QVector<PdfPage> pages =
        statementPdf(dm, ConsultaDeclaracao(dm).declaracao({2030, kRec, "123.456.789-01", kMaria}), "vazia.pdf");
    QCOMPARE(pages.size(), 1);
    QCOMPARE(listedReceiptNumbers(pages), QStringList());
    QCOMPARE(linhasCom(pages, QStringLiteral("Nenhum recibo encontrado para este ano.")).size(), 1);
    QCOMPARE(linhasCom(pages, QStringLiteral("Total:")), QStringList{QStringLiteral("1: Total: R$ 0,00")});
}

void TstDeclaracao::totalInWords_data()
{
    QTest::addColumn<qint64>("centavos");
    QTest::addColumn<QString>("words");
    QTest::newRow("zero") << qint64(0) << "";
    QTest::newRow("ordinary") << qint64(123456) << NumeroPorExtenso(1234.56);
    QTest::newRow("largest spelled") << qint64(99999999) << NumeroPorExtenso(999999.99);
    QTest::newRow("one cent more: left out") << qint64(100000000) << "";
    QTest::newRow("negative: left out") << qint64(-500) << "";
}

void TstDeclaracao::totalInWords()
{
    QFETCH(qint64, centavos);
    QTEST(totalPorExtenso(Numeric{centavos, -2}), "words");
    QCOMPARE(m_rangeMessages, QStringList());
}

void TstDeclaracao::badRequestsAreRefused_data()
{
    QTest::addColumn<int>("ano");
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("documento");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("message");
    QTest::newRow("year before 1900") << 1899 << kRec << "1" << "" << "Ano inválido: 1899";
    QTest::newRow("year after 9999") << 10000 << kRec << "1" << "" << "Ano inválido: 10000";
    QTest::newRow("unknown kind") << 2025 << "DOAÇÃO" << "1" << "" << "Tipo inválido: DOAÇÃO";
    QTest::newRow("nobody") << 2025 << kRec << " ./- " << "  " << "Informe o CPF/CNPJ ou o nome";
}

void TstDeclaracao::badRequestsAreRefused()
{
    QFETCH(int, ano);
    QFETCH(QString, tipo);
    QFETCH(QString, documento);
    QFETCH(QString, nome);
    QFETCH(QString, message);
    try {
        ConsultaDeclaracao(m_module->dm).declaracao({ano, tipo, documento, nome});
        QFAIL("refused nothing");
    } catch (const ReportError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
}

void TstDeclaracao::monthlyTotalsEqualTheGroupBy()
{
    DataModule &dm = m_module->dm;
    std::unique_ptr<Cursor> cursor =
        dm.Base.prepared(QStringLiteral("select extract(month from DATA), count(*), sum(VALOR) from RECIBOS "
                                        "where TIPO = 'RECEBIMENTO' and DATA between '2025-01-01' and '2025-12-31' "
                                        "group by 1"))
            .openCursor(dm.Tra);
    QStringList expected(12);
    for (int m = 1; m <= 12; ++m)
        expected[m - 1] = QStringLiteral("%1/2025;0;0,00").arg(m, 2, 10, QLatin1Char('0'));
    Row row;
    while (cursor->fetch(row)) {
        const QString sum = valuetext::formatNumber(row.at(2).value<Numeric>(), QStringLiteral("0.00"));
        expected[row.at(0).toInt() - 1] = QStringLiteral("%1/2025;%2;%3")
                                              .arg(row.at(0).toInt(), 2, 10, QLatin1Char('0'))
                                              .arg(row.at(1).toInt())
                                              .arg(sum);
    }
    const QByteArray bytes = planilha::csv(planilhaMensal(2025, totaisMensais(dm, 2025, kRec)));
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.takeFirst(), QStringLiteral("Mês;Recibos;Total"));
    QCOMPARE(lines, expected);
    QVERIFY(lines.contains(QStringLiteral("03/2025;2;270,50")));
}

void TstDeclaracao::csvFields_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("field");
    using T = Planilha::Tipo;
    QTest::newRow("decimal comma, no grouping") << int(T::Dinheiro) << QVariant::fromValue(Numeric{123456789, -2})
                                                << "1234567,89";
    QTest::newRow("negative amount") << int(T::Dinheiro) << QVariant::fromValue(Numeric{-5, -2}) << "-0,05";
    QTest::newRow("date") << int(T::Data) << QVariant(QDate(2026, 3, 5)) << "05/03/2026";
    QTest::newRow("empty cell") << int(T::Data) << QVariant() << "";
    QTest::newRow("plain text") << int(T::Texto) << QVariant("JOSÉ D'ÁVILA") << "JOSÉ D'ÁVILA";
    QTest::newRow("separator quoted") << int(T::Texto) << QVariant("A; B") << "\"A; B\"";
    QTest::newRow("quote doubled") << int(T::Texto) << QVariant("O \"BOM\"") << "\"O \"\"BOM\"\"\"";
    QTest::newRow("line break quoted") << int(T::Texto) << QVariant("A\nB") << "\"A\nB\"";
    QTest::newRow("comma is no separator") << int(T::Texto) << QVariant("A, B") << "A, B";
}

void TstDeclaracao::csvFields()
{
    QFETCH(int, type);
    QFETCH(QVariant, value);
    QFETCH(QString, field);
    // Whatever the default: the file is for a Brazilian spreadsheet.
    QLocale::setDefault(QLocale::c());
    Planilha planilha;
    planilha.colunas = {{QStringLiteral("Nº"), Planilha::Tipo::Inteiro}, {QStringLiteral("X"), Planilha::Tipo(type)}};
    planilha.linhas = {{7, value}};
    const QByteArray bytes = planilha::csv(planilha);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(bytes.mid(3)), QStringLiteral("Nº;X\r\n7;%1\r\n").arg(field));
}

void TstDeclaracao::periodCsvFile()
{
    RelatorioPeriodo relatorio(kRecibosRecebimento, m_module->dm);
    relatorio.abreConsulta(QDate(2025, 3, 10), QDate(2025, 3, 10));
    const QString path = m_out.filePath(QStringLiteral("marco.csv"));
    planilha::gravaCsv(planilhaDoPeriodo(relatorio), path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.takeFirst(), QStringLiteral("Nº Recibo;Data;Tipo;Nome ou Razão Social;CPF/CNPJ;Referente;Valor"));
    lines.sort();
    QCOMPARE(lines, (QStringList{"3;10/03/2025;RECEBIMENTO;maria souza ;;\"CONSULTA; \"\"AVULSA\"\"\";180,50",
                                 "4;10/03/2025;RECEBIMENTO;MARIA SOUZA;;RETORNO;90,00"}));
}

void TstDeclaracao::periodXlsxReadBack()
{
    DataModule &dm = m_module->dm;
    RelatorioPeriodo relatorio(kTodosRecibos, dm);
    relatorio.abreConsulta(QDate(2025, 1, 1), QDate(2025, 12, 31));
    const QString path = m_out.filePath(QStringLiteral("ano.xlsx"));
    planilha::gravaXlsx(planilhaDoPeriodo(relatorio), path);

    const XlsxSheet sheet = readXlsx(path);
    QCOMPARE(sheet.title, QStringLiteral("Todos os Recibos"));
    QCOMPARE(sheet.frozen, QStringLiteral("A2"));
    QStringList headings;
    for (const XlsxCell &cell : sheet.rows.first())
        headings << cell.value;
    QCOMPARE(headings, (QStringList{"Nº Recibo", "Data", "Tipo", "Nome ou Razão Social", "CPF/CNPJ", "Referente", "Valor"}));

    const int count = dm.Base.prepared(QStringLiteral("select count(*) from RECIBOS where extract(year from DATA) = 2025"))
                          .execute(dm.Tra).value(0).toInt();
    QCOMPARE(sheet.rows.size(), count + 2);
    double sum = 0;
    for (int r = 1; r <= count; ++r) {
        const QVector<XlsxCell> &row = sheet.rows.at(r);
        QCOMPARE(row.at(0).type, QStringLiteral("int"));
        const Row stored = dm.Base.prepared(QStringLiteral("select DATA, VALOR, EMITENTE from RECIBOS where ID_RECIBO = ?"))
                               .execute(dm.Tra, {row.at(0).value.toInt()});
        QCOMPARE(row.at(1).type, QStringLiteral("date"));
        QCOMPARE(row.at(1).value, stored.at(0).toDate().toString(Qt::ISODate));
        QCOMPARE(row.at(1).format, QStringLiteral("dd/mm/yyyy"));
        QCOMPARE(row.at(3).value, stored.at(2).toString());
        QVERIFY(row.at(6).type == QLatin1String("float") || row.at(6).type == QLatin1String("int"));
        QCOMPARE(row.at(6).format, QStringLiteral("#,##0.00"));
        QCOMPARE(row.at(6).value.toDouble(), stored.at(1).value<Numeric>().toDouble());
        sum += row.at(6).value.toDouble();
    }
    const QVector<XlsxCell> &total = sheet.rows.last();
    QCOMPARE(total.at(0).value, QStringLiteral("Total"));
    QCOMPARE(total.at(6).type, QStringLiteral("formula"));
    QCOMPARE(total.at(6).value, QStringLiteral("=SUM(G2:G%1)").arg(count + 1));
    const Numeric banco = dm.Base.prepared(QStringLiteral("select sum(VALOR) from RECIBOS where extract(year from DATA) = 2025"))
                              .execute(dm.Tra).value(0).value<Numeric>();
    QCOMPARE(total.at(6).cached.toDouble(), banco.toDouble());
    QCOMPARE(sum, banco.toDouble());
}

void TstDeclaracao::unwritableSpreadsheetLeavesNothing_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("csv") << int(planilha::Formato::Csv);
    QTest::newRow("xlsx") << int(planilha::Formato::Xlsx);
}

void TstDeclaracao::unwritableSpreadsheetLeavesNothing()
{
    QFETCH(int, format);
    // A folder where the file should go: nothing can be written under its name.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("planilha.out"));
    QVERIFY(QDir().mkdir(path));
    Planilha planilha;
    planilha.nome = QStringLiteral("X");
    planilha.colunas = {{QStringLiteral("Valor"), Planilha::Tipo::Dinheiro}};
    planilha.linhas = {{QVariant::fromValue(Numeric{100, -2})}};
    QVERIFY_THROWS_EXCEPTION(ReportError, planilha::grava(planilha, path, planilha::Formato(format)));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("planilha.out")});
}

void TstDeclaracao::cancelledSpreadsheetKeepsTheFileThere_data()
{
    unwritableSpreadsheetLeavesNothing_data();
}

void TstDeclaracao::cancelledSpreadsheetKeepsTheFileThere()
{
    QFETCH(int, format);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ano.planilha"));
    QFile earlier(path);
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("a planilha de ontem") > 0);
    earlier.close();
    RelatorioPeriodo relatorio(kTodosRecibos, m_module->dm);
    relatorio.abreConsulta(QDate(2025, 1, 1), QDate(2025, 12, 31));
    qint64 written = 0;
    const auto cancelAtTheSecondRow = [&written](qint64 rows) {
        written = rows;
        if (rows == 2)
            throw ReportCancelled();
    };
    QVERIFY_THROWS_EXCEPTION(ReportCancelled, planilha::grava(planilhaDoPeriodo(relatorio), path,
                                                              planilha::Formato(format), cancelAtTheSecondRow));
    QCOMPARE(written, 2);
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("a planilha de ontem"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("ano.planilha")});

    // The same walk again, to the end: the rows are read afresh, as many as the year has.
    planilha::grava(planilhaDoPeriodo(relatorio), path, planilha::Formato(format), [&written](qint64 rows) { written = rows; });
    const int count = m_module->dm.Base.prepared(QStringLiteral("select count(*) from RECIBOS where extract(year from DATA) = 2025"))
                          .execute(m_module->dm.Tra).value(0).toInt();
    QVERIFY(count > 2);
    QCOMPARE(written, qint64(count));
    // Whatever the format, the spreadsheet gets what any new file here gets.
    QFile fresh(folder.filePath(QStringLiteral("novo")));
    QVERIFY(fresh.open(QIODevice::WriteOnly));
    QCOMPARE(QFileInfo(path).permissions(), fresh.permissions());
}

void TstDeclaracao::rowsPastTheXlsxLimitSaySo()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("grande.xlsx"));
    Planilha planilha;
    planilha.nome = QStringLiteral("X");
    planilha.colunas = {{QStringLiteral("Nº"), Planilha::Tipo::Inteiro}};
    // One row more than fits under the heading and over the total row.
    constexpr qint64 kRows = 1048576 - 1;
    planilha.leLinhas = [](const Planilha::Linha &linha) {
        for (qint64 r = 1; r <= kRows; ++r)
            linha({r});
    };
    qint64 written = 0;
    try {
        planilha::gravaXlsx(planilha, path, [&written](qint64 rows) { written = rows; });
        QFAIL("a sheet past the format's last row was written");
    } catch (const ReportError &error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("CSV")), error.what());
    }
    QCOMPARE(written, kRows - 1);
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

QTEST_MAIN(TstDeclaracao)
#include "tst_declaracao.moc"
