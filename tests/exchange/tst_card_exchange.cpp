#include <QDir>
#include <QFile>
#include <QTest>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include "exchange/card_export.h"
#include "exchange/card_import.h"
#include "exchange/exchange_error.h"
#include "exchange/glossary_cards.h"
#include "store/data_file.h"
#include "store/field_text.h"
#include "store/save_journal.h"
#include "store/store_error.h"
#include "support/card_files.h"
#include "support/crash_loop.h"
#include "support/test_folder.h"
#include "support/faulty_file_system.h"


using Module1::Field;
using Module1::kSlotSize;

// Cards out of a data file into TBX, CSV and workbooks, and back in after its last slot.
namespace {

// The most memory the process has held at once so far, in KiB.
qint64 peakMemoryKiB() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return qint64(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

// Cards with what a terminologist writes: accents, ligatures, quotes,
// separators, line breaks, leading spaces and a context of 1000 characters.
QList<cardfiles::Card> demandingCards(int n) {
    QList<cardfiles::Card> cards;
    for (int i = 1; i <= n; ++i) {
        const QString s = QString::number(i);
        // Half the cards have their terms for dictionary entries, as imported glossaries do.
        const QString expression = QStringLiteral("œuvre n° %1 ; « entre guillemets »").arg(i);
        const QString translation = QStringLiteral("work \"%1\", Æsop").arg(i);
        cards.append({i, expression, translation, i % 2 == 0 ? expression : QStringLiteral("  dico; source, %1").arg(i),
                      i % 2 == 0 ? translation : QStringLiteral("cible\r\nsur deux lignes %1").arg(i),
                      QStringLiteral("Réf. %1 € — ½").arg(i),
                      QStringLiteral("misc\ttabulé %1").arg(i),
                      (QStringLiteral("Contexte %1 : ").arg(i) + QString(1000, u'é')).left(1000)});
    }
    return cards;
}

std::vector<std::int32_t> upTo(int n) {
    std::vector<std::int32_t> numbers(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) numbers[std::size_t(i)] = i + 1;
    return numbers;
}

void exportTo(const QString& data, const std::vector<std::int32_t>& numbers, const QString& path,
              cardexport::Format format) {
    DataFile file = DataFile::open(data);
    cardexport::Options options;
    options.format = format;
    options.separator = u';';
    options.sourceLanguage = QStringLiteral("fr");
    options.targetLanguage = QStringLiteral("en");
    QVERIFY(cardexport::exportCards(file, numbers, path, options, {}));
}

std::vector<CardText> cardsIn(const QString& path) {
    const glossary::Glossary read = cardimport::readFile(path);
    return glossary::cardsOf(read, glossary::proposedPair(read)).cards;
}

cardimport::Plan importInto(const QString& data, const QString& from) {
    const std::vector<CardText> cards = cardsIn(from);
    DataFile file = DataFile::open(data);
    cardimport::Plan plan = cardimport::plan(cards, file.recordCount());
    cardimport::apply(file, plan);
    return plan;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString failureOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const ExchangeError& error) {
        return error.message();
    }
    return QStringLiteral("<no failure>");
}

QByteArray withoutReserves(QByteArray bytes) {
    for (qsizetype slot = 0; slot * kSlotSize < bytes.size(); ++slot) {
        const qsizetype reserve = slot * kSlotSize + kSlotSize - 10;
        if (reserve < bytes.size()) bytes.replace(reserve, std::min<qsizetype>(10, bytes.size() - reserve), "RRRRRRRRRR");
    }
    return bytes;
}

}  // namespace

