#include <QBuffer>
#include <QRegularExpression>
#include <QTest>

#include "exchange/card_text.h"
#include "exchange/csv_reader.h"
#include "exchange/csv_writer.h"
#include "exchange/exchange_error.h"
#include "exchange/glossary_cards.h"
#include "exchange/tab_reader.h"
#include "exchange/tbx_reader.h"
#include "exchange/tbx_writer.h"

using Module1::Field;

// The TBX and CSV forms of cards, read back by our readers; what other tools
// make of them is checked with those tools elsewhere.
namespace {

CardText sample(int numero, const QString& expression, const QString& traduction) {
    CardText card;
    card.numero = std::int16_t(numero);
    card[Field::expression] = expression;
    card[Field::traduction] = traduction;
    card[Field::dictionnaire] = QStringLiteral("entrée « source » ; deux");
    card[Field::dictionnairecible] = QStringLiteral("entry, target");
    card[Field::miscellanea] = QStringLiteral("note \"citée\"\r\nsur deux lignes");
    card[Field::reference] = QStringLiteral("Robert, 1985, p. 12");
    card[Field::contexte] = QStringLiteral("  Un contexte qui commence par deux espaces. ") + QString(900, u'x');
    return card;
}

QByteArray tbxOf(const std::vector<CardText>& cards, const QString& source = "en", const QString& target = "fr") {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TbxWriter writer(buffer, source, target);
    for (const CardText& card : cards) writer.write(card);
    writer.finish();
    return bytes;
}

using Reading = glossary::Glossary (*)(QIODevice&, const QString&, std::int32_t);

glossary::Selection selected(Reading read, const QByteArray& bytes, std::int32_t room = Module1::kHighestCardNumber) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const glossary::Glossary glossary = read(buffer, QStringLiteral("glossaire.tbx"), room);
    return glossary::cardsOf(glossary, glossary::proposedPair(glossary));
}

std::vector<CardText> fromTbx(const QByteArray& bytes) { return selected(readTbx, bytes).cards; }
std::vector<CardText> fromCsv(const QByteArray& bytes) { return selected(readCsv, bytes).cards; }

QByteArray csvOf(const std::vector<CardText>& cards, QChar separator) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer, separator, QStringLiteral("fr"), QStringLiteral("en"));
    for (const CardText& card : cards) writer.write(card);
    return bytes;
}

QString failureOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const ExchangeError& error) {
        return error.message();
    }
    return QStringLiteral("<no failure>");
}

}  // namespace

class TestExchangeFormats : public QObject {
    Q_OBJECT
private slots:
    // --- TBX

    void tbxCarriesEveryFieldBothWays() {
        const std::vector<CardText> cards = {sample(1, "œuvre", "work"), sample(2, "cœur « tendre »", "heart & soul")};
        const std::vector<CardText> back = fromTbx(tbxOf(cards));
        QCOMPARE(back.size(), cards.size());
        for (std::size_t i = 0; i < cards.size(); ++i) QCOMPARE(back[i].fields, cards[i].fields);
    }

