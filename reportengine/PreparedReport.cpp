#include "PreparedReport.h"

#include "ReportError.h"

#include "data/ErrorText.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include <cstring>
#include <utility>

namespace {

constexpr quint32 kMagic = 0x514e5047; // "QNPG"
constexpr quint16 kVersion = 1;

bool sameFont(const FontDesc &a, const FontDesc &b)
{
    return a.family == b.family && a.pointSize == b.pointSize && a.bold == b.bold && a.italic == b.italic
        && a.color == b.color;
}

// A page packed for its store: per primitive a fixed part, then its clip when
// it has one and its text's UTF-16 code units. Only this process reads it back.
struct PackedPrimitive
{
    double rect[4];
    double width;
    quint32 color;
    qint32 font;
    qint32 image;
    quint32 textLength;
    quint8 type;
    quint8 align;
    quint8 lineStyle;
    quint8 clipped;
};

template <typename T>
void put(QByteArray &bytes, const T &value)
{
    bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
}

template <typename T>
T take(const char *&at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

void putRect(QByteArray &bytes, const QRectF &rect)
{
    for (const double d : {rect.x(), rect.y(), rect.width(), rect.height()})
        put(bytes, d);
}

QRectF takeRect(const char *&at)
{
    const double x = take<double>(at), y = take<double>(at), w = take<double>(at), h = take<double>(at);
    return QRectF(x, y, w, h);
}

QByteArray pack(const PreparedPage &page)
{
    qsizetype size = sizeof(quint32);
    for (const Primitive &p : page.primitives)
        size += sizeof(PackedPrimitive) + (p.clip.isNull() ? 0 : 4 * sizeof(double)) + p.text.size() * 2;
    QByteArray bytes;
    bytes.reserve(size);
    put(bytes, quint32(page.primitives.size()));
    for (const Primitive &p : page.primitives) {
        const PackedPrimitive fixed{{p.rect.x(), p.rect.y(), p.rect.width(), p.rect.height()},
                                    p.width,
                                    quint32(p.color),
                                    qint32(p.font),
                                    qint32(p.image),
                                    quint32(p.text.size()),
                                    quint8(p.type),
                                    p.align,
                                    quint8(p.lineStyle),
                                    quint8(p.clip.isNull() ? 0 : 1)};
        put(bytes, fixed);
        if (fixed.clipped)
            putRect(bytes, p.clip);
        bytes.append(reinterpret_cast<const char *>(p.text.constData()), p.text.size() * 2);
    }
    return bytes;
}

PreparedPage unpack(const QByteArray &bytes, const QSizeF &size)
{
    PreparedPage page{size, {}};
    const char *at = bytes.constData();
    const quint32 count = take<quint32>(at);
    page.primitives.resize(count);
    for (Primitive &p : page.primitives) {
        const PackedPrimitive fixed = take<PackedPrimitive>(at);
        p.rect = QRectF(fixed.rect[0], fixed.rect[1], fixed.rect[2], fixed.rect[3]);
        p.width = fixed.width;
        p.color = fixed.color;
        p.font = fixed.font;
        p.image = fixed.image;
        p.type = Primitive::Type(fixed.type);
        p.align = fixed.align;
        p.lineStyle = LineStyle(fixed.lineStyle);
        if (fixed.clipped)
            p.clip = takeRect(at);
        p.text = QString(reinterpret_cast<const QChar *>(at), qsizetype(fixed.textLength));
        at += fixed.textLength * 2;
    }
    return page;
}

} // namespace

PreparedReport::PreparedReport(PageStore::Limits limits) : m_store(std::make_unique<PageStore>(std::move(limits))) {}

PreparedReport::PreparedReport(const PreparedReport &other)
{
    const std::lock_guard<std::mutex> lock(other.m_lock);
    m_store = std::make_unique<PageStore>(other.m_store->limits());
    m_sizes = other.m_sizes;
    m_fonts = other.m_fonts;
    m_images = other.m_images;
    for (int i = 0; i < other.m_store->count(); ++i)
        m_store->append(other.m_store->at(i));
}

PreparedReport &PreparedReport::operator=(const PreparedReport &other)
{
    if (this != &other)
        *this = PreparedReport(other);
    return *this;
}

PreparedReport::PreparedReport(PreparedReport &&other)
{
    const std::lock_guard<std::mutex> lock(other.m_lock);
    m_store = std::exchange(other.m_store, std::make_unique<PageStore>(other.m_store->limits()));
    m_sizes = std::exchange(other.m_sizes, {});
    m_fonts = std::exchange(other.m_fonts, {});
    m_images = std::exchange(other.m_images, {});
}

PreparedReport &PreparedReport::operator=(PreparedReport &&other)
{
    if (this != &other) {
        const std::scoped_lock lock(m_lock, other.m_lock);
        std::swap(m_store, other.m_store);
        m_sizes = std::exchange(other.m_sizes, {});
        m_fonts = std::exchange(other.m_fonts, {});
        m_images = std::exchange(other.m_images, {});
        other.m_store->clear();
    }
    return *this;
}

PreparedReport::~PreparedReport() = default;

int PreparedReport::pageCount() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_store->count();
}

