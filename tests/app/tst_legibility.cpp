#include "common/Legibility.h"
#include "common/ProgramFixture.h"
#include "common/ScreenTesting.h"

#include "app/FRprincipal.h"
#include "clients/FRcadastro.h"
#include "clients/FRconsultacli.h"
#include "clients/FRconsultacli2.h"
#include "clients/FRconsultarec.h"
#include "data/Statement.h"
#include "dialogs/MessageDialog.h"
#include "maintenance/frmBackup.h"
#include "receipts/FRcademitente.h"
#include "receipts/FRimagem.h"
#include "receipts/FRrecibo.h"
#include "reports/FRabrerecibos1.h"
#include "reports/FRabrerecibos2.h"
#include "reports/FRabrerecibos3.h"
#include "reports/FRrelatorios.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/PictureButton.h"
#include "widgets/TitlePanel.h"

#include <QLabel>
#include <QTest>

#include <memory>

namespace {

constexpr double kReadable = 4.5; // WCAG AA for text

void exec(DataModule &dm, const QString &sql, const QVariantList &params)
{
    dm.Base.open();
    PreparedStatement(dm.Base, sql).execute(dm.Tra, params);
    dm.Tra.commitRetaining();
}

// Rows whose texts are as wide as they get: the longest kind, the widest date and amount.
void addSampleRows(DataModule &dm)
{
    exec(dm, QStringLiteral("insert into EMITENTE (ID_EMITENTE, EMITENTE, CPFCNPJ, CIDADE) values (1, ?, ?, ?)"),
         {QStringLiteral("OFICINA MODELO LTDA"), QStringLiteral("12.345.678/0001-95"), QStringLiteral("São Paulo")});
    exec(dm, QStringLiteral("insert into CLIENTES (ID_CLIENTE, CLIENTE, CLASSIFICACAO, CPF, EMAIL, OBS) "
                            "values (GEN_ID(GEN_CLIENTES_ID, 1), ?, 'FÍSICA', '123.456.789-01', ?, ?)"),
         {QStringLiteral("MARIA DAS GRAÇAS"), QStringLiteral("maria@exemplo.com.br"), QStringLiteral("Cliente antiga")});
    exec(dm, QStringLiteral("insert into CLIENTES (ID_CLIENTE, CLIENTE, CLASSIFICACAO, CNPJ) "
                            "values (GEN_ID(GEN_CLIENTES_ID, 1), 'MERCADO CENTRAL', 'JURÍDICA', '11.222.333/0001-81')"),
         {});
    for (const auto &[kind, day, cents] : {std::tuple{"RECEBIMENTO", QDate(2026, 12, 28), 99999999LL},
                                          std::tuple{"PAGAMENTO", QDate(2026, 10, 30), 88888888LL}}) {
        exec(dm, QStringLiteral("insert into RECIBOS (ID_RECIBO, TIPO, EMITENTE, CLIENTE, DATA, VALOR, REFERENTE, OBS) "
                                "values (GEN_ID(GEN_RECIBOS_ID, 1), ?, 'MARIA DAS GRAÇAS', 'OFICINA MODELO LTDA', ?, ?, "
                                "'Serviços', 'Pago à vista')"),
             {QString::fromLatin1(kind), day, QVariant::fromValue(Numeric{cents, -2})});
    }
}

// The controls of a record editor that show its data.
QList<QWidget *> dataFields(QWidget *form)
{
    QList<QWidget *> fields;
    for (QWidget *control : form->findChildren<QWidget *>()) {
        if (!control->isVisibleTo(form))
            continue;
        if (const auto *edit = qobject_cast<DBEdit *>(control); edit && !edit->text().isEmpty())
            fields << control;
        else if (const auto *combo = qobject_cast<DBLookupComboBox *>(control); combo && !combo->currentText().isEmpty())
            fields << control;
    }
    return fields;
}

} // namespace

class TstLegibility : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProgramFixture> m_program;

    Screens &screens() { return m_program->screens(); }

    QWidget *screen(const QString &name)
    {
        Screens &s = screens();
        const QList<QWidget *> all{s.FRprincipal.get(), s.frmBackup.get(), s.FRrecibo.get(), s.FRabrerecibos1.get(),
                                   s.FRabrerecibos2.get(), s.FRabrerecibos3.get(), s.FRcadastro.get(),
                                   s.FRcademitente.get(), s.FRconsultacli.get(), s.FRconsultarec.get(),
                                   s.FRimagem.get(), s.FRrelatorios.get(), s.FRconsultacli2.get(), s.FRmensagem5.get(),
                                   s.FRmensagem6.get(), s.FRmensagem8.get(), s.FRmensagem9.get(), s.FRmensagem10.get(),
                                   s.FRmensagem12.get(), s.FRmensagem.get(), s.FRmensagem14.get()};
        for (QWidget *candidate : all) {
            if (candidate->objectName() == name)
                return candidate;
        }
        qFatal("no screen %s", qPrintable(name));
    }

    // Shown as the program shows it, at the size it gives itself.
    QWidget *show(const QString &name)
    {
        QWidget *shown = screen(name);
        if (!shown->testAttribute(Qt::WA_Resized))
            shown->adjustSize();
        shown->show();
        if (!QTest::qWaitForWindowExposed(shown))
            qFatal("%s was not shown", qPrintable(name));
        return shown;
    }

    static QStringList formNames()
    {
        return {"frmBackup", "FRrecibo", "FRabrerecibos1", "FRabrerecibos2", "FRabrerecibos3", "FRcadastro",
                "FRcademitente", "FRconsultacli", "FRconsultarec", "FRimagem", "FRrelatorios", "FRconsultacli2"};
    }

