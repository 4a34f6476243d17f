#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "store/data_file.h"
#include "store/field_text.h"
#include "store/save_journal.h"
#include "store/save_transaction.h"
#include "store/store_error.h"
#include "store/store_notice.h"
#include "support/card_files.h"
#include "support/crash_loop.h"
#include "support/faulty_file_system.h"

#ifndef _WIN32
#include <sys/file.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>
#endif

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

#ifndef _WIN32
// Another process holding the data file's lock until it is released.
class LockHolder {
public:
    explicit LockHolder(const QString& path) {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) qFatal("pipe");
        m_child = fork();
        if (m_child == 0) {
            const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
            char byte = ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            (void)!::write(ready[1], &byte, 1);
            (void)!::read(release[0], &byte, 1);
            _exit(0);
        }
        char byte = 0;
        (void)!::read(ready[0], &byte, 1);
        m_locked = byte == 'y';
        m_release = release[1];
        ::close(ready[0]);
        ::close(ready[1]);
        ::close(release[0]);
    }
    ~LockHolder() { release(); }
    bool locked() const { return m_locked; }
    void release() {
        if (m_child <= 0) return;
        const char byte = 'x';
        (void)!::write(m_release, &byte, 1);
        ::close(m_release);
        waitpid(m_child, nullptr, 0);
        m_child = 0;
    }

private:
    pid_t m_child = 0;
    int m_release = -1;
    bool m_locked = false;
};
#endif

}  // namespace

class TestSaveJournal : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
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
        QVERIFY(savejournal::fallbackPath(FileSystem::native(), data).startsWith(userFolder()));
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
#ifdef _WIN32
        QSKIP("uses fork");
#else
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
        loop.prepare = [&] { writeRaw(data, before); };
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
        QCOMPARE(setAside(m_dir.path()).size(), 1);
        QVERIFY(QFile::remove(setAside(m_dir.path()).first()));
    }

    // --- another program holding the file

    void aSaveWaitsABoundedTimeForAnotherProgramsLock() {
#ifdef _WIN32
        QSKIP("uses fork and flock");
#else
        const QString data = path(QStringLiteral("tenu.dat"));
        cardfiles::writeNumbered(data, 3);
        const QByteArray before = cardfiles::contents(data);
        LockHolder holder(data);
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
#endif
    }

    void anOpeningThatMustRecoverWaitsTooAndChangesNothing() {
#ifdef _WIN32
        QSKIP("uses fork and flock");
#else
        const QString data = path(QStringLiteral("reprise-tenue.dat"));
        cardfiles::writeNumbered(data, 3);
        const QByteArray before = cardfiles::contents(data);
        writeRaw(savejournal::besidePath(FileSystem::native(), data), QByteArray("LXJ2 en cours"));
        LockHolder holder(data);
        QVERIFY_THROWS_EXCEPTION(StoreError, DataFile::open(data));
        QCOMPARE(cardfiles::contents(data), before);
        QVERIFY(QFile::exists(savejournal::besidePath(FileSystem::native(), data)));
        holder.release();
        DataFile::open(data).close();
        QVERIFY(!QFile::exists(savejournal::besidePath(FileSystem::native(), data)));
#endif
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

    void aSaveWhoseRecoveryFileCanNeitherGoNorBeVoidedIsUndone() {
        const QString data = path(QStringLiteral("bloque.dat"));
        cardfiles::writeNumbered(data, 3);
        const QByteArray before = cardfiles::contents(data);
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
            writeRaw(data, before);
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
