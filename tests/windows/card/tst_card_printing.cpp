#include "card_driver.h"
#include "support/card_files.h"
#include "windows/card/card_printing.h"
#include "windows/controls/recording_printer.h"

class TestCardPrinting : public QObject {
    Q_OBJECT
private slots:
    // --- breaking a field into printed lines

    void printedLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QString() << QStringList{""};
        QTest::newRow("60 characters") << QString(60, u'r') << QStringList{QString(60, u'r')};
        const QString word = QStringLiteral("mot ");
        QString words;
        while (words.size() < 200) words += word;
        words.chop(words.size() - 200);
        QTest::newRow("200 characters of words")
            << words << QStringList{words.left(84), words.mid(84, 84), words.mid(168)};
        QTest::newRow("100 letters then a word")
            << QString(100, u'a') + QStringLiteral(" fin") << QStringList{QString(100, u'a') + " ", "fin"};
        QTest::newRow("exactly 81 ending with a space") << QString(80, u'b') + " " << QStringList{QString(80, u'b') + " ", ""};
        QTest::newRow("a line break counts as its CR LF")
            << QString(39, u'a') + "\n" + QString(39, u'b') + " c"
            << QStringList{QString(39, u'a') + "\r\n" + QString(39, u'b') + " ", "c"};
        QTest::newRow("non-breaking spaces do not break")
            << QString(85, QChar(0xA0)) + "x" << QStringList{QString(85, QChar(0xA0)) + "x"};
    }
    void printedLines() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(::printedLines(text), lines);
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) QVERIFY(lines[i].size() > 80 && lines[i].endsWith(u' '));
    }

    // --- the printed card

    void printsTheTitleAndTheSevenLabelledFields() {
        QStringList record;
        RecordingPrinter printer(&record);
        printCard(printer, {"Réf.", "", "trad", "misc", "src", "cib", "le contexte"});
        const QStringList labelOn = {"bold on", "italic on"};
        const QStringList labelOff = {"bold off", "italic off"};
        QStringList expected = {"size 12", "font verdana"};
        expected << labelOn << "line Lexicarium terminologique" << "size 9" << "font verdana" << "line ";
        const QStringList labels = {"Réference: ", "Expression: ", "Traduction: ", "Miscellanea: ",
                                    "Entrées texte source: ", "Entrées texte cible: "};
        const QStringList texts = {"Réf.", "", "trad", "misc", "src", "cib"};
        for (int i = 0; i < 6; ++i) {
            expected << labelOn << "print " + labels[i] << labelOff << "line " + texts[i] << "line ";
        }
        expected << labelOn << "line Contexte: " << labelOff << "line le contexte" << "end";
        QCOMPARE(record, expected);
    }

    void theWindowPrintsTheBoxesAsTheyStandWithoutTheNumber() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), {{1, "x", "", "", "", "", "", ""},
                                      {2, "fiche", "trad", "src", "cib", "réf", "misc", "ctx"}});
        Consultation consultation(kit.path());
        consultation.search(QStringLiteral("src"));
        CardWindow card(consultation, 1);
        QCOMPARE(card.window->Form_Load(), QString());
        card.type("txtexpression", QStringLiteral("modifiée à l'écran"));
        QStringList record;
        Printer::setFactory([&] { return std::make_unique<RecordingPrinter>(&record); });
        card.window->imprimer_Click();
        Printer::setFactory({});
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(kit.dialogs[0].flags, 64);
        QVERIFY(record.contains(QStringLiteral("line modifiée à l'écran")));
        QVERIFY(record.contains(QStringLiteral("line réf")));
        QCOMPARE(card.numero(), QStringLiteral("2"));
        for (const QString& op : record) {
            if (op.startsWith(QStringLiteral("print")) || op.startsWith(QStringLiteral("line"))) QVERIFY(!op.contains(u'2'));
        }
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Module1::Field::expression), QStringLiteral("fiche"));
    }
};

QTEST_MAIN(TestCardPrinting)
#include "tst_card_printing.moc"