private slots:
    void initTestCase() { prepareScreenTests(); }

    void init()
    {
        m_program = std::make_unique<ProgramFixture>();
        addSampleRows(m_program->dm());
    }

    void cleanup() { m_program.reset(); }

    void captionsAreSilverOnTeal_data()
    {
        QTest::addColumn<QString>("form");
        for (const QString &form : formNames())
            QTest::newRow(qPrintable(form)) << form;
    }

    void captionsAreSilverOnTeal()
    {
        QFETCH(QString, form);
        QWidget *shown = show(form);
        auto *caption = shown->findChild<TitlePanel *>()->findChild<QLabel *>(QStringLiteral("caption"));
        const double contrast = drawnTextContrast(caption, 0);
        QVERIFY2(contrast >= kReadable, qPrintable(QString::number(contrast)));
        // Light letters on the dark panel.
        QVERIFY(caption->palette().color(QPalette::WindowText).lightness()
                > shown->findChild<TitlePanel *>()->palette().color(QPalette::Window).lightness());
    }

    void dataFieldsReadInBothStates_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<bool>("editing");
        for (const char *form : {"FRcadastro", "FRrecibo", "FRcademitente"}) {
            QTest::addRow("%s, browse", form) << QString::fromLatin1(form) << false;
            QTest::addRow("%s, edit", form) << QString::fromLatin1(form) << true;
        }
    }

    void dataFieldsReadInBothStates()
    {
        QFETCH(QString, form);
        QFETCH(bool, editing);
        QWidget *shown = show(form);
        if (editing)
            clickNamed(shown, QStringLiteral("BTalterar"));
        const QList<QWidget *> fields = dataFields(shown);
        QVERIFY(fields.size() >= 3);
        for (QWidget *field : fields) {
            // Browsing, every field is disabled: the state whose grey used to be unreadable.
            QVERIFY2(editing || !field->isEnabled(), qPrintable(field->objectName()));
            const double contrast = drawnTextContrast(field);
            QVERIFY2(contrast >= kReadable,
                     qPrintable(QStringLiteral("%1: %2").arg(field->objectName()).arg(contrast)));
        }
    }

    void labelsShowTheirWholeText_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("kind"); // FRrecibo: the kind chosen before looking
        QStringList all = formNames();
        all << "FRprincipal" << "FRmensagem5" << "FRmensagem6" << "FRmensagem8" << "FRmensagem9" << "FRmensagem10"
            << "FRmensagem12" << "FRmensagem" << "FRmensagem14";
        for (const QString &form : all)
            QTest::newRow(qPrintable(form)) << form << QString();
        QTest::newRow("FRrecibo, receiving") << "FRrecibo" << "RECEBIMENTO";
        QTest::newRow("FRrecibo, paying") << "FRrecibo" << "PAGAMENTO";
    }

    void labelsShowTheirWholeText()
    {
        QFETCH(QString, form);
        QFETCH(QString, kind);
        QWidget *shown = show(form);
        if (form == QLatin1String("FRprincipal"))
            shown->resize(1366, 768);
        if (!kind.isEmpty()) {
            FRreciboForm &recibo = *screens().FRrecibo;
            recibo.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&recibo));
            clickNamed(&recibo, QStringLiteral("BTalterar"));
            QTest::keyClicks(recibo.DBtipo, kind.left(1));
            QTest::keyClick(recibo.DBtipo, Qt::Key_Tab);
            QCOMPARE(recibo.DBtipo->currentText(), kind);
        }
        QCOMPARE(clippedLabels(shown), QStringList());
    }

    void gridsShowWholeDatesAmountsAndHeadings_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QList<int>>("wholeColumns");
        QTest::newRow("FRconsultacli") << "FRconsultacli" << QList<int>{1};
        QTest::newRow("FRconsultacli2") << "FRconsultacli2" << QList<int>{1};
        // Kind, number, date and amount; names may be longer than any column.
        QTest::newRow("FRconsultarec") << "FRconsultarec" << QList<int>{0, 1, 2, 4};
    }

    void gridsShowWholeDatesAmountsAndHeadings()
    {
        QFETCH(QString, form);
        QFETCH(QList<int>, wholeColumns);
        auto *grid = show(form)->findChild<DBGrid *>(QStringLiteral("DBGrid1"));
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(clippedCells(grid, wholeColumns), QStringList());
    }
};

QTEST_MAIN(TstLegibility)
#include "tst_legibility.moc"
