#include "BackupCheck.h"

#include "common/FirebirdTools.h"

#include "data/DatabaseError.h"
#include "maintenance/DatabaseBackup.h"

#include <QFile>

namespace backupcheck {

const char kFill[] = R"(
set term ^;
execute block as
  declare i int = 0;
  declare logo blob sub_type 0;
begin
  while (i < 400) do begin
    insert into CLIENTES (ID_CLIENTE, CLIENTE, CIDADE, UF, CPF, CLASSIFICACAO, DATANASCIMENTO, FOTO_MARC)
    values (gen_id(GEN_CLIENTES_ID, 1), 'JOSÉ DA CONCEIÇÃO ' || :i, 'São Paulo', 'SP', '123.456.789-01', 'FÍSICA',
            dateadd(:i day to date '1970-01-01'), iif(mod(:i, 3) = 0, null, lpad('', :i * 20, 'ab' || :i)));
    insert into RECIBOS (ID_RECIBO, EMITENTE, CLIENTE, VALOR, VALOREXTENSO, DATA, HORA, TIPO, REFERENTE)
    values (gen_id(GEN_RECIBOS_ID, 1), 'CLIENTE ' || :i, 'EMPRESA LTDA', :i * 100.25 + 0.01, 'Cem Reais.',
            dateadd(:i day to date '2024-01-01'), time '13:45:10', iif(mod(:i, 2) = 0, 'PAGAMENTO', 'RECEBIMENTO'),
            'serviços nº ' || :i);
    i = i + 1;
  end
  logo = '';
  i = 0;
  while (i < 50) do begin
    logo = logo || lpad('', 8000, 'logo' || :i);
    i = i + 1;
  end
  insert into EMITENTE (ID_EMITENTE, EMITENTE, CPFCNPJ, CIDADE, FOTO_MARC)
  values (gen_id(GEN_EMITENTES_ID, 7), 'EMPRESA LTDA', '12.345.678/0001-90', 'Recife', :logo);
end^
set term ;^
set generator GEN_AGENDAMENTOS_ID to 987654321;
commit;
)";

const char kDump[] = R"(
set list on;
select count(*) as CLIENTES, sum(octet_length(FOTO_MARC)) as BYTES from CLIENTES;
select ID_CLIENTE, CLIENTE, EMAIL, EMAIL2, TELEFONE, TELEFONE2, OBS, ENDERECO, BAIRRO, CEP, CIDADE, UF, DATANASCIMENTO, CPF,
       PADRAO, CNPJ, CLASSIFICACAO, octet_length(FOTO_MARC) TAMANHO, hash(FOTO_MARC) HASH from CLIENTES order by 1;
select * from RECIBOS order by 1;
select ID_EMITENTE, EMITENTE, CPFCNPJ, CIDADE, OBS, octet_length(FOTO_MARC) TAMANHO, hash(FOTO_MARC) HASH from EMITENTE;
select * from TIPO order by 1;
select * from TIPO2 order by 1;
select gen_id(GEN_CLIENTES_ID, 0) C, gen_id(GEN_EMITENTES_ID, 0) E, gen_id(GEN_RECIBOS_ID, 0) R,
       gen_id(GEN_AGENDAMENTOS_ID, 0) A from rdb$database;
)";

const char kChange[] = R"(
delete from RECIBOS where ID_RECIBO > 150;
update RECIBOS set VALOR = 1 where ID_RECIBO < 20;
delete from CLIENTES where mod(ID_CLIENTE, 7) = 0;
update CLIENTES set CLIENTE = 'MUDADO', FOTO_MARC = null where ID_CLIENTE < 30;
update EMITENTE set FOTO_MARC = 'logo novo', EMITENTE = 'OUTRA EMPRESA';
delete from TIPO2 where ID_TIPO2 = 2;
set generator GEN_RECIBOS_ID to 5;
set generator GEN_AGENDAMENTOS_ID to 1;
commit;
)";

QString backUp(const QString &database, const QString &file)
{
    try {
        DatabaseBackup(DatabaseBackup::kServiceUser, DatabaseBackup::kServicePassword).run(database, file);
    } catch (const DatabaseError &error) {
        return error.message();
    }
    return QString();
}

bool cut(const QString &path, double keptFraction)
{
    QFile file(path);
    return file.resize(qint64(file.size() * keptFraction));
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QString fill(const QString &database)
{
    const QString output = isql(database, kFill);
    return output.trimmed().isEmpty() ? QString() : output;
}

} // namespace backupcheck
