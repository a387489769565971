// Times what loading a 20 MB logo costs: reading the file and storing it
// (post and commit-retaining), reading it back, decoding it for a frame, and
// the whole load through the logo screen with its frame.
//   bench_logo [FOLDER]
#include "data/DatabaseCreator.h"
#include "data/Datamodule1.h"
#include "receipts/FRimagem.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// Noise compresses badly, so the files come out near 20 MB.
QString writeNoise(const QString &folder, const char *format, int side)
{
    QImage image(side, side, QImage::Format_RGB888);
    QRandomGenerator random(7);
    for (int y = 0; y < side; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < side * 3; ++x)
            line[x] = uchar(random.bounded(256));
    }
    const QString path = QDir(folder).filePath(QStringLiteral("logo.%1").arg(QLatin1String(format)));
    image.save(path, format, 100);
    return path;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir temp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    const QString database = QDir(folder).filePath(QStringLiteral("LOGO.FDB"));
    QFile::remove(database);
    databasecreator::create(database);
    QTemporaryDir config;
    DataModule dm(config.path());
    dm.Base.setDatabaseName(database);
    Dataset &emitente = dm.Emitente;
    emitente.open();
    FRimagemForm screen(dm);
    screen.show();

    const QSize frame(372, 192);
    std::printf("%-5s %9s %10s %10s %12s %12s %10s\n", "type", "MB", "store ms", "read ms", "decode ms", "scaled ms",
                "screen ms");
    for (const auto &[format, side] : {std::pair{"bmp", 2600}, std::pair{"png", 2600}, std::pair{"jpg", 3300}}) {
        const QString path = writeNoise(folder, format, side);
        QByteArray bytes;
        const double store = timeMs([&] {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            emitente.edit();
            emitente.fieldByName(QStringLiteral("FOTO_MARC")).setValue(file.readAll());
            emitente.post();
            dm.Tra.commitRetaining();
        });
        const double read = timeMs([&] {
            emitente.requery({QStringLiteral("SELECT * FROM EMITENTE")});
            bytes = emitente.fieldByName(QStringLiteral("FOTO_MARC")).asBytes();
        });
        QImage full;
        const double decode = timeMs([&] { full = QImage::fromData(bytes); });
        QImage scaled;
        const double decodeScaled = timeMs([&] {
            QBuffer buffer(&bytes);
            QImageReader reader(&buffer);
            reader.setScaledSize(reader.size().scaled(frame, Qt::KeepAspectRatio));
            scaled = reader.read();
        });
        screen.setFileChooser([path](QWidget *, const QString &) { return path; });
        const double throughScreen = timeMs([&] {
            screen.CarregarImagem();
            screen.repaint();
        });
        std::printf("%-5s %9.1f %10.0f %10.0f %12.0f %12.0f %10.0f%s\n", format, bytes.size() / 1048576.0, store, read,
                    decode, decodeScaled, throughScreen, full.isNull() ? "  (full decode refused)" : "");
    }
    return 0;
}
