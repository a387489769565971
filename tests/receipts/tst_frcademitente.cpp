#include "ScreenFixture.h"

#include "common/ModalAnswerer.h"
#include "common/Pictures.h"
#include "common/ScreenTesting.h"

#include "receipts/FRcademitente.h"
#include "receipts/FRimagem.h"
#include "widgets/DBEdit.h"
#include "widgets/DBImage.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/PictureButton.h"

#include <QColor>
#include <QFile>
#include <QTest>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Cannot read %s", qPrintable(path));
    return file.readAll();
}

} // namespace

class TstFRcademitente : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        qputenv("QUINDELO_HOME", m_files.path().toLocal8Bit());
        errordisplay::setPresenter([this](const QString &text) { m_errors << text; });
    }
    void init()
    {
        m_errors.clear();
        m_fx = std::make_unique<ScreenFixture>();
    }
    void cleanup() { m_fx.reset(); }

    void firstStartWithEmptyTableCreatesTheIssuer();
    void documentNumberFormattedOnLeaving_data();
    void documentNumberFormattedOnLeaving();
    void documentNumberFormattedWhenSavedStillFocused();
    void doubleClickOnLogo_data();
    void doubleClickOnLogo();
    void logoStoredByteForByte_data();
    void logoStoredByteForByte();
    void logoThatCannotBeLoaded_data();
    void logoThatCannotBeLoaded();
    void cancelledFileDialogChangesNothing();
    void removingTheLogo();
    void fileDialogProposesLogomarcaThenTheLastChoice();
    void closingAnsweredNaoKeepsTypedValues();

private:
    QString writeFile(const QString &name, const QByteArray &content)
    {
        const QString path = m_files.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("Cannot write %s", qPrintable(path));
        return path;
    }
    FRcademitenteForm &openRegistry()
    {
        FRcademitenteForm &form = m_fx->cademitente();
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qFatal("The registry did not become active");
        return form;
    }
    // Opens FRimagem from the registry's edit state and runs action in it.
    void throughLogoScreen(FRcademitenteForm &form, ModalAnswerer &answerer, std::function<void(FRimagemForm &)> action)
    {
        answerer.then([action](QWidget *window) {
            auto &imagem = *static_cast<FRimagemForm *>(window);
            action(imagem);
            clickNamed(&imagem, QStringLiteral("Image1"));
        });
        QTest::mouseDClick(form.DBImage1, Qt::LeftButton);
    }

    QTemporaryDir m_files;
    std::unique_ptr<ScreenFixture> m_fx;
    QStringList m_errors;
};

void TstFRcademitente::firstStartWithEmptyTableCreatesTheIssuer()
{
    FRcademitenteForm &form = openRegistry();
    QVERIFY(!form.BTalterar->isHidden());
    QVERIFY(form.BTsalvar->isHidden());
    QVERIFY(!form.DBEdit2->isEnabled());

    clickNamed(&form, QStringLiteral("BTalterar"));
    QVERIFY(form.DBEdit2->hasFocus());
    QVERIFY(form.BTalterar->isHidden());
    QVERIFY(!form.BTsalvar->isHidden());
    QTest::keyClicks(form.DBEdit2, QStringLiteral("maria souza"));
    QTest::keyClick(form.DBEdit2, Qt::Key_Return);
    QTest::keyClicks(form.DBEdit3, QStringLiteral("12345678901"));
    QTest::keyClick(form.DBEdit3, Qt::Key_Return);
    QTest::keyClicks(form.DBEdit4, QStringLiteral("Campinas"));

    ModalAnswerer answerer;
    clickNamed(&form, QStringLiteral("BTsalvar"));
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRmensagem9")});
    QVERIFY(answerer.seen().constFirst().texts.contains(QStringLiteral("Configuração Salva !!!")));
    QVERIFY(form.BTsalvar->isHidden());
    QVERIFY(!form.DBEdit4->isEnabled());
    QVERIFY(m_errors.isEmpty());

    Dataset &emitente = m_fx->dm().Emitente;
    emitente.requery({QStringLiteral("SELECT * FROM EMITENTE")});
    QCOMPARE(emitente.fieldByName(QStringLiteral("EMITENTE")).asString(), QStringLiteral("MARIA SOUZA"));
    QCOMPARE(emitente.fieldByName(QStringLiteral("CPFCNPJ")).asString(), QStringLiteral("123.456.789-01"));
    QCOMPARE(emitente.fieldByName(QStringLiteral("CIDADE")).asString(), QStringLiteral("Campinas"));
    QVERIFY(emitente.fieldByName(QStringLiteral("ID_EMITENTE")).asInteger() > 0);
}

