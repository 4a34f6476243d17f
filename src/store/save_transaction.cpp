#include "store/save_transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <thread>
#include <vector>

#include "store/daily_copies.h"
#include "store/fiche_record.h"
#include "store/file_owner.h"
#include "store/file_places.h"
#include "store/recovery_file.h"
#include "store/save_journal.h"
#include "store/store_error.h"
#include "store/store_notice.h"

namespace {

// Takes the data file for one operation once another program lets go of
// it, if it does so within SaveTransaction::kLockWait.
RandomAccessFile::Lock waitForLock(RandomAccessFile& file) {
    const auto deadline = std::chrono::steady_clock::now() + SaveTransaction::kLockWait;
    RandomAccessFile::Lock result;
    // Another copy of the program saving one card after another frees the
    // file for a few microseconds at a time: look often, or it would take the
    // file back every time before this one looked.
    while ((result = file.tryLock()) == RandomAccessFile::Lock::heldElsewhere &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return result;
}

// Puts back the save a recovery file was left for, if any; the notices of
// recovery files kept aside are told. The cause, or 0.
int recoverHeld(FileSystem& fileSystem, const QString& path, RandomAccessFile& file) {
    if (!savejournal::anyFor(fileSystem, path)) return 0;
    QStringList notices;
    int cause = 0;
    if (!savejournal::recover(fileSystem, path, file, notices, cause) && cause == 0) cause = EIO;
    for (const QString& notice : notices) storenotice::tell(notice);
    return cause;
}

QString notRecovered(const QString& path, int cause) {
    return QStringLiteral("Le fichier de données %1 n'a pas pu être remis en état après un enregistrement "
                          "interrompu\u00A0: %2.")
        .arg(quotedPath(path), describeSystemError(cause));
}

}  // namespace

void SaveTransaction::finishInterrupted(FileSystem& fileSystem, const QString& path, RandomAccessFile& file) {
    if (!file.writable() || !savejournal::anyFor(fileSystem, path)) return;
    // Another copy of the program may be saving: wait for it before taking
    // its recovery file for the trace of a save cut short.
    const auto lock = waitForLock(file);
    if (lock == RandomAccessFile::Lock::heldElsewhere) {
        throw StoreError(QStringLiteral("Le fichier de données %1 est utilisé par un autre programme\u00A0: "
                                        "réessayez quand il l'aura libéré.")
                             .arg(quotedPath(path)));
    }
    const bool taken = lock == RandomAccessFile::Lock::taken;
    const int cause = taken ? recoverHeld(fileSystem, path, file) : file.error();
    if (taken) file.unlock();
    if (cause != 0) throw StoreError(notRecovered(path, cause));
}

bool SaveTransaction::interruptedSaveLeft(FileSystem& fileSystem, const QString& path, RandomAccessFile& file) {
    if (!savejournal::anyFor(fileSystem, path)) return false;
    if (waitForLock(file) == RandomAccessFile::Lock::taken) file.unlock();
    return savejournal::anyFor(fileSystem, path);
}

SaveTransaction::SaveTransaction(FileSystem& fileSystem, const QString& path, RandomAccessFile& file, QString what)
    : m_fileSystem(fileSystem), m_path(path), m_file(file), m_what(std::move(what)) {
    if (!file.writable()) {
        throw StoreError(
            QStringLiteral("%1 %2\u00A0: le fichier est en lecture seule.").arg(m_what, quotedPath(m_path)));
    }
    const auto lock = waitForLock(file);
    if (lock == RandomAccessFile::Lock::heldElsewhere) {
        throw StoreError(QStringLiteral("%1 %2\u00A0: un autre programme l'utilise. Rien n'a été enregistré\u00A0; "
                                        "réessayez quand il l'aura libéré.")
                             .arg(m_what, quotedPath(m_path)));
    }
    if (lock == RandomAccessFile::Lock::failed) fail(file.error());
    try {
        // No save starts over the recovery file of another, or it would be lost.
        if (const int cause = recoverHeld(m_fileSystem, m_path, m_file)) throw StoreError(notRecovered(m_path, cause));
        if (!m_file.size(m_size)) fail(m_file.error());
    } catch (...) {
        m_file.unlock();
        throw;
    }
}

SaveTransaction::~SaveTransaction() { m_file.unlock(); }

void SaveTransaction::fail(int error) const {
    if (error == EEXIST) {
        throw StoreError(QStringLiteral("%1 %2\u00A0: un autre programme y enregistre en même temps sans attendre "
                                        "son tour. Rien n'a été enregistré\u00A0; réessayez.")
                             .arg(m_what, quotedPath(m_path)));
    }
    throw StoreError(QStringLiteral("%1 %2\u00A0: %3.").arg(m_what, quotedPath(m_path), describeSystemError(error)));
}

void SaveTransaction::failHistory(const QString& history, int error) const {
    throw StoreError(QStringLiteral("%1 %2\u00A0: l'historique des fiches %3 ne peut pas être écrit (%4). Rien n'a "
                                    "été enregistré.")
                         .arg(m_what, quotedPath(m_path), quotedPath(history), describeSystemError(error)));
}

void SaveTransaction::write(std::int64_t offset, std::span<const char> bytes, cardhistory::Action action) {
    write(offset, HeldBytes(bytes), action);
}

void SaveTransaction::write(std::int64_t offset, const SaveBytes& bytes, cardhistory::Action action) {
    dailycopies::copyOncePerDay(m_fileSystem, m_path, m_file, m_size);
    apply(offset, bytes, std::max(m_size, offset + bytes.size()), action);
}

void SaveTransaction::replaceAll(std::span<const char> bytes, cardhistory::Action action,
                                 const QString& restoredCopy) {
    const QString before = dailycopies::copyBeforeRestoring(m_fileSystem, m_path, m_file, m_size);
    try {
        apply(0, HeldBytes(bytes), std::int64_t(bytes.size()), action);
    } catch (...) {
        QFile::remove(before);  // the file is as that copy holds it
        throw;
    }
    dailycopies::keepAfterRestoring(m_fileSystem, m_path, {before, restoredCopy});
}

void SaveTransaction::apply(std::int64_t offset, const SaveBytes& bytes, std::int64_t newSize,
                            cardhistory::Action action) {
    const auto end = offset + bytes.size();
    // The range the recovery file checks starts with the card before the
    // first byte written, so that a save adding cards still recognises its
    // own file by bytes it holds; a save that shortens the file keeps all it
    // cuts off.
    recoveryfile::Record record;
    record.identity = m_file.identity();
    record.originalSize = m_size;
    record.newSize = newSize;
    record.start = std::max<std::int64_t>(0, offset - Module1::kSlotSize);
    // To the end of the last slot written, so the card history sees it whole.
    const std::int64_t lastSlotEnd = (end + Module1::kSlotSize - 1) / Module1::kSlotSize * Module1::kSlotSize;
    const std::int64_t checkedEnd = newSize < m_size ? m_size : std::min(m_size, lastSlotEnd);
    record.previous.resize(std::size_t(std::max<std::int64_t>(0, checkedEnd - record.start)));
    std::int64_t got = 0;
    if (!m_file.readAt(record.start, record.previous.data(), std::int64_t(record.previous.size()), got)) {
        fail(m_file.error());
    }
    record.previous.resize(std::size_t(got));
    record.writtenOver = record.previous;
    const auto from = std::size_t(std::min<std::int64_t>(offset - record.start, got));
    const auto upTo = std::size_t(std::clamp<std::int64_t>(end - record.start, std::int64_t(from), got));
    bytes.copy(0, std::span(record.writtenOver.data() + from, upTo - from));

    const std::vector<char> history = historyEntries(record, offset, bytes, action);
    HistoryFile historyFile;
    if (!history.empty()) {
        historyFile = openHistory();
        record.history = historyFile.place;
        record.historyLength = historyFile.length;
        record.historyIdentity = historyFile.identity;
    }

    int error = 0;
    auto journal = savejournal::Journal::begin(m_fileSystem, m_path, record, error);
    if (!journal) fail(error);
    const bool historyWritten =
        history.empty() || (historyFile.file->writeAt(historyFile.length, history.data(), std::int64_t(history.size())) &&
                            historyFile.file->sync());
    if (!historyWritten) {
        error = historyFile.file->error();
        journal->rollBack(m_file, record);
        failHistory(historyFile.path, error);
    }
    bool written = false;
    try {
        written = writeOut(offset, bytes);
    } catch (...) {
        journal->rollBack(m_file, record);  // the bytes could not be made: nothing is left of them
        throw;
    }
    if (written && (newSize >= m_size || m_file.truncate(newSize)) && m_file.sync() && journal->commit(error)) {
        m_size = newSize;
        return;
    }
    if (!error) error = m_file.error();
    // Undone now if possible; otherwise the recovery file undoes it at the next open.
    journal->rollBack(m_file, record);
    fail(error);
}

bool SaveTransaction::writeOut(std::int64_t offset, const SaveBytes& bytes) {
    if (const std::span<const char> whole = bytes.whole(); !whole.empty() || bytes.size() == 0) {
        return m_file.writeAt(offset, whole.data(), std::int64_t(whole.size()));
    }
    constexpr std::int64_t kRun = std::int64_t(256) * Module1::kSlotSize;
    std::vector<char> run;
    for (std::int64_t done = 0; done < bytes.size(); done += std::int64_t(run.size())) {
        run.resize(std::size_t(std::min(kRun, bytes.size() - done)));
        bytes.copy(done, run);
        if (!m_file.writeAt(offset + done, run.data(), std::int64_t(run.size()))) return false;
    }
    return true;
}

std::vector<char> SaveTransaction::historyEntries(const recoveryfile::Record& record, std::int64_t offset,
                                                  const SaveBytes& bytes, cardhistory::Action action) const {
    constexpr std::int64_t kSlot = Module1::kSlotSize;
    const std::int64_t end = offset + bytes.size();
    const std::int64_t reach = record.newSize < m_size ? m_size : end;
    // A slot as a read finds it: the file's bytes, completed by an empty card.
    const auto slotOf = [](std::int64_t slot, std::int64_t size, const auto& byteAt) {
        Module1::SlotBytes out = Module1::toBytes(Module1::emptyCard(slot + 1));
        const std::int64_t first = slot * kSlot;
        for (std::int64_t i = 0; i < kSlot && first + i < size; ++i) out[std::size_t(i)] = byteAt(first + i);
        return out;
    };
    const auto before = [&](std::int64_t at) { return record.previous[std::size_t(at - record.start)]; };
    // A slot the file held, as the save leaves it.
    const auto slotAfter = [&](std::int64_t slot) {
        Module1::SlotBytes out = slotOf(slot, record.newSize, [&](std::int64_t at) {
            return at >= offset && at < end ? '\0' : before(at);
        });
        const std::int64_t from = std::max(slot * kSlot, offset);
        const std::int64_t to = std::min({slot * kSlot + kSlot, end, record.newSize});
        if (from < to) bytes.copy(from - offset, std::span(out.data() + (from - slot * kSlot), std::size_t(to - from)));
        return out;
    };
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::vector<char> entries;
    for (std::int64_t slot = offset / kSlot; slot * kSlot < reach; ++slot) {
        const bool was = slot * kSlot < m_size;
        const bool is = slot * kSlot < record.newSize;
        if (!was && !is) break;
        const auto old = was ? std::optional(slotOf(slot, m_size, before)) : std::nullopt;
        if (was && is && old == slotAfter(slot)) continue;
        const auto entry = cardhistory::encode({std::int32_t(slot + 1), now, action, old});
        entries.insert(entries.end(), entry.begin(), entry.end());
    }
    return entries;
}

// Where the history is written: beside the data file, or in the user's own
// folder where that folder refuses new files or the history beside it may
// only be read (another user's, or made by a run with other rights). A
// history another data file left under this name is set aside first.
SaveTransaction::HistoryFile SaveTransaction::openHistory() {
    using Place = recoveryfile::Record::History;
    const fileowner::Owner owner = fileowner::ownerOf(m_file);
    const QString beside = cardhistory::besidePath(m_fileSystem, m_path);
    const QString usersFolder = cardhistory::fallbackPath(m_fileSystem, m_path);
    int error = 0;
    HistoryFile history;
    history.place = Place::beside;
    QString path = beside;
    bool besideUsable = setAsideIfForeign(beside, owner);
    if (besideUsable && m_fileSystem.exists(beside)) {
        history.file = m_fileSystem.open(beside, error);
        besideUsable = !history.file || history.file->writable();
        if (!besideUsable) history.file.reset();
    } else if (besideUsable && !m_fileSystem.exists(usersFolder)) {
        history.file = createHistory(beside, owner, error);
        besideUsable = history.file || !fileplaces::refusesNewFiles(error);
    }
    if (!besideUsable || (!history.file && error == 0)) {
        path = usersFolder;
        history.place = Place::usersFolder;
        if (!setAsideIfForeign(usersFolder, owner)) error = EEXIST;
        else if (m_fileSystem.exists(usersFolder)) history.file = m_fileSystem.open(usersFolder, error);
        else if (m_fileSystem.makeFolder(QFileInfo(path).absolutePath(), error)) history.file = createHistory(path, owner, error);
        if (history.file && !history.file->writable()) {
            history.file.reset();
            error = EACCES;
        }
    }
    if (history.file && !history.file->size(history.length)) {
        error = history.file->error();
        history.file.reset();
    }
    if (!history.file) {
        failHistory(path, error);
    }
    history.path = path;
    history.identity = history.file->identity();
    return history;
}

std::unique_ptr<RandomAccessFile> SaveTransaction::createHistory(const QString& path, const fileowner::Owner& owner,
                                                                 int& error) {
    auto file = m_fileSystem.create(path, error);
    if (!file) return nullptr;
    const std::vector<char> mark = fileowner::encode(owner);
    if (!file->writeAt(0, mark.data(), std::int64_t(mark.size())) || !file->sync()) {
        error = file->error();
        file.reset();
        int ignored = 0;
        m_fileSystem.remove(path, ignored);
        return nullptr;
    }
    if (!m_fileSystem.syncFolderOf(path, error)) return nullptr;
    return file;
}

bool SaveTransaction::setAsideIfForeign(const QString& path, const fileowner::Owner& owner) {
    if (!m_fileSystem.exists(path) || fileowner::belongs(fileowner::readMark(m_fileSystem, path), owner)) return true;
    const QString aside = fileplaces::asideName(m_fileSystem, path, QStringLiteral("autre-fichier"));
    int error = 0;
    if (!m_fileSystem.rename(path, aside, error)) return false;
    storenotice::tell(QStringLiteral("L'historique %1 était celui d'un autre fichier de données, qui portait le nom "
                                     "%2 avant d'être renommé ou remplacé. Il a été mis de côté sous le nom %3, et "
                                     "l'historique de ce fichier-ci commence avec cet enregistrement.")
                          .arg(quotedPath(path), quotedPath(m_path), quotedPath(aside)));
    return true;
}
