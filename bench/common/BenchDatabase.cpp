#include "BenchDatabase.h"

#include "data/DatabaseCreator.h"
#include "data/FbApi.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdio>

using namespace Firebird;

namespace benchdb {

namespace {

const char *const kFirstNames[] = {"ANA", "ANTONIO", "BEATRIZ", "BRUNO", "CARLOS", "CLARA", "DANIEL", "EDUARDO",
                                   "FERNANDA", "GABRIEL", "HELENA", "JOAO", "JOSE", "JULIA", "LUCAS", "MARIA",
                                   "MARCOS", "PAULO", "PEDRO", "RAFAEL", "SILVIA", "TIAGO", "VITORIA", "ZILDA"};
const char *const kSurnames[] = {"ALMEIDA", "ALVES", "BARBOSA", "CARDOSO", "COSTA", "FERREIRA", "GOMES", "LIMA",
                                 "MARTINS", "OLIVEIRA", "PEREIRA", "RIBEIRO", "RODRIGUES", "SANTOS", "SILVA", "SOUZA"};
constexpr int kFirstNameCount = int(std::size(kFirstNames));
constexpr int kSurnameCount = int(std::size(kSurnames));

// Rows per statement: the engine keeps every row of a statement in its undo log.
constexpr int kClientsPerBlock = 10000;
constexpr int kReceiptsPerBlock = 100000;

// clientName() as an SQL expression over the integer `number`.
QString nameExpression(const QString &number)
{
    const auto choose = [](const QString &index, const char *const *names, int count) {
        QStringList parts{QStringLiteral("decode(%1").arg(index)};
        for (int n = 0; n < count; ++n)
            parts << QStringLiteral("%1, '%2'").arg(n).arg(QLatin1String(names[n]));
        return parts.join(QStringLiteral(", ")) + QLatin1Char(')');
    };
    return QStringLiteral("%1 || ' ' || %2 || ' ' || lpad(%3, 6, '0')")
        .arg(choose(QStringLiteral("mod(%1, %2)").arg(number).arg(kFirstNameCount), kFirstNames, kFirstNameCount),
             choose(QStringLiteral("mod(%1 / %2, %3)").arg(number).arg(kFirstNameCount).arg(kSurnameCount), kSurnames,
                    kSurnameCount),
             number);
}

QString clientsBlock(int from, int to, int logoBytes)
{
    return QStringLiteral(R"(
execute block as
  declare i int = %1;
  declare logo blob sub_type 0 = null;
begin
  if (%3 > 0) then begin
    logo = '';
    while (octet_length(logo) < %3) do
      logo = logo || lpad('', 8000, 'logo');
    logo = substring(logo from 1 for %3);
  end
  while (i <= %2) do begin
    insert into CLIENTES (ID_CLIENTE, CLIENTE, CIDADE, UF, CPF, CLASSIFICACAO, ENDERECO, TELEFONE, EMAIL, FOTO_MARC)
    values (gen_id(GEN_CLIENTES_ID, 1), %4, 'RECIFE', 'PE', lpad(mod(:i, 1000), 3, '0') || '.456.789-01',
            iif(mod(:i, 3) = 0, 'JURIDICA', 'FISICA'), 'RUA DAS FLORES, ' || :i, '(81) 5555-0000',
            'cliente' || :i || '@exemplo.com.br', :logo);
    i = i + 1;
  end
end)")
        .arg(from)
        .arg(to)
        .arg(logoBytes)
        .arg(nameExpression(QStringLiteral(":i")));
}

QString receiptsBlock(int from, int to, const Contents &contents)
{
    return QStringLiteral(R"(
execute block as
  declare i bigint = %1;
begin
  while (i <= %2) do begin
    insert into RECIBOS (ID_RECIBO, EMITENTE, CLIENTE, VALOR, VALOREXTENSO, DATA, DATARECIBO, LOCAL, TIPO, REFERENTE)
    values (gen_id(GEN_RECIBOS_ID, 1), %3, 'EMPRESA EMITENTE LTDA', (1000 + mod(:i * 7919, 9000000)) / 100.00,
            'Cem Reais.', dateadd(mod(:i, %4) day to date '%5'), '01 de janeiro de 2024', 'Recife',
            iif(mod(:i, 2) = 0, 'PAGAMENTO', 'RECEBIMENTO'), 'servicos prestados');
    i = i + 1;
  end
end)")
        .arg(from)
        .arg(to)
        .arg(nameExpression(QStringLiteral("(mod(:i, %1) + 1)").arg(kClients)))
        .arg(contents.days)
        .arg(contents.firstDay.toString(Qt::ISODate));
}

void fill(const QString &path, const Contents &contents)
{
    const QByteArray name = path.toLocal8Bit();
    IAttachment *attachment = fb::call([&](fb::Status *st) {
        return fb::provider()->attachDatabase(st, name.constData(), 0, nullptr);
    });
    ITransaction *transaction = fb::call([&](fb::Status *st) { return attachment->startTransaction(st, 0, nullptr); });
    const auto run = [&](const QString &sql) {
        const QByteArray text = sql.toLatin1();
        fb::call([&](fb::Status *st) {
            attachment->execute(st, transaction, 0, text.constData(), 3, nullptr, nullptr, nullptr, nullptr);
        });
        fb::call([&](fb::Status *st) { transaction->commitRetaining(st); });
    };
    for (int from = 1; from <= contents.clients; from += kClientsPerBlock)
        run(clientsBlock(from, std::min(from + kClientsPerBlock - 1, contents.clients), contents.logoBytes));
    for (int from = 1; from <= contents.receipts; from += kReceiptsPerBlock)
        run(receiptsBlock(from, std::min(from + kReceiptsPerBlock - 1, contents.receipts), contents));
    fb::call([&](fb::Status *st) { transaction->commit(st); });
    fb::call([&](fb::Status *st) { attachment->detach(st); });
}

} // namespace

QString clientName(int i)
{
    return QStringLiteral("%1 %2 %3")
        .arg(QLatin1String(kFirstNames[i % kFirstNameCount]), QLatin1String(kSurnames[(i / kFirstNameCount) % kSurnameCount]))
        .arg(i, 6, 10, QLatin1Char('0'));
}

QString prepare(const QString &folder, const QString &file, const Contents &contents)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).absoluteFilePath(file);
    if (QFile::exists(path)) {
        std::printf("fill: reusing %s\n", qPrintable(path));
        return path;
    }
    databasecreator::create(path);
    // With every page forced to disk, filling gigabytes would take hours.
    QProcess::execute(QStringLiteral("gfix"), {QStringLiteral("-write"), QStringLiteral("async"), QStringLiteral("-user"),
                                               QStringLiteral("SYSDBA"), path});
    QElapsedTimer timer;
    timer.start();
    fill(path, contents);
    std::printf("fill: %d clients (%d bytes of logo each) + %d receipts in %.1f s\n", contents.clients,
                contents.logoBytes, contents.receipts, double(timer.elapsed()) / 1000);
    return path;
}

} // namespace benchdb
