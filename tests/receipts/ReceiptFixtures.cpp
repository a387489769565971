#include "ReceiptFixtures.h"

#include "common/FirebirdTools.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QTest>

void saveIssuer(DataModule &dm, const QString &name, const QString &document, const QString &city)
{
    dm.Emitente.open();
    dm.Emitente.edit();
    dm.Emitente.fieldByName(QStringLiteral("EMITENTE")).setValue(name);
    dm.Emitente.fieldByName(QStringLiteral("CPFCNPJ")).setValue(document);
    dm.Emitente.fieldByName(QStringLiteral("CIDADE")).setValue(city);
    dm.Emitente.post();
    dm.Tra.commitRetaining();
}

QString writePicture(const QString &folder, const QByteArray &format, const QColor &color, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    const QString path = QDir(folder).filePath(QStringLiteral("logo-%1.%2").arg(color.name().mid(1), QString::fromLatin1(format)));
    if (!image.save(path, format.constData()))
        qFatal("Could not write the test picture %s", qPrintable(path));
    return path;
}

namespace {

QString firstIssuer(const QString &databasePath, const QString &column)
{
    return isql(databasePath, QStringLiteral("SET HEADING OFF;\nSELECT %1 FROM EMITENTE ORDER BY ID_EMITENTE ROWS 1;\n")
                                  .arg(column)
                                  .toUtf8())
        .trimmed();
}

} // namespace

std::optional<QByteArray> logoBytesViaIsql(const QString &databasePath)
{
    const QString length = firstIssuer(databasePath, QStringLiteral("COALESCE(OCTET_LENGTH(FOTO_MARC), -1)"));
    bool ok = false;
    const int size = length.toInt(&ok);
    if (!ok)
        qFatal("Unexpected isql-fb output: %s", qPrintable(length));
    if (size < 0)
        return std::nullopt;
    // isql shows an OCTETS text in hexadecimal; a blob goes out in pieces of that size.
    constexpr int kPiece = 32000;
    QByteArray bytes;
    for (int from = 1; from <= size; from += kPiece) {
        const QString hex = firstIssuer(databasePath, QStringLiteral(
            "CAST(SUBSTRING(FOTO_MARC FROM %1 FOR %2) AS VARCHAR(%2) CHARACTER SET OCTETS)").arg(from).arg(kPiece));
        bytes += QByteArray::fromHex(hex.toLatin1());
    }
    return bytes;
}
