#include <QRandomGenerator>
#include <QTest>
#include <array>
#include <vector>

#include "search/folding.h"
#include "search/forms_matcher.h"
#include "search/query_matcher.h"
#include "store/cp1252.h"
#include "store/field_text.h"
#include "support/wildcard_reference.h"

using cardsearch::Accents;
using cardsearch::MatchOptions;

namespace {

// Edit distance, insertions, deletions, substitutions and swaps of two
// neighbours, worked out over the whole table.
int referenceDistance(const QString& a, const QString& b) {
    std::vector<std::vector<int>> d(std::size_t(a.size() + 1), std::vector<int>(std::size_t(b.size() + 1)));
    for (qsizetype i = 0; i <= a.size(); ++i) d[std::size_t(i)][0] = int(i);
    for (qsizetype j = 0; j <= b.size(); ++j) d[0][std::size_t(j)] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const auto I = std::size_t(i);
            const auto J = std::size_t(j);
            d[I][J] = std::min({d[I - 1][J] + 1, d[I][J - 1] + 1, d[I - 1][J - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[I][J] = std::min(d[I][J], d[I - 2][J - 2] + 1);
        }
    }
    return d[std::size_t(a.size())][std::size_t(b.size())];
}

}  // namespace

class TestSearchOptions : public QObject {
    Q_OBJECT
private slots:
    void eachOptionMatchesAsATranslatorMeansIt_data() {
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("options");  // j: jokers, m: whole word, a: approximate, s: accents ignored
        QTest::addColumn<QString>("found");    // the field's text the match covers; empty: none
        QTest::newRow("* across a space") << "liaison équipotentielle" << "liaison*tielle" << "j" << "liaison équipotentielle";
        QTest::newRow("* none at all") << "écrou" << "écr*ou" << "j" << "écrou";
        QTest::newRow("? for an accented letter") << "écrou" << "?crou" << "j" << "écrou";
        QTest::newRow("? is one letter, not none") << "écrou" << "é?crou" << "j" << "";
        QTest::newRow("? for a ligature, accents ignored") << "cœur" << "c?ur" << "js" << "cœur";
        QTest::newRow("ligature letters, accents ignored") << "cœur" << "c*eur" << "js" << "cœur";
        QTest::newRow("* is plain without the option") << "a*b" << "a*b" << "" << "a*b";
        QTest::newRow("* without the option finds no run") << "axb" << "a*b" << "" << "";
        QTest::newRow("whole word after an apostrophe") << "l'eau froide" << "eau" << "m" << "eau";
        QTest::newRow("not inside a longer word") << "château" << "chat" << "m" << "";
        QTest::newRow("whole word, a later place") << "châteaux, chat" << "chat" << "m" << "chat";
        QTest::newRow("whole word and wildcards") << "le château d'eau" << "ch*eau" << "jm" << "château";
        QTest::newRow("whole word: a trailing * reaches the end") << "château" << "châ*" << "jm" << "châ";
        QTest::newRow("? is never the filling") << "chat" << "chat?" << "j" << "";
        QTest::newRow("? is never the filling, shorter") << "cha" << "cha?" << "j" << "";
        QTest::newRow("? alone finds no empty field") << "" << "?" << "j" << "";
        QTest::newRow("* then ? needs a character of the text") << "chat" << "ch*?" << "j" << "cha";
        QTest::newRow("* then ? past the text") << "chat" << "chat*?" << "j" << "";
        QTest::newRow("* takes none of the filling") << "chat" << "c*t*x" << "j" << "";
        QTest::newRow("a run across a later place") << "ch ch ch zz" << "ch*zz" << "j" << "ch ch ch zz";
        QTest::newRow("whole word: the last piece ends a word") << "équipe et équipement" << "é*pe" << "jm" << "équipe";
        QTest::newRow("whole word: a later ending") << "équipements, équipe" << "é*pe" << "jm" << "équipements, équipe";
        QTest::newRow("a word with two letters swapped") << "la traduction" << "traudction" << "a" << "traduction";
        QTest::newRow("a letter missing") << "la traducion" << "traduction" << "a" << "traducion";
        QTest::newRow("two edits from 8 letters") << "équipotentiel" << "equipotentiele" << "a" << "équipotentiel";
        QTest::newRow("accent as one edit when kept") << "ecrou" << "écrou" << "a" << "ecrou";
        QTest::newRow("two edits are too many under 8") << "ecrous" << "écrou" << "a" << "";
        QTest::newRow("under 4 letters, exact only") << "clé" << "cle" << "a" << "";
        QTest::newRow("a run of words as long as the text") << "une liason equipotentielle ici" << "liaison équipotentielle"
                                                            << "as" << "liason equipotentielle";
        QTest::newRow("approximate keeps the plain matches") << "château" << "tea" << "a" << "tea";
    }
    void eachOptionMatchesAsATranslatorMeansIt() {
        QFETCH(QString, fieldText);
        QFETCH(QString, text);
        QFETCH(QString, options);
        QFETCH(QString, found);
        std::array<char, 255> field;
        fieldtext::store(field, fieldText);
        const cardsearch::QueryMatcher matcher(
            text, options.contains('s') ? Accents::ignored : Accents::kept,
            MatchOptions{options.contains('j'), options.contains('m'), options.contains('a')});
        const auto span = matcher.find(field);
        QCOMPARE(matcher.matches(field), span.has_value());
        const QString covered = span ? cp1252::decode(field.data() + span->begin, qsizetype(span->end - span->begin)) : QString();
        QCOMPARE(covered, found);
    }

