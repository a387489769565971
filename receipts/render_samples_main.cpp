// Renders both receipt layouts with sample values to PNG files, for the README.
#include "ReceiptPrinting.h"

#include "reportengine/ReportExport.h"
#include "reportengine/ReportFonts.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

namespace {

QByteArray sampleLogo()
{
    QImage logo(360, 140, QImage::Format_RGB32);
    logo.fill(QColor(0, 110, 110));
    QPainter painter(&logo);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(56);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(logo.rect(), Qt::AlignCenter, QStringLiteral("LOGO"));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "PNG");
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    registerReportFonts();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));

    ReceiptValues values;
    values.amount = QStringLiteral("1.234,50");
    values.amountInWords = QStringLiteral("um mil, duzentos e trinta e quatro reais e cinquenta centavos");
    values.reference = QStringLiteral("Pintura da fachada e do muro");
    values.observation = QStringLiteral("Pago em dinheiro");
    values.place = QStringLiteral("São Paulo");
    values.dateText = QStringLiteral("05 de março de 2026");
    values.number = QStringLiteral("7");
    values.otherPartyName = QStringLiteral("Maria Souza");
    values.otherPartyDocument = QStringLiteral("123.456.789-01");
    values.issuerName = QStringLiteral("Oficina Modelo Ltda");
    values.issuerDocument = QStringLiteral("12.345.678/0001-99");
    values.kind = QStringLiteral("RECEBIMENTO");
    values.logo = sampleLogo();

    const struct
    {
        ReceiptSheet sheet;
        const char *file;
    } outputs[] = {{ReceiptSheet::OnePerSheet, "frxReport.png"}, {ReceiptSheet::TwoPerSheet, "frxReport1.png"}};
    for (const auto &output : outputs) {
        Report layout = receiptLayout(output.sheet);
        fillReceipt(layout, output.sheet, values);
        layout.prepareReport();
        const QString path = folder.filePath(QLatin1String(output.file));
        if (!reportexport::pageImage(layout.preparedPages(), 0, 96).save(path, "PNG")) {
            std::fprintf(stderr, "Não foi possível gravar %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
