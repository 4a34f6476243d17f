#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "store/data_file.h"
#include "store/slot_scan.h"
#include "store/store_error.h"
#include "support/card_files.h"
#include "support/faulty_file_system.h"

using namespace Module1;

namespace {

// What the scan handed over, run by run, kept should it fail.
struct Seen {
    std::mutex mutex;
    std::map<std::int32_t, std::pair<std::int32_t, QByteArray>> runs;  // run: its first slot, its bytes

    // The bytes of the runs looked at from the first on, up to the first one missing.
    QByteArray leadingBytes() const {
        QByteArray bytes;
        for (std::int32_t run = 0; runs.contains(run); ++run) bytes += runs.at(run).second;
        return bytes;
    }
};

std::int32_t scanAll(DataFile& file, Seen& seen) {
    return slotscan::scan(file, [&](std::int32_t run, std::int32_t first, std::span<const char> bytes) {
        std::lock_guard lock(seen.mutex);
        QVERIFY(!seen.runs.contains(run));
        seen.runs[run] = {first, QByteArray(bytes.data(), qsizetype(bytes.size()))};
    });
}

QByteArray emptySlot(int n) {
    const SlotBytes bytes = toBytes(emptyCard(n));
    return {bytes.data(), kSlotSize};
}

}  // namespace

class TestSlotScan : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(int cards) {
        const QString p = m_dir.filePath(QStringLiteral("%1.dat").arg(cards));
        cardfiles::writeNumbered(p, cards);
        return p;
    }

private slots:
    void init() { FileSystem::setCurrent(nullptr); }

    // Run sizes around the read size, and more runs than are read ahead.
    void looksAtEverySlotOnceInOrder_data() {
        QTest::addColumn<int>("cards");
        for (const int n : {0, 1, 255, 256, 257, 1000}) QTest::addRow("%d cards", n) << n;
    }
    void looksAtEverySlotOnceInOrder() {
        QFETCH(int, cards);
        const QString p = path(cards);
        DataFile file = DataFile::open(p);
        Seen seen;
        QCOMPARE(scanAll(file, seen), cards);
        QCOMPARE(seen.leadingBytes(), cardfiles::contents(p));
        QCOMPARE(seen.runs.size(), std::size_t((cards + 255) / 256));
        for (const auto& [run, looked] : seen.runs) QCOMPARE(looked.first, run * 256 + 1);
    }

    void aSlotTheFileEndsInsideIsCompletedByAnEmptyCard() {
        const QString p = path(300);
        QByteArray bytes = cardfiles::contents(p);
        bytes.truncate(299 * kSlotSize + 2000);
        QFile out(p);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();

        DataFile file = DataFile::open(p);
        Seen seen;
        QCOMPARE(scanAll(file, seen), 300);
        QCOMPARE(seen.leadingBytes(), bytes + emptySlot(300).mid(2000));
    }

    // Every operation of a scan, opening aside, fails in turn: the failure comes out in
    // French, every run before the one that failed was looked at, and the
    // scan never hangs with a thread waiting.
    void aReadFailureStopsTheScanAndComesOut() {
        const QString p = path(1000);
        const QByteArray whole = cardfiles::contents(p);
        FaultyFileSystem counting;
        FileSystem::setCurrent(&counting);
        DataFile::open(p).close();
        for (int at = counting.operations() + 1;; ++at) {
            FaultyFileSystem faults(FaultyFileSystem::Mode::failOnce, at);
            FileSystem::setCurrent(&faults);
            Seen seen;
            QString message;
            try {
                DataFile file = DataFile::open(p);
                scanAll(file, seen);
            } catch (const StoreError& error) {
                message = error.message();
            }
            FileSystem::setCurrent(nullptr);
            if (faults.operations() < at) {
                QVERIFY(message.isEmpty());
                break;
            }
            QVERIFY2(!message.isEmpty(), qPrintable(QStringLiteral("no failure at operation %1").arg(at)));
            for (const auto& [run, looked] : seen.runs) QCOMPARE(looked.second, whole.mid(run * 256 * kSlotSize, looked.second.size()));
            if (message.startsWith(QStringLiteral("Impossible de lire la fiche"))) {
                const int failedAt = int(seen.leadingBytes().size() / kSlotSize) + 1;
                QVERIFY2(message.contains(QStringLiteral("n° %1 ").arg(failedAt)), qPrintable(message));
            }
        }
    }

    // The reading stops too.
    void aFailureWhileLookingStopsTheScanAndComesOut() {
        const QString p = path(8000);
        FaultyFileSystem counting;
        FileSystem::setCurrent(&counting);
        DataFile file = DataFile::open(p);
        std::atomic<bool> failed = false;
        std::atomic<int> readsAfter = 0;
        std::atomic<int> looksAfter = 0;
        counting.beforeEach = [&](const char*) {
            if (failed) ++readsAfter;
        };
        // A process's first exception loads the unwinder's tables, long
        // enough on a busy machine for the other thread to read on before
        // the failure is known: one thrown beforehand keeps that out of it.
        try {
            throw std::runtime_error("avant");
        } catch (const std::runtime_error&) {
        }
        bool thrown = false;
        try {
            slotscan::scan(file, [&](std::int32_t, std::int32_t first, std::span<const char>) {
                if (failed) ++looksAfter;
                if (first != 257) return;
                failed = true;
                throw std::runtime_error("plus de mémoire");
            });
        } catch (const std::runtime_error&) {
            thrown = true;
        }
        QVERIFY(thrown);
        // The other thread may finish its run, and take one more while the
        // failure is on its way; it never goes on to the end.
        QVERIFY2(readsAfter < 8, qPrintable(QStringLiteral("%1 of 32 runs read after the failure").arg(readsAfter)));
        QVERIFY2(looksAfter < 8, qPrintable(QStringLiteral("%1 of 32 runs looked at after the failure").arg(looksAfter)));
    }

    // Of two failing runs, the earlier one's failure comes out, whether it
    // failed first or last.
    void theEarliestFailureComesOut_data() {
        QTest::addColumn<bool>("earlierFailsFirst");
        QTest::newRow("earlier run fails first") << true;
        QTest::newRow("earlier run fails last") << false;
    }
    void theEarliestFailureComesOut() {
        QFETCH(bool, earlierFailsFirst);
        const QString p = path(4000);
        DataFile file = DataFile::open(p);
        // Runs 2 and 3 are in the two threads' hands at once; one fails a
        // moment after the other.
        std::atomic<int> inHand = 0;
        const auto failing = [&](bool last, const char* what) {
            ++inHand;
            while (inHand < 2) std::this_thread::yield();
            if (last) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            throw std::runtime_error(what);
        };
        try {
            slotscan::scan(file, [&](std::int32_t run, std::int32_t, std::span<const char>) {
                if (run == 2) failing(!earlierFailsFirst, "deuxième");
                if (run == 3) failing(earlierFailsFirst, "troisième");
            });
            QFAIL("no failure came out");
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("deuxième"));
        }
    }
};

QTEST_GUILESS_MAIN(TestSlotScan)
#include "tst_slot_scan.moc"
