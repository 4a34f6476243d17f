#include <QDir>
#include <QFile>
#include <QTest>

#include "store/card_history.h"
#include "store/daily_copies.h"
#include "store/file_owner.h"
#include "store/data_file.h"
#include "store/field_text.h"
#include "store/store_error.h"
#include "store/store_notice.h"
#include "support/card_files.h"
#include "support/test_folder.h"
#include "support/faulty_file_system.h"
#include "support/store_peer.h"
#include <QCoreApplication>


using namespace Module1;
using cardhistory::Action;

// Every earlier version of every card, as saves leave them.
namespace {

FicheRecord card(int numero, const QString& text) {
    FicheRecord fiche = emptyCard(numero);
    fieldtext::store(fiche.expression, text);
    return fiche;
}

QString expressionOf(const cardhistory::Version& version) {
    if (!version.slot) return QStringLiteral("<aucune fiche>");
    FicheRecord fiche;
    fromBytes(version.slot->data(), fiche);
    return fieldtext::read(fiche.expression);
}

QStringList historyOf(const QString& data, int number) {
    QStringList expressions;
    for (const auto& version : cardhistory::versionsOf(FileSystem::native(), data, number)) {
        expressions.append(expressionOf(version));
    }
    return expressions;
}

void writeRaw(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void save(const QString& data, int slot, const QString& text, Action action = Action::edition) {
    DataFile file = DataFile::open(data);
    file.writeSlot(slot, card(slot, text), action);
}

}  // namespace

class TestCardHistory : public QObject {
    Q_OBJECT
private:
    TestFolder m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("utilisateur")).toUtf8()); }
    void init() { FileSystem::setCurrent(nullptr); }

    // --- what is kept

    void eachChangeKeepsTheCardAsItWasNewestFirst() {
        const QString data = path(QStringLiteral("versions.dat"));
        cardfiles::writeNumbered(data, 3);
        save(data, 2, QStringLiteral("deuxième"));
        save(data, 2, QStringLiteral("troisième"), Action::correction);
        save(data, 2, QStringLiteral("troisième"));  // changes nothing: records nothing
        QCOMPARE(historyOf(data, 2), (QStringList{"deuxième", "fiche 2"}));
        const auto versions = cardhistory::versionsOf(FileSystem::native(), data, 2);
        QCOMPARE(versions[0].action, Action::correction);
        QCOMPARE(versions[1].action, Action::edition);
        QVERIFY(versions[0].when >= versions[1].when);
        QVERIFY(qAbs(versions[0].when.secsTo(QDateTime::currentDateTimeUtc())) < 60);
        QVERIFY(historyOf(data, 1).isEmpty());
        QVERIFY(historyOf(data, 3).isEmpty());
    }

    void cardsAddedPastTheEndAreKeptAsNoCardYet() {
        const QString data = path(QStringLiteral("ajouts.dat"));
        cardfiles::writeNumbered(data, 2);
        DataFile file = DataFile::open(data);
        const std::vector<FicheRecord> imported{card(3, QStringLiteral("trois")), card(4, QStringLiteral("quatre"))};
        file.appendSlots(3, imported);
        file.writeSlot(7, card(7, QStringLiteral("sept")));  // 5 and 6 are made empty cards on the way
        file.close();
        for (int n : {3, 4, 5, 6, 7}) QCOMPARE(historyOf(data, n), QStringList{"<aucune fiche>"});
        QCOMPARE(cardhistory::versionsOf(FileSystem::native(), data, 3).front().action, Action::import);
        QVERIFY(historyOf(data, 2).isEmpty());
    }

    void puttingBackTheWholeFileKeepsEveryCardItChanges() {
        const QString data = path(QStringLiteral("remis.dat"));
        cardfiles::writeNumbered(data, 4);
        const QByteArray four = cardfiles::contents(data);
        save(data, 2, QStringLiteral("changée"));
        QByteArray older = four.left(3 * kSlotSize);  // a copy from when the file held three cards
        DataFile::open(data).replaceWith(std::span(older.constData(), std::size_t(older.size())), Action::restoration);
        QCOMPARE(cardfiles::contents(data), older);
        QCOMPARE(historyOf(data, 2), (QStringList{"changée", "fiche 2"}));
        QCOMPARE(historyOf(data, 4), QStringList{"fiche 4"});
        QVERIFY(historyOf(data, 1).isEmpty());
        QCOMPARE(cardhistory::versionsOf(FileSystem::native(), data, 4).front().action, Action::restoration);
    }

    // --- where it is kept

    void theHistoryGoesToTheUsersFolderWhereTheDataFileFolderRefusesNewFiles() {
        const QString folder = path(QStringLiteral("partage"));
        QDir().mkpath(folder);
        const QString data = folder + QStringLiteral("/fiches.dat");
        cardfiles::writeNumbered(data, 2);
        FaultyFileSystem faults;
        faults.refuseNewFilesIn = folder;
        FileSystem::setCurrent(&faults);
        save(data, 1, QStringLiteral("partagée"));
        save(data, 1, QStringLiteral("encore"));
        FileSystem::setCurrent(nullptr);
        QVERIFY(!QFile::exists(cardhistory::besidePath(FileSystem::native(), data)));
        QVERIFY(QFile::exists(cardhistory::fallbackPath(FileSystem::native(), data)));
        QCOMPARE(historyOf(data, 1), (QStringList{"partagée", "fiche 1"}));
    }

    void aHistoryThatCannotBeWrittenFailsTheSave() {
        const QString data = path(QStringLiteral("sans-historique.dat"));
        cardfiles::writeNumbered(data, 2);
        const QByteArray before = cardfiles::contents(data);
        QVERIFY(QDir().mkpath(cardhistory::besidePath(FileSystem::native(), data)));  // a folder in its place
        QString message;
        try {
            save(data, 1, QStringLiteral("non gardée"));
        } catch (const StoreError& error) {
            message = error.message();
        }
        QVERIFY2(message.contains(QStringLiteral("historique")), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("Rien n'a été enregistré")));
        QCOMPARE(cardfiles::contents(data), before);
        QVERIFY(QDir().rmdir(cardhistory::besidePath(FileSystem::native(), data)));
    }

    // A history beside the file that this user may only read (another
    // user's): the save goes on, adding to a history in the user's own
    // folder, and both places' versions are listed, newest first.
    void aHistoryThisUserMayOnlyReadGoesOnInTheUsersFolder() {
        const QString data = path(QStringLiteral("lecture-seule.dat"));
        cardfiles::writeNumbered(data, 2);
        save(data, 1, QStringLiteral("un"));
        const QString beside = cardhistory::besidePath(FileSystem::native(), data);
        QVERIFY(QFile::setPermissions(beside, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(data, QFileDevice::Permissions(0x6666)));
        const QString home = path(QStringLiteral("autre-utilisateur"));
        QByteArray output;
        const QString skip = storepeer::runUnprivileged({QStringLiteral("read-and-save"), data, QStringLiteral("1")},
                                                        m_dir.path(), home, output);
        if (!skip.isEmpty()) QSKIP(qPrintable(skip));
        QCOMPARE(QString::fromUtf8(output), QStringLiteral("un\nenregistré\n"));
        // As that user lists them: the program's own folder is theirs.
        const QByteArray ownHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", home.toUtf8());
        QCoreApplication::setApplicationName(QStringLiteral("Lexicarium"));
        const QStringList listed = historyOf(data, 1);
        QCoreApplication::setApplicationName(QStringLiteral("tst_card_history"));
        qputenv("XDG_DATA_HOME", ownHome);
        QCOMPARE(listed, (QStringList{"un", "fiche 1"}));
        QCOMPARE(cardfiles::contents(beside).size(), fileowner::kMarkSize + 2825);  // the other user's history is left as it was
    }

    // --- a history cut short or damaged

    // Cut at any byte, the history gives every entry before the cut, and
    // nothing of the torn one.
    void aHistoryCutAtAnyByteGivesItsWholeEntries() {
        const QString data = path(QStringLiteral("coupe.dat"));
        cardfiles::writeNumbered(data, 2);
        save(data, 1, QStringLiteral("un"));
        save(data, 3, QStringLiteral("nouvelle"));  // an entry with no card
        save(data, 1, QStringLiteral("deux"));
        const QString history = cardhistory::besidePath(FileSystem::native(), data);
        const QByteArray whole = cardfiles::contents(history);
        const qsizetype mark = fileowner::kMarkSize;
        const qsizetype full = 2825;
        const qsizetype empty = 26;
        QCOMPARE(whole.size(), mark + 2 * full + empty);
        for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
            cardfiles::restore(history, whole.left(cut));
            QStringList expected;
            if (cut >= mark + full) expected.append(QStringLiteral("fiche 1"));
            if (cut == whole.size()) expected.prepend(QStringLiteral("un"));
            QCOMPARE(historyOf(data, 1), expected);
            QCOMPARE(historyOf(data, 3).size(), cut >= mark + full + empty ? 1 : 0);
        }
    }

    // A damaged entry hides only itself, whichever card it is of: no length
    // is trusted before its entry's checksum holds.
    void aDamagedEntryHidesOnlyItself_data() {
        QTest::addColumn<int>("at");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("tearOff");
        const int second = int(fileowner::kMarkSize) + 2825;  // the mark, then card 1's first entry
        QTest::newRow("inside the card") << second + 100 << QByteArray("abîmée") << false;
        QTest::newRow("its header") << second << QByteArray("XXXX") << false;
        QTest::newRow("another card's entry torn, saves after it") << second << QByteArray() << true;
    }
    void aDamagedEntryHidesOnlyItself() {
        QFETCH(int, at);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, tearOff);
        const QString data = path(QStringLiteral("abime-%1-%2.dat").arg(at).arg(tearOff));
        cardfiles::writeNumbered(data, 2);
        const QString history = cardhistory::besidePath(FileSystem::native(), data);
        save(data, 1, QStringLiteral("un"));
        save(data, 2, QStringLiteral("deux"));
        save(data, 1, QStringLiteral("trois"));
        QByteArray whole = cardfiles::contents(history);
        if (tearOff) {
            whole.truncate(at + 1000);  // card 2's entry cut short by a crash...
            writeRaw(history, whole);
            save(data, 1, QStringLiteral("quatre"));  // ...and saves added after it
            save(data, 1, QStringLiteral("cinq"));
            QCOMPARE(historyOf(data, 1), (QStringList{"quatre", "trois", "fiche 1"}));
            QVERIFY(historyOf(data, 2).isEmpty());
            return;
        }
        whole.replace(at, bytes.size(), bytes);
        writeRaw(history, whole);
        QCOMPARE(historyOf(data, 1), (QStringList{"un", "fiche 1"}));
        QVERIFY(historyOf(data, 2).isEmpty());
    }

    // --- which data file a history belongs to

    // Either mark alone may change under the same file (a volume plugged in
    // again renumbers it; some systems give the last change as the birth).
    void aFileIsAnotherOnlyWhenBirthAndIdentityBothDiffer_data() {
        QTest::addColumn<qint64>("born");
        QTest::addColumn<quint64>("file");
        QTest::addColumn<bool>("belongs");
        QTest::newRow("the same") << qint64(1000) << quint64(7) << true;
        QTest::newRow("renumbered") << qint64(1000) << quint64(8) << true;
        QTest::newRow("birth time unstable") << qint64(2000) << quint64(7) << true;
        QTest::newRow("no birth time given") << qint64(0) << quint64(8) << true;
        QTest::newRow("another file") << qint64(2000) << quint64(8) << false;
    }
    void aFileIsAnotherOnlyWhenBirthAndIdentityBothDiffer() {
        QFETCH(qint64, born);
        QFETCH(quint64, file);
        QFETCH(bool, belongs);
        const std::vector<char> mark = fileowner::encode({1000, FileIdentity{true, 1, 7}});
        const auto recorded = fileowner::decode(mark.data(), std::int64_t(mark.size()));
        QVERIFY(recorded);
        QCOMPARE(fileowner::belongs(recorded, {born, FileIdentity{true, 1, file}}), belongs);
    }

    // Renamed outside the program, a data file leaves its history under its
    // old name: a new file of that name is never offered the old file's
    // versions, nor its copies, and both are set aside at its first save.
    void aNewFileUnderAnOldNameIsNotOfferedTheOldFilesVersions() {
        const QString data = path(QStringLiteral("travail.dat"));
        const QString archive = path(QStringLiteral("archive-2026.dat"));
        cardfiles::writeNumbered(data, 3);
        save(data, 1, QStringLiteral("de l'ancien fichier"));
        QVERIFY(!dailycopies::list(FileSystem::native(), data).empty());
        QVERIFY(QFile::rename(data, archive));
        QTest::qWait(20);  // a new file is born later
        cardfiles::writeNumbered(data, 1);

        QString message;
        try {
            historyOf(data, 1);
        } catch (const StoreError& error) {
            message = error.message();
        }
        QVERIFY2(message.contains(QStringLiteral("autre fichier de données")), qPrintable(message));
        QVERIFY(dailycopies::list(FileSystem::native(), data).empty());
        QVERIFY(dailycopies::foreignCopies(FileSystem::native(), data).contains(QStringLiteral("autre fichier")));

        QStringList told;
        storenotice::setListener([&told](const QString& notice) { told.append(notice); });
        save(data, 1, QStringLiteral("du nouveau fichier"));
        storenotice::setListener({});
        QCOMPARE(told.size(), 2);  // its history and its copies, each set aside where the user is told
        QCOMPARE(historyOf(data, 1), QStringList{"fiche 1"});
        const auto copies = dailycopies::list(FileSystem::native(), data);
        QCOMPARE(copies.size(), std::size_t(1));
        QCOMPARE(copies.front().cardCount, 1);
        QVERIFY(dailycopies::foreignCopies(FileSystem::native(), data).isEmpty());
        // The old history is kept whole under the name the notice gives.
        const QString aside = QDir(m_dir.path()).entryList({QStringLiteral("travail.dat.historique.autre-fichier-*")}).value(0);
        QVERIFY2(!aside.isEmpty() && told.join(' ').contains(aside), qPrintable(told.join(' ')));
    }

    // --- two copies of the program at once

    void twoCopiesSavingTogetherLoseNoVersion() {
        const QString data = path(QStringLiteral("deux-copies.dat"));
        constexpr int kEach = 20;
        constexpr int kRounds = 4;
        const QString failure = storepeer::saveInTwoCopies(data, kEach, kRounds);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        for (int slot = 1; slot <= 2 * kEach; ++slot) {
            QStringList expected;
            for (int round = kRounds - 1; round >= 1; --round) {
                expected.append(QStringLiteral("copie %1 fiche %2 tour %3").arg((slot - 1) % 2).arg(slot).arg(round));
            }
            expected.append(QStringLiteral("<aucune fiche>"));
            // A card the other copy skipped over first became an empty card.
            QStringList kept = historyOf(data, slot);
            kept.removeAll(QString());
            QCOMPARE(kept, expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestCardHistory)
#include "tst_card_history.moc"