void TstFRcademitente::documentNumberFormattedOnLeaving_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("cpf") << "12345678901" << "123.456.789-01";
    QTest::newRow("cnpj") << "12345678000199" << "12.345.678/0001-99";
    QTest::newRow("wrong length loses separators") << "98.7" << "987";
    QTest::newRow("letters turn lower case") << "ABC.DEF.GHI-JK" << "abc.def.ghi-jk";
}

void TstFRcademitente::documentNumberFormattedOnLeaving()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    FRcademitenteForm &form = openRegistry();
    clickNamed(&form, QStringLiteral("BTalterar"));
    form.DBEdit3->setFocus();
    QTest::keyClicks(form.DBEdit3, typed);
    QTest::keyClick(form.DBEdit3, Qt::Key_Tab);
    QCOMPARE(form.DBEdit3->text(), shown);
    QCOMPARE(m_fx->dm().Emitente.fieldByName(QStringLiteral("CPFCNPJ")).asString(), shown);
}

void TstFRcademitente::documentNumberFormattedWhenSavedStillFocused()
{
    FRcademitenteForm &form = openRegistry();
    clickNamed(&form, QStringLiteral("BTalterar"));
    form.DBEdit3->setFocus();
    QTest::keyClicks(form.DBEdit3, QStringLiteral("12345678000199"));
    ModalAnswerer answerer;
    clickNamed(&form, QStringLiteral("BTsalvar"));
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRmensagem9")});
    Dataset &emitente = m_fx->dm().Emitente;
    emitente.requery({QStringLiteral("SELECT * FROM EMITENTE")});
    QCOMPARE(emitente.fieldByName(QStringLiteral("CPFCNPJ")).asString(), QStringLiteral("12.345.678/0001-99"));
}

void TstFRcademitente::doubleClickOnLogo_data()
{
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("browse state") << false << QStringList{};
    QTest::newRow("edit state") << true << QStringList{QStringLiteral("FRimagem")};
}

void TstFRcademitente::doubleClickOnLogo()
{
    QFETCH(bool, editing);
    FRcademitenteForm &form = openRegistry();
    if (editing)
        clickNamed(&form, QStringLiteral("BTalterar"));
    ModalAnswerer answerer;
    answerer.then([](QWidget *window) { clickNamed(window, QStringLiteral("Image1")); });
    QTest::mouseDClick(form.DBImage1, Qt::LeftButton);
    QTEST(answerer.names(), "opened");
}

void TstFRcademitente::logoStoredByteForByte_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("jpeg") << pictureBytes("JPG") << "jpg";
    QTest::newRow("png") << pictureBytes("PNG") << "png";
    QTest::newRow("bmp") << pictureBytes("BMP") << "bmp";
    QTest::newRow("10,000 x 10,000 png") << largePngBytes({10000, 10000}) << "png";
}

