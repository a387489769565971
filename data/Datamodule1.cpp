#include "Datamodule1.h"

#include "DatabaseError.h"
#include "IniFile.h"

#include <QDir>

namespace {

QStringList names(std::initializer_list<const char *> columns)
{
    QStringList list;
    for (const char *column : columns)
        list << QLatin1String(column);
    return list;
}

} // namespace

DataModule::DataModule(const QString &configFolder, QObject *parent)
    : QObject(parent),
      Upclientes(UpdateSql::forTable(
          QStringLiteral("CLIENTES"),
          names({"ID_CLIENTE", "CLIENTE", "EMAIL", "EMAIL2", "TELEFONE", "TELEFONE2", "OBS", "ENDERECO", "BAIRRO", "CEP",
                 "CIDADE", "UF", "DATANASCIMENTO", "CPF", "PADRAO", "FOTO_MARC", "CNPJ", "CLASSIFICACAO"}),
          QStringLiteral("ID_CLIENTE"))),
      Upemitente(UpdateSql::forTable(QStringLiteral("EMITENTE"),
                                     names({"ID_EMITENTE", "EMITENTE", "CPFCNPJ", "CIDADE", "FOTO_MARC", "OBS"}),
                                     QStringLiteral("ID_EMITENTE"))),
      Uprecibos(UpdateSql::forTable(
          QStringLiteral("RECIBOS"),
          names({"ID_RECIBO", "EMITENTE", "CLIENTE", "VALOR", "VALOREXTENSO", "DATA", "DATARECIBO", "LOCAL",
                 "CPFCNPJCLIENTE", "CPFCNPJEMITENTE", "REFERENTE", "REFERENTE2", "OBS", "HORA", "TIPO"}),
          QStringLiteral("ID_RECIBO"))),
      Clientes(Base, Tra, QStringLiteral("Clientes")),
      Emitente(Base, Tra, QStringLiteral("Emitente")),
      Recibos(Base, Tra, QStringLiteral("Recibos")),
      Tipo(Base, Tra, QStringLiteral("Tipo")),
      Tipo2(Base, Tra, QStringLiteral("Tipo2"))
{
    setObjectName(QStringLiteral("Datamodule1"));
    Base.setObjectName(QStringLiteral("Base"));
    Base.setDatabaseName(kDefaultDatabase);
    Base.setParams({QStringLiteral("user_name=sysdba"), QStringLiteral("password=tarvolimb"),
                    QStringLiteral("lc_ctype=WIN1252")});
    Base.setSqlDialect(3);
    Base.setDefaultTransaction(&Tra);
    Tra.setObjectName(QStringLiteral("Tra"));
    Tra.setDefaultDatabase(&Base);
    Tra.setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});

    defineClientes();
    defineEmitente();
    defineRecibos();

    Tipo.setSql({QStringLiteral("select *  from TIPO")});
    Tipo.addField(QStringLiteral("ID_TIPO"), ColumnType::Integer, 4);
    Tipo.addField(QStringLiteral("TIPO"), ColumnType::Text, 20);

    Tipo2.setSql({QStringLiteral("select *  from TIPO2")});
    Tipo2.addField(QStringLiteral("ID_TIPO2"), ColumnType::Integer, 4);
    Tipo2.addField(QStringLiteral("TIPO2"), ColumnType::Text, 20);

    DataModuleCreate(configFolder);
}

DataModule::~DataModule()
{
    // Closing commits Tra, so deletions no save has committed yet become durable.
    if (Base.connected()) {
        try {
            Base.close();
        } catch (const DatabaseError &error) {
            qWarning("Closing the database at exit failed: %s", qPrintable(error.message()));
        }
    }
}

void DataModule::DataModuleCreate(const QString &configFolder)
{
    const IniFile ini(QDir(configFolder).filePath(QStringLiteral("Arquivo.ini")));
    const QString path = ini.readString(QStringLiteral("Configuracoes"), QStringLiteral("CaminhoBD"), QString());
    if (!path.isEmpty())
        Base.setDatabaseName(path);
}

