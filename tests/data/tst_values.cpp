#include "data/DatabaseCreator.h"
#include "data/DatabaseError.h"
#include "data/Datamodule1.h"
#include "data/EditMask.h"
#include "data/IniFile.h"
#include "data/Statement.h"
#include "data/ValueText.h"
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
        QCOMPARE(valuetext::formatNumber(Numeric{units, scale}, pattern, QLocale(locale)), text);
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
        QCOMPARE(valuetext::parseNumber(text, -2, QLocale(), &value), ok);
        if (ok)
            QCOMPARE(value.units, cents);
    }

    void displayText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("shown");
        QTest::newRow("money") << QVariant::fromValue(Numeric{123450, -2}) << "#,##0.00" << "1.234,50";
        QTest::newRow("money plain") << QVariant::fromValue(Numeric{-123450, -2}) << "" << "-1234,50";
        QTest::newRow("whole number as money") << QVariant(qint64(1234)) << "#,##0.00" << "1.234,00";
        QTest::newRow("double as money") << QVariant(0.005) << "#,##0.00" << "0,01";
        QTest::newRow("double plain") << QVariant(2.5) << "" << "2,5";
        QTest::newRow("date") << QVariant(QDate(2026, 3, 5)) << "" << "05/03/2026";
        QTest::newRow("date ignores pattern") << QVariant(QDate(2026, 3, 5)) << "#,##0.00" << "05/03/2026";
        QTest::newRow("time") << QVariant(QTime(8, 5)) << "" << "08:05:00";
        QTest::newRow("null") << QVariant() << "#,##0.00" << "";
        QTest::newRow("null text") << QVariant(QString()) << "" << "";
        QTest::newRow("empty date") << QVariant(QDate()) << "" << "";
        QTest::newRow("picture") << QVariant(QByteArray("BM\x01\x02")) << "" << "";
    }

    void displayText()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, pattern);
        QFETCH(QString, shown);
        QCOMPARE(valuetext::displayText(value, pattern), shown);
    }

    void typedDateAndTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::newRow("date") << "05/11/1980" << QDate(1980, 11, 5) << QTime();
        QTest::newRow("one-digit day and month") << " 5/1/1980" << QDate(1980, 1, 5) << QTime();
        QTest::newRow("impossible date") << "31/02/1980" << QDate() << QTime();
        QTest::newRow("two-digit year") << "05/11/80" << QDate() << QTime();
        QTest::newRow("time") << "08:05:30" << QDate() << QTime(8, 5, 30);
        QTest::newRow("time without seconds") << "08:05" << QDate() << QTime(8, 5);
        QTest::newRow("impossible time") << "25:00" << QDate() << QTime();
        QTest::newRow("words") << "amanhã" << QDate() << QTime();
    }

    void typedDateAndTime()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QCOMPARE(valuetext::parseDate(text), date);
        QCOMPARE(valuetext::parseTime(text), time);
    }

    // What a screen shows is what its entry reads back.
    void shownTextReadsBack_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("millions") << QVariant::fromValue(Numeric{123456789012LL, -2});
        QTest::newRow("negative cents") << QVariant::fromValue(Numeric{-5, -2});
        QTest::newRow("zero") << QVariant::fromValue(Numeric{0, -2});
        QTest::newRow("first of the year") << QVariant(QDate(2024, 1, 1));
        QTest::newRow("last of the year") << QVariant(QDate(1999, 12, 31));
    }

    void shownTextReadsBack()
    {
        QFETCH(QVariant, value);
        const QString shown = valuetext::displayText(value, valuetext::numberPattern(2));
        if (value.typeId() == QMetaType::QDate) {
            QCOMPARE(valuetext::parseDate(shown), value.toDate());
            return;
        }
        Numeric read;
        QVERIFY2(valuetext::parseNumber(shown, -2, QLocale(), &read), qPrintable(shown));
        QCOMPARE(read, value.value<Numeric>());
    }

    void reportPatterns_data()
    {
        QTest::addColumn<QString>("reportPattern");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("grouped") << "%2.2n" << "#,##0.00";
        QTest::newRow("not grouped") << "%10.3f" << "0.000";
        QTest::newRow("decimals left out") << "%n" << "#,##0.00";
        QTest::newRow("no decimals") << "%2.0n" << "#,##0";
        QTest::newRow("no percent") << "2.2n" << "";
        QTest::newRow("other letter") << "%2.2d" << "";
    }

    void reportPatterns()
    {
        QFETCH(QString, reportPattern);
        QFETCH(QString, pattern);
        QCOMPARE(valuetext::fromReportPattern(reportPattern), pattern);
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
                                "where\n  ID_EMITENTE = :OLD_ID_EMITENTE and RDB$RECORD_VERSION = :OLD_RDB$RECORD_VERSION"));
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
        QTest::newRow("every high byte") << QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ\u00A0¡ÿ")
                                         << QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8e\x91\x92\x93"
                                                       "\x94\x95\x96\x97\x98\x99\x9a\x9b\x9c\x9e\x9f\xa0\xa1\xff");
        QTest::newRow("empty") << "" << QByteArray();
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