void TstFRcademitente::logoStoredByteForByte()
{
    QFETCH(QByteArray, picture);
    QFETCH(QString, suffix);
    const QString file = writeFile(QStringLiteral("logo.") + suffix, picture);
    saveIssuer(m_fx->dm(), QStringLiteral("ACME"), QStringLiteral("12.345.678/0001-99"), QStringLiteral("Recife"));
    FRcademitenteForm &form = openRegistry();
    clickNamed(&form, QStringLiteral("BTalterar"));
    QTest::keyClicks(form.DBEdit4, QStringLiteral(" Velho"));

    m_fx->imagem().setFileChooser([file](QWidget *, const QString &) { return file; });
    ModalAnswerer answerer;
    throughLogoScreen(form, answerer, [](FRimagemForm &imagem) {
        clickNamed(&imagem, QStringLiteral("Panel1"));
        QVERIFY(!imagem.DBImage1->picture().isNull());
    });
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRimagem")});
    QVERIFY(m_errors.isEmpty());
    // The frame shows the new logo, and the city typed so far went with it.
    QCOMPARE(form.DBImage1->picture().pixelColor(0, 0).red() > 150, true);
    QVERIFY(!form.BTsalvar->isHidden());

    m_fx->dm().Base.close();
    const std::optional<QByteArray> stored = logoBytesViaIsql(m_fx->databasePath());
    QVERIFY(stored.has_value());
    QCOMPARE(*stored, fileBytes(file));
    Dataset &emitente = m_fx->dm().Emitente;
    emitente.requery({QStringLiteral("SELECT * FROM EMITENTE")});
    QCOMPARE(emitente.fieldByName(QStringLiteral("CIDADE")).asString(), QStringLiteral("Recife Velho"));
}

void TstFRcademitente::logoThatCannotBeLoaded_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason"); // empty: the system's own
    const QString notAPicture = QString::fromUtf8("O arquivo não é uma imagem BMP, JPEG ou PNG.");
    const QByteArray png = pictureBytes("PNG", {300, 100});
    QTest::newRow("missing file") << false << QByteArray() << "";
    QTest::newRow("empty file") << true << QByteArray() << notAPicture;
    QTest::newRow("text renamed .png") << true << QByteArray("isto não é uma figura") << notAPicture;
    QTest::newRow("truncated png") << true << png.left(png.size() / 2) << notAPicture;
}

void TstFRcademitente::logoThatCannotBeLoaded()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString file = m_files.filePath(exists ? QStringLiteral("texto.png") : QStringLiteral("sumiu.bmp"));
    QFile::remove(file);
    if (exists)
        writeFile(QStringLiteral("texto.png"), content);
    const QString logo = writePicture(m_files.path(), "png", Qt::blue);
    m_fx->dm().Emitente.open();
    FRimagemForm &imagem = m_fx->imagem();
    imagem.setFileChooser([logo](QWidget *, const QString &) { return logo; });
    imagem.show();
    clickNamed(&imagem, QStringLiteral("Panel1"));

    imagem.setFileChooser([file](QWidget *, const QString &) { return file; });
    ModalAnswerer answerer;
    clickNamed(&imagem, QStringLiteral("Panel1"));
    QCOMPARE(answerer.seen().size(), 1);
    const QString text = answerer.seen().constFirst().texts.value(0);
    const QString start = QStringLiteral("Erro ao carregar a imagem \"%1\" . ").arg(file.toUpper());
    QVERIFY2(text.startsWith(start) && text.size() > start.size(), qPrintable(text));
    if (!reason.isEmpty())
        QCOMPARE(text.mid(start.size()), reason);
    // The stored logo is still shown and still stored.
    QVERIFY(!imagem.DBImage1->picture().isNull());
    QCOMPARE(m_fx->dm().Emitente.state(), Dataset::State::Browse);
    imagem.hide();
    m_fx->dm().Base.close();
    const std::optional<QByteArray> stored = logoBytesViaIsql(m_fx->databasePath());
    QVERIFY(stored.has_value());
    QCOMPARE(*stored, fileBytes(logo));
}