void DataModule::defineClientes()
{
    Clientes.setSql({QStringLiteral("select * from CLIENTES")});
    Clientes.addField(QStringLiteral("ID_CLIENTE"), ColumnType::Integer, 4);
    Clientes.addField(QStringLiteral("CLIENTE"), ColumnType::Text, 50);
    Clientes.addField(QStringLiteral("EMAIL"), ColumnType::Text, 60);
    Clientes.addField(QStringLiteral("EMAIL2"), ColumnType::Text, 60);
    Clientes.addField(QStringLiteral("TELEFONE"), ColumnType::Text, 20);
    Clientes.addField(QStringLiteral("TELEFONE2"), ColumnType::Text, 20);
    Clientes.addField(QStringLiteral("OBS"), ColumnType::Text, 100);
    Clientes.addField(QStringLiteral("ENDERECO"), ColumnType::Text, 60);
    Clientes.addField(QStringLiteral("BAIRRO"), ColumnType::Text, 30);
    Clientes.addField(QStringLiteral("CEP"), ColumnType::Text, 10).setEditMask(QStringLiteral("00000\\-999;1;_"));
    Clientes.addField(QStringLiteral("CIDADE"), ColumnType::Text, 40);
    Clientes.addField(QStringLiteral("UF"), ColumnType::Text, 2);
    Clientes.addField(QStringLiteral("DATANASCIMENTO"), ColumnType::Date).setEditMask(QStringLiteral("!99/99/0000;1;_"));
    Clientes.addField(QStringLiteral("CPF"), ColumnType::Text, 20).setEditMask(QStringLiteral("000\\.000\\.000\\-00;1;_"));
    Clientes.addField(QStringLiteral("PADRAO"), ColumnType::Text, 1);
    Clientes.addField(QStringLiteral("FOTO_MARC"), ColumnType::Blob);
    Clientes.addField(QStringLiteral("CNPJ"), ColumnType::Text, 20).setEditMask(QStringLiteral("00\\.000\\.000\\/0000\\-00;1;_"));
    Clientes.addField(QStringLiteral("CLASSIFICACAO"), ColumnType::Text, 30);
    Clientes.setUpdateObject(&Upclientes);
    Clientes.setGenerator(QStringLiteral("GEN_CLIENTES_ID"), QStringLiteral("ID_CLIENTE"));
}

void DataModule::defineEmitente()
{
    Emitente.setSql({QStringLiteral("select *   from EMITENTE")});
    Emitente.addField(QStringLiteral("ID_EMITENTE"), ColumnType::Integer, 4);
    Emitente.addField(QStringLiteral("EMITENTE"), ColumnType::Text, 50);
    Emitente.addField(QStringLiteral("CPFCNPJ"), ColumnType::Text, 20);
    Emitente.addField(QStringLiteral("CIDADE"), ColumnType::Text, 40);
    Emitente.addField(QStringLiteral("FOTO_MARC"), ColumnType::Blob);
    Emitente.addField(QStringLiteral("OBS"), ColumnType::Text, 100);
    Emitente.setUpdateObject(&Upemitente);
    Emitente.setGenerator(QStringLiteral("GEN_EMITENTES_ID"), QStringLiteral("ID_EMITENTE"));
}

void DataModule::defineRecibos()
{
    Recibos.setSql({QStringLiteral("select * from RECIBOS")});
    Recibos.addField(QStringLiteral("ID_RECIBO"), ColumnType::Integer, 4);
    Recibos.addField(QStringLiteral("EMITENTE"), ColumnType::Text, 50);
    Recibos.addField(QStringLiteral("CLIENTE"), ColumnType::Text, 50);
    Recibos.addField(QStringLiteral("VALOR"), ColumnType::Numeric, 8, -2).setDisplayFormat(QStringLiteral("#,##0.00"));
    Recibos.addField(QStringLiteral("VALOREXTENSO"), ColumnType::Text, 200);
    Recibos.addField(QStringLiteral("DATARECIBO"), ColumnType::Text, 100);
    Recibos.addField(QStringLiteral("LOCAL"), ColumnType::Text, 30);
    Recibos.addField(QStringLiteral("CPFCNPJCLIENTE"), ColumnType::Text, 20);
    Recibos.addField(QStringLiteral("CPFCNPJEMITENTE"), ColumnType::Text, 20);
    Recibos.addField(QStringLiteral("OBS"), ColumnType::Text, 100);
    Recibos.addField(QStringLiteral("DATA"), ColumnType::Date).setEditMask(QStringLiteral("!00/00/0000;1;_"));
    Recibos.addField(QStringLiteral("HORA"), ColumnType::Time);
    Recibos.addField(QStringLiteral("TIPO"), ColumnType::Text, 20);
    Recibos.addField(QStringLiteral("REFERENTE"), ColumnType::Text, 78);
    Recibos.addField(QStringLiteral("REFERENTE2"), ColumnType::Text, 78);
    Recibos.setUpdateObject(&Uprecibos);
    Recibos.setGenerator(QStringLiteral("GEN_RECIBOS_ID"), QStringLiteral("ID_RECIBO"));
}
