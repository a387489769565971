#pragma once

#include "Database.h"
#include "Dataset.h"
#include "Transaction.h"

#include <QObject>

// The shared data module: the one connection, the one transaction and the
// datasets through which every screen reads and writes.
class DataModule : public QObject
{
    Q_OBJECT
public:
    static inline const QString kDefaultDatabase = QStringLiteral("QUINDELO.FDB");

    // configFolder holds Arquivo.ini (the executable's folder in the program).
    explicit DataModule(const QString &configFolder, QObject *parent = nullptr);
    ~DataModule() override;

    Database Base;
    Transaction Tra;
    const UpdateSql Upclientes;
    const UpdateSql Upemitente;
    const UpdateSql Uprecibos;
    Dataset Clientes;
    Dataset Emitente;
    Dataset Recibos;
    Dataset Tipo;
    Dataset Tipo2;

private:
    void DataModuleCreate(const QString &configFolder);
    void defineClientes();
    void defineEmitente();
    void defineRecibos();
};
