#include <QDir>
#include <QFile>
#include <QTest>

#include "store/card_history.h"
#include "store/data_file.h"
#include "store/field_text.h"
#include "store/store_error.h"
#include "support/card_files.h"
#include "support/test_folder.h"
#include "support/faulty_file_system.h"
#include "support/store_peer.h"


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
        const qsizetype full = 2825;
        const qsizetype empty = 26;
        QCOMPARE(whole.size(), 2 * full + empty);
        for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
            cardfiles::restore(history, whole.left(cut));
            QStringList expected;
            if (cut >= full) expected.append(QStringLiteral("fiche 1"));
            if (cut == whole.size()) expected.prepend(QStringLiteral("un"));
            QCOMPARE(historyOf(data, 1), expected);
            QCOMPARE(historyOf(data, 3).size(), cut >= full + empty ? 1 : 0);
        }
    }

    // A damaged entry in the middle hides only itself.
    void aDamagedEntryHidesOnlyItself() {
        const QString data = path(QStringLiteral("abime.dat"));
        cardfiles::writeNumbered(data, 2);
        for (const char* text : {"un", "deux", "trois"}) save(data, 1, QString::fromUtf8(text));
        const QString history = cardhistory::besidePath(FileSystem::native(), data);
        QByteArray bytes = cardfiles::contents(history);
        bytes[2825 + 100] = char(bytes[2825 + 100] ^ 0x55);  // inside the second entry's card
        QFile file(history);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QCOMPARE(historyOf(data, 1), (QStringList{"deux", "fiche 1"}));
        bytes = cardfiles::contents(history);
        bytes.replace(2825, 4, "XXXX");  // and its header
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QCOMPARE(historyOf(data, 1), (QStringList{"deux", "fiche 1"}));
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
