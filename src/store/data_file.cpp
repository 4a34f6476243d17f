#include "store/data_file.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <vector>

#include "store/save_transaction.h"
#include "store/store_error.h"

using Module1::FicheRecord;
using Module1::kSlotSize;

namespace {

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

// Slots made one at a time, as a save reads them.
class MadeSlots : public SaveBytes {
public:
    MadeSlots(std::int32_t count, const DataFile::SlotMaker& make) : m_count(count), m_make(make) {}
    std::int64_t size() const override { return std::int64_t(m_count) * kSlotSize; }
    void copy(std::int64_t from, std::span<char> into) const override {
        for (std::int64_t at = from; at < from + std::int64_t(into.size());) {
            const auto index = std::int32_t(at / kSlotSize);
            const std::int64_t inSlot = at % kSlotSize;
            const std::int64_t count = std::min<std::int64_t>(kSlotSize - inSlot, from + std::int64_t(into.size()) - at);
            char* target = into.data() + (at - from);
            if (count == kSlotSize) {
                m_make(index, std::span<char, kSlotSize>(target, kSlotSize));
            } else {
                Module1::SlotBytes slot;
                m_make(index, slot);
                std::copy_n(slot.begin() + inSlot, count, target);
            }
            at += count;
        }
    }

private:
    std::int32_t m_count;
    const DataFile::SlotMaker& m_make;
};

// Some bytes at hand, then the rest.
class JoinedBytes : public SaveBytes {
public:
    JoinedBytes(std::vector<char> head, const SaveBytes& rest) : m_head(std::move(head)), m_rest(rest) {}
    std::int64_t size() const override { return std::int64_t(m_head.size()) + m_rest.size(); }
    void copy(std::int64_t from, std::span<char> into) const override {
        const auto headSize = std::int64_t(m_head.size());
        const std::int64_t fromHead = std::clamp<std::int64_t>(headSize - from, 0, std::int64_t(into.size()));
        std::copy_n(m_head.begin() + std::min(from, headSize), fromHead, into.begin());
        if (fromHead < std::int64_t(into.size())) {
            m_rest.copy(std::max<std::int64_t>(0, from - headSize), into.subspan(std::size_t(fromHead)));
        }
    }

private:
    std::vector<char> m_head;
    const SaveBytes& m_rest;
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
    if (!file && !fileSystem.exists(path)) {
        throw StoreError(QStringLiteral("Le fichier de données %1 n'existe pas et ne peut pas être créé\u00A0: %2.")
                             .arg(quotedPath(path), describeSystemError(error)),
                         StoreError::Kind::cannotCreate);
    }
    if (!file) {
        throw StoreError(QStringLiteral("Impossible d'ouvrir le fichier de données %1\u00A0: %2.")
                             .arg(quotedPath(path), describeSystemError(error)));
    }
    SaveTransaction::finishInterrupted(fileSystem, path, *file);
    return DataFile(path, std::move(file), fileSystem);
}

DataFile DataFile::openForReading(const QString& path) {
    if (path.isEmpty()) throw StoreError(QStringLiteral("Aucun fichier de données n'a été choisi."));
    FileSystem& fileSystem = FileSystem::current();
    int error = 0;
    auto file = fileSystem.openForReading(path, error);
    if (!file && error == ENOENT) {
        throw StoreError(QStringLiteral("Le fichier de données %1 n'existe pas.").arg(quotedPath(path)));
    }
    if (!file) {
        throw StoreError(QStringLiteral("Impossible d'ouvrir le fichier de données %1 : %2.")
                             .arg(quotedPath(path), describeSystemError(error)));
    }
    if (SaveTransaction::interruptedSaveLeft(fileSystem, path, *file)) {
        throw StoreError(QStringLiteral("Le fichier de données %1 garde la trace d'un enregistrement interrompu : "
                                        "ouvrez-le dans Lexicarium, qui le rétablira, puis recommencez.")
                             .arg(quotedPath(path)));
    }
    return DataFile(path, std::move(file), fileSystem);
}

void DataFile::fail(const QString& what, int error) const {
    throw StoreError(QStringLiteral("%1 %2\u00A0: %3.")
                         .arg(what, quotedPath(m_path), describeSystemError(error)));
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

void DataFile::writeSlot(std::int32_t n, const FicheRecord& fiche, cardhistory::Action action) {
    writeSlots(n, std::span(&fiche, 1), action);
}

void DataFile::writeSlots(std::int32_t first, std::span<const FicheRecord> cards, cardhistory::Action action) {
    write(first, cards, false, action);
}

void DataFile::appendSlots(std::int32_t first, std::span<const FicheRecord> cards, cardhistory::Action action) {
    write(first, cards, true, action);
}

void DataFile::replaceWith(std::span<const char> bytes, cardhistory::Action action, const QString& restoredCopy) {
    SaveTransaction save(*m_fileSystem, m_path, *m_file,
                         QStringLiteral("Impossible de remettre en place le contenu du fichier"));
    save.replaceAll(bytes, action, restoredCopy);
}

void DataFile::appendSlots(std::int32_t first, std::int32_t count, const SlotMaker& make, cardhistory::Action action) {
    write(first, MadeSlots(count, make), true, action);
}

void DataFile::write(std::int32_t first, std::span<const FicheRecord> cards, bool appending,
                     cardhistory::Action action) {
    std::vector<char> slotBytes;
    slotBytes.reserve(cards.size() * std::size_t(kSlotSize));
    for (const FicheRecord& fiche : cards) {
        const auto card = Module1::toBytes(fiche);
        slotBytes.insert(slotBytes.end(), card.begin(), card.end());
    }
    write(first, HeldBytes(slotBytes), appending, action);
}

void DataFile::write(std::int32_t first, const SaveBytes& slotBytes, bool appending, cardhistory::Action action) {
    requireSlotNumber(first);
    const std::int64_t count = slotBytes.size() / kSlotSize;
    const auto last = std::int64_t(first) + count - 1;
    const QString what = count == 1
                             ? QStringLiteral("Impossible d'enregistrer la fiche n° %1 dans le fichier").arg(first)
                             : QStringLiteral("Impossible d'enregistrer les fiches n° %1 à %2 dans le fichier")
                                   .arg(first)
                                   .arg(last);
    if (count == 0) return;
    SaveTransaction save(*m_fileSystem, m_path, *m_file, what);
    if (appending && recordCountFor(save.size()) + 1 != first) {
        throw StoreError(QStringLiteral("%1 %2\u00A0: un autre programme y a ajouté des fiches entre-temps. Rien n'a "
                                        "été enregistré\u00A0; recommencez.")
                             .arg(what, quotedPath(m_path)));
    }
    // Slots skipped over past the end are written as empty cards, before
    // the cards; with none, the cards are written from where they are.
    const std::int64_t offset = slotOffset(first);
    const std::int64_t start = std::min(offset, save.size());
    if (start == offset) {
        save.write(start, slotBytes, action);
        return;
    }
    save.write(start, JoinedBytes(emptyCardsBetween(start, offset), slotBytes), action);
}

void DataFile::close() { m_file.reset(); }
