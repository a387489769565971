// Times a working day through the built program, driven as a user drives it,
// over a database of 100,000 clients and 1,000,000 receipts: each step from
// the click that starts it until the program takes the next click.
//   bench_workingday [FOLDER]   (reuses FOLDER/BENCH-DIA.FDB when it is already filled)
#include "ProgramDriver.h"
#include "bench/common/BenchDatabase.h"
#include "data/DatabaseError.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

class Day
{
public:
    explicit Day(ProgramDriver &driver) : m_driver(driver) {}

    // Runs the actions and prints how long they took; a failed action ends the bench.
    void step(const char *what, const std::function<bool()> &actions)
    {
        QElapsedTimer timer;
        timer.start();
        if (!actions()) {
            std::fprintf(stderr, "%s: %s\n", what, qPrintable(m_driver.lastError()));
            std::exit(1);
        }
        std::printf("%-58s %8.0f ms\n", what, double(timer.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }

private:
    ProgramDriver &m_driver;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString folder = app.arguments().value(1, scratch.path());
    QString prepared;
    try {
        prepared = benchdb::prepare(folder, QStringLiteral("BENCH-DIA.FDB"), benchdb::Contents());
    } catch (const DatabaseError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    // The day writes to the database: it works on a copy.
    QTemporaryDir home;
    const QDir run(home.path());
    if (!QFile::copy(prepared, run.filePath(QStringLiteral("QUINDELO.FDB")))) {
        std::fprintf(stderr, "could not copy %s\n", qPrintable(prepared));
        return 1;
    }
    ProgramDriver driver;
    Day day(driver);
    const auto s = [](const char *text) { return QString::fromUtf8(text); };
    day.step("start-up until the menu takes a click", [&] {
        return driver.start(QStringLiteral(PROGRAM_PATH), home.path(),
                            ProgramDriver::desktop(home.path(), QStringLiteral(DRIVER_PLUGIN_DIR))) && driver.click(s("FRprincipal/Image3"));
    });
    day.step("receipt editor opens (newest of 1,000,000 receipts)", [&] { return driver.click(s("FRrecibo/BTnovo")); });
    day.step("client lookup opens (100,000 clients)", [&] {
        return driver.click(s("FRrecibo/Panel1")) && driver.clickAt(s("FRconsultacli2/EDlocalizar"), 3, -1);
    });
    day.step("typing \"MARIA S\" in the lookup", [&] {
        return driver.keys(s("FRconsultacli2/EDlocalizar"), s("MARIA S"))
            && !driver.text(s("FRconsultacli2/EDlocalizar")).isEmpty();
    });
    day.step("client chosen, back in the editor", [&] {
        return driver.doubleClickRow(s("FRconsultacli2/DBGrid1"), 0) && driver.click(s("FRrecibo/DBreferente"));
    });
    day.step("receipt typed and saved", [&] {
        return driver.keys(s("FRrecibo/DBreferente"), s("Servicos do dia")) && driver.type(s("FRrecibo/DBvalor"), s("350,00"))
            && driver.press(s("FRrecibo/DBvalor"), s("Tab")) && driver.click(s("FRrecibo/BTsalvar"))
            && driver.click(s("FRmensagem12/FlatButton1"));
    });
    day.step("print preview of the receipt opens", [&] {
        return driver.click(s("FRrecibo/Image2")) && driver.click(s("PreviewWindow/ACpdf"));
    });
    day.step("receipt exported to PDF", [&] {
        return driver.type(s("QFileDialog/fileNameEdit"), run.filePath(s("recibo.pdf")))
            && driver.press(s("QFileDialog/fileNameEdit"), s("Return")) && driver.click(s("PreviewWindow/ACfechar"));
    });
    const QDate first(2024, 3, 1);
    day.step("period screen opens", [&] {
        return driver.click(s("FRrecibo/BTsair")) && driver.click(s("FRprincipal/Image7"))
            && driver.click(s("FRrelatorios/Image5"));
    });
    day.step("March 2024 typed", [&] {
        return driver.doubleClickAt(s("FRabrerecibos3/Medtini"), 8, -1) && driver.keys(s("FRabrerecibos3/Medtini"), s("01032024"))
            && driver.doubleClickAt(s("FRabrerecibos3/Medtfim"), 8, -1) && driver.keys(s("FRabrerecibos3/Medtfim"), s("31032024"))
            && driver.waitForText(s("FRabrerecibos3/Medtini"), first.toString(s("dd/MM/yyyy")))
            && driver.waitForText(s("FRabrerecibos3/Medtfim"), s("31/03/2024"));
    });
    day.step("the month's receipts listed (about 15,500)", [&] {
        return driver.click(s("FRabrerecibos3/Panel1")) && driver.click(s("PreviewWindow/ACpdf"));
    });
    day.step("the listing exported to PDF", [&] {
        return driver.type(s("QFileDialog/fileNameEdit"), run.filePath(s("periodo.pdf")))
            && driver.press(s("QFileDialog/fileNameEdit"), s("Return")) && driver.click(s("PreviewWindow/ACfechar"));
    });
    day.step("backup of the whole database", [&] {
        return driver.click(s("FRabrerecibos3/BTsair")) && driver.click(s("FRrelatorios/Image1"))
            && driver.click(s("FRprincipal/Image9")) && driver.click(s("frmBackup/Panel1"))
            && driver.click(s("FRmensagem14/FlatButton1"));
    });
    int exitCode = -1;
    day.step("program ends", [&] { return driver.waitForExit(exitCode) && exitCode == 0; });
    std::printf("database %.0f MB, listing %.1f MB\n", QFileInfo(prepared).size() / 1048576.0,
                QFileInfo(run.filePath(QStringLiteral("periodo.pdf"))).size() / 1048576.0);
    return 0;
}
