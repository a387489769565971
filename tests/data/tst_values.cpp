#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "data/Datamodule1.h"
#include "data/DisplayFormat.h"
#include "data/EditMask.h"
#include "data/IniFile.h"
#include "data/Statement.h"
#include "data/Win1252.h"

#include <QTemporaryDir>
#include <QTest>

class TstValues : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void editMask_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("qtMask");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");

        QTest::newRow("cpf") << "000\\.000\\.000\\-00;1;_" << "999.999.999-99;_" << "123.456.789-01" << "123.456.789-01";
        QTest::newRow("cpf untouched") << "000\\.000\\.000\\-00;1;_" << "999.999.999-99;_" << "   .   .   -  " << "";
        QTest::newRow("cpf untouched, blanks removed") << "000\\.000\\.000\\-00;1;_" << "999.999.999-99;_" << "..-" << "";
        QTest::newRow("cep") << "00000\\-999;1;_" << "99999-000;_" << "12345-678" << "12345-678";
        QTest::newRow("cnpj") << "00\\.000\\.000\\/0000\\-00;1;_" << "99.999.999/9999-99;_" << "12.345.678/0001-90"
                              << "12.345.678/0001-90";
        QTest::newRow("date drops bang") << "!99/99/0000;1;_" << "00/00/9999;_" << "01/02/2003" << "01/02/2003";
        QTest::newRow("literals dropped") << "000\\-00;0;_" << "999-99;_" << "123-45" << "12345";
        QTest::newRow("literals dropped, blanks removed") << "000\\-99;0;_" << "999-00;_" << "123-4" << "1234";
        QTest::newRow("qt special literal escaped") << "\\A00;1;_" << "\\A99;_" << "A12" << "A12";
        QTest::newRow("no mask") << "" << "" << "abc" << "abc";
    }

    void editMask()
    {
        QFETCH(QString, mask);
        QFETCH(QString, qtMask);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const EditMask editMask(mask);
        QCOMPARE(editMask.qtInputMask(), qtMask);
        QCOMPARE(editMask.valueFromText(typed), stored);
    }

    void maskCompleteness_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("complete");
        QTest::newRow("cpf full") << "000\\.000\\.000\\-00;1;_" << "123.456.789-01" << true;
        QTest::newRow("cpf short") << "000\\.000\\.000\\-00;1;_" << "123.456.78..-" << false;
        QTest::newRow("cep optional part empty") << "00000\\-999;1;_" << "12345-" << true;
        QTest::newRow("date optional day digit") << "!99/99/0000;1;_" << "1/2/2024" << true;
        QTest::newRow("date year short") << "!99/99/0000;1;_" << "01/02/24__" << false;
        QTest::newRow("date optional blank") << "!99/99/0000;1;_" << " 1/02/2024" << true;
    }

    void maskCompleteness()
    {
        QFETCH(QString, mask);
        QFETCH(QString, text);
        QFETCH(bool, complete);
        QCOMPARE(EditMask(mask).isComplete(text), complete);
    }

    void formatNumeric_data()
    {
        QTest::addColumn<qlonglong>("units");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");

        QTest::newRow("1234.5") << 123450LL << -2 << "#,##0.00" << "pt_BR" << "1.234,50";
        QTest::newRow("zero") << 0LL << -2 << "#,##0.00" << "pt_BR" << "0,00";
        QTest::newRow("cents") << 7LL << -2 << "#,##0.00" << "pt_BR" << "0,07";
        QTest::newRow("millions") << 123456789012LL << -2 << "#,##0.00" << "pt_BR" << "1.234.567.890,12";
        QTest::newRow("negative") << -100000LL << -2 << "#,##0.00" << "pt_BR" << "-1.000,00";
        QTest::newRow("english separators") << 123450LL << -2 << "#,##0.00" << "en_US" << "1,234.50";
        QTest::newRow("rounds half away") << 12345LL << -3 << "#,##0.00" << "pt_BR" << "12,35";
        QTest::newRow("rounds half away negative") << -12345LL << -3 << "0.00" << "pt_BR" << "-12,35";
        QTest::newRow("no grouping") << 123450LL << -2 << "0.00" << "pt_BR" << "1234,50";
    }

    void formatNumeric()
    {
        QFETCH(qlonglong, units);
        QFETCH(int, scale);
        QFETCH(QString, pattern);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QCOMPARE(displayformat::formatNumeric(Numeric{units, scale}, pattern, QLocale(locale)), text);
    }

    void parseNumeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qlonglong>("cents");

        QTest::newRow("grouped") << "1.234,50" << true << 123450LL;
        QTest::newRow("one decimal") << "1234,5" << true << 123450LL;
        QTest::newRow("whole") << "1234" << true << 123400LL;
        QTest::newRow("three decimals round") << "0,005" << true << 1LL;
        QTest::newRow("negative") << "-2,5" << true << -250LL;
        QTest::newRow("letters") << "12a" << false << 0LL;
        QTest::newRow("two commas") << "1,2,3" << false << 0LL;
        QTest::newRow("empty") << "" << false << 0LL;
        QTest::newRow("too many digits") << "12345678901234567890" << false << 0LL;
        QTest::newRow("millions grouped") << "1.234.567,00" << true << 123456700LL;
        QTest::newRow("grouped whole") << "1.250" << true << 125000LL;
        QTest::newRow("dot as decimal point") << "12.50" << false << 0LL;
        QTest::newRow("dot in the fraction") << "1,2.3" << false << 0LL;
        QTest::newRow("group of two") << "1.23,00" << false << 0LL;
        QTest::newRow("group of four") << "1.2345,00" << false << 0LL;
        QTest::newRow("leading separator") << ".123,00" << false << 0LL;
        QTest::newRow("first group of four") << "1234.567" << false << 0LL;
        QTest::newRow("negative grouped") << "-1.000,5" << true << -100050LL;
        QTest::newRow("decimal only") << ",5" << true << 50LL;
    }

    void parseNumeric()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qlonglong, cents);
        Numeric value;
        QCOMPARE(displayformat::parseNumeric(text, -2, QLocale(), &value), ok);
        if (ok)
            QCOMPARE(value.units, cents);
    }

    void namedParameters_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");

        QTest::newRow("update") << "update T set A = :A where ID = :OLD_ID" << "update T set A = ? where ID = ?"
                                << QStringList{"A", "OLD_ID"};
        QTest::newRow("colon in literal") << "select ':X' from T where A = :a" << "select ':X' from T where A = ?"
                                          << QStringList{"A"};
        QTest::newRow("quoted name") << "select \"A:B\" from T" << "select \"A:B\" from T" << QStringList{};
        QTest::newRow("comments") << "select 1 -- :no\nfrom T /* :nor */ where A=:YES"
                                  << "select 1 -- :no\nfrom T /* :nor */ where A=?" << QStringList{"YES"};
        QTest::newRow("doubled quote") << "select 'it''s :x' from T where B = :B" << "select 'it''s :x' from T where B = ?"
                                       << QStringList{"B"};
    }

    void namedParameters()
    {
        QFETCH(QString, sql);
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        const ParsedSql parsed = ParsedSql::parse(sql);
        QCOMPARE(parsed.text, text);
        QCOMPARE(parsed.parameterNames, names);
    }

    void iniFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("value");

        QTest::newRow("backslash path") << QByteArray("[Configuracoes]\r\nCaminhoBD=C:\\Dados\\QUINDELO.FDB\r\n")
                                        << "C:\\Dados\\QUINDELO.FDB";
        QTest::newRow("server path") << QByteArray("[Configuracoes]\nCaminhoBD=localhost:/srv/QUINDELO.FDB\n")
                                     << "localhost:/srv/QUINDELO.FDB";
        QTest::newRow("utf-8 accents") << QByteArray("[Configuracoes]\nCaminhoBD=/dados/relatórios/Q.FDB\n")
                                       << "/dados/relatórios/Q.FDB";
        QTest::newRow("win1252 accents") << QByteArray("[Configuracoes]\nCaminhoBD=/dados/relat\xf3rios/Q.FDB\n")
                                         << "/dados/relatórios/Q.FDB";
        QTest::newRow("utf-8 bom") << QByteArray("\xef\xbb\xbf[Configuracoes]\nCaminhoBD=a.fdb\n") << "a.fdb";
        QTest::newRow("any case, blanks") << QByteArray("[ configuracoes ]\n  caminhobd =  b.fdb  \n") << "b.fdb";
        QTest::newRow("comma kept") << QByteArray("[Configuracoes]\nCaminhoBD=a,b.fdb\n") << "a,b.fdb";
        QTest::newRow("quotes stripped") << QByteArray("[Configuracoes]\nCaminhoBD=\"C:\\x y\\Q.FDB\"\n") << "C:\\x y\\Q.FDB";
        QTest::newRow("single quotes stripped") << QByteArray("[Configuracoes]\nCaminhoBD='C:\\x y\\Q.FDB'\n") << "C:\\x y\\Q.FDB";
        QTest::newRow("quote inside kept") << QByteArray("[Configuracoes]\nCaminhoBD=/d/O'Neil/Q.FDB\n") << "/d/O'Neil/Q.FDB";
        QTest::newRow("unbalanced quotes kept") << QByteArray("[Configuracoes]\nCaminhoBD='a.fdb\"\n") << "'a.fdb\"";
        QTest::newRow("other section") << QByteArray("[Outra]\nCaminhoBD=x.fdb\n[Configuracoes]\nOutro=1\n") << "DEFAULT";
        QTest::newRow("empty value") << QByteArray("[Configuracoes]\nCaminhoBD=\n") << "";
        QTest::newRow("no section") << QByteArray("CaminhoBD=x.fdb\n") << "DEFAULT";
        QTest::newRow("comment line") << QByteArray("[Configuracoes]\n;CaminhoBD=x.fdb\n") << "DEFAULT";
    }

    void iniFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, value);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("Arquivo.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QCOMPARE(IniFile(file.fileName()).readString(QStringLiteral("Configuracoes"), QStringLiteral("CaminhoBD"),
                                                     QStringLiteral("DEFAULT")),
                 value);
    }

    void missingIniFileGivesDefault()
    {
        QCOMPARE(IniFile(QStringLiteral("/nonexistent/Arquivo.ini"))
                     .readString(QStringLiteral("Configuracoes"), QStringLiteral("CaminhoBD"), QStringLiteral("D")),
                 QStringLiteral("D"));
    }

    void updateStatementsFollowTheColumnOrder()
    {
        QTemporaryDir noConfig;
        const DataModule dm(noConfig.path());
        QCOMPARE(dm.Uprecibos.insertSql,
                 QStringLiteral("insert into RECIBOS\n  (ID_RECIBO, EMITENTE, CLIENTE, VALOR, VALOREXTENSO, DATA, DATARECIBO, "
                                "LOCAL, CPFCNPJCLIENTE, CPFCNPJEMITENTE, REFERENTE, REFERENTE2, OBS, HORA, TIPO)\nvalues\n  "
                                "(:ID_RECIBO, :EMITENTE, :CLIENTE, :VALOR, :VALOREXTENSO, :DATA, :DATARECIBO, :LOCAL, "
                                ":CPFCNPJCLIENTE, :CPFCNPJEMITENTE, :REFERENTE, :REFERENTE2, :OBS, :HORA, :TIPO)"));
        QCOMPARE(dm.Upemitente.modifySql,
                 QStringLiteral("update EMITENTE\nset\n  ID_EMITENTE = :ID_EMITENTE,\n  EMITENTE = :EMITENTE,\n"
                                "  CPFCNPJ = :CPFCNPJ,\n  CIDADE = :CIDADE,\n  FOTO_MARC = :FOTO_MARC,\n  OBS = :OBS\n"
                                "where\n  ID_EMITENTE = :OLD_ID_EMITENTE"));
        QCOMPARE(dm.Recibos.fieldByName(QStringLiteral("valor")).name(), QStringLiteral("RecibosVALOR"));
        QCOMPARE(dm.Upclientes.deleteSql, QStringLiteral("delete from CLIENTES\nwhere\n  ID_CLIENTE = :OLD_ID_CLIENTE"));
        QVERIFY(dm.Upclientes.insertSql.contains(QStringLiteral("(ID_CLIENTE, CLIENTE, EMAIL, EMAIL2, TELEFONE, TELEFONE2, "
                                                                "OBS, ENDERECO, BAIRRO, CEP, CIDADE, UF, DATANASCIMENTO, "
                                                                "CPF, PADRAO, FOTO_MARC, CNPJ, CLASSIFICACAO)")));
    }

    void splitScript()
    {
        const QStringList statements = databasecreator::splitScript(
            QStringLiteral("-- a; comment\nCREATE TABLE T (A VARCHAR(5));\n/* x; y */\n"
                           "INSERT INTO T VALUES ('a;b');\n\n  ;\nINSERT INTO T VALUES ('c')"));
        QCOMPARE(statements, (QStringList{QStringLiteral("CREATE TABLE T (A VARCHAR(5))"),
                                          QStringLiteral("INSERT INTO T VALUES ('a;b')"),
                                          QStringLiteral("INSERT INTO T VALUES ('c')")}));
    }

    void schemaHoldsEveryTable()
    {
        const QString schema = databasecreator::schemaScript();
        for (const char *table : {"CLIENTES", "EMITENTE", "RECIBOS", "TIPO", "TIPO2", "USUARIO", "CONFIGURACOES", "AGENDAMENTOS"})
            QVERIFY2(schema.contains(QStringLiteral("CREATE TABLE %1 (").arg(QLatin1String(table))), table);
    }

    void localPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("local");
        QTest::newRow("bare") << "QUINDELO.FDB" << true;
        QTest::newRow("absolute") << "/home/a/QUINDELO.FDB" << true;
        QTest::newRow("colon in folder") << "/home/a:b/Q.FDB" << true;
        QTest::newRow("server") << "localhost:/srv/Q.FDB" << false;
        QTest::newRow("server with port") << "host/3051:/srv/Q.FDB" << false;
    }

    void localPaths()
    {
        QFETCH(QString, path);
        QFETCH(bool, local);
        QCOMPARE(databasecreator::isLocalPath(path), local);
    }

    void win1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("accents") << "FÍSICA São" << QByteArray("F\xcdSICA S\xe3o");
        QTest::newRow("diaeresis") << "Cinqüenta" << QByteArray("Cinq\xfc" "enta");
        QTest::newRow("euro") << "€" << QByteArray("\x80");
        QTest::newRow("quotes") << "“x”" << QByteArray("\x93x\x94");
    }

    void win1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(win1252::encode(text, QStringLiteral("X")), bytes);
        QCOMPARE(win1252::decode(bytes), text);
    }

    void win1252Refuses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("culprit");
        QTest::newRow("polish l") << "Łódź ok" << "Ł";
        QTest::newRow("emoji") << "pago 😀" << "😀";
        QTest::newRow("cjk") << "名前" << "名";
    }

    void win1252Refuses()
    {
        QFETCH(QString, text);
        QFETCH(QString, culprit);
        try {
            win1252::encode(text, QStringLiteral("CLIENTE"));
            QFAIL("an unencodable text was accepted");
        } catch (const DatabaseError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("CLIENTE")), qPrintable(error.message()));
            QVERIFY2(error.message().contains(culprit), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TstValues)
#include "tst_values.moc"
