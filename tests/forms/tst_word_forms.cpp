#include <QTemporaryDir>
#include <QTest>

#include "forms/dictionaries.h"
#include "forms/file_languages.h"
#include "forms/file_vocabulary.h"
#include "forms/form_phrases.h"
#include "search/card_search.h"
#include "store/data_file.h"
#include "support/card_files.h"

// Word forms from the French and English dictionaries installed
// (hunspell-fr, hunspell-en-us): what a search for a word also finds.
namespace {

// A French to English file: the words each test looks for stand in its cards.
const QList<cardfiles::Card> kCards = {
    {1, "cheval", "horse", "", "", "", "", ""},
    {2, "chevalier", "knight", "", "", "", "", ""},
    {3, "chevalet", "easel", "", "", "", "", ""},
    {4, "travailler", "to work", "", "", "", "", ""},
    {5, "mise en service", "commissioning", "", "", "", "", ""},
    {6, "écrou", "nut", "", "", "", "", ""},
    {7, "grand", "tall", "", "", "", "", ""},
    {8, "glossaire", "glossary", "", "", "", "", ""},
    {9, "créance", "claim", "", "", "", "", ""},
    {10, "déclaration", "statement", "", "", "", "", ""},
    {11, "état", "state", "", "", "", "", ""},
    {12, "chevaux de trait", "draught horses", "", "", "", "", "Les écrous tiennent."},
};

bool haveDictionaries() { return dictionaries::languages().contains("fr") && dictionaries::languages().contains("en"); }

}  // namespace

class TestWordForms : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!haveDictionaries()) QSKIP("the French and English dictionaries are not installed (hunspell-fr, hunspell-en-us)");
        QVERIFY(m_dir.isValid());
        cardfiles::write(m_dir.filePath("cartes.dat"), kCards);
        DataFile file = DataFile::open(m_dir.filePath("cartes.dat"));
        m_vocabulary = FileVocabulary::read(file, dictionaries::lemmatizerFor("fr"), dictionaries::lemmatizerFor("en"));
        QVERIFY(m_vocabulary);
    }

    // A search of the text in every field, with the forms of its words:
    // the cards found, and the tool tip of the first where a form found it.
    void aWordFindsItsOtherForms_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accentsIgnored");
        QTest::addColumn<QStringList>("cards");
        QTest::addColumn<QString>("said");
        QTest::newRow("a plural in -aux finds its singular") << "chevaux" << false << QStringList{"1", "12"} << "forme de chevaux";
        QTest::newRow("the singular finds the plural, never a word beginning alike")
            << "cheval" << false << QStringList{"1", "2", "3", "12"} << "";
        QTest::newRow("a conjugated verb finds its infinitive") << "travaillaient" << false << QStringList{"4"} << "forme de travaillaient";
        QTest::newRow("a feminine finds its masculine") << "grande" << false << QStringList{"7"} << "forme de grande";
        QTest::newRow("a phrase, each word in turn") << "mises en service" << false << QStringList{"5"} << "forme de mises en service";
        QTest::newRow("a plural in the context") << "écrou" << false << QStringList{"6", "12"} << "";
        QTest::newRow("accents ignored") << "ECROUS" << true << QStringList{"6", "12"} << "forme de ECROUS";
        QTest::newRow("an English plural, on the translations' side") << "glossaries" << false << QStringList{"8"} << "forme de glossaries";
        QTest::newRow("another English plural") << "claims" << false << QStringList{"9"} << "forme de claims";
        QTest::newRow("an English word beginning alike is no form") << "states" << false << QStringList{"11"} << "forme de states";
        QTest::newRow("no form in the file") << "ornithorynques" << false << QStringList{} << "";
    }
    void aWordFindsItsOtherForms() {
        QFETCH(QString, text);
        QFETCH(bool, accentsIgnored);
        QFETCH(QStringList, cards);
        QFETCH(QString, said);
        cardsearch::Query query;
        query.text = text;
        query.scope = cardsearch::Scope::everyField;
        query.accents = accentsIgnored ? cardsearch::Accents::ignored : cardsearch::Accents::kept;
        query.forms = std::make_shared<cardsearch::FormPhrases>(formphrases::of(text, *m_vocabulary, false, accentsIgnored));
        DataFile file = DataFile::open(m_dir.filePath("cartes.dat"));
        QStringList found;
        QString firstSaid;
        for (const ResultRow& row : cardsearch::search(file, query)) {
            found.append(row.numero.trimmed());
            const QString tip = row.toolTip.text();
            if (firstSaid.isEmpty() && tip.contains(QLatin1String(" (forme"))) firstSaid = tip;
        }
        QCOMPARE(found, cards);
        if (!said.isEmpty()) QVERIFY2(firstSaid.contains(QStringLiteral("(%1)").arg(said)), qPrintable(firstSaid));
    }

    // The languages of a file, from its cards and the dictionaries installed.
    void theLanguagesOfAFileAreGuessed_data() {
        QTest::addColumn<bool>("reversed");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::newRow("French to English") << false << "fr" << "en";
        QTest::newRow("English to French") << true << "en" << "fr";
    }
    void theLanguagesOfAFileAreGuessed() {
        QFETCH(bool, reversed);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QList<cardfiles::Card> cards = kCards;
        if (reversed) {
            for (cardfiles::Card& card : cards) std::swap(card.expression, card.traduction);
        }
        const QString path = m_dir.filePath(QStringLiteral("devine-%1.dat").arg(reversed));
        cardfiles::write(path, cards);
        DataFile file = DataFile::open(path);
        QCOMPARE(filelanguages::guess(file, dictionaries::languages()), (FileLanguages{source, target}));
        // Kept once guessed, and what the user chose instead kept over it.
        FileLanguagesSettings settings(m_dir.filePath("lexicarium.ini"));
        QCOMPARE(filelanguages::of(path, settings), (FileLanguages{source, target}));
        settings.keep(path, {"de", "fr"});
        QCOMPARE(filelanguages::of(path, settings), (FileLanguages{"de", "fr"}));
    }

private:
    QTemporaryDir m_dir;
    std::shared_ptr<const FileVocabulary> m_vocabulary;
};

QTEST_GUILESS_MAIN(TestWordForms)
#include "tst_word_forms.moc"
