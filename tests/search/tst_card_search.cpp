#include <QTemporaryDir>
#include <QTest>

#include "search/card_search.h"
#include "search/match_context.h"
#include "store/field_text.h"
#include "support/card_files.h"

using cardsearch::Accents;
using cardsearch::FieldMatcher;
using Module1::Field;

namespace {

struct Located {
    std::array<char, 1000> field;
    std::optional<FieldMatcher::Span> span;
};

Located locate(const QString& fieldText, const QString& text, Accents accents) {
    Located located;
    fieldtext::store(located.field, fieldText);
    located.span = FieldMatcher(text, accents).find(located.field);
    return located;
}

// A tip's text as it is shown: rich text kept on one line.
QString oneLine(const QString& text) { return "<p style='white-space:pre'>" + text + "</p>"; }

}  // namespace

class TestCardSearch : public QObject {
    Q_OBJECT
private slots:
    // --- where a match lies: the bytes it covers, as the field holds them

    void findGivesTheBytesOfTheFirstMatch_data() {
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ignoringAccents");
        QTest::addColumn<int>("begin");  // -1: no match
        QTest::addColumn<int>("end");
        QTest::newRow("capitals") << "Le Chat noir, le chat" << "chat" << false << 3 << 7;
        QTest::newRow("accent kept") << "élève, eleve" << "eleve" << false << 7 << 12;
        QTest::newRow("accent ignored") << "élève, eleve" << "eleve" << true << 0 << 5;
        QTest::newRow("ligature covers its letter") << "un cœur" << "coe" << true << 3 << 5;
        QTest::newRow("match inside a ligature") << "sœur" << "so" << true << 0 << 2;
        QTest::newRow("after a folded ß") << "Straße Nord" << "nord" << true << 7 << 11;
        QTest::newRow("into the filling") << "abc" << "abc " << false << 0 << 4;
        QTest::newRow("into the filling, folded") << "abé" << "abe " << true << 0 << 4;
        QTest::newRow("after a ligature, into the filling") << "cœur" << "R  " << true << 3 << 6;
        QTest::newRow("none") << "chien" << "chat" << false << -1 << -1;
        QTest::newRow("none, folded") << "chien" << "chat" << true << -1 << -1;
    }
    void findGivesTheBytesOfTheFirstMatch() {
        QFETCH(QString, fieldText);
        QFETCH(QString, text);
        QFETCH(bool, ignoringAccents);
        QFETCH(int, begin);
        QFETCH(int, end);
        const Located located = locate(fieldText, text, ignoringAccents ? Accents::ignored : Accents::kept);
        QCOMPARE(located.span.has_value(), begin >= 0);
        QCOMPARE(FieldMatcher(text, ignoringAccents ? Accents::ignored : Accents::kept).matches(located.field),
                 begin >= 0);
        if (!located.span) return;
        QCOMPARE(int(located.span->begin), begin);
        QCOMPARE(int(located.span->end), end);
    }

    // The context is the widest field: a match at its very end is found,
    // folded or not.
    void aMatchAtTheEndOfTheWidestField() {
        const QString text = QString(995, u'é') + QStringLiteral("fin!");
        for (const Accents accents : {Accents::kept, Accents::ignored}) {
            const Located located = locate(text, QStringLiteral("FIN!"), accents);
            QVERIFY(located.span);
            QCOMPARE(int(located.span->begin), 995);
        }
    }

    // --- the tool tip's text

    void theTextAroundTheMatch_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("fieldText");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("short field, whole; its own quotes and markup signs kept as text")
            << int(Field::reference) << "«\u00A0Dubois\u00A0» <i>, 1987 & p. 12" << "1987"
            << "Référence\u00A0: «\u00A0Dubois\u00A0» &lt;i&gt;, <b>1987</b> &amp; p. 12";
        QTest::newRow("cut on both sides")
            << int(Field::contexte) << QString(50, u'a') + "MOT" + QString(50, u'b') << "mot"
            << "Contexte\u00A0: …" + QString(30, u'a') + "<b>MOT</b>" + QString(30, u'b') + "…";
        QTest::newRow("cut between words")
            << int(Field::contexte)
            << "Le débiteur n'exécute pas son obligation dans le délai fixé par la mise en demeure du créancier."
            << "délai"
            << "Contexte\u00A0: …pas son obligation dans le <b>délai</b> fixé par la mise en demeure…";
        QTest::newRow("line breaks as spaces") << int(Field::miscellanea) << "une\nnote" << "note"
                                               << "Miscellanea\u00A0: une  <b>note</b>";
        QTest::newRow("tabs as spaces, the code page's own signs")
            << int(Field::miscellanea) << "\u0153uvre\t\u00E0 5 \u20AC \u2014 \u00FF" << "5"
            << "Miscellanea\u00A0: \u0153uvre \u00E0 <b>5</b> \u20AC \u2014 \u00FF";
        QTest::newRow("match into the filling stops at the text")
            << int(Field::traduction) << "cat" << "cat  " << "Traduction\u00A0: <b>cat</b>";
        QTest::newRow("a long match is cut")
            << int(Field::expression) << QString(100, u'x') << QString(100, u'x')
            << "Expression\u00A0: <b>" + QString(60, u'x') + "</b>" + QString(30, u'x') + "…";
    }
    void theTextAroundTheMatch() {
        QFETCH(int, field);
        QFETCH(QString, fieldText);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const Located located = locate(fieldText, text, Accents::kept);
        QVERIFY(located.span);
        QCOMPARE(matchcontext::Note(Field(field), located.field, *located.span).text(), oneLine(expected));
    }

    // --- a search through the data file

    // Each row's tool tip names the first field, in the card's order on
    // file, that holds the text; the entries' own search shows none.
    void everyFieldNamesTheFirstFieldThatHoldsTheText() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.dat"));
        cardfiles::write(path, {
                                   {1, "", "", "", "", "", "", "un mot du contexte"},
                                   {2, "", "MOT", "", "", "", "", "mot"},
                                   {3, "", "", "", "", "", "", ""},
                                   {4, "", "", "mot", "", "", "", ""},
                               });
        DataFile file = DataFile::open(path);
        const auto rows = cardsearch::search(file, {QStringLiteral("mot"), cardsearch::Scope::everyField,
                                                    cardsearch::SearchedField::dictionnaire, Accents::kept, {}, {}});
        QCOMPARE(rows.size(), std::size_t(3));
        QCOMPARE(rows[0].toolTip.text(), oneLine(QStringLiteral("Contexte\u00A0: un <b>mot</b> du contexte")));
        QCOMPARE(rows[1].toolTip.text(), oneLine(QStringLiteral("Traduction\u00A0: <b>MOT</b>")));
        QCOMPARE(rows[2].toolTip.text(), oneLine(QStringLiteral("Entrées texte source\u00A0: <b>mot</b>")));

        const auto entries = cardsearch::search(file, {QStringLiteral("mot"), cardsearch::Scope::entries,
                                                       cardsearch::SearchedField::dictionnaire, Accents::kept, {}, {}});
        QCOMPARE(entries.size(), std::size_t(1));
        QVERIFY(entries[0].toolTip.isEmpty());
        const auto everything = cardsearch::search(file, {QString(), cardsearch::Scope::everyField,
                                                          cardsearch::SearchedField::dictionnaire, Accents::kept, {}, {}});
        QCOMPARE(everything.size(), std::size_t(4));
        QVERIFY(everything[0].toolTip.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCardSearch)
#include "tst_card_search.moc"
