#include "PageStore.h"

#include "ReportError.h"

#include <QDir>
#include <QFileDevice>
#include <QTemporaryFile>

namespace {

QString temporaryFolder()
{
    return QDir::toNativeSeparators(QDir::tempPath());
}

std::unique_ptr<QIODevice> temporaryFile()
{
    // Unnamed where the system allows it: nothing is left behind, even by a crash.
    auto file = std::make_unique<QTemporaryFile>(QDir(QDir::tempPath()).filePath(QStringLiteral("quindelo-paginas")));
    if (!file->open())
        throw ReportError(QStringLiteral("Não foi possível criar um arquivo temporário em %1 para as páginas do "
                                         "relatório: %2")
                              .arg(temporaryFolder(), file->errorString()));
    return file;
}

bool written(QIODevice &device, const QByteArray &bytes)
{
    if (device.write(bytes) != bytes.size())
        return false;
    auto *file = qobject_cast<QFileDevice *>(&device);
    return !file || file->flush();
}

} // namespace

PageStore::PageStore(Limits limits) : m_limits(std::move(limits)) {}

PageStore::~PageStore() = default;

QIODevice &PageStore::spill()
{
    if (!m_spill)
        m_spill = m_limits.openSpill ? m_limits.openSpill() : temporaryFile();
    return *m_spill;
}

void PageStore::append(const QByteArray &page)
{
    Entry entry;
    entry.size = page.size();
    if (!m_spill && m_memoryBytes + page.size() <= m_limits.memoryBytes) {
        entry.memory = int(m_memory.size());
        m_memory.push_back(page);
        m_memoryBytes += page.size();
    } else {
        // A listing's page packs to a tenth at the quickest level: less to write, and to hold
        // where the temporary folder lives in memory.
        const QByteArray compressed = qCompress(page, 1);
        entry.size = compressed.size();
        QIODevice &file = spill();
        if (file.pos() != m_spilledBytes)
            file.seek(m_spilledBytes);
        if (!written(file, compressed)) {
            throw ReportError(QStringLiteral("O relatório não cabe no espaço livre da pasta temporária %1 (%2). "
                                             "Libere espaço no disco ou escolha um período menor.")
                                  .arg(temporaryFolder(), file.errorString()));
        }
        entry.offset = m_spilledBytes;
        m_spilledBytes += compressed.size();
    }
    m_pages.push_back(entry);
}

QByteArray PageStore::at(int index) const
{
    const Entry &entry = m_pages.at(size_t(index));
    if (entry.memory >= 0)
        return m_memory.at(size_t(entry.memory));
    QByteArray bytes;
    if (m_spill->seek(entry.offset))
        bytes = m_spill->read(entry.size);
    if (bytes.size() == entry.size)
        bytes = qUncompress(bytes);
    if (bytes.isEmpty()) {
        throw ReportError(QStringLiteral("Não foi possível ler de volta as páginas do relatório na pasta temporária "
                                         "%1: %2")
                              .arg(temporaryFolder(), m_spill->errorString()));
    }
    return bytes;
}

void PageStore::clear()
{
    m_pages.clear();
    m_memory.clear();
    m_memoryBytes = 0;
    m_spill.reset();
    m_spilledBytes = 0;
}
