#include <QDir>
#include <optional>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include "store/card_history.h"
#include "store/daily_copies.h"
#include "store/data_file.h"
#include "store/field_text.h"
#include "store/recovery_file.h"
#include "store/save_journal.h"
#include "store/save_transaction.h"
#include "store/store_error.h"
#include "store/store_notice.h"
#include "support/card_files.h"
#include "support/crash_loop.h"
#include "support/test_folder.h"
#include "support/faulty_file_system.h"
#include "support/store_peer.h"

using namespace Module1;

// Where the recovery file of a save stands, which file it is applied to, and
// what a save does when another program holds the file or the recovery file
// cannot be removed.
namespace {

FicheRecord card(int numero, const QString& text) {
    FicheRecord fiche = emptyCard(numero);
    fieldtext::store(fiche.expression, text);
    fieldtext::store(fiche.contexte, text.repeated(20));
    return fiche;
}

void save(const QString& path, int slot, const FicheRecord& fiche) {
    DataFile file = DataFile::open(path);
    file.writeSlot(slot, fiche);
    file.close();
}

QByteArray bytesOf(const FicheRecord& fiche) {
    const auto bytes = toBytes(fiche);
    return QByteArray(bytes.data(), kSlotSize);
}

QByteArray withSlot(QByteArray file, int slot, const FicheRecord& fiche) {
    return file.replace((slot - 1) * kSlotSize, kSlotSize, bytesOf(fiche));
}

// A file of the same bytes under a new identity, as a volume remounted
// (a USB stick, a network share) gives its files.
void giveNewIdentity(const QString& path) {
    const QString copy = path + QStringLiteral(".copie");
    QFile::remove(copy);
    QVERIFY(QFile::copy(path, copy));
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::rename(copy, path));
}

// A file copied or moved into the data file's place is another file to its
// copies: each try starts with none, as it does with no history.
void forgetCopies(const QString& data) {
    QDir(dailycopies::folderFor(FileSystem::native(), data)).removeRecursively();
}

// The day's copy of the data file made, so that the saves a test counts the
// operations of and the ones it then fails make the same operations.
void makeTodaysCopy(const QString& data) {
    const QByteArray bytes = cardfiles::contents(data);
    save(data, 1, card(1, QStringLiteral("copie du jour")));
    cardfiles::restore(data, bytes);
}

// Whether a complete recovery file stands beside the data file.
bool recoveryPending(const QString& data) {
    const QByteArray bytes = cardfiles::contents(savejournal::besidePath(FileSystem::native(), data));
    recoveryfile::Record record;
    return recoveryfile::parse(std::span(bytes.constData(), std::size_t(bytes.size())), record) ==
           recoveryfile::Kind::record;
}

// A recovery file as the previous version of the program wrote it.
QByteArray secondVersionRecoveryFile(const recoveryfile::Record& record, const QByteArray& writtenPastTheEnd) {
    QByteArray bytes("LXJ2", 4);
    const auto put = [&bytes](quint64 value) {
        for (int i = 0; i < 8; ++i) bytes.append(char((value >> (8 * i)) & 0xFF));
    };
    const qint64 pieces = (writtenPastTheEnd.size() + 4095) / 4096;
    for (quint64 value : {quint64(record.identity.known), quint64(record.identity.volume), quint64(record.identity.file),
                          quint64(record.originalSize), quint64(record.newSize), quint64(record.start),
                          quint64(record.previous.size()), quint64(pieces)}) {
        put(value);
    }
    bytes.append(record.previous.data(), qsizetype(record.previous.size()));
    bytes.append(record.writtenOver.data(), qsizetype(record.writtenOver.size()));
    for (qint64 piece = 0; piece < pieces; ++piece) {
        const QByteArray part = writtenPastTheEnd.mid(piece * 4096, 4096);
        put(recoveryfile::checksum(std::span(part.constData(), std::size_t(part.size()))));
    }
    put(recoveryfile::checksum(std::span(bytes.constData(), std::size_t(bytes.size()))));
    return bytes;
}

