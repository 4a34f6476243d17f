#include <QTemporaryDir>
#include <QTest>

#include "search/quick_lookup.h"
#include "support/card_files.h"

using quicklookup::Rank;

class TestQuickLookup : public QObject {
    Q_OBJECT
private slots:
    // Card order within a rank; a card met in several ways ranks by its best.
    void cardsComeBestFirst_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");  // numero:rank
        QTest::newRow("every rank") << "Chat"
                                    << QStringList{"4:0", "7:0", "2:1", "5:1", "3:2", "1:3", "6:3"};
        QTest::newRow("accents and case ignored") << "ÉLÈVE" << QStringList{"8:0", "9:2"};
        QTest::newRow("a ligature matches its letters") << "coeur" << QStringList{"10:1"};
        QTest::newRow("a selection over lines") << "  chat\n noir\t" << QStringList{"5:0", "1:3"};
        QTest::newRow("a selection in decomposed form") << "E\u0301LE\u0300VE" << QStringList{"8:0", "9:2"};
        QTest::newRow("nothing") << "ornithorynque" << QStringList{};
        QTest::newRow("empty") << " \n" << QStringList{};
        QTest::newRow("not in the code page") << "猫" << QStringList{};
    }
    void cardsComeBestFirst() {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("cards.dat");
        cardfiles::write(path, {{1, "matou", "tomcat", "", "", "", "", "un chat noir passe"},
                                {2, "chaton", "kitten", "", "", "", "", ""},
                                {3, "le petit chat", "the little cat", "", "", "", "", ""},
                                {4, "chat", "cat", "", "", "", "", ""},
                                {5, "Chat noir", "black cat", "", "", "", "", ""},
                                {6, "félin", "feline", "chat (n. m.)", "", "", "", ""},
                                {7, "CHAT", "cat (2)", "", "", "", "", ""},
                                {8, "élève", "pupil", "", "", "", "", ""},
                                {9, "un eleve", "a pupil", "", "", "", "", ""},
                                {10, "cœur de métier", "core business", "", "", "", "", ""}});
        DataFile file = DataFile::open(path);
        QStringList got;
        for (const quicklookup::Row& row : quicklookup::find(file, quicklookup::lookedUpText(text))) {
            got << QStringLiteral("%1:%2").arg(row.numero.trimmed()).arg(int(row.rank));
            QCOMPARE(row.slot, row.numero.trimmed().toInt());
        }
        QCOMPARE(got, expected);
    }

    // After the text as it is, the other forms of it on each side; where
    // nothing holds either, a word spelt near. Found on the translation's
    // side, the card says so: its expression is what to copy.
    void otherFormsAndNearSpellingsComeLast_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("form");          // the other form the dictionaries give, if any
        QTest::addColumn<QStringList>("expected");  // numero:rank:side(e or t):label
        QTest::newRow("the text, then its forms")
            << "cheval" << "chevaux" << QStringList{"1:0:e:", "3:1:e:", "2:4:e:forme de cheval", "4:4:t:forme de cheval"};
        QTest::newRow("the translation's side") << "horse" << "" << QStringList{"1:0:t:", "3:1:t:", "2:2:t:"};
        QTest::newRow("a near spelling, where nothing else")
            << "chevla" << "" << QStringList{"1:5:e:orthographe proche de chevla", "3:5:e:orthographe proche de chevla"};
        QTest::newRow("nothing at all") << "ornithorynque" << "" << QStringList{};
    }
    void otherFormsAndNearSpellingsComeLast() {
        QFETCH(QString, text);
        QFETCH(QString, form);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("cards.dat");
        cardfiles::write(path, {{1, "cheval", "horse", "", "", "", "", ""},
                                {2, "chevaux de trait", "draught horses", "", "", "", "", ""},
                                {3, "cheval-vapeur", "horsepower", "", "", "", "", ""},
                                {4, "stallion", "étalon, chevaux", "", "", "", "", ""}});
        // As the dictionaries give them for the words of this file.
        cardsearch::FormPhrases forms;
        if (!form.isEmpty()) {
            forms.source.push_back({form, QStringLiteral("forme de %1").arg(text)});
            forms.target.push_back({form, QStringLiteral("forme de %1").arg(text)});
        }
        DataFile file = DataFile::open(path);
        QStringList got;
        for (const quicklookup::Row& row : quicklookup::find(file, quicklookup::lookedUpText(text), &forms)) {
            got << QStringLiteral("%1:%2:%3:%4").arg(row.numero.trimmed()).arg(int(row.rank)).arg(row.onTranslation ? "t" : "e", row.label);
        }
        QCOMPARE(got, expected);
    }

    void placesCoverWhatTheFieldShows_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("expected");  // first, length, first, length...
        QTest::newRow("every place") << "Chat, chaton et CHAT" << "chat" << QList<int>{0, 4, 6, 4, 16, 4};
        QTest::newRow("accents") << "l'élève" << "eleve" << QList<int>{2, 5};
        QTest::newRow("a ligature in the field") << "le cœur" << "coeur" << QList<int>{3, 4};
        QTest::newRow("half a ligature") << "sœur" << "so" << QList<int>{0, 2};
        QTest::newRow("one letter twice in one") << "Straße" << "s" << QList<int>{0, 1, 4, 1};
        QTest::newRow("a text in decomposed form") << "l'élève" << "e\u0301le\u0300ve" << QList<int>{2, 5};
        QTest::newRow("none") << "chien" << "chat" << QList<int>{};
    }
    void placesCoverWhatTheFieldShows() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QList<int>, expected);
        QList<int> got;
        for (const auto& [first, length] : quicklookup::places(field, text)) got << int(first) << int(length);
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(TestQuickLookup)
#include "tst_quick_lookup.moc"
