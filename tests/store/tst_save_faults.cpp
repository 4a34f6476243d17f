#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "store/card_history.h"
#include "store/data_file.h"
#include "store/field_text.h"
#include "store/save_journal.h"
#include "store/store_error.h"
#include "support/card_files.h"
#include "support/crash_loop.h"
#include "support/test_folder.h"
#include "support/faulty_file_system.h"
#include "support/store_peer.h"

#ifndef _WIN32
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Module1;

// No card that was stored is lost or changed, whatever stops a save.
namespace {

constexpr int kFinished = 42;  // a child's exit code when its save ran to its end

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

}  // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT
private:
    TestFolder m_dir;

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("utilisateur")).toUtf8()); }
    void init() { FileSystem::setCurrent(nullptr); }

    // --- a crash at every operation of a save

    void aCrashAtAnyPointLeavesEachSlotOldOrNew_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<bool>("folderRefusesNewFiles");
        QTest::addColumn<int>("imported");  // cards made as they are written, in runs; none: one card saved
        QTest::newRow("rewriting slot 3") << 3 << false << 0;
        QTest::newRow("adding slot 6") << 6 << false << 0;
        QTest::newRow("adding slot 9 past empty ones") << 9 << false << 0;
        QTest::newRow("rewriting slot 3, recovery file in the user's folder") << 3 << true << 0;
        QTest::newRow("adding slot 9, recovery file in the user's folder") << 9 << true << 0;
        QTest::newRow("importing 600 cards, three runs") << 6 << false << 600;
    }
    void aCrashAtAnyPointLeavesEachSlotOldOrNew() {
        QFETCH(int, slot);
        QFETCH(bool, folderRefusesNewFiles);
        QFETCH(int, imported);
        const QString path = m_dir.filePath(QStringLiteral("crash.dat"));
        cardfiles::writeNumbered(path, 5);
        const QByteArray before = cardfiles::contents(path);
        const FicheRecord saved = card(slot, QStringLiteral("nouvelle fiche"));
        const auto work = [&] {
            if (imported == 0) return save(path, slot, saved);
            DataFile::open(path).appendSlots(slot, imported, [&](std::int32_t index, std::span<char, kSlotSize> into) {
                const auto bytes = toBytes(card(slot + index, QStringLiteral("importée %1").arg(index)));
                std::copy(bytes.begin(), bytes.end(), into.begin());
            });
        };
        work();
        const QByteArray after = cardfiles::contents(path);
        QCOMPARE(after.size(), qsizetype(std::max(5, slot - 1 + std::max(imported, 1))) * kSlotSize);
        QCOMPARE(cardfiles::fieldOf(path, slot + std::max(imported, 1) - 1, Field::expression),
                 imported == 0 ? QStringLiteral("nouvelle fiche") : QStringLiteral("importée %1").arg(imported - 1));

        CrashLoop loop;
        loop.prepare = [&] { cardfiles::restore(path, before); };
        loop.configure = [&](FaultyFileSystem& faults) {
            if (folderRefusesNewFiles) faults.refuseNewFilesIn = m_dir.path();
        };
        loop.work = work;
        loop.check = [&](int at, bool finished) {
            DataFile::open(path).close();  // the next open undoes a save cut short
            const QByteArray now = cardfiles::contents(path);
            QVERIFY2(now == before || now == after,
                     qPrintable(QStringLiteral("crash at operation %1 left a mixed file").arg(at)));
            QVERIFY(!savejournal::anyFor(FileSystem::native(), path));
            if (finished) QCOMPARE(now, after);
            // The card history tells of the save exactly when it stands.
            const auto versions = cardhistory::versionsOf(FileSystem::native(), path, slot);
            QVERIFY2(versions.size() == (now == after ? 1u : 0u),
                     qPrintable(QStringLiteral("crash at operation %1: %2 versions in the history")
                                    .arg(at)
                                    .arg(versions.size())));
            if (!versions.empty() && slot <= 5) {
                QCOMPARE(QByteArray(versions.front().slot->data(), kSlotSize), before.mid((slot - 1) * kSlotSize, kSlotSize));
            }
            if (!versions.empty() && slot > 5) QVERIFY(!versions.front().slot);
        };
        const int crashes = loop.run();
        QVERIFY(crashes >= 8);
    }

    // --- real faults of the system

    void theFileSizeLimitIsReportedAndTheSlotTakenBack() {
#ifdef _WIN32
        QSKIP("no RLIMIT_FSIZE here");
#else
        const QString path = m_dir.filePath(QStringLiteral("limit.dat"));
        cardfiles::writeNumbered(path, 3);
        const QByteArray before = cardfiles::contents(path);
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{rlim_t(before.size() + 1000), rlim_t(before.size() + 1000)};
            setrlimit(RLIMIT_FSIZE, &limit);
            try {
                save(path, 4, card(4, QStringLiteral("trop grande")));
            } catch (const StoreError& error) {
                _exit(error.message().contains(QStringLiteral("taille maximale")) ? kFinished : 2);
            }
            _exit(1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QCOMPARE(WEXITSTATUS(status), kFinished);
        QCOMPARE(cardfiles::contents(path), before);
        QVERIFY(!QFile::exists(path + QStringLiteral(".sauvegarde-en-cours")));
#endif
    }

    void aFullDiskIsReportedAndChangesNothing() {
#ifdef _WIN32
        QSKIP("mounts a small file system");
#else
        const QString folder = m_dir.filePath(QStringLiteral("small"));
        QDir().mkpath(folder);
        if (::mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0) {
            QSKIP("cannot mount a small tmpfs here (needs root): the full-disk case is covered by the faulty file system");
        }
        const QString path = folder + QStringLiteral("/plein.dat");
        int saved = 0;
        QString message;
        for (int n = 1; n <= 40 && message.isEmpty(); ++n) {
            const QByteArray before = cardfiles::contents(path);
            try {
                save(path, n, card(n, QStringLiteral("fiche %1").arg(n)));
                ++saved;
            } catch (const StoreError& error) {
                message = error.message();
                QCOMPARE(cardfiles::contents(path), before);
            }
        }
        for (int n = 1; n <= saved; ++n) {
            QCOMPARE(cardfiles::fieldOf(path, n, Field::expression), QStringLiteral("fiche %1").arg(n));
        }
        ::umount(folder.toLocal8Bit().constData());
        QVERIFY2(message.contains(QStringLiteral("le disque est plein")), qPrintable(message));
        QVERIFY(saved > 5);
#endif
    }

    // --- two copies of the program at once

    void twoProcessesSavingInterleavedSlotsTearNothing() {
        const QString path = m_dir.filePath(QStringLiteral("shared.dat"));
        QFile::remove(path);
        constexpr int kEach = 500;
        const QString failure = storepeer::saveInTwoCopies(path, kEach, 1);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        const QByteArray all = cardfiles::contents(path);
        QCOMPARE(all.size(), 2 * kEach * kSlotSize);
        for (int slot = 1; slot <= 2 * kEach; ++slot) {
            FicheRecord fiche;
            fromBytes(all.constData() + (slot - 1) * kSlotSize, fiche);
            QCOMPARE(fiche.numero, std::int16_t(slot));
            QCOMPARE(fieldtext::read(fiche.expression), QStringLiteral("copie %1 fiche %2 tour 1").arg((slot - 1) % 2).arg(slot));
        }
    }

    // --- a recovery file cut short

    void aRecoveryFileCutShortIsDiscarded() {
        const QString path = m_dir.filePath(QStringLiteral("partiel.dat"));
        cardfiles::writeNumbered(path, 2);
        const QByteArray before = cardfiles::contents(path);
        QFile journal(path + QStringLiteral(".sauvegarde-en-cours"));
        QVERIFY(journal.open(QIODevice::WriteOnly));
        journal.write("LXJ1\x05\x00", 6);
        journal.close();
        DataFile::open(path).close();
        QCOMPARE(cardfiles::contents(path), before);
        QVERIFY(!journal.exists());
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_save_faults.moc"
