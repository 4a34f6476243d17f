#include "store/data_file.h"

#include <QDir>
#include <cerrno>
#include <algorithm>
#include <limits>
#include <thread>
#include <vector>

#include "store/save_journal.h"
#include "store/store_error.h"
#include "store/store_notice.h"

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

// Holds the data file for the length of one operation, once another
// program lets go of it, if it does so within DataFile::kLockWait.
class FileLock {
public:
    explicit FileLock(RandomAccessFile& file) : m_file(file) {
        const auto deadline = std::chrono::steady_clock::now() + DataFile::kLockWait;
        // Another copy of the program saving one card after another frees
        // the file for a few microseconds at a time: look often, or it would
        // take the file back every time before this one looked.
        while ((m_result = file.tryLock()) == RandomAccessFile::Lock::heldElsewhere &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    ~FileLock() {
        if (m_result == RandomAccessFile::Lock::taken) m_file.unlock();
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    RandomAccessFile::Lock result() const { return m_result; }

private:
    RandomAccessFile& m_file;
    RandomAccessFile::Lock m_result;
};

QString inUse(const QString& path) {
    return QStringLiteral("Le fichier de données %1 est utilisé par un autre programme\u00A0: "
                          "réessayez quand il l'aura libéré.")
        .arg(quoted(path));
}

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
    if (!file && !fileSystem.exists(path)) {
        throw StoreError(QStringLiteral("Le fichier de données %1 n'existe pas et ne peut pas être créé\u00A0: %2.")
                             .arg(quoted(path), describeSystemError(error)),
                         StoreError::Kind::cannotCreate);
    }
    if (!file) {
        throw StoreError(QStringLiteral("Impossible d'ouvrir le fichier de données %1\u00A0: %2.")
                             .arg(quoted(path), describeSystemError(error)));
    }
    if (file->writable() && savejournal::anyFor(fileSystem, path)) {
        // Another copy of the program may be saving: wait for it before
        // taking its recovery file for the trace of a save cut short.
        FileLock lock(*file);
        if (lock.result() == RandomAccessFile::Lock::heldElsewhere) throw StoreError(inUse(path));
        QStringList notices;
        int cause = lock.result() == RandomAccessFile::Lock::taken ? 0 : file->error();
        if (cause == 0 && !savejournal::recover(fileSystem, path, *file, notices, cause) && cause == 0) cause = EIO;
        if (cause != 0) {
            throw StoreError(QStringLiteral("Le fichier de données %1 n'a pas pu être remis en état après un "
                                            "enregistrement interrompu\u00A0: %2.")
                                 .arg(quoted(path), describeSystemError(cause)));
        }
        for (const QString& notice : notices) storenotice::tell(notice);
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

void DataFile::writeSlot(std::int32_t n, const FicheRecord& fiche) { writeSlots(n, std::span(&fiche, 1)); }

void DataFile::writeSlots(std::int32_t first, std::span<const FicheRecord> cards) { write(first, cards, false); }

void DataFile::appendSlots(std::int32_t first, std::span<const FicheRecord> cards) { write(first, cards, true); }

void DataFile::write(std::int32_t first, std::span<const FicheRecord> cards, bool appending) {
    requireSlotNumber(first);
    const auto last = std::int64_t(first) + std::int64_t(cards.size()) - 1;
    const QString what = cards.size() == 1
                             ? QStringLiteral("Impossible d'enregistrer la fiche n° %1 dans le fichier").arg(first)
                             : QStringLiteral("Impossible d'enregistrer les fiches n° %1 à %2 dans le fichier")
                                   .arg(first)
                                   .arg(last);
    if (!m_file->writable()) {
        throw StoreError(QStringLiteral("%1 %2\u00A0: le fichier est en lecture seule.").arg(what, quoted(m_path)));
    }
    if (cards.empty()) return;
    FileLock lock(*m_file);
    if (lock.result() == RandomAccessFile::Lock::heldElsewhere) {
        throw StoreError(QStringLiteral("%1 %2\u00A0: un autre programme l'utilise. Rien n'a été enregistré\u00A0; "
                                        "réessayez quand il l'aura libéré.")
                             .arg(what, quoted(m_path)));
    }
    if (lock.result() == RandomAccessFile::Lock::failed) fail(what, m_file->error());

    savejournal::Change change;
    change.identity = m_file->identity();
    change.originalSize = fileSize();
    if (appending && recordCountFor(change.originalSize) + 1 != first) {
        throw StoreError(QStringLiteral("%1 %2\u00A0: un autre programme y a ajouté des fiches entre-temps. Rien n'a "
                                        "été enregistré\u00A0; recommencez.")
                             .arg(what, quoted(m_path)));
    }
    const std::int64_t offset = slotOffset(first);
    change.start = std::min(offset, change.originalSize);
    std::vector<char> data = emptyCardsBetween(change.start, offset);
    data.reserve(data.size() + cards.size() * std::size_t(kSlotSize));
    for (const FicheRecord& fiche : cards) {
        const auto card = Module1::toBytes(fiche);
        data.insert(data.end(), card.begin(), card.end());
    }
    change.written = data;

    // What the written range held, to put back if the save does not complete.
    change.previous.resize(std::size_t(
        std::clamp<std::int64_t>(change.originalSize - change.start, 0, std::int64_t(data.size()))));
    std::int64_t got = 0;
    if (!m_file->readAt(change.start, change.previous.data(), std::int64_t(change.previous.size()), got)) {
        fail(what, m_file->error());
    }
    change.previous.resize(std::size_t(got));

    int error = 0;
    auto journal = savejournal::Journal::begin(*m_fileSystem, m_path, change, error);
    if (!journal) fail(what, error);
    if (m_file->writeAt(change.start, data.data(), std::int64_t(data.size())) && m_file->sync() &&
        journal->commit(error)) {
        return;
    }
    if (!error) error = m_file->error();
    // Undone now if possible; otherwise the recovery file undoes it at the next open.
    journal->rollBack(*m_file, change);
    fail(what, error);
}

void DataFile::close() { m_file.reset(); }
