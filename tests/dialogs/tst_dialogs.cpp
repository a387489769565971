#include "common/ScreenTesting.h"
#include "common/TempDatabase.h"

#include "dialogs/Mensagens.h"
#include "widgets/ErrorDisplay.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const char *const kNames[] = {"FRmensagem", "FRmensagem5", "FRmensagem6", "FRmensagem8",
                              "FRmensagem9", "FRmensagem10", "FRmensagem12", "FRmensagem14",
                              "FRmensagem15", "FRmensagem16", "FRmensagem17"};

// Every dialog of the catalogue, as the program creates them.
struct Catalogue
{
    std::vector<std::unique_ptr<MessageDialog>> dialogs;
    Catalogue()
    {
        for (const char *name : kNames)
            dialogs.push_back(createMessageDialog(QLatin1String(name)));
    }
    MessageDialog &operator[](const QString &name) const
    {
        for (const auto &dialog : dialogs)
            if (dialog->objectName() == name)
                return *dialog;
        qFatal("no dialog %s", qPrintable(name));
    }
};

// What a screen's Excluir runs: the question, and on "Sim" the delete of the current row.
void askToDelete(const Catalogue &catalogue, const QString &question, Dataset &dataset)
{
    confirmDeletion(catalogue[question], catalogue[QStringLiteral("FRmensagem8")], [&dataset] { dataset.remove(); });
}

QPushButton *button(QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}

// Runs then() once the modal loop that is about to start is running.
void whenShown(std::function<void()> then)
{
    QTimer::singleShot(0, qApp, std::move(then));
}

QStringList clientNames(Dataset &clientes)
{
    QStringList names;
    for (int row = 0; row < clientes.rowCount(); ++row)
        names << clientes.valueAt(row, clientes.fieldByName(QStringLiteral("CLIENTE")).index()).toString();
    return names;
}

} // namespace

class TstDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareScreenTests(); }
    void init() { errordisplay::clearLastError(); }

    void catalogueTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("face");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("buttons");
        const QStringList ok{"OK"};
        const QStringList simNao{"Sim", QString::fromUtf8("Não")};
        const QString question = QStringLiteral("Deseja excluir o Registro ?   ");
        QTest::newRow("FRmensagem") << "FRmensagem" << true << QStringList{"Cadastro Salvo"} << ok;
        QTest::newRow("FRmensagem5") << "FRmensagem5" << true
                                     << QStringList{QString::fromUtf8("O Nome/Razão Social é"), "obrigatório !!!"} << ok;
        QTest::newRow("FRmensagem6") << "FRmensagem6" << false << QStringList{question} << simNao;
        QTest::newRow("FRmensagem8") << "FRmensagem8" << true << QStringList{QString::fromUtf8("Registro excluído !!!")} << ok;
        QTest::newRow("FRmensagem9") << "FRmensagem9" << true << QStringList{QString::fromUtf8("Configuração Salva !!!")} << ok;
        QTest::newRow("FRmensagem10") << "FRmensagem10" << false << QStringList{question} << simNao;
        QTest::newRow("FRmensagem12") << "FRmensagem12" << true << QStringList{"Recibo Gravado !!!"} << ok;
        QTest::newRow("FRmensagem14") << "FRmensagem14" << true
                                      << QStringList{"Para completar o Backup o ", QString::fromUtf8("Sistema será fechado agora!")}
                                      << ok;
        // The screen names the file in the second line.
        QTest::newRow("FRmensagem15") << "FRmensagem15" << false << QStringList{"Restaurar este backup ?", ""} << simNao;
        QTest::newRow("FRmensagem16") << "FRmensagem16" << true << QStringList{"Backup restaurado !!!"} << ok;
        QTest::newRow("FRmensagem17") << "FRmensagem17" << false << QStringList{"Descartar o que foi digitado ?"} << simNao;
    }
    void catalogueTexts()
    {
        QFETCH(QString, name);
        QFETCH(bool, face);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, buttons);
        const auto dialog = createMessageDialog(name);
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), name);
        QVERIFY(dialog->findChild<QWidget *>(QStringLiteral("FlatPanel1")));
        const auto *faceLabel = dialog->findChild<QLabel *>(QStringLiteral("Label1"));
        QCOMPARE(faceLabel != nullptr, face);
        if (faceLabel)
            QCOMPARE(faceLabel->text(), QStringLiteral(":)"));
        for (int i = 0; i < 2; ++i) {
            const auto *label = dialog->findChild<QLabel *>(QStringLiteral("Label%1").arg(i + 2));
            QCOMPARE(label != nullptr, i < lines.size());
            if (label)
                QCOMPARE(label->text(), lines.at(i));
        }
        for (int i = 0; i < 2; ++i) {
            const auto *flat = dialog->findChild<QPushButton *>(QStringLiteral("FlatButton%1").arg(i + 1));
            QCOMPARE(flat != nullptr, i < buttons.size());
            if (flat) {
                QCOMPARE(flat->text(), buttons.at(i));
                QCOMPARE(flat->focusPolicy(), Qt::NoFocus);
                QVERIFY(!flat->autoDefault() && !flat->isDefault());
            }
        }
        QVERIFY(qAbs(dialog->windowOpacity() - 240 / 255.0) < 0.01);
        QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    }

    void keysDoNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        for (const char *name : {"FRmensagem6", "FRmensagem12", "FRmensagem14"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1 enter").arg(QLatin1String(name)))) << name << int(Qt::Key_Return);
            QTest::newRow(qPrintable(QStringLiteral("%1 esc").arg(QLatin1String(name)))) << name << int(Qt::Key_Escape);
            QTest::newRow(qPrintable(QStringLiteral("%1 space").arg(QLatin1String(name)))) << name << int(Qt::Key_Space);
            QTest::newRow(qPrintable(QStringLiteral("%1 tab").arg(QLatin1String(name)))) << name << int(Qt::Key_Tab);
        }
    }
    void keysDoNothing()
    {
        QFETCH(QString, name);
        QFETCH(int, key);
        TempDatabase db;
        Module m(db.path());
        addCliente(m.dm, QStringLiteral("ANA"));
        Catalogue catalogue;
        MessageDialog *dialog = &catalogue[name];
        const bool question = name == QLatin1String("FRmensagem6");
        bool stillShown = false;
        QString focused;
        const auto pressThenAnswer = [&] {
            QTest::keyClick(dialog, Qt::Key(key));
            QTest::keyClick(dialog, Qt::Key(key));
            stillShown = dialog->isVisible();
            focused = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            button(dialog, question ? "FlatButton2" : "FlatButton1")->click();
        };
        if (name == QLatin1String("FRmensagem14")) {
            // Its OK leaves every event loop: run one for it to leave.
            whenShown([&] { dialog->showModal(); });
            whenShown(pressThenAnswer);
            QCOMPARE(QCoreApplication::exec(), 0);
        } else if (question) {
            whenShown(pressThenAnswer);
            askToDelete(catalogue, name, m.dm.Clientes);
        } else {
            whenShown(pressThenAnswer);
            dialog->showModal();
        }
        QVERIFY(stillShown);
        QVERIFY(!focused.startsWith(QStringLiteral("FlatButton")));
        QCOMPARE(m.dm.Clientes.rowCount(), 1);
        QVERIFY(!dialog->isVisible());
    }

    void deletionSequence_data()
    {
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("answerYes");
        QTest::newRow("client, Sim") << "FRmensagem6" << true;
        QTest::newRow("client, Não") << "FRmensagem6" << false;
        QTest::newRow("receipt, Sim") << "FRmensagem10" << true;
        QTest::newRow("receipt, Não") << "FRmensagem10" << false;
    }
    void deletionSequence()
    {
        QFETCH(QString, question);
        QFETCH(bool, answerYes);
        TempDatabase db;
        Module m(db.path());
        const bool clients = question == QLatin1String("FRmensagem6");
        const QString table = clients ? QStringLiteral("CLIENTES") : QStringLiteral("RECIBOS");
        Dataset &dataset = clients ? m.dm.Clientes : m.dm.Recibos;
        for (const char *name : {"ANA", "BIA", "CAIO"}) {
            dataset.open();
            dataset.insert();
            dataset.fieldByName(clients ? QStringLiteral("CLIENTE") : QStringLiteral("EMITENTE")).setValue(QLatin1String(name));
            dataset.post();
        }
        m.dm.Tra.commitRetaining();
        const QString nameColumn = clients ? QStringLiteral("CLIENTE") : QStringLiteral("EMITENTE");
        dataset.requery({QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, nameColumn)});
        dataset.next();
        Catalogue catalogue;
        MessageDialog *asked = &catalogue[question];
        MessageDialog *acknowledgement = &catalogue[QStringLiteral("FRmensagem8")];

        QStringList shownOverQuestion;
        whenShown([&] {
            if (!answerYes) {
                button(asked, "FlatButton2")->click();
                return;
            }
            whenShown([&] {
                shownOverQuestion = openWindows();
                button(acknowledgement, "FlatButton1")->click();
            });
            button(asked, "FlatButton1")->click();
        });
        askToDelete(catalogue, question, dataset);

        QCOMPARE(openWindows(), QStringList());
        QCOMPARE(errordisplay::lastError(), QString());
        const QStringList expected = answerYes ? QStringList{"ANA", "CAIO"} : QStringList{"ANA", "BIA", "CAIO"};
        dataset.last();
        QStringList names;
        for (int row = 0; row < dataset.rowCount(); ++row)
            names << dataset.valueAt(row, dataset.fieldByName(nameColumn).index()).toString();
        QCOMPARE(names, expected);
        if (answerYes) {
            QStringList both{"FRmensagem8", question};
            both.sort();
            shownOverQuestion.sort();
            QCOMPARE(shownOverQuestion, both);
        }
        // No commit follows the deletion: another connection still sees the row.
        Module other(db.path());
        QCOMPARE(rowCount(other.dm, table), 3);
    }

    void refusedDeletionKeepsTheQuestionOpen()
    {
        TempDatabase db;
        Module m(db.path());
        const int id = addCliente(m.dm, QStringLiteral("ANA"));
        m.dm.Clientes.requery({QStringLiteral("SELECT * FROM CLIENTES")});
        Module other(db.path());
        other.dm.Clientes.open();
        QVERIFY(other.dm.Clientes.locate(QStringLiteral("ID_CLIENTE"), id));
        other.dm.Clientes.edit();
        other.dm.Clientes.fieldByName(QStringLiteral("CLIENTE")).setValue(QStringLiteral("ANA MARIA"));
        other.dm.Clientes.post();
        Catalogue catalogue;
        MessageDialog *question = &catalogue[QStringLiteral("FRmensagem6")];

        QString error;
        bool questionShown = false;
        QStringList shownAfterRefusal;
        whenShown([&] {
            button(question, "FlatButton1")->click();
            error = errordisplay::lastError();
            questionShown = question->isVisible();
            shownAfterRefusal = openWindows();
            button(question, "FlatButton2")->click();
        });
        askToDelete(catalogue, QStringLiteral("FRmensagem6"), m.dm.Clientes);

        QVERIFY(!error.isEmpty());
        QVERIFY(questionShown);
        QCOMPARE(shownAfterRefusal, QStringList{"FRmensagem6"});
        QCOMPARE(clientNames(m.dm.Clientes), QStringList{"ANA"});
        QVERIFY(!question->isVisible());
    }

    void backupMessageEndsTheEventLoop()
    {
        Catalogue catalogue;
        MessageDialog *dialog = &catalogue[QStringLiteral("FRmensagem14")];
        whenShown([dialog] { dialog->showModal(); });
        whenShown([dialog] { button(dialog, "FlatButton1")->click(); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!dialog->isVisible());
    }
};

QTEST_MAIN(TstDialogs)
#include "tst_dialogs.moc"
