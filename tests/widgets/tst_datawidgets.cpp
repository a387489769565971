#include "common/ScreenTesting.h"
#include "common/Pictures.h"
#include "common/TempDatabase.h"

#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBImage.h"
#include "widgets/DBLookupComboBox.h"
#include "widgets/ErrorDisplay.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

const QList<DatasetModel::Column> kColumns{{QStringLiteral("ID_RECIBO"), QString::fromUtf8("nº"), 52},
                                           {QStringLiteral("DATA"), QString::fromUtf8("Emissão"), 71},
                                           {QStringLiteral("EMITENTE"), QStringLiteral("Nome/Razão Social"), 300},
                                           {QStringLiteral("VALOR"), QStringLiteral("Valor do Recibo"), 112}};

} // namespace

class TstDataWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareScreenTests(); }

    void gridFetchesOnlyAsItScrolls_data()
    {
        QTest::addColumn<int>("pageDowns");
        QTest::addColumn<bool>("toTheEnd");
        QTest::newRow("shown") << 0 << false;
        QTest::newRow("a few pages down") << 30 << false;
        QTest::newRow("to the end") << 0 << true;
    }
    void gridFetchesOnlyAsItScrolls()
    {
        QFETCH(int, pageDowns);
        QFETCH(bool, toTheEnd);
        constexpr int kRows = 5000;
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, kRows);
        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
        DBGrid grid(QStringLiteral("DBGrid1"));
        grid.setDataset(&m.dm.Recibos, kColumns);
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        // The view lays its rows out, and asks for the first of them, from the event loop.
        QCoreApplication::processEvents();
        grid.setFocus();
        for (int i = 0; i < pageDowns; ++i) {
            QTest::keyClick(&grid, Qt::Key_PageDown);
            QCoreApplication::processEvents();
        }
        if (toTheEnd)
            m.dm.Recibos.last();
        QCoreApplication::processEvents();

        const int fetched = m.dm.Recibos.rowCount();
        QCOMPARE(grid.model()->rowCount(), fetched);
        QCOMPARE(m.dm.Recibos.allFetched(), toTheEnd);
        if (!toTheEnd)
            QVERIFY(fetched < kRows / 2);
        QVERIFY(grid.currentIndex().row() >= pageDowns);
        QCOMPARE(grid.currentIndex().row(), m.dm.Recibos.recNo());
        const int id = grid.model()->index(m.dm.Recibos.recNo(), 0).data().toInt();
        QCOMPARE(id, m.dm.Recibos.recNo() + 1);
    }

    void gridShowsAndFollowsTheCurrentRow()
    {
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, 20);
        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")});
        DBGrid grid(QStringLiteral("DBGrid1"));
        grid.setDataset(&m.dm.Recibos, kColumns);
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        // The view lays its rows out, and asks for the first of them, from the event loop.
        QCoreApplication::processEvents();
        QAbstractItemModel *model = grid.model();
        QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Valor do Recibo"));
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("15/03/2024"));
        QCOMPARE(model->index(0, 3).data().toString(), QStringLiteral("1.234,50"));
        QCOMPARE(grid.columnWidth(2), 300);

        const QRect third = grid.visualRect(model->index(2, 2));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, third.center());
        QCOMPARE(errordisplay::lastError(), QString());
        QCOMPARE(m.dm.Recibos.recNo(), 2);
        QCOMPARE(model->headerData(2, Qt::Vertical).toString(), QStringLiteral("\u25B6"));
        QTest::keyClick(&grid, Qt::Key_Tab);
        QCOMPARE(grid.currentIndex().column(), 3);
        QCOMPARE(m.dm.Recibos.recNo(), 2);

        m.dm.Recibos.moveTo(7);
        QCOMPARE(grid.currentIndex().row(), 7);
        m.dm.Recibos.remove();
        QCOMPARE(model->rowCount(), m.dm.Recibos.rowCount());
        QCOMPARE(model->index(7, 0).data().toString(), QStringLiteral("9"));
        QCOMPARE(grid.currentIndex().row(), 7);

        QSignalSpy doubleClicks(&grid, &DBGrid::gridDoubleClicked);
        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS WHERE ID_RECIBO < 0")});
        QCOMPARE(model->rowCount(), 0);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(doubleClicks.count(), 1);
    }

    void gridOnAListEnteredAtItsEndFillsInTheRowsBefore_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("scrolled down") << "scroll";
        QTest::newRow("the rows read through") << "last";
    }

    void gridOnAListEnteredAtItsEndFillsInTheRowsBefore()
    {
        QFETCH(QString, way);
        constexpr int kRows = 3000;
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, kRows);
        DBGrid grid(QStringLiteral("DBGrid1"));
        grid.setDataset(&m.dm.Recibos, kColumns);
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        ListEntries entries;
        entries.keyField = QStringLiteral("ID_RECIBO");
        entries.reversed = QStringList{QStringLiteral("SELECT * FROM RECIBOS ORDER BY ID_RECIBO")};
        m.dm.Recibos.requeryAtLast({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO DESC")}, entries);
        QCoreApplication::processEvents();
        // Attached once the first rows are in: the view asks for rows inside the reset signal, before a tester connected after it hears of the reset.
        QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const auto currentId = [&] { return grid.currentIndex().siblingAtColumn(0).data().toInt(); };
        QCOMPARE(currentId(), 1);

        if (way == QLatin1String("scroll")) {
            for (int i = 0; !m.dm.Recibos.allFetched() && i < kRows; ++i) {
                grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
                QCoreApplication::processEvents();
            }
        } else {
            m.dm.Recibos.last();
            QCoreApplication::processEvents();
        }
        QVERIFY(!grid.model()->canFetchMore({}));
        QCOMPARE(grid.model()->rowCount(), kRows);
        for (int row = 0; row < kRows; ++row)
            QCOMPARE(grid.model()->index(row, 0).data().toInt(), kRows - row);
        QCOMPARE(grid.currentIndex().row(), m.dm.Recibos.recNo());
        QCOMPARE(currentId(), 1);
        QCOMPARE(errordisplay::lastError(), QString());
    }

    void gridTakenToTheBottomShowsTheLastRowsAtOnce_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("fromTheEnd");
        QTest::newRow("thumb dragged down") << "drag" << true;
        QTest::newRow("scroll bar's Bottom") << "bottom" << true;
        QTest::newRow("no way in from the end: every row read") << "bottom" << false;
    }

    void gridTakenToTheBottomShowsTheLastRowsAtOnce()
    {
        QFETCH(QString, way);
        QFETCH(bool, fromTheEnd);
        constexpr int kRows = 5000;
        TempDatabase db;
        Module m(db.path());
        fillRecibos(m.dm, kRows);
        ListEntries entries;
        if (fromTheEnd) {
            entries.keyField = QStringLiteral("ID_RECIBO");
            entries.reversed = QStringList{QStringLiteral("SELECT * FROM RECIBOS ORDER BY ID_RECIBO DESC")};
        }
        m.dm.Recibos.requery({QStringLiteral("SELECT * FROM RECIBOS"), QStringLiteral("ORDER BY ID_RECIBO")}, entries);
        DBGrid grid(QStringLiteral("DBGrid1"));
        grid.setDataset(&m.dm.Recibos, kColumns);
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCoreApplication::processEvents();
        QScrollBar *bar = grid.verticalScrollBar();
        // The view lays out its scroll bar once the first rows are in.
        QTRY_VERIFY(bar->maximum() > 0);
        if (way == QLatin1String("drag")) {
            dragThumbToBottom(bar);
        } else {
            bar->triggerAction(QAbstractSlider::SliderToMaximum);
        }
        QCoreApplication::processEvents();

        QAbstractItemModel *model = grid.model();
        const auto idAt = [&](int row) { return model->index(row, 0).data().toInt(); };
        // What is in sight are receipts one after the other.
        const auto inSight = [&] {
            const int top = grid.rowAt(0);
            const int bottom = grid.rowAt(grid.viewport()->height() - 1) < 0 ? model->rowCount() - 1
                                                                           : grid.rowAt(grid.viewport()->height() - 1);
            for (int row = top + 1; row <= bottom; ++row) {
                if (idAt(row) != idAt(row - 1) + 1)
                    return QStringLiteral("%1 after %2").arg(idAt(row)).arg(idAt(row - 1));
            }
            return QStringLiteral("%1 to %2").arg(idAt(top)).arg(idAt(bottom));
        };
        QVERIFY2(inSight().endsWith(QStringLiteral(" to %1").arg(kRows)), qPrintable(inSight()));
        QCOMPARE(m.dm.Recibos.rowCount() < kRows, fromTheEnd);

        // Back to the top a page at a time.
        while (bar->value() > 0) {
            bar->triggerAction(QAbstractSlider::SliderPageStepSub);
            QCoreApplication::processEvents();
            QVERIFY2(inSight().contains(QStringLiteral(" to ")), qPrintable(inSight()));
        }
        QCOMPARE(model->rowCount(), kRows);
        for (int row = 0; row < kRows; ++row)
            QCOMPARE(idAt(row), row + 1);
        QCOMPARE(errordisplay::lastError(), QString());
    }

    void lookupComboStoresTheChosenKey()
    {
        TempDatabase db;
        Module m(db.path());
        m.dm.Tipo2.requery({QStringLiteral("SELECT * FROM TIPO2"), QStringLiteral("ORDER BY ID_TIPO2")});
        m.dm.Clientes.open();
        m.dm.Clientes.insert();
        Field &type = m.dm.Clientes.fieldByName(QStringLiteral("CLASSIFICACAO"));
        type.setValue(QString::fromUtf8("FÍSICA"));
        DBLookupComboBox combo(QStringLiteral("DBtipo"));
        combo.setDataField(&m.dm.Clientes, QStringLiteral("CLASSIFICACAO"));
        combo.setListSource(&m.dm.Tipo2, QStringLiteral("TIPO2"), QStringLiteral("TIPO2"));
        combo.show();
        QVERIFY(QTest::qWaitForWindowActive(&combo));
        QCOMPARE(combo.count(), 2);
        QCOMPARE(combo.maxVisibleItems(), 8);
        QCOMPARE(combo.currentText(), QString::fromUtf8("FÍSICA"));

        QTest::keyClick(&combo, Qt::Key_Down);
        QCOMPARE(type.asString(), QString::fromUtf8("JURÍDICA"));
        type.clear();
        QCOMPARE(combo.currentIndex(), -1);
        type.setValue(QString::fromUtf8("FÍSICA"));
        QCOMPARE(combo.currentText(), QString::fromUtf8("FÍSICA"));
        m.dm.Clientes.cancel();
        QCOMPARE(combo.currentIndex(), -1);
    }

    void boundControlsFollowTheDatasetLastBound_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("entry") << "DBEdit";
        QTest::newRow("lookup combo") << "DBLookupComboBox";
        QTest::newRow("picture") << "DBImage";
    }
    void boundControlsFollowTheDatasetLastBound()
    {
        QFETCH(QString, control);
        TempDatabase db;
        Module m(db.path());
        m.dm.Tipo2.open();
        Dataset second(m.dm.Base, m.dm.Tra, QStringLiteral("Clientes2"));
        second.setSql(m.dm.Clientes.sql());
        second.setUpdateObject(&m.dm.Upclientes);
        for (Dataset *dataset : {&m.dm.Clientes, &second}) {
            dataset->open();
            dataset->insert();
        }
        DBEdit entry(QStringLiteral("DBEdit1"));
        DBLookupComboBox combo(QStringLiteral("DBtipo"));
        combo.setListSource(&m.dm.Tipo2, QStringLiteral("TIPO2"), QStringLiteral("TIPO2"));
        DBImage image(QStringLiteral("DBImage1"));
        QString fieldName;
        QVariant value;
        std::function<void(Dataset *)> bind;
        std::function<bool()> shown;
        if (control == QLatin1String("DBEdit")) {
            fieldName = QStringLiteral("CLIENTE");
            value = QStringLiteral("ANA");
            bind = [&](Dataset *dataset) { entry.setDataField(dataset, fieldName); };
            shown = [&] { return entry.text() == value.toString(); };
        } else if (control == QLatin1String("DBLookupComboBox")) {
            fieldName = QStringLiteral("CLASSIFICACAO");
            value = QString::fromUtf8("JURÍDICA");
            bind = [&](Dataset *dataset) { combo.setDataField(dataset, fieldName); };
            shown = [&] { return combo.currentText() == value.toString(); };
        } else {
            fieldName = QStringLiteral("FOTO_MARC");
            value = pictureBytes("PNG", {4, 2});
            bind = [&](Dataset *dataset) { image.setDataField(dataset, fieldName); };
            shown = [&] { return !image.picture().isNull(); };
        }
        bind(&m.dm.Clientes);
        m.dm.Clientes.fieldByName(fieldName).setValue(value);
        QVERIFY(shown());
        bind(&second);
        QVERIFY(!shown());
        m.dm.Clientes.fieldByName(fieldName).clear();
        m.dm.Clientes.fieldByName(fieldName).setValue(value);
        QVERIFY(!shown());
        second.fieldByName(fieldName).setValue(value);
        QVERIFY(shown());
        second.cancel();
        QVERIFY(!shown());
    }

    void pictureDecodesOnlyPictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("shown");
        QTest::newRow("bmp") << pictureBytes("BMP", {4, 2}) << true;
        QTest::newRow("jpeg") << pictureBytes("JPEG", {4, 2}) << true;
        QTest::newRow("png") << pictureBytes("PNG", {4, 2}) << true;
        QTest::newRow("10,000 x 10,000 png") << largePngBytes({10000, 10000}) << true;
        QTest::newRow("gif is not offered") << QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14) << false;
        QTest::newRow("bmp header, garbage after") << QByteArray("BM\xff\xff\xff\xff garbage") << false;
        QTest::newRow("truncated png") << pictureBytes("PNG", {4, 2}).left(20) << false;
        QTest::newRow("text") << QByteArray("not a picture") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void pictureDecodesOnlyPictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);
        TempDatabase db;
        Module m(db.path());
        m.dm.Emitente.open();
        m.dm.Emitente.insert();
        m.dm.Emitente.fieldByName(QStringLiteral("FOTO_MARC")).setValue(bytes.isEmpty() ? QVariant() : QVariant(bytes));
        m.dm.Emitente.post();
        m.dm.Tra.commitRetaining();
        m.dm.Emitente.requery({QStringLiteral("SELECT * FROM EMITENTE")});
        DBImage image(QStringLiteral("DBImage1"));
        image.setDataField(&m.dm.Emitente, QStringLiteral("FOTO_MARC"));
        image.resize(100, 50);
        QCOMPARE(!image.picture().isNull(), shown);
        const QColor corner = image.grab().toImage().pixelColor(2, 47);
        if (shown)
            QVERIFY(qAbs(corner.red() - 200) < 20 && corner.green() < 60);
        else
            QVERIFY(corner.red() < 180 || corner.green() > 60);
    }
};

QTEST_MAIN(TstDataWidgets)
#include "tst_datawidgets.moc"
