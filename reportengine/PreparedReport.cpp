#include "PreparedReport.h"

#include "ReportError.h"

#include "data/ErrorText.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

namespace {

constexpr quint32 kMagic = 0x514e5047; // "QNPG"
constexpr quint16 kVersion = 1;

bool sameFont(const FontDesc &a, const FontDesc &b)
{
    return a.family == b.family && a.pointSize == b.pointSize && a.bold == b.bold && a.italic == b.italic
        && a.color == b.color;
}

} // namespace

PreparedPage &PreparedReport::addPage(const QSizeF &size)
{
    m_pages.append(PreparedPage{size, {}});
    return m_pages.last();
}

int PreparedReport::fontIndex(const FontDesc &font)
{
    for (int i = 0; i < m_fonts.size(); ++i) {
        if (sameFont(m_fonts.at(i), font))
            return i;
    }
    m_fonts.append(font);
    return int(m_fonts.size() - 1);
}

int PreparedReport::imageIndex(const QImage &image)
{
    for (int i = 0; i < m_images.size(); ++i) {
        if (m_images.at(i).cacheKey() == image.cacheKey())
            return i;
    }
    m_images.append(image);
    return int(m_images.size() - 1);
}

void PreparedReport::clear()
{
    m_pages.clear();
    m_fonts.clear();
    m_images.clear();
}

void PreparedReport::append(const PreparedReport &other)
{
    QVector<int> fonts, images;
    for (const FontDesc &font : other.m_fonts)
        fonts << fontIndex(font);
    for (const QImage &image : other.m_images)
        images << imageIndex(image);
    for (const PreparedPage &page : other.m_pages) {
        PreparedPage &copy = addPage(page.size);
        copy.primitives = page.primitives;
        for (Primitive &primitive : copy.primitives) {
            if (primitive.font >= 0)
                primitive.font = fonts.at(primitive.font);
            if (primitive.image >= 0)
                primitive.image = images.at(primitive.image);
        }
    }
}

int PreparedReport::findText(const QString &text, int from) const
{
    for (int p = qMax(0, from); p < m_pages.size(); ++p) {
        for (const Primitive &primitive : m_pages.at(p).primitives) {
            if (primitive.type == Primitive::Type::Text && primitive.text.contains(text, Qt::CaseInsensitive))
                return p;
        }
    }
    return -1;
}

void PreparedReport::save(QIODevice &device) const
{
    QDataStream out(&device);
    out.setVersion(QDataStream::Qt_6_0);
    out << kMagic << kVersion;
    out << qint32(m_fonts.size());
    for (const FontDesc &font : m_fonts)
        out << font.family << font.pointSize << font.bold << font.italic << font.color;
    out << qint32(m_images.size());
    for (const QImage &image : m_images)
        out << image;
    out << qint32(m_pages.size());
    for (const PreparedPage &page : m_pages) {
        out << page.size << qint32(page.primitives.size());
        for (const Primitive &p : page.primitives) {
            out << quint8(p.type) << p.rect << p.clip << p.text << quint32(p.color) << p.align
                << quint8(p.lineStyle) << p.width << qint32(p.font) << qint32(p.image);
        }
    }
    if (out.status() != QDataStream::Ok) {
        const auto *file = qobject_cast<const QFileDevice *>(&device);
        throw ReportError(QStringLiteral("Não foi possível gravar as páginas: %1.")
                              .arg(file ? errortext::fileProblem(*file) : device.errorString()));
    }
}

PreparedReport PreparedReport::load(QIODevice &device)
{
    QDataStream in(&device);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    if (magic != kMagic || version != kVersion)
        throw ReportError(QStringLiteral("O arquivo não contém páginas de relatório."));

    PreparedReport report;
    qint32 count = 0;
    in >> count;
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        FontDesc font;
        in >> font.family >> font.pointSize >> font.bold >> font.italic >> font.color;
        report.m_fonts.append(font);
    }
    in >> count;
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QImage image;
        in >> image;
        report.m_images.append(image);
    }
    in >> count;
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QSizeF size;
        qint32 primitives = 0;
        in >> size >> primitives;
        PreparedPage &page = report.addPage(size);
        for (qint32 j = 0; j < primitives && in.status() == QDataStream::Ok; ++j) {
            Primitive p;
            quint8 type = 0, style = 0;
            quint32 color = 0;
            qint32 font = -1, image = -1;
            in >> type >> p.rect >> p.clip >> p.text >> color >> p.align >> style >> p.width >> font >> image;
            p.type = Primitive::Type(type);
            p.color = color;
            p.lineStyle = LineStyle(style);
            p.font = font;
            p.image = image;
            const bool badFont = p.type == Primitive::Type::Text && (font < 0 || font >= report.m_fonts.size());
            const bool badImage = p.type == Primitive::Type::Picture && (image < 0 || image >= report.m_images.size());
            if (type > quint8(Primitive::Type::Picture) || style > quint8(LineStyle::SquareDots) || badFont || badImage)
                in.setStatus(QDataStream::ReadCorruptData);
            page.primitives.append(p);
        }
    }
    if (in.status() != QDataStream::Ok)
        throw ReportError(QStringLiteral("O arquivo de páginas está incompleto ou danificado."));
    return report;
}

void PreparedReport::saveToFile(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(QStringLiteral("Não foi possível gravar o arquivo %1: %2.").arg(path, errortext::fileProblem(file)));
    save(file);
    if (!file.commit())
        throw ReportError(QStringLiteral("Não foi possível gravar o arquivo %1: %2.").arg(path, errortext::fileProblem(file)));
}

PreparedReport PreparedReport::loadFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("Não foi possível abrir o arquivo %1: %2.").arg(path, errortext::fileProblem(file)));
    return load(file);
}
