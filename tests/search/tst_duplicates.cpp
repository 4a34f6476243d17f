#include <QTemporaryDir>
#include <QTest>

#include "search/duplicates.h"
#include "store/field_text.h"
#include "support/card_files.h"

namespace {

cardfiles::Card card(int numero, const QString& expression, const QString& traduction = QString()) {
    return {numero, expression, traduction, QStringLiteral("source %1").arg(numero), {}, {}, {}, {}};
}

}  // namespace

class TestDuplicates : public QObject {
    Q_OBJECT
private slots:
    // --- what counts as the same expression

    void sameExpression_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("same");
        QTest::newRow("identical") << "chat noir" << "chat noir" << true;
        QTest::newRow("case") << "Chat Noir" << "CHAT noir" << true;
        QTest::newRow("accents") << "élève" << "ELEVE" << true;
        QTest::newRow("ligature") << "cœur" << "coeur" << true;
        QTest::newRow("sharp s") << "Straße" << "strasse" << true;
        QTest::newRow("surrounding spaces") << "  chat noir" << "chat noir   " << true;
        QTest::newRow("inner spaces") << "chat    noir" << "chat noir" << true;
        QTest::newRow("a line break, a tab, a no-break space") << "chat\nnoir" << "chat\t\u00A0noir" << true;
        QTest::newRow("a space missing") << "chatnoir" << "chat noir" << false;
        QTest::newRow("a longer expression") << "chat noir" << "chat" << false;
        QTest::newRow("a shorter expression") << "chat" << "chat noir" << false;
        QTest::newRow("another letter") << "chat" << "chas" << false;
        QTest::newRow("punctuation counts") << "chat-noir" << "chat noir" << false;
    }
    void sameExpression() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, same);
        std::array<char, 255> field;
        fieldtext::store(field, stored);
        QCOMPARE(duplicates::keyOf(field) == duplicates::keyOf(typed), same);

        // And through the file, as the Edition window asks.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.dat"));
        cardfiles::write(path, {card(1, stored, QStringLiteral("cat"))});
        DataFile file = DataFile::open(path);
        QCOMPARE(duplicates::othersWith(file, typed, 2).size(), std::size_t(same ? 1 : 0));
    }

    // Blank expressions are no expression at all: never the same as another.
    void blankExpressionsHaveNoDuplicates() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.dat"));
        cardfiles::write(path, {card(1, {}), card(2, QStringLiteral("   ")), card(3, {})});
        DataFile file = DataFile::open(path);
        QVERIFY(duplicates::othersWith(file, QStringLiteral("  "), 4).empty());
        QVERIFY(duplicates::list(file).empty());
    }

    // --- the cards found

    // Every other card, in slot order, across the runs of slots the file is
    // read in; the card being written is not its own duplicate.
    void othersWithTheExpressionInSlotOrder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.dat"));
        QList<cardfiles::Card> cards;
        for (int n = 1; n <= 700; ++n) cards.append(card(n, QStringLiteral("fiche %1").arg(n)));
        for (int n : {3, 300, 512, 699}) cards[n - 1] = card(n, QStringLiteral("Même"), QStringLiteral("same %1").arg(n));
        cardfiles::write(path, cards);
        DataFile file = DataFile::open(path);
        const Module1::FicheRecord before = Module1::recordBuffer();
        const auto found = duplicates::othersWith(file, QStringLiteral("meme"), 300);
        QCOMPARE(found.size(), std::size_t(3));
        QCOMPARE(found[0].number, 3);
        QCOMPARE(found[0].traduction, QStringLiteral("same 3"));
        QCOMPARE(found[1].number, 512);
        QCOMPARE(found[2].number, 699);
        QVERIFY(Module1::recordBuffer() == before);
    }

    void theNotice_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one") << 1 << "Déjà sur la fiche n°\u00A012 (traduction\u00A0: cat)";
        QTest::newRow("two") << 2
                             << "Déjà sur les fiches n°\u00A012 (traduction\u00A0: cat) et n°\u00A040 (sans traduction)";
        QTest::newRow("three") << 3
                               << "Déjà sur les fiches n°\u00A012 (traduction\u00A0: cat), n°\u00A040 (sans traduction)"
                                  " et 1 autre";
        QTest::newRow("five") << 5
                              << "Déjà sur les fiches n°\u00A012 (traduction\u00A0: cat), n°\u00A040 (sans traduction)"
                                 " et 3 autres";
    }
    void theNotice() {
        QFETCH(int, count);
        QFETCH(QString, expected);
        std::vector<duplicates::Card> cards = {{12, QStringLiteral("cat")}, {40, QStringLiteral(" ")}};
        for (int n = 3; n <= count; ++n) cards.push_back({100 + n, QStringLiteral("x")});
        cards.resize(std::size_t(count));
        QCOMPARE(duplicates::notice(cards), expected);
    }

    // Shortened in the status bar; whole, every card, in its tool tip.
    void aLongTranslationIsShortenedButWholeInFull() {
        const std::vector<duplicates::Card> cards = {{7, QString(100, u'a') + QStringLiteral("\nfin")}, {8, QStringLiteral("b")},
                                                    {9, QString()}};
        QCOMPARE(duplicates::notice({cards[0]}), QStringLiteral("Déjà sur la fiche n°\u00A07 (traduction\u00A0: ") +
                                                     QString(39, u'a') + QStringLiteral("…)"));
        QCOMPARE(duplicates::noticeInFull(cards),
                 QStringLiteral("Déjà sur les fiches\u00A0:\nn°\u00A07 (traduction\u00A0: ") + QString(100, u'a') +
                     QStringLiteral(" fin)\nn°\u00A08 (traduction\u00A0: b)\nn°\u00A09 (sans traduction)"));
    }

    // --- the list of every duplicate

    void listGroupsByExpressionThenNumber() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.dat"));
        cardfiles::write(path, {card(1, QStringLiteral("zèbre")), card(2, QStringLiteral("Arbre")),
                                card(3, QStringLiteral("unique")), card(4, QStringLiteral("ZEBRE ")),
                                card(5, QStringLiteral("arbre")), card(6, QStringLiteral("zebre")),
                                card(7, QString())});
        DataFile file = DataFile::open(path);
        const auto rows = duplicates::list(file);
        QStringList numbers;
        for (const ResultRow& row : rows) numbers.append(row.numero);
        QCOMPARE(numbers, QStringList({"2", "5", "1", "4", "6"}));
        QCOMPARE(rows[0].dictionnaire, QStringLiteral("source 2"));
        QCOMPARE(rows[0].toolTip.text(), QStringLiteral("Expression\u00A0: Arbre"));
        QCOMPARE(rows[3].toolTip.text(), QStringLiteral("Expression\u00A0: ZEBRE"));
        // As after any listing, the record buffer holds the last slot.
        QCOMPARE(Module1::recordBuffer().numero, 7);
    }
};

QTEST_GUILESS_MAIN(TestDuplicates)
#include "tst_duplicates.moc"
