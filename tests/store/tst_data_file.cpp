#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <limits>
#include <cerrno>

#include "store/card_history.h"
#include "store/data_file.h"
#include "store/default_data_file.h"
#include "store/field_text.h"
#include "store/save_journal.h"
#include "store/store_error.h"
#include "support/faulty_file_system.h"
#include "support/store_peer.h"

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace Module1;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void writeRaw(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

FicheRecord card(int numero, const QString& expression) {
    FicheRecord fiche = emptyCard(numero);
    fieldtext::store(fiche.expression, expression);
    return fiche;
}

QByteArray slotBytes(const FicheRecord& fiche) {
    const SlotBytes bytes = toBytes(fiche);
    return QByteArray(bytes.data(), kSlotSize);
}

}  // namespace

class TestDataFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& name = QStringLiteral("lexicarium.dat")) const { return m_dir.filePath(name); }

    // A file of n cards numbered 1..n, each with a distinct expression.
    QString fileOfCards(int n) {
        const QString p = path(QStringLiteral("cards%1.dat").arg(n));
        QFile::remove(p);
        DataFile file = DataFile::open(p);
        for (int i = 1; i <= n; ++i) file.writeSlot(i, card(i, QStringLiteral("fiche %1").arg(i)));
        file.close();
        return p;
    }

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("utilisateur")).toUtf8()); }
    void init() { FileSystem::setCurrent(nullptr); }

    // --- opening and counting

    void aMissingFileIsCreatedEmpty() {
        QFile::remove(path());
        DataFile file = DataFile::open(path());
        QCOMPARE(file.recordCount(), 0);
        file.close();
        QVERIFY(QFile::exists(path()));
        QCOMPARE(QFileInfo(path()).size(), 0);
    }

    void recordCountRoundsToTheNearestSlot_data() {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << qint64(0) << 0;
        QTest::newRow("1399 bytes") << qint64(1399) << 0;
        QTest::newRow("1400 bytes") << qint64(1400) << 1;
        QTest::newRow("5 slots + 1399") << qint64(2799 * 5 + 1399) << 5;
        QTest::newRow("5 slots + 1400") << qint64(2799 * 5 + 1400) << 6;
        QTest::newRow("32767 slots") << qint64(2799) * 32767 << 32767;
    }
    void recordCountRoundsToTheNearestSlot() {
        QFETCH(qint64, length);
        QFETCH(int, count);
        QCOMPARE(recordCountFor(length), count);
    }

    // --- writing and reading slots

    void writingCardOneMakesOneSlot() {
        QFile::remove(path());
        DataFile file = DataFile::open(path());
        file.writeSlot(1, card(1, QStringLiteral("chat")));
        file.close();
        const QByteArray bytes = contents(path());
        QCOMPARE(bytes.size(), 2799);
        QCOMPARE(bytes.mid(2789, 10), QByteArray(10, '\0'));
    }

    void writingBeyondTheEndFillsSkippedSlotsWithNumberedEmptyCards() {
        const QString p = fileOfCards(1);
        const QByteArray before = contents(p);
        DataFile file = DataFile::open(p);
        file.writeSlot(3, card(3, QStringLiteral("trois")));
        file.close();
        const QByteArray after = contents(p);
        QCOMPARE(after.size(), 3 * 2799);
        QCOMPARE(after.left(2799), before);
        QCOMPARE(after.mid(2799, 2799), slotBytes(emptyCard(2)));
        QCOMPARE(after.mid(2 * 2799, 2799), slotBytes(card(3, QStringLiteral("trois"))));
    }

    void slotsPastTheEndReadAsNumberedEmptyCards() {
        const QString p = fileOfCards(2);
        DataFile file = DataFile::open(p);
        FicheRecord fiche = card(1, QStringLiteral("ancien"));
        file.readSlot(9, fiche);
        QCOMPARE(fiche, emptyCard(9));
        file.readSlot(2, fiche);
        QCOMPARE(fieldtext::read(fiche.expression), QStringLiteral("fiche 2"));
        QCOMPARE(fiche.numero, 2);
    }

    void aPartialLastSlotIsCompletedByAnEmptyCard() {
        const QString p = fileOfCards(2);
        QByteArray bytes = contents(p);
        bytes.truncate(2799 + 1000);
        writeRaw(p, bytes);

        DataFile file = DataFile::open(p);
        QCOMPARE(file.recordCount(), 1);
        FicheRecord fiche;
        file.readSlot(2, fiche);
        QCOMPARE(slotBytes(fiche).left(1000), bytes.mid(2799, 1000));
        QCOMPARE(slotBytes(fiche).mid(1000), slotBytes(emptyCard(2)).mid(1000));

        file.writeSlot(4, card(4, QStringLiteral("quatre")));
        file.close();
        const QByteArray after = contents(p);
        QCOMPARE(after.size(), 4 * 2799);
        QCOMPARE(after.left(2799 + 1000), bytes);
        QCOMPARE(after.mid(2799 + 1000, 1799), slotBytes(emptyCard(2)).mid(1000));
        QCOMPARE(after.mid(2 * 2799, 2799), slotBytes(emptyCard(3)));
    }

    void rewritingASlotLeavesTheOthersAlone() {
        const QString p = fileOfCards(5);
        const QByteArray before = contents(p);
        DataFile file = DataFile::open(p);
        file.writeSlot(3, card(3, QStringLiteral("corrigée")));
        file.close();
        const QByteArray after = contents(p);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.left(2 * 2799), before.left(2 * 2799));
        QCOMPARE(after.mid(3 * 2799), before.mid(3 * 2799));
        QCOMPARE(static_cast<unsigned char>(after[2 * 2799 + 2 + 6]), 0xE9);
    }

    // An import planned on the file's end does not write over the cards
    // another copy of the program added since.
    void addingAfterTheLastCardIsRefusedOnceTheFileHasGrown() {
        const QString p = fileOfCards(3);
        DataFile importing = DataFile::open(p);
        DataFile other = DataFile::open(p);
        other.writeSlot(4, card(4, QStringLiteral("de l'autre copie")));
        const QByteArray before = contents(p);
        const std::vector<FicheRecord> cards{card(4, QStringLiteral("importée"))};
        QString message;
        try {
            importing.appendSlots(4, cards);
        } catch (const StoreError& error) {
            message = error.message();
        }
        QVERIFY2(message.contains(QStringLiteral("entre-temps")), qPrintable(message));
        QCOMPARE(contents(p), before);
        importing.appendSlots(5, cards);
        QCOMPARE(contents(p).size(), 5 * kSlotSize);

        // Cards made as they are written: one that cannot be made takes back those written before it.
        const QByteArray whole = contents(p);
        struct Unmade {};
        QVERIFY_THROWS_EXCEPTION(Unmade, importing.appendSlots(6, 600, [](std::int32_t index, std::span<char, kSlotSize> into) {
            if (index == 400) throw Unmade{};
            const auto bytes = Module1::toBytes(card(6 + index, QStringLiteral("importée")));
            std::copy(bytes.begin(), bytes.end(), into.begin());
        }));
        QCOMPARE(contents(p), whole);
    }

    void filesBeyond32767SlotsReadLikeAnyOther() {
        const QString p = path(QStringLiteral("large.dat"));
        {
            QFile file(p);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(2799) * 32769));
        }
        DataFile file = DataFile::open(p);
        QCOMPARE(file.recordCount(), 32769);
        FicheRecord fiche = emptyCard(1);
        file.readSlot(32769, fiche);
        QCOMPARE(fiche.numero, 0);
        file.writeSlot(32768, card(32767, QStringLiteral("loin")));
        file.readSlot(32768, fiche);
        QCOMPARE(fieldtext::read(fiche.expression), QStringLiteral("loin"));
    }

    // --- failures leave the file and the record as they were

    void failuresToOpenAreReportedInFrench_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("cause");
        QTest::newRow("folder") << QStringLiteral("<dir>") << QStringLiteral("dossier");
        QTest::newRow("missing folder") << QStringLiteral("<dir>/absent/lexicarium.dat")
                                        << QStringLiteral("n'existe pas");
        QTest::newRow("no path") << QString() << QStringLiteral("Aucun fichier");
    }
    void failuresToOpenAreReportedInFrench() {
        QFETCH(QString, target);
        QFETCH(QString, cause);
        target.replace(QStringLiteral("<dir>"), m_dir.path());
        try {
            DataFile::open(target);
            QFAIL("no error");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains(cause), qPrintable(error.message()));
        }
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("absent"))));
    }

    // A file opened to be read only: nothing made, recovered or written.
    void openingForReadingNeverChangesAnything_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("error");
        QTest::newRow("cards") << QStringLiteral("cards") << QString();
        QTest::newRow("missing file") << QStringLiteral("missing") << QStringLiteral("n'existe pas");
        QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("dossier");
        QTest::newRow("save cut short") << QStringLiteral("interrupted") << QStringLiteral("enregistrement interrompu");
    }
    void openingForReadingNeverChangesAnything() {
        QFETCH(QString, state);
        QFETCH(QString, error);
        QString p = fileOfCards(2);
        const QString journal = savejournal::besidePath(FileSystem::native(), p);
        if (state == QLatin1String("missing")) QVERIFY(QFile::remove(p));
        if (state == QLatin1String("folder")) p = m_dir.path();
        if (state == QLatin1String("interrupted")) writeRaw(journal, "trace");
        const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
        const QByteArray bytes = contents(p);
        try {
            DataFile file = DataFile::openForReading(p);
            FicheRecord fiche;
            file.readSlot(2, fiche);
            QCOMPARE(fieldtext::withoutTrailingSpaces(fieldtext::read(fiche.expression)), QStringLiteral("fiche 2"));
            QVERIFY_THROWS_EXCEPTION(StoreError, file.writeSlot(2, card(2, QStringLiteral("autre"))));
            QVERIFY2(error.isEmpty(), "no error");
        } catch (const StoreError& failure) {
            QVERIFY2(!error.isEmpty() && failure.message().contains(error), qPrintable(failure.message()));
        }
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);
        QCOMPARE(contents(p), bytes);
        QFile::remove(journal);
    }

    // Where the historic data file cannot be made, the user's own folder holds it.
    void theDefaultFileIsTheHistoricOneWhereItCanBe_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("folderRefuses");
        QTest::addColumn<bool>("historic");
        QTest::newRow("may be made") << false << false << true;
        QTest::newRow("may not be made") << false << true << false;
        QTest::newRow("there already, folder closed") << true << true << true;
    }
    void theDefaultFileIsTheHistoricOneWhereItCanBe() {
        QFETCH(bool, exists);
        QFETCH(bool, folderRefuses);
        QFETCH(bool, historic);
        QDir(m_dir.path()).mkpath(QStringLiteral("programmes"));
        const QString folder = m_dir.filePath(QStringLiteral("programmes"));
        const QString old = folder + QStringLiteral("/lexicarium.dat");
        QFile::remove(old);
        if (exists) writeRaw(old, {});
        FaultyFileSystem fileSystem;
        if (folderRefuses) fileSystem.refuseNewFilesIn = folder;
        const QString own = m_dir.filePath(QStringLiteral("utilisateur/lexicarium.dat"));
        QCOMPARE(defaultdatafile::chosen(fileSystem, old, own), historic ? old : own);
        QCOMPARE(QDir(folder).entryList(QDir::Files), exists ? QStringList{QStringLiteral("lexicarium.dat")} : QStringList());
    }

    void slotNumbersBelowOneAreRefused() {
        const QString p = fileOfCards(2);
        const QByteArray before = contents(p);
        DataFile file = DataFile::open(p);
        FicheRecord fiche = card(1, QStringLiteral("garde"));
        QVERIFY_THROWS_EXCEPTION(StoreError, file.readSlot(0, fiche));
        QVERIFY_THROWS_EXCEPTION(StoreError, file.writeSlot(-1, fiche));
        QCOMPARE(fieldtext::read(fiche.expression), QStringLiteral("garde"));
        file.close();
        QCOMPARE(contents(p), before);
    }

    void aFailedWriteLeavesTheFileAsItWas_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<bool>("folderRefusesNewFiles");
        QTest::newRow("over a slot") << 2 << false;
        QTest::newRow("past the end") << 6 << false;
        QTest::newRow("over a slot, recovery file in the user's folder") << 2 << true;
        QTest::newRow("past the end, recovery file in the user's folder") << 6 << true;
    }
    // Each operation of a save fails in turn; the file is as it was whenever
    // the save says it failed, and holds the card whenever it says it saved.
    void aFailedWriteLeavesTheFileAsItWas() {
        QFETCH(int, slot);
        QFETCH(bool, folderRefusesNewFiles);
        const QString p = fileOfCards(3);
        const QByteArray before = contents(p);
        for (int at = 1;; ++at) {
            writeRaw(p, before);
            FaultyFileSystem faults(FaultyFileSystem::Mode::failOnce, at);
            if (folderRefusesNewFiles) faults.refuseNewFilesIn = m_dir.path();
            FileSystem::setCurrent(&faults);
            bool saved = true;
            try {
                DataFile file = DataFile::open(p);
                file.writeSlot(slot, card(slot, QStringLiteral("nouvelle")));
                file.close();
            } catch (const StoreError& error) {
                saved = false;
                QVERIFY(!error.message().isEmpty());
            }
            FileSystem::setCurrent(nullptr);
            DataFile::open(p).close();  // undoes whatever a failed save left
            const QByteArray after = contents(p);
            if (saved) {
                QCOMPARE(after.mid((slot - 1) * 2799, 2799), slotBytes(card(slot, QStringLiteral("nouvelle"))));
            } else {
                QVERIFY2(after == before, qPrintable(QStringLiteral("failure at operation %1").arg(at)));
            }
            QVERIFY(!savejournal::anyFor(FileSystem::native(), p));
            if (faults.operations() < at) break;  // the save ran out of operations to fail
        }
    }

    // Another copy of the program saving holds the file for its save alone:
    // a card can still be read meanwhile, and this save waits for the other
    // rather than writing under it (the other writes card 1 as it ends).
    void aSaveWaitsForAnotherWhileReadsDoNot() {
        const QString p = fileOfCards(3);
        QProcess other;
        other.start(storepeer::program(), {QStringLiteral("hold"), p, QStringLiteral("700"), QStringLiteral("1"),
                                           QStringLiteral("de l'autre copie")});
        QVERIFY(other.waitForReadyRead(10000) && other.readLine().startsWith("verrouill"));
        DataFile file = DataFile::open(p);
        FicheRecord fiche;
        file.readSlot(2, fiche);
        QCOMPARE(fieldtext::read(fiche.expression), QStringLiteral("fiche 2"));
        QCOMPARE(other.state(), QProcess::Running);  // read while the other held the file
        file.writeSlot(1, card(1, QStringLiteral("de ce programme")));
        QVERIFY(other.waitForFinished(10000));
        QCOMPARE(other.exitCode(), 0);
        QCOMPARE(contents(p).left(kSlotSize), slotBytes(card(1, QStringLiteral("de ce programme"))));
        const auto versions = cardhistory::versionsOf(FileSystem::native(), p, 1);
        QVERIFY(!versions.empty() && versions.front().slot);
        FicheRecord replaced;
        fromBytes(versions.front().slot->data(), replaced);
        QCOMPARE(fieldtext::read(replaced.expression), QStringLiteral("de l'autre copie"));
    }

    // Root may write any file: there it is user nobody who tries.
    void aReadOnlyFileCanBeReadButNotWritten() {
        const QString p = fileOfCards(2);
        const QByteArray before = contents(p);
        QVERIFY(QFile::setPermissions(p, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QByteArray output;
        const QString skip = storepeer::runUnprivileged({QStringLiteral("read-and-save"), p, QStringLiteral("2")},
                                                        m_dir.path(), m_dir.filePath(QStringLiteral("autre")), output);
        QFile::setPermissions(p, QFile::ReadOwner | QFile::WriteOwner);
        if (!skip.isEmpty()) QSKIP(qPrintable(skip));
        const QStringList lines = QString::fromUtf8(output).split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("fiche 2"));
        QVERIFY2(lines.value(1).startsWith(QStringLiteral("refusé")) && lines.value(1).contains(QStringLiteral("lecture seule")),
                 qPrintable(lines.value(1)));
        QCOMPARE(contents(p), before);
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_data_file.moc"
