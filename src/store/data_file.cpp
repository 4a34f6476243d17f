#include "store/data_file.h"

#include <QDir>
#include <cerrno>
#include <algorithm>
#include <limits>
#include <vector>

#include "store/save_journal.h"
#include "store/store_error.h"

using Module1::FicheRecord;
using Module1::kSlotSize;

namespace {

QString quoted(const QString& path) {
    return QStringLiteral("«\u00A0%1\u00A0»").arg(QDir::toNativeSeparators(path));
}

std::int64_t slotOffset(std::int32_t n) { return std::int64_t(n - 1) * kSlotSize; }

// Bytes [from, to) of the file as empty cards would fill them.
std::vector<char> emptyCardsBetween(std::int64_t from, std::int64_t to) {
    std::vector<char> bytes;
    bytes.reserve(std::size_t(to - from));
    for (std::int64_t position = from; position < to;) {
        const std::int64_t slot = position / kSlotSize + 1;
        const auto card = Module1::toBytes(Module1::emptyCard(slot));
        const std::int64_t inSlot = position % kSlotSize;
        const std::int64_t count = std::min<std::int64_t>(kSlotSize - inSlot, to - position);
        bytes.insert(bytes.end(), card.begin() + inSlot, card.begin() + inSlot + count);
        position += count;
    }
    return bytes;
}

// Holds the data file for the length of one operation.
class FileLock {
public:
    explicit FileLock(RandomAccessFile& file) : m_file(file), m_held(file.lock()) {}
    ~FileLock() {
        if (m_held) m_file.unlock();
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return m_held; }

private:
    RandomAccessFile& m_file;
    bool m_held;
};

void requireSlotNumber(std::int32_t n) {
    if (n < 1) {
        throw StoreError(QStringLiteral("Le numéro de fiche %1 n'est pas valable\u00A0: "
                                        "les fiches sont numérotées à partir de 1.")
                             .arg(n));
    }
}

}  // namespace

std::int32_t recordCountFor(std::int64_t length) {
    const std::int64_t count = (length + kSlotSize / 2) / kSlotSize;
    return std::int32_t(std::min<std::int64_t>(count, std::numeric_limits<std::int32_t>::max()));
}

DataFile::DataFile(QString path, std::unique_ptr<RandomAccessFile> file, FileSystem& fileSystem)
    : m_path(std::move(path)), m_file(std::move(file)), m_fileSystem(&fileSystem) {}
DataFile::DataFile(DataFile&&) noexcept = default;
DataFile& DataFile::operator=(DataFile&&) noexcept = default;
DataFile::~DataFile() = default;

DataFile DataFile::open(const QString& path) {
    if (path.isEmpty()) throw StoreError(QStringLiteral("Aucun fichier de données n'a été choisi."));
    FileSystem& fileSystem = FileSystem::current();
    int error = 0;
    auto file = fileSystem.open(path, error);
    if (!file) {
        throw StoreError(QStringLiteral("Impossible d'ouvrir le fichier de données %1\u00A0: %2.")
                             .arg(quoted(path), describeSystemError(error)));
    }
    if (file->writable() && fileSystem.exists(savejournal::pathFor(path))) {
        // Another copy of the program may be saving: wait for it before
        // taking its recovery file for the trace of a save cut short.
        FileLock lock(*file);
        int cause = lock.held() ? 0 : file->error();
        if (lock.held() && !savejournal::recover(fileSystem, path, *file, cause) && cause == 0) cause = EIO;
        if (cause != 0) {
            throw StoreError(QStringLiteral("Le fichier de données %1 n'a pas pu être remis en état après un "
                                            "enregistrement interrompu\u00A0: %2.")
                                 .arg(quoted(path), describeSystemError(cause)));
        }
    }
    return DataFile(path, std::move(file), fileSystem);
}

void DataFile::fail(const QString& what, int error) const {
    throw StoreError(QStringLiteral("%1 %2\u00A0: %3.")
                         .arg(what, quoted(m_path), describeSystemError(error)));
}

std::int64_t DataFile::fileSize() {
    std::int64_t size = 0;
    if (!m_file->size(size)) fail(QStringLiteral("Impossible de lire la taille du fichier"), m_file->error());
    return size;
}

std::int32_t DataFile::recordCount() { return recordCountFor(fileSize()); }

void DataFile::readSlot(std::int32_t n, FicheRecord& into) {
    Module1::SlotBytes bytes;
    readSlots(n, bytes);
    Module1::fromBytes(bytes.data(), into);
}

void DataFile::readSlots(std::int32_t first, std::span<char> into) {
    requireSlotNumber(first);
    const std::int64_t offset = slotOffset(first);
    const auto size = std::int64_t(into.size());
    std::int64_t got = 0;
    if (!m_file->readAt(offset, into.data(), size, got)) {
        fail(QStringLiteral("Impossible de lire la fiche n° %1 du fichier").arg(first), m_file->error());
    }
    if (got < size) {
        const std::vector<char> rest = emptyCardsBetween(offset + got, offset + size);
        std::copy(rest.begin(), rest.end(), into.begin() + got);
    }
}

void DataFile::writeSlot(std::int32_t n, const FicheRecord& fiche) {
    requireSlotNumber(n);
    const QString what = QStringLiteral("Impossible d'enregistrer la fiche n° %1 dans le fichier").arg(n);
    if (!m_file->writable()) {
        throw StoreError(QStringLiteral("%1 %2\u00A0: le fichier est en lecture seule.").arg(what, quoted(m_path)));
    }
    FileLock lock(*m_file);
    if (!lock.held()) fail(what, m_file->error());
    const std::int64_t size = fileSize();
    const std::int64_t offset = slotOffset(n);
    savejournal::Undo undo;
    undo.originalSize = size;
    undo.start = std::min(offset, size);
    std::vector<char> data = emptyCardsBetween(undo.start, offset);
    const auto card = Module1::toBytes(fiche);
    data.insert(data.end(), card.begin(), card.end());

    // What the written range held, to put back if the save does not complete.
    undo.previous.resize(std::size_t(std::clamp<std::int64_t>(size - undo.start, 0, std::int64_t(data.size()))));
    std::int64_t got = 0;
    if (!m_file->readAt(undo.start, undo.previous.data(), std::int64_t(undo.previous.size()), got)) {
        fail(what, m_file->error());
    }
    undo.previous.resize(std::size_t(got));

    int error = 0;
    if (!savejournal::begin(*m_fileSystem, m_path, undo, error)) fail(what, error);
    if (m_file->writeAt(undo.start, data.data(), std::int64_t(data.size())) && m_file->sync() &&
        savejournal::end(*m_fileSystem, m_path, error)) {
        return;
    }
    if (!error) error = m_file->error();
    // Undone now if possible; otherwise the recovery file undoes it at the next open.
    int ignored = 0;
    if (savejournal::undo(*m_file, undo)) savejournal::end(*m_fileSystem, m_path, ignored);
    fail(what, error);
}

void DataFile::close() { m_file.reset(); }