class TestCardExchange : public QObject {
    Q_OBJECT
private:
    TestFolder m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("utilisateur")).toUtf8()); }
    void init() { FileSystem::setCurrent(nullptr); }

    // --- a round trip

    void theFullListComesBackByteForByte_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("name");
        QTest::newRow("TBX") << int(cardexport::Format::tbx) << "aller.tbx";
        QTest::newRow("CSV") << int(cardexport::Format::csv) << "aller.csv";
        QTest::newRow("xlsx") << int(cardexport::Format::xlsx) << "aller.xlsx";
        QTest::newRow("ods") << int(cardexport::Format::ods) << "aller.ods";
    }
    void theFullListComesBackByteForByte() {
        QFETCH(int, format);
        QFETCH(QString, name);
        const QString original = path(QStringLiteral("original.dat"));
        cardfiles::write(original, demandingCards(40));
        exportTo(original, upTo(40), path(name), cardexport::Format(format));
        const QString copy = path(QStringLiteral("copie-%1.dat").arg(format));
        QFile::remove(copy);
        const cardimport::Plan plan = importInto(copy, path(name));
        QCOMPARE(plan.first, 1);
        QCOMPARE(plan.last(), 40);
        QCOMPARE(plan.altered, 0);
        QCOMPARE(withoutReserves(cardfiles::contents(copy)), withoutReserves(cardfiles::contents(original)));
    }

    // --- export

    void theCardsGoInTheGivenOrderAsTheFileHoldsThemNow() {
        const QString data = path(QStringLiteral("ordre.dat"));
        cardfiles::writeNumbered(data, 3);
        {
            DataFile file = DataFile::open(data);
            Module1::FicheRecord fiche = Module1::emptyCard(1);
            fieldtext::store(fiche.expression, QStringLiteral("modifiée depuis la liste"));
            file.writeSlot(1, fiche);
        }
        exportTo(data, {3, 1, 2}, path(QStringLiteral("ordre.csv")), cardexport::Format::csv);
        const std::vector<CardText> cards = cardsIn(path(QStringLiteral("ordre.csv")));
        QCOMPARE(cards.size(), std::size_t(3));
        QCOMPARE(cards[0][Field::expression], QStringLiteral("fiche 3"));
        QCOMPARE(cards[1][Field::expression], QStringLiteral("modifiée depuis la liste"));
        QCOMPARE(cards[2][Field::expression], QStringLiteral("fiche 2"));
    }

    void aCancelledExportLeavesNoFileAndAnOldOneAsItWas() {
        const QString data = path(QStringLiteral("annule.dat"));
        cardfiles::writeNumbered(data, 600);
        const QString target = path(QStringLiteral("annule.tbx"));
        DataFile file = DataFile::open(data);
        int reports = 0;
        const auto cancelSecond = [&](int, int) { return ++reports < 2; };
        QVERIFY(!cardexport::exportCards(file, upTo(600), target, {}, cancelSecond));
        QVERIFY(!QFile::exists(target));
        QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral("annule.tbx*")}, QDir::Files | QDir::Hidden).isEmpty());

        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("ancien contenu");
        old.close();
        reports = 0;
        QVERIFY(!cardexport::exportCards(file, upTo(600), target, {}, cancelSecond));
        QCOMPARE(cardfiles::contents(target), QByteArray("ancien contenu"));
    }

    void aFailedExportLeavesNothing() {
        const QString data = path(QStringLiteral("echec.dat"));
        cardfiles::writeNumbered(data, 3);
        DataFile file = DataFile::open(data);
        const QString nowhere = path(QStringLiteral("absent/sortie.csv"));
        QVERIFY_THROWS_EXCEPTION(ExchangeError, cardexport::exportCards(file, {1, 2}, nowhere, {}, {}));
        QVERIFY(!QFile::exists(nowhere));
        const QString target = path(QStringLiteral("echec.csv"));
        QVERIFY_THROWS_EXCEPTION(StoreError, cardexport::exportCards(file, {1, 0}, target, {}, {}));
        QVERIFY(!QFile::exists(target));
    }

    // --- import

    void cardsAreAddedAfterTheLastSlotAndNoneIsOverwritten() {
        const QString data = path(QStringLiteral("ajout.dat"));
        cardfiles::writeNumbered(data, 5);
        const QByteArray before = cardfiles::contents(data);
        QFile csv(path(QStringLiteral("ajout.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Expression;Traduction\nun;one\ndeux;two\ntrois;three\n");
        csv.close();
        const cardimport::Plan plan = importInto(data, csv.fileName());
        QCOMPARE(plan.first, 6);
        QCOMPARE(plan.last(), 8);
        const QByteArray after = cardfiles::contents(data);
        QCOMPARE(after.left(before.size()), before);
        QCOMPARE(after.size(), 8 * kSlotSize);
        QCOMPARE(cardfiles::fieldOf(data, 7, Field::expression), QStringLiteral("deux"));
        QCOMPARE(cardfiles::slot(data, 7).left(2), QByteArray("\x07\x00", 2));
    }

    void passingCard32767IsRefusedBeforeAnythingIsWritten() {
        std::vector<CardText> cards(3);
        QVERIFY_THROWS_EXCEPTION(ExchangeError, cardimport::plan(cards, Module1::kHighestCardNumber - 2));
        QCOMPARE(cardimport::plan(cards, Module1::kHighestCardNumber - 3).last(), Module1::kHighestCardNumber);
    }

    void aFileGrownSinceThePlanIsNotWritten() {
        const QString data = path(QStringLiteral("concurrent.dat"));
        cardfiles::writeNumbered(data, 2);
        DataFile file = DataFile::open(data);
        std::vector<CardText> cards(2);
        const cardimport::Plan plan = cardimport::plan(cards, file.recordCount());
        file.writeSlot(3, Module1::emptyCard(3));  // another save comes first
        const QByteArray before = cardfiles::contents(data);
        QVERIFY_THROWS_EXCEPTION(StoreError, cardimport::apply(file, plan));
        QCOMPARE(cardfiles::contents(data), before);
    }

    void anImportIsAllOrNothingWhateverFails() {
        const QString data = path(QStringLiteral("tout.dat"));
        cardfiles::writeNumbered(data, 4);
        const QByteArray before = cardfiles::contents(data);
        std::vector<CardText> cards(300);
        for (std::size_t i = 0; i < cards.size(); ++i) cards[i][Field::expression] = QStringLiteral("importée %1").arg(i);
        for (int at = 1;; ++at) {
            {
                QFile out(data);
                QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
                out.write(before);
            }
            FaultyFileSystem faults(FaultyFileSystem::Mode::failOnce, at);
            FileSystem::setCurrent(&faults);
            bool imported = true;
            try {
                DataFile file = DataFile::open(data);
                cardimport::apply(file, cardimport::plan(cards, file.recordCount()));
            } catch (const StoreError&) {
                imported = false;
            }
            FileSystem::setCurrent(nullptr);
            DataFile::open(data).close();
            const QByteArray after = cardfiles::contents(data);
            if (imported) {
                QCOMPARE(after.size(), 304 * kSlotSize);
                QCOMPARE(cardfiles::fieldOf(data, 304, Field::expression), QStringLiteral("importée 299"));
            } else {
                QVERIFY2(after == before, qPrintable(QStringLiteral("failure at operation %1").arg(at)));
            }
            if (faults.operations() < at) break;
        }
    }

    void aCrashDuringAnImportLeavesTheFileAsItWasOrWithEveryCard() {
        const QString data = path(QStringLiteral("crash.dat"));
        cardfiles::writeNumbered(data, 4);
        const QByteArray before = cardfiles::contents(data);
        std::vector<CardText> cards(50);
        for (std::size_t i = 0; i < cards.size(); ++i) cards[i][Field::expression] = QStringLiteral("importée %1").arg(i);
        CrashLoop loop;
        loop.prepare = [&] {
            QFile out(data);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(before);
        };
        loop.work = [&] {
            DataFile file = DataFile::open(data);
            cardimport::apply(file, cardimport::plan(cards, file.recordCount()));
        };
        loop.check = [&](int at, bool) {
            DataFile::open(data).close();
            const QByteArray after = cardfiles::contents(data);
            QVERIFY2(after == before || after.size() == 54 * kSlotSize,
                     qPrintable(QStringLiteral("crash at operation %1").arg(at)));
            if (after != before) QCOMPARE(cardfiles::fieldOf(data, 54, Field::expression), QStringLiteral("importée 49"));
            QVERIFY(!savejournal::anyFor(FileSystem::native(), data));
        };
        const int crashes = loop.run();
        QVERIFY(crashes >= 8);
    }

    void readingStopsPastTheRoomLeft_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QByteArray tbx = "<martif xml:lang=\"en\"><text><body>";
        for (int i = 0; i < 5; ++i) {
            tbx += "<termEntry><langSet xml:lang=\"en\"><tig><term>t</term></tig></langSet>"
                   "<langSet xml:lang=\"fr\"><tig><term>t</term></tig></langSet></termEntry>";
        }
        QTest::newRow("TBX") << "place.tbx" << tbx + "</body></text></martif>";
        QTest::newRow("CSV") << "place.csv" << QByteArray("Expression;Traduction\n") + QByteArray("a;b\n").repeated(5);
        QTest::newRow("tabs") << "place.txt" << QByteArray("a\tb\n").repeated(5);
    }
    void readingStopsPastTheRoomLeft() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        writeFile(path(name), bytes);
        QCOMPARE(cardimport::readFile(path(name), 5).entries.size(), std::size_t(5));
        const QString message = failureOf([&] { cardimport::readFile(path(name), 4); });
        QVERIFY2(message.contains(QStringLiteral("ne peut plus en recevoir que 4")), qPrintable(message));
        const QString full = failureOf([&] { cardimport::readFile(path(name), 0); });
        QVERIFY2(full.contains(QStringLiteral("compte déjà 32767 fiches")), qPrintable(full));
    }

    // A table of millions of short lines was read whole, every row kept,
    // before its size was checked: far more memory than the file's size.
    void aTableOfMillionsOfLinesIsRefusedWithoutTakingTheirMemory() {
        const QString table = path(QStringLiteral("longue.csv"));
        {
            QFile file(table);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Expression;Traduction\r\n");
            const QByteArray block = QByteArray("a;b\r\n").repeated(64 * 1024);
            for (int i = 0; i < 32; ++i) file.write(block);  // 2 million rows, 12 MB
        }
        const qint64 before = peakMemoryKiB();
        QVERIFY(before > 0);
        const QString message = failureOf([&] { cardimport::readFile(table, 1000); });
        const qint64 grownKiB = peakMemoryKiB() - before;
        QVERIFY2(grownKiB < 32 * 1024, qPrintable(QStringLiteral("the peak grew by %1 KiB").arg(grownKiB)));
        QVERIFY2(message.contains(QStringLiteral("ne peut plus en recevoir que 1000")), qPrintable(message));
        QFile::remove(table);
    }

    void aHugeFileIsRefusedUnread() {
        const QString huge = path(QStringLiteral("enorme.csv"));
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(cardimport::kLargestFile + 1));  // sparse: no disk taken
        file.close();
        try {
            cardimport::readFile(huge);
            QFAIL("a huge file was read");
        } catch (const ExchangeError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("trop volumineux")), qPrintable(error.message()));
        }
        QFile::remove(huge);
    }
};

QTEST_GUILESS_MAIN(TestCardExchange)
#include "tst_card_exchange.moc"