    void tbxHasTheMartifFormAndTheBasicCategories() {
        const QString xml = QString::fromUtf8(tbxOf({sample(12, "chat", "cat")}, "en", "fr"));
        QVERIFY(xml.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")));
        for (const char* part : {"<martif type=\"TBX-Basic\" xml:lang=\"en\">", "<termEntry id=\"fiche-12\">",
                                  "<langSet xml:lang=\"en\">", "<langSet xml:lang=\"fr\">", "<term>chat</term>",
                                  "<term>cat</term>", "<descrip type=\"context\">", "<admin type=\"source\">Robert",
                                  "<p type=\"XCSURI\">TBXBasicXCSV02.xcs</p>", "&#13;"}) {
            QVERIFY2(xml.contains(QString::fromUtf8(part)), part);
        }
    }

    void emptyFieldsAreLeftOutButTheTerms() {
        CardText card;
        card.numero = 3;
        card[Field::expression] = QStringLiteral("seul");
        const QString xml = QString::fromUtf8(tbxOf({card}));
        QVERIFY(!xml.contains(QStringLiteral("<note")));
        QVERIFY(!xml.contains(QStringLiteral("<descrip")));
        QCOMPARE(xml.count(QRegularExpression(QStringLiteral("<term[>/]"))), 2);
        // Read back, its term is its dictionary entry, as in any glossary.
        CardText expected = card;
        expected[Field::dictionnaire] = card[Field::expression];
        QCOMPARE(fromTbx(xml.toUtf8()).front().fields, expected.fields);
    }

    void controlCharactersNoXmlCanHoldBecomeReplacementCharacters() {
        CardText card;
        card[Field::expression] = QStringLiteral("a") + QChar(0) + QChar(7) + QStringLiteral("b\tc");
        const std::vector<CardText> back = fromTbx(tbxOf({card}));
        QCOMPARE(back.front()[Field::expression], QStringLiteral("a\uFFFD\uFFFDb\tc"));
    }

    void tbxOfOtherToolsIsRead() {
        // As the Translate Toolkit writes it: a standard document type, a
        // target language of its own, notes and definitions where they stand.
        // moc reads no raw string literal: the document is spelt line by line.
        const QByteArray xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE martif PUBLIC \"ISO 12200:1999A//DTD MARTIF core (DXFcdV04)//EN\" \"TBXcdv04.dtd\">\n"
            "<martif type=\"TBX\" xml:lang=\"de\">\n"
            "  <text><body>\n"
            "    <termEntry id=\"x1\">\n"
            "      <langSet xml:lang=\"fr\"><ntig><termGrp><term>chien</term></termGrp></ntig><tig><term>cabot</term></tig></langSet>\n"
            "      <langSet xml:lang=\"de-AT\"><descrip type=\"definition\">Haustier</descrip><tig><term>Hund</term><note>Duden</note></tig></langSet>\n"
            "      <note>général</note>\n"
            "    </termEntry>\n"
            "  </body></text>\n"
            "</martif>";
        const std::vector<CardText> cards = fromTbx(xml);
        QCOMPARE(cards.size(), std::size_t(1));
        QCOMPARE(cards[0][Field::expression], QStringLiteral("Hund"));
        QCOMPARE(cards[0][Field::traduction], QStringLiteral("chien"));
        // A glossary's terms are the card's entries; its notes go to the miscellanea.
        QCOMPARE(cards[0][Field::dictionnaire], QStringLiteral("Hund"));
        QCOMPARE(cards[0][Field::dictionnairecible], QStringLiteral("chien"));
        QCOMPARE(cards[0][Field::miscellanea],
                 QStringLiteral("Synonymes de la traduction\u00A0: cabot\r\ngénéral\r\nDuden\r\nHaustier"));
    }

    void malformedGlossariesAreRefusedNamingWhere_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("said");
        QTest::newRow("broken XML") << QByteArray("<martif><text><body>\n<termEntry><langSet><tig><term>a</tig>")
                                    << "ligne 2";
        QTest::newRow("no entry") << QByteArray("<martif><text><body/></text></martif>") << "aucun terme";
        QTest::newRow("another root") << QByteArray("<tmx version=\"1.4\"/>") << "«\u00A0tmx\u00A0»";
        QTest::newRow("an external DTD")
            << QByteArray("<!DOCTYPE martif SYSTEM \"http://example.org/evil.dtd\">\n<martif/>") << "evil.dtd";
        QTest::newRow("entities declared")
            << QByteArray("<!DOCTYPE martif [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><martif>&x;</martif>")
            << "entités";
        QTest::newRow("an undeclared entity") << QByteArray("<martif>&x;</martif>") << "ligne 1";
        QTest::newRow("an undeclared entity under a standard DTD")
            << QByteArray("<!DOCTYPE martif SYSTEM \"TBXcoreStructV02.dtd\">\n<martif xml:lang=\"fr\"><text><body>\n"
                          "<termEntry><langSet xml:lang=\"fr\"><tig><term>caf&eacute; cr&egrave;me</term></tig></langSet>"
                          "<langSet xml:lang=\"en\"><tig><term>white coffee</term></tig></langSet></termEntry>"
                          "</body></text></martif>")
            << "«\u00A0&eacute;\u00A0» sans la déclarer (ligne 3)";
        QTest::newRow("an entry inside an entry")
            << QByteArray("<martif><text><body>\n<termEntry><langSet xml:lang=\"en\"><tig><term>outer</term></tig></langSet>\n"
                          "<termEntry><langSet xml:lang=\"fr\"><tig><term>inner</term></tig></langSet></termEntry>"
                          "</termEntry></body></text></martif>")
            << "une entrée dans une autre (ligne 3";
        QTest::newRow("no language said") << QByteArray("<martif><text><body><termEntry><langSet><tig><term>a</term></tig>"
                                                        "</langSet></termEntry></body></text></martif>")
                                          << "xml:lang";
        QTest::newRow("another encoding, undeclared")
            << QByteArray("<martif><text><body><termEntry><langSet><tig><term>\xE9l\xE8ve</term></tig></langSet>"
                          "</termEntry></body></text></martif>")
            << "ligne 1";
    }
    void malformedGlossariesAreRefusedNamingWhere() {
        QFETCH(QByteArray, xml);
        QFETCH(QString, said);
        const QString message = failureOf([&] { fromTbx(xml); });
        QVERIFY2(message.contains(said), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("glossaire.tbx")), qPrintable(message));
        QVERIFY2(message.endsWith(QStringLiteral(" Rien n'a été importé.")) && !message.contains(QStringLiteral(".. ")),
                 qPrintable(message));
    }

    // Each nested element of a text once took a level of the stack: a few
    // hundred kilobytes ended the program.
    void deepNestingIsRefusedNotRecursed() {
        const int depth = 100000;
        QByteArray xml = "<martif><text><body><termEntry><langSet xml:lang=\"en\"><tig><term>";
        xml += QByteArray("<hi>").repeated(depth) + "profond" + QByteArray("</hi>").repeated(depth);
        xml += "</term></tig></langSet></termEntry></body></text></martif>";
        const QString message = failureOf([&] { fromTbx(xml); });
        QVERIFY2(message.contains(QStringLiteral("s'imbriquent sur plus de")), qPrintable(message));
        QVERIFY2(message.endsWith(QStringLiteral("Rien n'a été importé.")), qPrintable(message));

        // Inline markup a few levels deep is read as text.
        const QByteArray inline_ = "<martif xml:lang=\"en\"><text><body><termEntry><langSet xml:lang=\"en\"><tig><term>a "
                                   "<hi>b <hi>c</hi></hi></term></tig></langSet><langSet xml:lang=\"fr\"><tig><term>d</term>"
                                   "</tig></langSet></termEntry></body></text></martif>";
        QCOMPARE(fromTbx(inline_).front()[Field::expression], QStringLiteral("a b c"));
    }

    // --- TBX as other tools write it

    void theTbxV3FormReadsAsMartifDoes_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::newRow("DCA style") << QByteArray(
            "<conceptEntry id=\"c1\"><descrip type=\"subjectField\">optique</descrip>"
            "<langSec xml:lang=\"en\"><termSec><term>lens</term><descrip type=\"context\">A lens.</descrip></termSec></langSec>"
            "<langSec xml:lang=\"fr\"><termSec><term>lentille</term><note>f.</note></termSec></langSec></conceptEntry>");
        QTest::newRow("DCT style") << QByteArray(
            "<conceptEntry id=\"c1\"><basic:subjectField>optique</basic:subjectField>"
            "<langSec xml:lang=\"en\"><termSec><term>lens</term><basic:context>A lens.</basic:context></termSec></langSec>"
            "<langSec xml:lang=\"fr\"><termSec><term>lentille</term><note>f.</note></termSec></langSec></conceptEntry>");
    }
    void theTbxV3FormReadsAsMartifDoes() {
        QFETCH(QByteArray, entry);
        const QByteArray xml =
            "<?xml version=\"1.0\"?>\n<?xml-model href=\"TBXcoreStructV03_TBX-Basic_integrated.rng\"?>\n"
            "<tbx type=\"TBX-Basic\" xml:lang=\"en\" xmlns=\"urn:iso:std:iso:30042:ed-2\" "
            "xmlns:basic=\"http://www.tbxinfo.net/ns/basic\"><text><body>\n" + entry + "\n</body></text></tbx>";
        const std::vector<CardText> cards = fromTbx(xml);
        QCOMPARE(cards.size(), std::size_t(1));
        QCOMPARE(cards[0][Field::expression], QStringLiteral("lens"));
        QCOMPARE(cards[0][Field::traduction], QStringLiteral("lentille"));
        QCOMPARE(cards[0][Field::contexte], QStringLiteral("A lens."));
        QCOMPARE(cards[0][Field::dictionnairecible], QStringLiteral("lentille"));
        QCOMPARE(cards[0][Field::miscellanea], QStringLiteral("Domaine\u00A0: optique\r\nf."));
    }

    // The terms of one language, with their status, as "term:status" (p, a, d or nothing).
    void thePreferredTermIsTheExpression_data() {
        QTest::addColumn<QStringList>("terms");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("miscellanea");
        QTest::newRow("one term") << QStringList{"lens:"} << "lens" << "";
        QTest::newRow("preferred after others")
            << QStringList{"PAL:d", "addition lens:a", "progressive lens:p", "graduated lens:d"} << "progressive lens"
            << "Synonymes\u00A0: addition lens\r\nTermes déconseillés\u00A0: PAL ; graduated lens";
        QTest::newRow("admitted when none is preferred") << QStringList{"PAL:d", "addition lens:a"} << "addition lens"
                                                         << "Termes déconseillés\u00A0: PAL";
        QTest::newRow("the first not deprecated") << QStringList{"PAL:d", "lens:", "glass:"} << "lens"
                                                  << "Synonymes\u00A0: glass\r\nTermes déconseillés\u00A0: PAL";
        QTest::newRow("empty terms left out") << QStringList{"shortcut:", ":", " :"} << "shortcut" << "";
        QTest::newRow("an empty first term") << QStringList{":", "keyboard:", "board:"} << "keyboard"
                                             << "Synonymes\u00A0: board";
    }
    void thePreferredTermIsTheExpression() {
        QFETCH(QStringList, terms);
        QFETCH(QString, expression);
        QFETCH(QString, miscellanea);
        QByteArray xml = "<martif xml:lang=\"en\"><text><body><termEntry><langSet xml:lang=\"en\">";
        const QMap<QString, QString> statuses = {{"p", "preferredTerm-admn-sts"}, {"a", "admittedTerm-admn-sts"},
                                                 {"d", "deprecatedTerm-admn-sts"}};
        for (const QString& term : terms) {
            xml += "<tig><term>" + term.section(u':', 0, 0).toUtf8() + "</term>";
            const QString status = term.section(u':', 1);
            if (!status.isEmpty()) {
                xml += "<termNote type=\"administrativeStatus\">" + statuses[status].toUtf8() + "</termNote>";
            }
            xml += "</tig>";
        }
        xml += "</langSet><langSet xml:lang=\"fr\"><tig><term>lentille</term></tig></langSet></termEntry></body></text></martif>";
        const std::vector<CardText> cards = fromTbx(xml);
        QCOMPARE(cards.size(), std::size_t(1));
        QCOMPARE(cards[0][Field::expression], expression);
        QCOMPARE(cards[0][Field::miscellanea], miscellanea);
    }

    void indentationIsNotText_data() {
        QTest::addColumn<QByteArray>("term");
        QTest::addColumn<QString>("read");
        QTest::newRow("a line broken and indented") << QByteArray("federated\r\n\t\t\t\tdatabase") << "federated database";
        QTest::newRow("around the text") << QByteArray("\n      base de données\n    ") << "base de données";
        QTest::newRow("spaces within a line") << QByteArray("  deux  espaces") << "  deux  espaces";
        QTest::newRow("a break the file means") << QByteArray("ligne&#13;\nsuivante") << "ligne\r\nsuivante";
        QTest::newRow("no-break spaces") << QByteArray("«\xC2\xA0mot\xC2\xA0»") << "«\u00A0mot\u00A0»";
    }
    void indentationIsNotText() {
        QFETCH(QByteArray, term);
        QFETCH(QString, read);
        const QByteArray xml = "<martif xml:lang=\"en\"><text><body><termEntry><langSet xml:lang=\"en\"><tig><term>" +
                               term + "</term></tig></langSet><langSet xml:lang=\"fr\"><tig><term>x</term></tig>"
                               "</langSet></termEntry></body></text></martif>";
        QCOMPARE(fromTbx(xml).front()[Field::expression], read);
    }

    void entriesWithoutATermPairAreLeftAsideAndCounted() {
        const QByteArray xml =
            "<martif xml:lang=\"en\"><text><body>"
            "<termEntry><langSet xml:lang=\"en\"><tig><term>a</term></tig></langSet>"
            "<langSet xml:lang=\"fr\"><tig><term>b</term></tig></langSet></termEntry>"
            "<termEntry><langSet xml:lang=\"en\"><tig><term></term></tig></langSet>"
            "<langSet xml:lang=\"fr\"><tig><term/></tig></langSet></termEntry>"
            "<termEntry><langSet xml:lang=\"en\"><tig><term>seul</term></tig></langSet></termEntry>"
            "<termEntry><note>rien</note></termEntry>"
            "</body></text></martif>";
        const glossary::Selection selection = selected(readTbx, xml);
        QCOMPARE(selection.cards.size(), std::size_t(1));
        QCOMPARE(selection.skipped, 3);
    }

    void theLanguagesAreMatchedByTheirPrimaryLanguage() {
        const QByteArray xml =
            "<martif xml:lang=\"EN-us\"><text><body><termEntry>"
            "<langSet xml:lang=\"de\"><tig><term>Linse</term></tig></langSet>"
            "<langSet xml:lang=\"fr_CA\"><tig><term>lentille</term></tig></langSet>"
            "<langSet xml:lang=\"en-GB\"><tig><term>lens</term></tig></langSet>"
            "</termEntry></body></text></martif>";
        QBuffer buffer;
        buffer.setData(xml);
        buffer.open(QIODevice::ReadOnly);
        const glossary::Glossary read = readTbx(buffer, QStringLiteral("g.tbx"), 10);
        QCOMPARE(read.languages, (QStringList{"de", "fr", "en"}));
        QCOMPARE(glossary::proposedPair(read).source, QStringLiteral("en"));
        QCOMPARE(glossary::proposedPair(read).target, QStringLiteral("fr"));
        const glossary::Selection selection = glossary::cardsOf(read, {QStringLiteral("de"), QStringLiteral("en")});
        QCOMPARE(selection.cards.front()[Field::expression], QStringLiteral("Linse"));
        QCOMPARE(selection.cards.front()[Field::traduction], QStringLiteral("lens"));
        QCOMPARE(selection.otherLanguages, QStringList{"fr"});
    }

    // --- CSV

    void csvFollowsRfc4180() {
        CardText card = sample(7, "a;b", "say \"hi\"");
        card[Field::contexte] = QStringLiteral("ligne 1\r\nligne 2");
        const QByteArray bytes = csvOf({card}, u';');
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF" "N\xC2\xB0 fiche;Expression (fr);Traduction (en);"));
        QVERIFY(bytes.contains("\r\n7;\"a;b\";\"say \"\"hi\"\"\";"));
        QVERIFY(bytes.contains(";\"ligne 1\r\nligne 2\"\r\n"));
        QVERIFY(bytes.contains(";Robert, 1985, p. 12;"));  // no separator in it: not quoted
        QVERIFY(csvOf({card}, u',').contains(",\"Robert, 1985, p. 12\","));
    }

    void theSeparatorFollowsTheDecimalSeparatorOfTheUsersSettings() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QCOMPARE(CsvWriter::separatorForLocale(), QChar(u';'));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(CsvWriter::separatorForLocale(), QChar(u';'));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(CsvWriter::separatorForLocale(), QChar(u','));
        QLocale::setDefault(before);
    }

    void csvCarriesEveryFieldBothWays_data() {
        QTest::addColumn<QChar>("separator");
        QTest::newRow(";") << QChar(u';');
        QTest::newRow(",") << QChar(u',');
    }
    void csvCarriesEveryFieldBothWays() {
        QFETCH(QChar, separator);
        const std::vector<CardText> cards = {sample(1, "œuvre", "work"), sample(2, "Æsop; \"fables\"", "cœur,\r\nâme")};
        const std::vector<CardText> back = fromCsv(csvOf(cards, separator));
        QCOMPARE(back.size(), cards.size());
        for (std::size_t i = 0; i < cards.size(); ++i) QCOMPARE(back[i].fields, cards[i].fields);
    }

    void csvOfOtherToolsIsRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("traduction");
        QTest::newRow("tabs, English names, LF") << QByteArray("source\ttarget\tnotes\nchat\tcat\tanimal\n") << "chat"
                                                 << "cat";
        QTest::newRow("commas, no BOM, reordered")
            << QByteArray("Traduction,Expression\r\n\"pupil, student\",\xC3\xA9l\xC3\xA8ve\r\n") << "élève"
            << "pupil, student";
        QTest::newRow("fewer fields than columns") << QByteArray("Expression;Traduction;Contexte\nseul\n") << "seul" << "";
        QTest::newRow("empty rows left out") << QByteArray("Expression;Traduction\n;\nun;one\n\n") << "un" << "one";
        QTest::newRow("a blank first line") << QByteArray("\r\n\r\nExpression;Traduction\r\nun;one\r\n") << "un" << "one";
        QTest::newRow("a trailing separator") << QByteArray("Expression;Traduction;\nun;one;\n") << "un" << "one";
        QTest::newRow("languages named") << QByteArray("en,fr,pos,description\n\"action hook\",crochet,noun,\n") << "action hook"
                                         << "crochet";
        QTest::newRow("languages named, others ignored") << QByteArray("EN-us\tes\tfr_FR\nlens\tlente\tlentille\n") << "lens"
                                                         << "lentille";
        QTest::newRow("no line break at the end") << QByteArray("Expression,Traduction\n\"un\",\"one\"") << "un" << "one";
    }
    void csvOfOtherToolsIsRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expression);
        QFETCH(QString, traduction);
        const std::vector<CardText> cards = fromCsv(bytes);
        QCOMPARE(cards.size(), std::size_t(1));
        QCOMPARE(cards[0][Field::expression], expression);
        QCOMPARE(cards[0][Field::traduction], traduction);
    }

    void malformedTablesAreRefusedNamingTheLine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        QTest::newRow("a quote left open") << QByteArray("Expression;Traduction\nun;one\n\"deux;two\ntrois;three\n")
                                           << "ligne 3 qui n'est jamais refermé";
        QTest::newRow("too many fields") << QByteArray("Expression;Traduction\nun;one\ndeux;two;2\n") << "ligne 3";
        QTest::newRow("text after a quoted field") << QByteArray("Expression;Traduction\n\"un\"x;one\n") << "ligne 2";
        QTest::newRow("Windows-1252") << QByteArray("Expression;Traduction\n\xE9l\xE8ve;pupil\n") << "UTF-8 (ligne 2)";
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE" "E\0x\0", 6) << "UTF-16";
        QTest::newRow("no column of terms") << QByteArray("Mot;Couleur\nun;bleu\n") << "n'a pas de colonne de termes";
        QTest::newRow("what is accepted is said")
            << QByteArray("Mot;Couleur\nun;bleu\n") << "«\u00A0source\u00A0», «\u00A0target\u00A0» et «\u00A0notes\u00A0»";
        QTest::newRow("languages and expressions mixed") << QByteArray("en;Traduction\nun;one\n") << "à la fois des langues";
        QTest::newRow("a line cut in a character") << QByteArray("Expression\nun\ndeux \xC3") << "UTF-8 (ligne 3)";
        QTest::newRow("no card") << QByteArray("Expression;Traduction\r\n") << "aucune fiche";
    }
    void malformedTablesAreRefusedNamingTheLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        const QString message = failureOf([&] { fromCsv(bytes); });
        QVERIFY2(message.contains(said), qPrintable(message));
    }

    // Tables as colleagues make them read at the first try: title rows above
    // the column titles, languages named in French or English, columns no
    // field takes kept in the miscellanea; and this program's own table,
    // whose term columns say their languages, read the way it was written.
    void aColleaguesTableReadsAtTheFirstTry_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("card");  // expression, translation, miscellanea, dictionary entries
        QTest::addColumn<QString>("remark");    // a part of the remarks; empty: none
        QTest::newRow("titles above, French names, a column more")
            << QByteArray("Glossaire ACME;;\n;;\nAnglais;Français;Ajouté le\nclaim;créance;12/03/2024\n")
            << QStringList{"claim", "créance", "Ajouté le\u00A0: 12/03/2024", "claim"}
            << "La première ligne, un titre au-dessus";
        QTest::newRow("English names, any case, no accent")
            << QByteArray("ENGLISH,francais\nnut,écrou\n") << QStringList{"nut", "écrou", "", "nut"} << "";
        QTest::newRow("codes with their regions") << QByteArray("EN-us;fr_FR\nnut;écrou\n") << QStringList{"nut", "écrou", "", "nut"} << "";
        QTest::newRow("a column without a title")
            << QByteArray("Expression;;Traduction\nun;x;one\n") << QStringList{"un", "one", "Colonne 2\u00A0: x", "un"} << "";
        QTest::newRow("the columns named")
            << QByteArray("source,target,Statut,Client\nnut,écrou,validé,ACME\n")
            << QStringList{"nut", "écrou", "Statut\u00A0: validé\r\nClient\u00A0: ACME", "nut"}
            << "Les colonnes «\u00A0Statut\u00A0» et «\u00A0Client\u00A0» n'ont pas de champ";
        QTest::newRow("this program's own, French to English")
            << QByteArray("N° fiche;Expression (fr);Traduction (en);Entrées texte source;Entrées texte cible\n"
                          "1;écrous;nuts;écrou;\n")
            << QStringList{"écrous", "nuts", "", "écrou"} << "";
    }
    void aColleaguesTableReadsAtTheFirstTry() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, card);
        QFETCH(QString, remark);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const glossary::Glossary read = readCsv(buffer, QStringLiteral("tableau.csv"), Module1::kHighestCardNumber);
        const std::vector<CardText> cards = glossary::cardsOf(read, glossary::proposedPair(read)).cards;
        QCOMPARE(cards.size(), std::size_t(1));
        QCOMPARE((QStringList{cards[0][Field::expression], cards[0][Field::traduction], cards[0][Field::miscellanea],
                              cards[0][Field::dictionnaire]}),
                 card);
        QCOMPARE(read.remarks.join(u' ').contains(remark), true);
        if (remark.isEmpty()) QCOMPARE(read.remarks, QStringList());
    }

    void describingColumnsGoToTheMiscellanea() {
        const glossary::Selection selection =
            selected(readCsv, "en,fr,es,pos,description\nhook,crochet,gancho,noun,\"un crochet, en PHP\nsur deux lignes\"\n");
        QCOMPARE(selection.cards.size(), std::size_t(1));
        QCOMPARE(selection.cards[0][Field::miscellanea],
                 QStringLiteral("Catégorie grammaticale\u00A0: noun\r\nun crochet, en PHP\nsur deux lignes"));
        QCOMPARE(selection.otherLanguages, QStringList{"es"});
    }

    // --- tab-separated glossaries

    void aTabSeparatedGlossaryIsReadLineByLine() {
        const glossary::Selection selection = selected(
            readTab, "# Glossary in tab-separated format -*- coding: utf-8 -*-\r\nwhitespace\tespace\tun \"commentaire\"\r\n"
                     "\r\nfolder\tdossier\r\n#\tcomment\r\n\"quoted\"\tentre \"guillemets\"");
        QCOMPARE(selection.cards.size(), std::size_t(3));
        QCOMPARE(selection.cards[0][Field::expression], QStringLiteral("whitespace"));
        QCOMPARE(selection.cards[0][Field::traduction], QStringLiteral("espace"));
        QCOMPARE(selection.cards[0][Field::miscellanea], QStringLiteral("un \"commentaire\""));
        QCOMPARE(selection.cards[1][Field::traduction], QStringLiteral("dossier"));
        QCOMPARE(selection.cards[2][Field::expression], QStringLiteral("\"quoted\""));
        QCOMPARE(selection.cards[2][Field::traduction], QStringLiteral("entre \"guillemets\""));
    }

    // --- into a record

    void aRecordIsCutAtWidthAndSaysSo() {
        CardText card;
        card[Field::expression] = QString(300, u'e');
        bool altered = false;
        Module1::FicheRecord fiche = recordOf(card, 5, altered);
        QVERIFY(altered);
        QCOMPARE(fiche.numero, std::int16_t(5));
        QCOMPARE(textOf(fiche)[Field::expression], QString(255, u'e'));

        card[Field::expression] = QStringLiteral("ōkina ?");
        fiche = recordOf(card, 5, altered);
        QVERIFY(altered);
        QCOMPARE(textOf(fiche)[Field::expression], QStringLiteral("?kina ?"));

        card[Field::expression] = QStringLiteral("œuvre ? « € »\nligne");
        fiche = recordOf(card, 5, altered);
        QVERIFY(!altered);
        QCOMPARE(textOf(fiche)[Field::expression], QStringLiteral("œuvre ? « € »\r\nligne"));
    }
};

QTEST_GUILESS_MAIN(TestExchangeFormats)
#include "tst_exchange_formats.moc"
