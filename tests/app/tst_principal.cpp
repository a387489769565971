#include "app/FRprincipal.h"
#include "app/QuindeloApplication.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>

class TstPrincipal : public QObject
{
    Q_OBJECT

public slots:
    // Stands in for the desktop's browser.
    void openedByDesktop(const QUrl &url) { m_desktopUrls << url; }

private:
    QList<QUrl> m_desktopUrls;

    static QWidget *child(FRprincipalForm &menu, const char *name)
    {
        return menu.findChild<QWidget *>(QLatin1String(name));
    }

private slots:
    void window()
    {
        FRprincipalForm menu;
        menu.resize(1024, 768);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QVERIFY(menu.windowFlags() & Qt::FramelessWindowHint);
        const QImage shot = menu.grab().toImage();
        QCOMPARE(shot.pixelColor(600, 600), QColor(64, 128, 128));
        QCOMPARE(shot.pixelColor(600, 25), QColor(0, 72, 72));
        QCOMPARE(child(menu, "FlatPanel1")->geometry(), QRect(0, 0, 1024, 49));
        auto *caption = child(menu, "FlatPanel1")->findChild<QLabel *>(QStringLiteral("caption"));
        QCOMPARE(caption->text(), QStringLiteral("  Tolvamar"));
        QCOMPARE(caption->font().pixelSize(), 29);
        QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(192, 192, 192));
        QWidget *close = child(menu, "Image1");
        QCOMPARE(close->toolTip(), QStringLiteral("Fechar"));
        // At the right end of the title panel, inside its border.
        QVERIFY(menu.width() - close->mapTo(&menu, QPoint(close->width(), 0)).x() <= 2);
        QCOMPARE(close->cursor().shape(), Qt::PointingHandCursor);
    }

    void tiles_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("caption");

        QTest::newRow("clients") << "Image2" << QPoint(40, 104) << "Cadastro" << "Label1" << "CADASTRO";
        QTest::newRow("receipts") << "Image3" << QPoint(160, 104) << "Emitir Recibo" << "Label8" << "RECIBOS";
        QTest::newRow("backup") << "Image9" << QPoint(280, 104) << "" << "Label9" << "BACKUP";
        QTest::newRow("reports") << "Image7" << QPoint(400, 104) << "Emitir Recibo" << "Label6" << "RELATÓRIOS";
        QTest::newRow("issuer") << "Image8" << QPoint(40, 224) << "Cadastro" << "Label10" << "Configurações";
        QTest::newRow("manual") << "Image4" << QPoint(160, 224) << "" << "Label2" << "MANUAL";
    }

    void tiles()
    {
        QFETCH(QString, image);
        QFETCH(QPoint, position);
        QFETCH(QString, hint);
        QFETCH(QString, label);
        QFETCH(QString, caption);
        FRprincipalForm menu;
        auto *picture = menu.findChild<QLabel *>(image);
        QVERIFY(picture);
        QCOMPARE(picture->geometry(), QRect(position, QSize(96, 96)));
        QCOMPARE(picture->pixmap().size(), QSize(96, 96));
        QCOMPARE(picture->toolTip(), hint);
        auto *text = menu.findChild<QLabel *>(label);
        QVERIFY(text);
        QCOMPARE(text->text(), caption);
        QCOMPARE(text->geometry().center().x(), picture->geometry().center().x());
        QVERIFY(text->geometry().top() >= picture->geometry().bottom());
        QVERIFY(text->fontMetrics().horizontalAdvance(caption) <= text->width());
        QCOMPARE(text->font().pixelSize(), 11);
        QCOMPARE(text->palette().color(QPalette::WindowText), QColor(Qt::white));
        for (QWidget *widget : {static_cast<QWidget *>(picture), static_cast<QWidget *>(text)}) {
            QCOMPARE(widget->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
        }
    }

    void clicks_data()
    {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("opened");

        QTest::newRow("clients picture") << "Image2" << "FRcadastro";
        QTest::newRow("clients caption") << "Label1" << "FRcadastro";
        QTest::newRow("receipts picture") << "Image3" << "FRrecibo";
        QTest::newRow("receipts caption") << "Label8" << "FRrecibo";
        QTest::newRow("backup picture") << "Image9" << "frmBackup";
        QTest::newRow("backup caption") << "Label9" << "";
        QTest::newRow("reports picture") << "Image7" << "FRrelatorios";
        QTest::newRow("reports caption") << "Label6" << "";
        QTest::newRow("issuer picture") << "Image8" << "FRcademitente";
        QTest::newRow("issuer caption") << "Label10" << "";
        QTest::newRow("manual picture") << "Image4" << "manual";
        QTest::newRow("manual caption") << "Label2" << "";
        QTest::newRow("title panel") << "FlatPanel1" << "";
    }

    void clicks()
    {
        QFETCH(QString, clicked);
        QFETCH(QString, opened);
        QStringList calls;
        FRprincipalForm menu;
        menu.setOpeners({[&] { calls << QStringLiteral("FRcadastro"); }, [&] { calls << QStringLiteral("FRrecibo"); },
                         [&] { calls << QStringLiteral("frmBackup"); }, [&] { calls << QStringLiteral("FRrelatorios"); },
                         [&] { calls << QStringLiteral("FRcademitente"); },
                         [&](const QUrl &) { calls << QStringLiteral("manual"); }});
        menu.resize(800, 600);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QWidget *target = menu.findChild<QWidget *>(clicked);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(calls, opened.isEmpty() ? QStringList() : QStringList{opened});
        QVERIFY(menu.isVisible());
    }

    void manualGoesToTheDesktopAsALocalPage()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openedByDesktop");
        m_desktopUrls.clear();
        FRprincipalForm menu;
        menu.resize(800, 600);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QTest::mouseClick(menu.findChild<QWidget *>(QStringLiteral("Image4")), Qt::LeftButton, {}, QPoint(5, 5));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(m_desktopUrls, QList<QUrl>{FRprincipalForm::manualUrl(QCoreApplication::applicationDirPath())});
        QVERIFY(menu.isVisible());
    }

    void manualIsInstalledBesideTheProgram()
    {
        QFile page(FRprincipalForm::manualUrl(QStringLiteral(PROGRAM_FOLDER)).toLocalFile());
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
        const QString html = QString::fromUtf8(page.readAll());
        QVERIFY(html.contains(QStringLiteral("lang=\"pt-BR\"")));
        // Every picture the page shows is installed with it.
        const QRegularExpression source(QStringLiteral("src=\"([^\"]+)\""));
        for (auto match = source.globalMatch(html); match.hasNext();) {
            const QString picture = match.next().captured(1);
            QVERIFY2(QFile::exists(QFileInfo(page).dir().filePath(picture)), qPrintable(picture));
        }
    }

    void closePictureEndsTheProgram()
    {
        FRprincipalForm menu;
        menu.resize(800, 600);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QObject driver; // its end cancels what is still pending
        QTimer::singleShot(0, &driver, [&] {
            QTest::mouseClick(menu.findChild<QWidget *>(QStringLiteral("Image1")), Qt::LeftButton, {}, QPoint(5, 5));
        });
        // A loop still running after this long means the click did not end it.
        QTimer::singleShot(30000, &driver, [] { QCoreApplication::exit(2); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!menu.isVisible());
    }
};

int main(int argc, char *argv[])
{
    QuindeloApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TstPrincipal test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_principal.moc"
