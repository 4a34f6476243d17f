#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

#include "store/data_file.h"
#include "store/slot_scan.h"
#include "store/store_error.h"
#include "support/card_files.h"
#include "support/faulty_file_system.h"

using namespace Module1;

namespace {

// What the scan handed over, in the order it did, kept should it fail.
struct Seen {
    QList<std::int32_t> firsts;
    QByteArray bytes;
};

std::int32_t scanAll(DataFile& file, Seen& seen) {
    return slotscan::scan(file, [&](std::int32_t first, std::span<const char> bytes) {
        seen.firsts.append(first);
        seen.bytes.append(bytes.data(), qsizetype(bytes.size()));
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
        QCOMPARE(seen.bytes, cardfiles::contents(p));
        for (qsizetype run = 0; run < seen.firsts.size(); ++run) QCOMPARE(seen.firsts[run], run * 256 + 1);
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
        QCOMPARE(seen.bytes, bytes + emptySlot(300).mid(2000));
    }

    // Every operation of a scan, opening aside, fails in turn: the failure comes out in
    // French, after a prefix of the slots was looked at, and the scan never
    // hangs with its second thread waiting.
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
            QVERIFY(whole.startsWith(seen.bytes));
            if (message.startsWith(QStringLiteral("Impossible de lire la fiche"))) {
                const int failedAt = int(seen.bytes.size() / kSlotSize) + 1;
                QVERIFY2(message.contains(QStringLiteral("n° %1 ").arg(failedAt)), qPrintable(message));
            }
        }
    }

    // The reading stops too: it gets at most the runs read ahead further.
    void aFailureWhileLookingStopsTheScanAndComesOut() {
        const QString p = path(4000);
        FaultyFileSystem counting;
        FileSystem::setCurrent(&counting);
        DataFile file = DataFile::open(p);
        const int opened = counting.operations();
        QList<std::int32_t> firsts;
        bool thrown = false;
        try {
            slotscan::scan(file, [&](std::int32_t first, std::span<const char>) {
                firsts.append(first);
                if (first > 256) throw std::runtime_error("plus de mémoire");
            });
        } catch (const std::runtime_error&) {
            thrown = true;
        }
        QVERIFY(thrown);
        QCOMPARE(firsts, (QList<std::int32_t>{1, 257}));
        const int reads = counting.operations() - opened - 1;  // the file's size first
        QVERIFY2(reads <= 5, qPrintable(QStringLiteral("%1 runs read of 16").arg(reads)));
    }
};

QTEST_GUILESS_MAIN(TestSlotScan)
#include "tst_slot_scan.moc"