void writeRaw(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The notices the store gives while it lives.
struct Notices {
    QStringList told;
    Notices() {
        storenotice::setListener([this](const QString& message) { told.append(message); });
    }
    ~Notices() { storenotice::setListener({}); }
};

QStringList setAside(const QString& folder) {
    QStringList names;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        if (name.contains(QStringLiteral(".mis-de-cote-"))) names.append(QDir(folder).filePath(name));
    }
    return names;
}


}  // namespace

class TestSaveJournal : public QObject {
    Q_OBJECT
private:
    TestFolder m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString userFolder() const { return m_dir.filePath(QStringLiteral("donnees-utilisateur")); }

private slots:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", userFolder().toUtf8());
        QCoreApplication::setApplicationName(QStringLiteral("Lexicarium"));
    }
    void init() { FileSystem::setCurrent(nullptr); }

    // --- a folder that refuses new files

    void aFolderThatRefusesNewFilesKeepsTheRecoveryFileInTheUsersOwn() {
        const QString folder = path(QStringLiteral("partage"));
        QDir().mkpath(folder);
        const QString data = folder + QStringLiteral("/fiches.dat");
        cardfiles::writeNumbered(data, 3);
        FaultyFileSystem faults;
        faults.refuseNewFilesIn = folder;
        bool keptInUsersFolder = false;
        faults.beforeEach = [&](const char* operation) {
            if (qstrcmp(operation, "remove") == 0) keptInUsersFolder = QFile::exists(savejournal::fallbackPath(FileSystem::native(), data));
        };
        FileSystem::setCurrent(&faults);
        save(data, 2, card(2, QStringLiteral("corrigée")));
        FileSystem::setCurrent(nullptr);
        QVERIFY(keptInUsersFolder);
        QVERIFY(savejournal::fallbackPath(FileSystem::native(), data)
                    .startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
        QCOMPARE(cardfiles::fieldOf(data, 2, Field::expression), QStringLiteral("corrigée"));
        QVERIFY(!QFile::exists(savejournal::besidePath(FileSystem::native(), data)));
        QVERIFY(!QFile::exists(savejournal::fallbackPath(FileSystem::native(), data)));
    }

    void theUsersOwnRecoveryFileNamesTheFileByItsFullPath() {
        const QString a = savejournal::fallbackPath(FileSystem::native(), path(QStringLiteral("un/fiches.dat")));
        const QString b = savejournal::fallbackPath(FileSystem::native(), path(QStringLiteral("deux/fiches.dat")));
        QVERIFY(a != b);
        QVERIFY(QFileInfo(a).fileName().startsWith(QStringLiteral("fiches.dat-")));
        QCOMPARE(a, savejournal::fallbackPath(FileSystem::native(), path(QStringLiteral("un/../un/fiches.dat"))));
    }

    // A save cut short had added to the history in its user's own folder;
    // whoever finishes it cuts that history back only if it is the very file
    // the save added to, never another user's own history of the same file.
    void finishingASaveCutsBackOnlyTheHistoryItAddedTo_data() {
        QTest::addColumn<bool>("sameHistory");
        QTest::newRow("the history the save added to") << true;
        QTest::newRow("another user's history of the file") << false;
    }
    void finishingASaveCutsBackOnlyTheHistoryItAddedTo() {
        QFETCH(bool, sameHistory);
        const QString data = path(QStringLiteral("historique-%1.dat").arg(sameHistory));
        cardfiles::writeNumbered(data, 2);
        const QString history = cardhistory::fallbackPath(FileSystem::native(), data);
        QDir().mkpath(QFileInfo(history).absolutePath());
        writeRaw(history, QByteArray(100, 'h'));
        int error = 0;
        auto file = FileSystem::native().open(data, error);
        auto historyFile = FileSystem::native().open(history, error);
        QVERIFY(file && historyFile);
        recoveryfile::Record record;
        record.identity = file->identity();
        record.originalSize = record.newSize = 2 * kSlotSize;
        const QByteArray bytes = cardfiles::contents(data);
        record.previous.assign(bytes.begin(), bytes.end());
        record.writtenOver = record.previous;
        record.history = recoveryfile::Record::History::usersFolder;
        record.historyLength = 40;
        record.historyIdentity = historyFile->identity();
        if (!sameHistory) ++record.historyIdentity.file;
        const std::vector<char> journal = recoveryfile::encode(record);
        writeRaw(savejournal::besidePath(FileSystem::native(), data), QByteArray(journal.data(), qsizetype(journal.size())));
        file.reset();
        DataFile::open(data).close();
        QCOMPARE(cardfiles::contents(history).size(), sameHistory ? 40 : 100);
        QCOMPARE(cardfiles::contents(data), bytes);
        QVERIFY(!savejournal::anyFor(FileSystem::native(), data));
    }

    // --- a recovery file that no longer belongs to the file

    void aRecoveryFileIsAppliedOnlyToTheFileItWasMadeFor_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("rewriting slot 3, file moved in") << 3 << false;
        QTest::newRow("rewriting slot 3, file copied over") << 3 << true;
        QTest::newRow("adding slot 6, file moved in") << 6 << false;
        QTest::newRow("adding slot 6, file copied over") << 6 << true;
    }
    // A save is ended at each of its steps; the file is then replaced by
    // another card file before it is opened again.
    void aRecoveryFileIsAppliedOnlyToTheFileItWasMadeFor() {
        QFETCH(int, slot);
        QFETCH(bool, inPlace);
        const QString folder = path(QStringLiteral("remplace-%1-%2").arg(slot).arg(inPlace));
        QDir().mkpath(folder);
        const QString data = folder + QStringLiteral("/fiches.dat");
        const QString colleagues = path(QStringLiteral("collegue.dat"));
        cardfiles::writeNumbered(colleagues, 6);
        QByteArray replacement = cardfiles::contents(colleagues);
        replacement.replace(QByteArray("fiche "), QByteArray("autre "));
        cardfiles::writeNumbered(data, 5);
        const QByteArray before = cardfiles::contents(data);

        int keptAside = 0;
        CrashLoop loop;
        loop.prepare = [&] {
            cardfiles::restore(data, before);
            forgetCopies(data);
        };
        loop.work = [&] { save(data, slot, card(slot, QStringLiteral("nouvelle"))); };
        loop.check = [&](int at, bool finished) {
            if (finished) return;
            const QByteArray journal = cardfiles::contents(savejournal::besidePath(FileSystem::native(), data));
            if (inPlace) {
                writeRaw(data, replacement);
            } else {
                writeRaw(colleagues, replacement);
                QVERIFY(QFile::remove(data));
                QVERIFY(QFile::rename(colleagues, data));
            }
            Notices notices;
            DataFile::open(data).close();
            QVERIFY2(cardfiles::contents(data) == replacement,
                     qPrintable(QStringLiteral("a save ended at step %1 changed the replacement").arg(at)));
            const QStringList aside = setAside(folder);
            QCOMPARE(notices.told.size(), aside.size());
            if (!aside.isEmpty()) {
                ++keptAside;
                QCOMPARE(aside.size(), 1);
                QCOMPARE(cardfiles::contents(aside.first()), journal);
                QVERIFY(notices.told.first().contains(QDir::toNativeSeparators(aside.first())));
                QVERIFY(notices.told.first().contains(QStringLiteral("remplacé ou modifié")));
                QVERIFY(QFile::remove(aside.first()));
            }
            QVERIFY(!QFile::exists(savejournal::besidePath(FileSystem::native(), data)));
        };
        loop.run();
        QVERIFY(keptAside >= 3);
    }

    // --- what a crash leaves, and what it does not veto

    void aSaveCutShortIsPutBackWhateverTheCrashLeft_data() {
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("newIdentity");
        QTest::addColumn<bool>("staleTail");
        QTest::newRow("rewriting slot 3, file remounted") << 5 << 3 << 1 << true << false;
        QTest::newRow("adding slots 6 to 8, file remounted") << 5 << 6 << 3 << true << false;
        QTest::newRow("adding slots 6 to 8, stale and zeroed bytes past the end") << 5 << 6 << 3 << false << true;
        QTest::newRow("first card of an empty file, stale bytes") << 0 << 1 << 1 << false << true;
    }
    // After a crash, a remounted volume gives the file another identity, and
    // the blocks past the old end may hold stale bytes or zeros: the save is
    // put back all the same, with no notice.
    void aSaveCutShortIsPutBackWhateverTheCrashLeft() {
        QFETCH(int, cards);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(bool, newIdentity);
        QFETCH(bool, staleTail);
        const QString data = path(QStringLiteral("crash-%1-%2-%3-%4.dat").arg(cards).arg(first).arg(newIdentity).arg(staleTail));
        cardfiles::writeNumbered(data, cards);
        const QByteArray before = cardfiles::contents(data);
        QList<FicheRecord> saved;
        for (int n = first; n < first + count; ++n) saved.append(card(n, QStringLiteral("nouvelle %1").arg(n)));
        int putBack = 0;
        CrashLoop loop;
        loop.prepare = [&] {
            cardfiles::restore(data, before);
            forgetCopies(data);
        };
        loop.work = [&] {
            DataFile file = DataFile::open(data);
            file.writeSlots(first, saved);
        };
        loop.check = [&](int at, bool finished) {
            if (finished) return;
            QByteArray now = cardfiles::contents(data);
            if (newIdentity) giveNewIdentity(data);
            if (staleTail && now.size() > before.size()) {
                const qsizetype tail = now.size() - before.size();
                now.replace(before.size(), tail / 2, QByteArray(tail / 2, 'Z'));
                now.replace(before.size() + tail / 2, tail - tail / 2, QByteArray(tail - tail / 2, '\0'));
                writeRaw(data, now);
            }
            const bool pending = recoveryPending(data);
            Notices notices;
            DataFile::open(data).close();
            const QByteArray after = cardfiles::contents(data);
            if (pending) {
                ++putBack;
                QVERIFY2(after == before, qPrintable(QStringLiteral("a save ended at step %1 was not put back").arg(at)));
            }
            QVERIFY2(notices.told.isEmpty(), qPrintable(notices.told.value(0)));
            QVERIFY(setAside(m_dir.path()).isEmpty());
            QVERIFY(!savejournal::anyFor(FileSystem::native(), data));
        };
        loop.run();
        QVERIFY(putBack >= 3);
    }

    void aFileChangedSinceTheCrashIsLeftAsItIs_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("card 3 rewritten in place") << QStringLiteral("rewritten");
        QTest::newRow("a card added at the end") << QStringLiteral("added");
        QTest::newRow("the last card cut off") << QStringLiteral("cut");
    }
    // Another program changed the file since the save of card 3 was cut
    // short, keeping its identity: only the lengths and the bytes can tell,
    // and they must.
    void aFileChangedSinceTheCrashIsLeftAsItIs() {
        QFETCH(QString, change);
        const QString folder = path(QStringLiteral("modifie-") + change);
        QDir().mkpath(folder);
        const QString data = folder + QStringLiteral("/fiches.dat");
        cardfiles::writeNumbered(data, 5);
        const QByteArray before = cardfiles::contents(data);
        int keptAside = 0;
        CrashLoop loop;
        loop.prepare = [&] { cardfiles::restore(data, before); };
        loop.work = [&] { save(data, 3, card(3, QStringLiteral("nouvelle"))); };
        loop.check = [&](int at, bool finished) {
            if (finished) return;
            QByteArray edited = cardfiles::contents(data);
            if (change == QLatin1String("rewritten")) edited = withSlot(edited, 3, card(3, QStringLiteral("autre 3")));
            if (change == QLatin1String("added")) edited += bytesOf(card(6, QStringLiteral("ajoutée")));
            if (change == QLatin1String("cut")) edited.chop(kSlotSize);
            {
                QFile file(data);  // changed where it stands: the same file
                QVERIFY(file.open(QIODevice::ReadWrite));
                QVERIFY(file.resize(edited.size()));
                QCOMPARE(file.write(edited), edited.size());
            }
            const bool pending = recoveryPending(data);
            Notices notices;
            DataFile::open(data).close();
            QVERIFY2(cardfiles::contents(data) == edited,
                     qPrintable(QStringLiteral("a save ended at step %1 undid another program's change").arg(at)));
            const QStringList aside = setAside(folder);
            QCOMPARE(aside.size(), pending ? 1 : 0);
            QCOMPARE(notices.told.size(), aside.size());
            if (pending) {
                ++keptAside;
                QVERIFY(notices.told.first().contains(QStringLiteral("remplacé ou modifié")));
                QVERIFY(QFile::remove(aside.first()));
            }
        };
        loop.run();
        QVERIFY(keptAside >= 3);
    }

    // Two copies share the file. This one has it open when the other dies in
    // the middle of an import; this one's next save first puts the import
    // back rather than writing over its recovery file.
    void aSaveFirstPutsBackAnotherCopysSaveCutShort() {
        const QString data = path(QStringLiteral("deux-copies.dat"));
        cardfiles::writeNumbered(data, 10);
        const QByteArray before = cardfiles::contents(data);
        QList<FicheRecord> imported;
        QByteArray importedBytes;
        for (int n = 11; n <= 20; ++n) {
            imported.append(card(n, QStringLiteral("importée %1").arg(n)));
            importedBytes += bytesOf(imported.last());
        }
        const FicheRecord corrected = card(2, QStringLiteral("corrigée ici"));
        std::optional<DataFile> mine;
        int putBack = 0;
        CrashLoop loop;
        loop.prepare = [&] {
            mine.reset();
            cardfiles::restore(data, before);
            mine.emplace(DataFile::open(data));
        };
        loop.work = [&] { DataFile::open(data).appendSlots(11, imported); };
        loop.check = [&](int at, bool finished) {
            const bool pending = recoveryPending(data);
            mine->writeSlot(2, corrected);
            mine.reset();
            const QByteArray now = cardfiles::contents(data);
            const QByteArray without = withSlot(before, 2, corrected);
            QVERIFY2(now == without || (!pending && now == without + importedBytes),
                     qPrintable(QStringLiteral("an import ended at step %1 was not put back").arg(at)));
            if (finished) QCOMPARE(now, without + importedBytes);
            if (pending) ++putBack;
            QVERIFY(!savejournal::anyFor(FileSystem::native(), data));
        };
        loop.run();
        QVERIFY(putBack >= 3);
    }

    // --- recovery files of earlier versions, and forged ones

    void aRecoveryFileOfTheSecondVersionIsStillApplied() {
        const QString data = path(QStringLiteral("version-2.dat"));
        cardfiles::writeNumbered(data, 4);
        const QByteArray before = cardfiles::contents(data);
        // Cut short halfway through slot 3, and while adding slot 5.
        const QByteArray newThird = bytesOf(card(3, QStringLiteral("neuve")));
        const QByteArray fifth = bytesOf(card(5, QStringLiteral("ajoutée")));
        QByteArray crashed = before;
        crashed.replace(2 * kSlotSize, kSlotSize / 2, newThird.left(kSlotSize / 2));
        writeRaw(data, crashed + fifth.left(100));
        recoveryfile::Record record;
        int error = 0;
        record.identity = FileSystem::native().open(data, error)->identity();
        record.originalSize = before.size();
        record.newSize = before.size() + kSlotSize;
        record.start = 2 * kSlotSize;
        record.previous.assign(before.begin() + 2 * kSlotSize, before.end());
        const QByteArray over = newThird + before.mid(3 * kSlotSize);
        record.writtenOver.assign(over.begin(), over.end());
        writeRaw(savejournal::besidePath(FileSystem::native(), data), secondVersionRecoveryFile(record, fifth));
        Notices notices;
        DataFile::open(data).close();
        QCOMPARE(cardfiles::contents(data), before);
        QVERIFY(notices.told.isEmpty());
        QVERIFY(!savejournal::anyFor(FileSystem::native(), data));
    }

    void forgedRecoveryFilesAreKeptAsideUnread_data() {
        QTest::addColumn<QByteArray>("bytes");
        recoveryfile::Record record;
        record.originalSize = 2 * kSlotSize;
        record.newSize = 3 * kSlotSize;
        record.start = kSlotSize;
        record.previous.assign(10, 'a');
        record.writtenOver.assign(10, 'b');
        const auto encoded = [](const recoveryfile::Record& r) {
            const std::vector<char> bytes = recoveryfile::encode(r);
            return QByteArray(bytes.data(), qsizetype(bytes.size()));
        };
        recoveryfile::Record huge = record;
        huge.newSize = std::numeric_limits<std::int64_t>::max();
        QTest::newRow("a length past any file") << encoded(huge);
        recoveryfile::Record shrinking = record;
        shrinking.newSize = kSlotSize;
        QTest::newRow("a save that shortened the file") << encoded(shrinking);
        recoveryfile::Record outside = record;
        outside.start = 2 * kSlotSize - 5;
        QTest::newRow("a range past the old end") << encoded(outside);
        QTest::newRow("second version, length past any file")
            << secondVersionRecoveryFile(huge, QByteArray(8, 'x'));
    }
    void forgedRecoveryFilesAreKeptAsideUnread() {
        QFETCH(QByteArray, bytes);
        recoveryfile::Record parsed;
        QCOMPARE(recoveryfile::parse(std::span(bytes.constData(), std::size_t(bytes.size())), parsed),
                 recoveryfile::Kind::unreadable);
        const QString folder = path(QStringLiteral("forge-%1").arg(QTest::currentDataTag()).replace(' ', '-'));
        QDir().mkpath(folder);
        const QString data = folder + QStringLiteral("/fiches.dat");
        cardfiles::writeNumbered(data, 2);
        const QByteArray before = cardfiles::contents(data);
        writeRaw(savejournal::besidePath(FileSystem::native(), data), bytes);
        Notices notices;
        DataFile::open(data).close();
        QCOMPARE(cardfiles::contents(data), before);
        QCOMPARE(notices.told.size(), 1);
        QVERIFY(notices.told.first().contains(QStringLiteral("illisible")));
        QCOMPARE(setAside(folder).size(), 1);
        QCOMPARE(cardfiles::contents(setAside(folder).first()), bytes);
    }

    // --- one file, whatever name it is reached by

    void aLinkAndItsTargetShareTheirRecoveryFiles() {
#ifdef _WIN32
        QSKIP("symbolic links need a privilege on Windows");
#else
        const QString target = path(QStringLiteral("cible.dat"));
        const QString link = path(QStringLiteral("lien.dat"));
        cardfiles::writeNumbered(target, 1);
        QVERIFY(QFile::link(target, link));
        FileSystem& native = FileSystem::native();
        QCOMPARE(savejournal::besidePath(native, link), savejournal::besidePath(native, target));
        QCOMPARE(savejournal::fallbackPath(native, link), savejournal::fallbackPath(native, target));
#endif
    }

    void aRecoveryFileOfTheFirstVersionIsKeptAside() {
        const QString data = path(QStringLiteral("ancienne.dat"));
        cardfiles::writeNumbered(data, 2);
        const QByteArray before = cardfiles::contents(data);
        cardfiles::writeFirstVersionRecoveryFile(data);
        Notices notices;
        DataFile::open(data).close();
        QCOMPARE(cardfiles::contents(data), before);
        QCOMPARE(notices.told.size(), 1);
        QVERIFY2(notices.told.first().contains(QStringLiteral("version antérieure")), qPrintable(notices.told.first()));
        QVERIFY(!notices.told.first().contains(QStringLiteral("remplacé")));
        QCOMPARE(setAside(m_dir.path()).size(), 1);
        QVERIFY(notices.told.first().contains(QDir::toNativeSeparators(setAside(m_dir.path()).first())));
        QVERIFY(QFile::remove(setAside(m_dir.path()).first()));
    }

    // --- another program holding the file

    void aSaveWaitsABoundedTimeForAnotherProgramsLock() {
        const QString data = path(QStringLiteral("tenu.dat"));
        cardfiles::writeNumbered(data, 3);
        const QByteArray before = cardfiles::contents(data);
        storepeer::LockHolder holder(data);
        QVERIFY(holder.locked());
        QElapsedTimer waited;
        waited.start();
        QString message;
        try {
            save(data, 2, card(2, QStringLiteral("bloquée")));
        } catch (const StoreError& error) {
            message = error.message();
        }
        QVERIFY2(message.contains(QStringLiteral("un autre programme")), qPrintable(message));
        QVERIFY(waited.elapsed() >= SaveTransaction::kLockWait.count() - 100);
        QVERIFY(waited.elapsed() < SaveTransaction::kLockWait.count() + 5000);
        QCOMPARE(cardfiles::contents(data), before);
        QVERIFY(!savejournal::anyFor(FileSystem::native(), data));
        holder.release();
        save(data, 2, card(2, QStringLiteral("libérée")));
        QCOMPARE(cardfiles::fieldOf(data, 2, Field::expression), QStringLiteral("libérée"));
    }

    void anOpeningThatMustRecoverWaitsTooAndChangesNothing() {
        const QString data = path(QStringLiteral("reprise-tenue.dat"));
        cardfiles::writeNumbered(data, 3);
        const QByteArray before = cardfiles::contents(data);
        writeRaw(savejournal::besidePath(FileSystem::native(), data), QByteArray("LXJ2 en cours"));
        storepeer::LockHolder holder(data);
        QVERIFY_THROWS_EXCEPTION(StoreError, DataFile::open(data));
        QCOMPARE(cardfiles::contents(data), before);
        QVERIFY(QFile::exists(savejournal::besidePath(FileSystem::native(), data)));
        holder.release();
        DataFile::open(data).close();
        QVERIFY(!QFile::exists(savejournal::besidePath(FileSystem::native(), data)));
    }

    // --- a recovery file that cannot be removed

    void aRecoveryFileThatCannotBeRemovedIsVoidedAndTheSaveStands() {
        const QString data = path(QStringLiteral("antivirus.dat"));
        cardfiles::writeNumbered(data, 3);
        FaultyFileSystem faults;
        faults.refuseRemovals = true;
        FileSystem::setCurrent(&faults);
        save(data, 2, card(2, QStringLiteral("gardée")));  // no exception: the save is confirmed
        FileSystem::setCurrent(nullptr);
        QVERIFY(QFile::exists(savejournal::besidePath(FileSystem::native(), data)));  // still there, void
        DataFile::open(data).close();
        QCOMPARE(cardfiles::fieldOf(data, 2, Field::expression), QStringLiteral("gardée"));
        QVERIFY(!QFile::exists(savejournal::besidePath(FileSystem::native(), data)));
    }

    // The folder cannot be synced once the recovery file is removed: the
    // save is undone, and no void recovery file is made anew in its place.
    void aFolderThatCannotBeSyncedAfterTheRemovalUndoesTheSaveCleanly() {
        const QString data = path(QStringLiteral("dossier-non-synchronise.dat"));
        cardfiles::writeNumbered(data, 3);
        const QByteArray before = cardfiles::contents(data);
        makeTodaysCopy(data);
        const QString journal = savejournal::besidePath(FileSystem::native(), data);
        qsizetype folderSync = -1;
        {
            FaultyFileSystem counting;
            FileSystem::setCurrent(&counting);
            save(data, 2, card(2, QStringLiteral("essai")));
            FileSystem::setCurrent(nullptr);
            const auto& done = counting.performed;
            for (qsizetype i = 0, removed = 0; i < done.size() && folderSync < 0; ++i) {
                if (done[i].name == QLatin1String("remove") && done[i].path == journal) removed = 1;
                if (removed && done[i].name == QLatin1String("syncFolder")) folderSync = i;
            }
            cardfiles::restore(data, before);
        }
        QVERIFY(folderSync >= 0);
        FaultyFileSystem faults(FaultyFileSystem::Mode::failOnce, int(folderSync) + 1);
        FileSystem::setCurrent(&faults);
        QVERIFY_THROWS_EXCEPTION(StoreError, save(data, 2, card(2, QStringLiteral("annulée"))));
        FileSystem::setCurrent(nullptr);
        QCOMPARE(cardfiles::contents(data), before);
        QVERIFY(!QFile::exists(journal));
    }

    // The card reaches the disk before the recovery file that could undo it
    // goes: else a power cut could leave it half written, with nothing to
    // put it back. A sync that fails undoes the save.
    void theDataFileIsSyncedBeforeItsRecoveryFileGoes() {
        const QString data = path(QStringLiteral("synchronise.dat"));
        cardfiles::writeNumbered(data, 3);
        const QByteArray before = cardfiles::contents(data);
        makeTodaysCopy(data);
        const QString journal = savejournal::besidePath(FileSystem::native(), data);
        FaultyFileSystem counting;
        FileSystem::setCurrent(&counting);
        save(data, 2, card(2, QStringLiteral("synchronisée")));
        FileSystem::setCurrent(nullptr);
        const auto& done = counting.performed;
        const auto on = [&](qsizetype i, const char* name, const QString& file) {
            return done[i].name == QLatin1String(name) && done[i].path == file;
        };
        qsizetype lastWrite = -1;
        for (qsizetype i = 0; i < done.size(); ++i) {
            if (on(i, "write", data)) lastWrite = i;
        }
        qsizetype letGo = lastWrite + 1;
        while (letGo < done.size() && !on(letGo, "remove", journal) && !on(letGo, "write", journal)) ++letGo;
        QVERIFY(lastWrite >= 0);
        QVERIFY(letGo < done.size());
        qsizetype sync = lastWrite + 1;
        while (sync < letGo && !on(sync, "sync", data)) ++sync;
        QVERIFY2(sync < letGo, "the recovery file went before the data file was synced");

        cardfiles::restore(data, before);
        FaultyFileSystem faults(FaultyFileSystem::Mode::failOnce, int(sync) + 1);
        FileSystem::setCurrent(&faults);
        QVERIFY_THROWS_EXCEPTION(StoreError, save(data, 2, card(2, QStringLiteral("perdue"))));
        FileSystem::setCurrent(nullptr);
        QCOMPARE(cardfiles::contents(data), before);
        QVERIFY(!savejournal::anyFor(FileSystem::native(), data));
    }

    void aSaveWhoseRecoveryFileCanNeitherGoNorBeVoidedIsUndone() {
        const QString data = path(QStringLiteral("bloque.dat"));
        cardfiles::writeNumbered(data, 3);
        const QByteArray before = cardfiles::contents(data);
        makeTodaysCopy(data);
        // The first removal fails, and every operation from there on.
        int removal = 0;
        {
            FaultyFileSystem counting;
            counting.beforeEach = [&](const char* operation) {
                if (!removal && qstrcmp(operation, "remove") == 0) removal = counting.operations() + 1;
            };
            FileSystem::setCurrent(&counting);
            save(data, 2, card(2, QStringLiteral("essai")));
            FileSystem::setCurrent(nullptr);
            cardfiles::restore(data, before);
        }
        QVERIFY(removal > 0);
        FaultyFileSystem faults(FaultyFileSystem::Mode::failFromThen, removal);
        FileSystem::setCurrent(&faults);
        QVERIFY_THROWS_EXCEPTION(StoreError, save(data, 2, card(2, QStringLiteral("perdue"))));
        FileSystem::setCurrent(nullptr);
        DataFile::open(data).close();
        QCOMPARE(cardfiles::contents(data), before);
        QVERIFY(!savejournal::anyFor(FileSystem::native(), data));
    }
};

QTEST_GUILESS_MAIN(TestSaveJournal)
#include "tst_save_journal.moc"