void TstFRcademitente::cancelledFileDialogChangesNothing()
{
    saveIssuer(m_fx->dm(), QStringLiteral("ACME"), QString(), QString());
    FRimagemForm &imagem = m_fx->imagem();
    imagem.setFileChooser([](QWidget *, const QString &) { return QString(); });
    imagem.show();
    ModalAnswerer answerer;
    clickNamed(&imagem, QStringLiteral("Panel1"));
    QCOMPARE(answerer.seen().size(), 0);
    QCOMPARE(m_fx->dm().Emitente.state(), Dataset::State::Browse);
    imagem.hide();
    m_fx->dm().Base.close();
    QVERIFY(!logoBytesViaIsql(m_fx->databasePath()).has_value());
}

void TstFRcademitente::removingTheLogo()
{
    const QString logo = writePicture(m_files.path(), "jpg", Qt::green);
    FRcademitenteForm &form = openRegistry();
    clickNamed(&form, QStringLiteral("BTalterar"));
    m_fx->imagem().setFileChooser([logo](QWidget *, const QString &) { return logo; });
    ModalAnswerer answerer;
    throughLogoScreen(form, answerer, [](FRimagemForm &imagem) {
        clickNamed(&imagem, QStringLiteral("Panel1"));
        clickNamed(&imagem, QStringLiteral("Panel2"));
        QVERIFY(imagem.DBImage1->picture().isNull());
    });
    QVERIFY(form.DBImage1->picture().isNull());
    QVERIFY(m_errors.isEmpty());
    m_fx->dm().Base.close();
    QVERIFY(!logoBytesViaIsql(m_fx->databasePath()).has_value());
}

void TstFRcademitente::fileDialogProposesLogomarcaThenTheLastChoice()
{
    const QString first = writePicture(m_files.path(), "bmp", Qt::red);
    const QString second = writePicture(m_files.path(), "png", Qt::yellow);
    QStringList proposals;
    QStringList answers{first, QString(), second};
    FRimagemForm &imagem = m_fx->imagem();
    imagem.setFileChooser([&](QWidget *, const QString &proposed) {
        proposals << proposed;
        return answers.takeFirst();
    });
    imagem.show();
    for (int i = 0; i < 3; ++i)
        clickNamed(&imagem, QStringLiteral("Panel1"));
    QCOMPARE(proposals, (QStringList{QDir(m_files.path()).filePath(QStringLiteral("Logomarca/Logomarca.bmp")), first, first}));
    QCOMPARE(imagem.proposedFile(), second);
    QCOMPARE(FiltrosDoDialogo(FRimagemForm::kFiltro),
             (QStringList{QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("Jpeg (*.jpg)"), QStringLiteral("Png (*.png)")}));
}

void TstFRcademitente::closingAnsweredNaoKeepsTypedValues()
{
    saveIssuer(m_fx->dm(), QStringLiteral("ACME"), QString(), QStringLiteral("Natal"));
    FRcademitenteForm &form = openRegistry();
    clickNamed(&form, QStringLiteral("BTalterar"));
    form.DBEdit2->selectAll();
    QTest::keyClicks(form.DBEdit2, QStringLiteral("beta"));
    QTest::keyClick(form.DBEdit2, Qt::Key_Return);
    ModalAnswerer answerer;
    answerer.thenClick(QString::fromUtf8("Não"));
    clickNamed(&form, QStringLiteral("Image1"));
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRmensagem17")});
    QVERIFY(form.isVisible());
    QVERIFY(!form.BTsalvar->isHidden());
    QCOMPARE(form.DBEdit2->text(), QStringLiteral("BETA"));

    answerer.clear();
    clickNamed(&form, QStringLiteral("BTsalvar"));
    QCOMPARE(answerer.names(), QStringList{QStringLiteral("FRmensagem9")});
    Dataset &emitente = m_fx->dm().Emitente;
    emitente.requery({QStringLiteral("SELECT * FROM EMITENTE")});
    QCOMPARE(emitente.fieldByName(QStringLiteral("EMITENTE")).asString(), QStringLiteral("BETA"));
    QCOMPARE(emitente.fieldByName(QStringLiteral("CIDADE")).asString(), QStringLiteral("Natal"));
}

QTEST_MAIN(TstFRcademitente)
#include "tst_frcademitente.moc"