    // Random fields and patterns against every beginning and end tried in
    // turn: the first beginning that starts a match, then its nearest end.
    void theWildcardsFindWhatAnExhaustiveSearchFinds() {
        QRandomGenerator random(42);
        const QString fieldLetters = QStringLiteral("abéÉ .");
        const QString patternLetters = QStringLiteral("abéÉ .**??");
        for (int round = 0; round < 20000; ++round) {
            QString text;
            QString pattern;
            for (int i = int(random.bounded(0, 9)); i > 0; --i) text += fieldLetters[random.bounded(fieldLetters.size())];
            for (int i = int(random.bounded(1, 6)); i > 0; --i) pattern += patternLetters[random.bounded(patternLetters.size())];
            const bool wholeWord = random.bounded(2) == 1;
            const bool ignored = random.bounded(2) == 1;
            std::array<char, 12> field;
            fieldtext::store(field, text);
            const cardsearch::QueryMatcher matcher(pattern, ignored ? Accents::ignored : Accents::kept,
                                                   MatchOptions{true, wholeWord, false});
            const auto span = matcher.find(field);
            const auto expected = wildcardreference::firstMatch(cp1252::decode(field.data(), qsizetype(field.size())),
                                                  fieldtext::read(field).size(), pattern, wholeWord, ignored);
            const QString what = QStringLiteral("«%1» in «%2»%3%4").arg(pattern, text, wholeWord ? " m" : "", ignored ? " s" : "");
            QVERIFY2(span.has_value() == expected.has_value(), qPrintable(what));
            if (span) {
                QVERIFY2(span->begin == expected->first && span->end == expected->second, qPrintable(what));
            }
        }
    }

    // The automaton that looks for a text with its other forms finds the
    // text itself where the plain search does, ligatures and accents too.
    void theFormsAutomatonFindsTheTextAsThePlainSearchDoes() {
        QRandomGenerator random(44);
        const QString letters = QStringLiteral("aeéœoÆsß .");
        for (int round = 0; round < 20000; ++round) {
            QString text;
            QString typed;
            for (int i = int(random.bounded(0, 12)); i > 0; --i) text += letters[random.bounded(letters.size())];
            for (int i = int(random.bounded(1, 4)); i > 0; --i) typed += letters[random.bounded(letters.size() - 2)];
            const bool ignored = random.bounded(2) == 1;
            const Accents accents = ignored ? Accents::ignored : Accents::kept;
            std::array<char, 16> field;
            fieldtext::store(field, text);
            const auto plain = cardsearch::FieldMatcher(typed, accents).find(std::span<const char>(field.data(), fieldtext::textLength(field)));
            const auto formed = cardsearch::FormsMatcher({{typed, QString(), true}}, accents).find(field);
            const QString what = QStringLiteral("«%1» in «%2»%3").arg(typed, text, ignored ? " s" : "");
            QVERIFY2(plain.has_value() == formed.has_value(), qPrintable(what));
            if (plain) QVERIFY2(plain->begin == formed->span.begin, qPrintable(what));
        }
    }

    // Random words of letters that fold (é, œ, ß) against the distance worked
    // out in full, on the text as each accent option compares it.
    void theBoundedDistanceAgreesWithTheFullOne() {
        QRandomGenerator random(36);
        const QString letters = QStringLiteral("aeéèoœsßtr");
        for (int round = 0; round < 20000; ++round) {
            QString a;
            QString b;
            for (int i = int(random.bounded(1, 9)); i > 0; --i) a += letters[random.bounded(letters.size())];
            b = a;
            for (int edits = int(random.bounded(4)); edits > 0; --edits) {
                const int at = int(random.bounded(b.size() + 1));
                const QChar letter = letters[random.bounded(letters.size())];
                switch (random.bounded(3)) {
                    case 0: b.insert(at, letter); break;
                    case 1: if (at < b.size()) b.remove(at, 1); break;
                    default: if (at + 1 < b.size()) std::swap(b[at], b[at + 1]); break;
                }
            }
            for (const bool folded : {false, true}) {
                const QString x = folded ? folding::forComparison(a) : a;
                const QString y = folded ? folding::forComparison(b) : b;
                const int limit = int(random.bounded(3));
                QCOMPARE(cardsearch::withinEdits(cp1252::encode(x).toStdString(), cp1252::encode(y).toStdString(), limit),
                         referenceDistance(x, y) <= limit);
            }
        }
    }
};

QTEST_MAIN(TestSearchOptions)
#include "tst_search_options.moc"
