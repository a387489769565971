#include "common/TempDatabase.h"

#include "receipts/CompletaNome.h"
#include "receipts/DataExtenso.h"
#include "receipts/Extens.h"
#include "receipts/ReciboDerivados.h"

#include <QTest>

namespace {

QStringList matchesFor(DataModule &dm, const QString &typed)
{
    std::unique_ptr<Cursor> cursor = dm.Base.prepared(kSqlCompletaNome).openCursor(dm.Tra, {typed});
    QStringList names;
    Row row;
    while (cursor->fetch(row))
        names << row.at(1).toString();
    return names;
}

} // namespace

class TstReciboValores : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        setRangeMessageSink([this](const QString &message) { m_messages << message; });
    }
    void init() { m_messages.clear(); }

    void dataPorExtenso_data()
    {
        QTest::addColumn<QDate>("data");
        QTest::addColumn<QString>("esperado");
        const char *meses[] = {"janeiro", "fevereiro", "março", "abril", "maio", "junho", "julho",
                               "agosto", "setembro", "outubro", "novembro", "dezembro"};
        for (int m = 1; m <= 12; ++m) {
            QTest::addRow("month %d", m) << QDate(2024, m, 5)
                                         << QStringLiteral("05 de %1 de 2024").arg(QString::fromUtf8(meses[m - 1]));
        }
        QTest::newRow("two-digit day") << QDate(2026, 12, 31) << QStringLiteral("31 de dezembro de 2026");
        QTest::newRow("leap day") << QDate(2024, 2, 29) << QStringLiteral("29 de fevereiro de 2024");
        QTest::newRow("year under 1000") << QDate(987, 7, 1) << QStringLiteral("01 de julho de 0987");
        QTest::newRow("invalid") << QDate() << QString();
    }
    void dataPorExtenso()
    {
        QFETCH(QDate, data);
        QFETCH(QString, esperado);
        QCOMPARE(DataPorExtenso(data), esperado);
    }

    void monthNamesFollowTheLocale()
    {
        QCOMPARE(DataPorExtenso(QDate(2024, 3, 5), QLocale(QLocale::English, QLocale::UnitedStates)),
                 QStringLiteral("05 de March de 2024"));
    }

    void completaNome_data()
    {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<QString>("encontrado");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("inicio");
        QTest::addColumn<int>("tamanho");
        QTest::newRow("one letter") << "J" << "JOANA SILVA" << "JOANA SILVA" << 1 << 10;
        QTest::newRow("several letters") << "JOA" << "JOANA" << "JOANA" << 3 << 2;
        QTest::newRow("whole name typed") << "JOANA" << "JOANA" << "JOANA" << 5 << 0;
        QTest::newRow("typed longer than match") << "JOANAS" << "JOANA" << "JOANAS" << 6 << 0;
        QTest::newRow("empty typed") << "" << "ANA" << "ANA" << 0 << 3;
        QTest::newRow("accented rest") << "JO" << "JOÃO" << "JOÃO" << 2 << 2;
    }
    void completaNome()
    {
        QFETCH(QString, digitado);
        QFETCH(QString, encontrado);
        const NomeCompletado c = CompletaNome(digitado, encontrado);
        QTEST(c.texto, "texto");
        QTEST(c.inicioSelecao, "inicio");
        QTEST(c.tamanhoSelecao, "tamanho");
    }

    void completionQueryMatchesLiterally_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("ordinary prefix") << "JO" << QStringList{"JOANA", "JOSÉ D'ÁVILA", "JOSÉ_2"};
        QTest::newRow("apostrophe") << "JOSÉ D'" << QStringList{"JOSÉ D'ÁVILA"};
        QTest::newRow("percent is literal") << "100%" << QStringList{"100% LTDA"};
        QTest::newRow("percent alone matches none") << "%" << QStringList{};
        QTest::newRow("underscore is literal") << "JOSÉ_" << QStringList{"JOSÉ_2"};
        QTest::newRow("underscore is not a wildcard") << "J_" << QStringList{};
        QTest::newRow("case-sensitive") << "jo" << QStringList{};
        QTest::newRow("only prefixes") << "ANA" << QStringList{};
        QTest::newRow("empty lists all") << "" << QStringList{"100% LTDA", "JOANA", "JOSÉ D'ÁVILA", "JOSÉ_2", "MARIANA"};
    }
    void completionQueryMatchesLiterally()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        TempDatabase db;
        Module m(db.path());
        for (const char *name : {"MARIANA", "JOSÉ D'ÁVILA", "JOANA", "100% LTDA", "JOSÉ_2"})
            addCliente(m.dm, QString::fromUtf8(name));
        QCOMPARE(matchesFor(m.dm, typed), expected);
    }

    void derivedValuesFollowTheirSources_data()
    {
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<QDate>("data");
        QTest::addColumn<QVariant>("extenso");
        QTest::addColumn<QVariant>("dataRecibo");
        const QVariant null;
        QTest::newRow("amount and date") << QVariant::fromValue(Numeric{123456, -2}) << QDate(2024, 3, 5)
                                         << QVariant(QStringLiteral("Um Mil, e Duzentos e Trinta e Quatro Reais, e Cinqüenta e Seis Centavos."))
                                         << QVariant(QStringLiteral("05 de março de 2024"));
        QTest::newRow("top of range") << QVariant::fromValue(Numeric{99999999, -2}) << QDate()
                                      << QVariant(QStringLiteral("Novecentos e Noventa e Nove Mil, e Novecentos e Noventa e Nove Reais, e Noventa e Nove Centavos."))
                                      << null;
        QTest::newRow("out of range") << QVariant::fromValue(Numeric{100000000, -2}) << QDate(2024, 1, 1)
                                      << QVariant(QString()) << QVariant(QStringLiteral("01 de janeiro de 2024"));
        QTest::newRow("negative") << QVariant::fromValue(Numeric{-1, -2}) << QDate() << QVariant(QString()) << null;
        QTest::newRow("zero") << QVariant::fromValue(Numeric{0, -2}) << QDate() << QVariant(QString()) << null;
        QTest::newRow("nothing") << null << QDate() << null << null;
    }
    void derivedValuesFollowTheirSources()
    {
        QFETCH(QVariant, valor);
        QFETCH(QDate, data);
        QFETCH(QVariant, extenso);
        QFETCH(QVariant, dataRecibo);
        TempDatabase db;
        Module m(db.path());
        Dataset &r = m.dm.Recibos;
        r.open();
        r.insert();
        // Stale texts from an earlier amount and date must not survive.
        r.fieldByName(QStringLiteral("VALOREXTENSO")).setValue(QStringLiteral("Dois Reais."));
        r.fieldByName(QStringLiteral("DATARECIBO")).setValue(QStringLiteral("02 de fevereiro de 2002"));
        r.fieldByName(QStringLiteral("VALOR")).setValue(valor);
        r.fieldByName(QStringLiteral("DATA")).setValue(data.isValid() ? QVariant(data) : QVariant());
        AtualizaDerivados(r);
        r.post();
        m.dm.Tra.commitRetaining();
        r.requery({QStringLiteral("SELECT * FROM RECIBOS")});
        QCOMPARE(r.fieldByName(QStringLiteral("VALOREXTENSO")).value(), extenso);
        QCOMPARE(r.fieldByName(QStringLiteral("DATARECIBO")).value(), dataRecibo);
        QCOMPARE(m_messages, QStringList());
    }

private:
    QStringList m_messages;
};

QTEST_GUILESS_MAIN(TstReciboValores)
#include "tst_recibovalores.moc"