PreparedPage PreparedReport::page(int index) const
{
    QByteArray bytes;
    QSizeF size;
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        bytes = m_store->at(index);
        size = m_sizes.at(index);
    }
    return unpack(bytes, size);
}

QSizeF PreparedReport::pageSize(int index) const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_sizes.at(index);
}

QVector<FontDesc> PreparedReport::fonts() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_fonts;
}

QVector<QImage> PreparedReport::images() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_images;
}

qint64 PreparedReport::bytesInMemory() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_store->bytesInMemory();
}

qint64 PreparedReport::bytesSpilled() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_store->bytesSpilled();
}

void PreparedReport::addPage(const PreparedPage &page)
{
    const QByteArray packed = pack(page);
    const std::lock_guard<std::mutex> lock(m_lock);
    m_store->append(packed);
    m_sizes.append(page.size);
}

int PreparedReport::fontIndex(const FontDesc &font)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    for (int i = 0; i < m_fonts.size(); ++i) {
        if (sameFont(m_fonts.at(i), font))
            return i;
    }
    m_fonts.append(font);
    return int(m_fonts.size() - 1);
}

int PreparedReport::imageIndex(const QImage &image)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    for (int i = 0; i < m_images.size(); ++i) {
        if (m_images.at(i).cacheKey() == image.cacheKey())
            return i;
    }
    m_images.append(image);
    return int(m_images.size() - 1);
}

void PreparedReport::clear()
{
    const std::lock_guard<std::mutex> lock(m_lock);
    m_store->clear();
    m_sizes.clear();
    m_fonts.clear();
    m_images.clear();
}

void PreparedReport::append(const PreparedReport &other)
{
    QVector<int> fonts, images;
    for (const FontDesc &font : other.fonts())
        fonts << fontIndex(font);
    for (const QImage &image : other.images())
        images << imageIndex(image);
    for (int i = 0; i < other.pageCount(); ++i) {
        PreparedPage copy = other.page(i);
        for (Primitive &primitive : copy.primitives) {
            if (primitive.font >= 0)
                primitive.font = fonts.at(primitive.font);
            if (primitive.image >= 0)
                primitive.image = images.at(primitive.image);
        }
        addPage(copy);
    }
}

int PreparedReport::findText(const QString &text, int from) const
{
    for (int p = qMax(0, from); p < pageCount(); ++p) {
        for (const Primitive &primitive : page(p).primitives) {
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
    const QVector<FontDesc> fonts = this->fonts();
    out << qint32(fonts.size());
    for (const FontDesc &font : fonts)
        out << font.family << font.pointSize << font.bold << font.italic << font.color;
    const QVector<QImage> images = this->images();
    out << qint32(images.size());
    for (const QImage &image : images)
        out << image;
    out << qint32(pageCount());
    for (int i = 0; i < pageCount(); ++i) {
        const PreparedPage page = this->page(i);
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
        PreparedPage page{size, {}};
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
        if (in.status() == QDataStream::Ok)
            report.addPage(page);
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
