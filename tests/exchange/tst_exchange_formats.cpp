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
    CsvWriter writer(buffer, separator);
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
        QCOMPARE(fromTbx(xml.toUtf8()).front().fields, card.fields);
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
        QCOMPARE(cards[0][Field::dictionnaire], QStringLiteral("Duden"));
        QCOMPARE(cards[0][Field::miscellanea], QStringLiteral("Synonymes de la traduction\u00A0: cabot\r\ngénéral\r\nHaustier"));
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
    }

    // --- CSV

    void csvFollowsRfc4180() {
        CardText card = sample(7, "a;b", "say \"hi\"");
        card[Field::contexte] = QStringLiteral("ligne 1\r\nligne 2");
        const QByteArray bytes = csvOf({card}, u';');
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF" "N\xC2\xB0 fiche;Expression;Traduction;"));
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
        QTest::newRow("an unknown column") << QByteArray("Expression;Couleur\nun;bleu\n") << "«\u00A0Couleur\u00A0»";
        QTest::newRow("no card") << QByteArray("Expression;Traduction\r\n") << "aucune fiche";
    }
    void malformedTablesAreRefusedNamingTheLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        const QString message = failureOf([&] { fromCsv(bytes); });
        QVERIFY2(message.contains(said), qPrintable(message));
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
