#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLocale>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QLineEdit>
#include <QTest>

#include "store/fiche_record.h"
#include "support/card_files.h"
#include "shown_edition.h"

using Module1::Field;

// What the Edition window says before a save loses or replaces anything.
namespace {

struct Edition : ShownEdition {
    using ShownEdition::ShownEdition;

    // What the user puts in a box: typed key by key, or pasted whole.
    void enter(const char* name, const QString& text, bool paste) const {
        auto* box = child<QPlainTextEdit>(name);
        box->setFocus(Qt::TabFocusReason);
        box->clear();
        if (paste) {
            QApplication::clipboard()->setText(text);
            box->paste();
        } else {
            // Key by key, each giving its letter as a keyboard layout would.
            for (const QChar ch : text) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(box, &press);
            }
        }
    }
};

QString french(qint64 n) { return QLocale(QLocale::French, QLocale::France).toString(n); }

}  // namespace

class TestSaveNotices : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }

    // A field that cannot keep its box's text is told of while typing, and
    // the save asks first; Annuler writes nothing and shows where the loss
    // begins. A card that fits is saved with no question.
    void nothingIsLostWithoutAWord_data() {
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<bool>("saveAllTheSame");
        QTest::addColumn<QString>("typingNotice");
        QTest::addColumn<QString>("asked");      // empty: no question
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("stored");     // after the save; empty: nothing saved
        QTest::addColumn<int>("cursorAt");

        const QString context = QStringLiteral("mot ").repeated(304) + QStringLiteral("fi");  // 1,218 characters
        const QString cut = QStringLiteral("Contexte\u00A0: %1 caractères, les %2 premiers seront enregistrés")
                                .arg(french(1218), french(1000));
        QTest::newRow("a long context pasted, then Annuler")
            << QByteArray("txtcontexte") << context << true << false << cut
            << QStringLiteral("Contexte\u00A0: 218 caractères de trop") << Field::contexte << QString() << 1000;
        QTest::newRow("a long context pasted, saved all the same")
            << QByteArray("txtcontexte") << context << true << true << cut
            << QStringLiteral("Contexte\u00A0: 218 caractères de trop") << Field::contexte << context.left(999) << -1;  // its trailing space is never kept
        const QString replaced = QStringLiteral("Miscellanea\u00A0: τ, ≤ seront remplacés par\u00A0?");
        QTest::newRow("letters the file cannot hold, typed")
            << QByteArray("txtmiscellanea") << QStringLiteral("a τ b ≤ c τ") << false << true << replaced << replaced
            << Field::miscellanea << QStringLiteral("a ? b ? c ?") << -1;
        QTest::newRow("decomposed accents, pasted")
            << QByteArray("txtexpression") << QStringLiteral("e\u0301le\u0300ve") << true << false << QString()
            << QString() << Field::expression << QStringLiteral("élève") << -1;
        QTest::newRow("a card that fits")
            << QByteArray("txtexpression") << QStringLiteral("écrou") << false << false << QString() << QString()
            << Field::expression << QStringLiteral("écrou") << -1;
    }
    void nothingIsLostWithoutAWord() {
        QFETCH(QByteArray, box);
        QFETCH(QString, text);
        QFETCH(bool, paste);
        QFETCH(bool, saveAllTheSame);
        QFETCH(QString, typingNotice);
        QFETCH(QString, asked);
        QFETCH(Field, field);
        QFETCH(QString, stored);
        QFETCH(int, cursorAt);
        WindowTestKit kit;
        Edition edition(kit.path());
        edition.enter(box.constData(), text, paste);
        QCOMPARE(edition.notice("avischamps"), typingNotice);
        QCOMPARE(edition.child<QPlainTextEdit>(box.constData())->toolTip(), typingNotice);

        kit.questionAnswers = {saveAllTheSame};
        edition.click("Enregistrer");
        if (asked.isEmpty()) {
            QCOMPARE(kit.messageTexts(), QStringList{"L'enregistrement est terminé."});  // the usual flow, no more
        } else {
            QCOMPARE(kit.messages.front().kind, Alert::Kind::question);
            QVERIFY2(kit.messages.front().text.contains(asked), qPrintable(kit.messages.front().text));
            QCOMPARE(kit.messages.size(), saveAllTheSame ? 2 : 1);
        }
        if (stored.isEmpty()) {
            QCOMPARE(cardfiles::contents(kit.path()).size(), 0);
            QCOMPARE(QApplication::focusWidget(), edition.child<QWidget>(box.constData()));
            QCOMPARE(edition.child<QPlainTextEdit>(box.constData())->textCursor().position(), cursorAt);
        } else {
            QCOMPARE(cardfiles::fieldOf(kit.path(), 1, field), stored);
        }
    }

    // The number box says what a save at its number does besides writing the card.
    void theNumberSaysWhatASaveWillDo_data() {
        QTest::addColumn<int>("cards");
        QTest::addColumn<QString>("number");  // empty: as Nouveau proposes it
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("notice");
        QTest::newRow("the next card") << 5 << QString() << QStringLiteral("neuve") << QString();
        QTest::newRow("over another card")
            << 5 << QStringLiteral("3") << QStringLiteral("autre")
            << QStringLiteral("Remplacera la fiche n°\u00A03 (expression\u00A0: fiche 3)\u00A0; l'historique gardera la fiche remplacée");
        // Its other fields, never shown, would be replaced all the same.
        QTest::newRow("the card's own expression over its other fields")
            << 5 << QStringLiteral("3") << QStringLiteral("fiche 3")
            << QStringLiteral("Remplacera la fiche n°\u00A03 (expression\u00A0: fiche 3)\u00A0; l'historique gardera la fiche remplacée");
        QTest::newRow("past the next card")
            << 5 << QStringLiteral("9") << QStringLiteral("loin") << QStringLiteral("Les fiches 6 à 8 seront créées vides");
        QTest::newRow("a full file, at once")
            << Module1::kHighestCardNumber << QString() << QString() << QStringLiteral("Le fichier est plein\u00A0: 32767 fiches");
    }
    void theNumberSaysWhatASaveWillDo() {
        QFETCH(int, cards);
        QFETCH(QString, number);
        QFETCH(QString, expression);
        QFETCH(QString, notice);
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), std::min(cards, 5));
        if (cards > 5) QVERIFY(QFile::resize(kit.path(), qint64(cards) * Module1::kSlotSize));
        Edition edition(kit.path());
        if (!number.isEmpty()) edition.child<QLineEdit>("txtnumero")->setText(number);
        edition.enter("txtexpression", expression, false);
        QCOMPARE(edition.notice("avisnumero"), notice);
        QCOMPARE(edition.captionShown(), notice.isEmpty());
    }

    // A card's fields the window never showed are not replaced without a
    // question naming them; a card the window showed is corrected freely.
    // Texts are compared as saved, non-breaking spaces kept.
    void aSaveAsksBeforeReplacingFieldsNeverShown_data() {
        QTest::addColumn<bool>("browsed");       // reached with «<<», else its number typed
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("expression");  // typed; empty: left as shown
        QTest::addColumn<bool>("replace");        // the answer, where asked
        QTest::addColumn<QString>("asked");       // the fields named; empty: no question
        QTest::addColumn<QString>("misc");        // card's miscellanea after
        // In the order the window shows them; the translation typed over one never shown too.
        const QString all = QStringLiteral("«\u00A0Référence\u00A0», «\u00A0Traduction\u00A0», «\u00A0Miscellanea\u00A0», "
                                           "«\u00A0Entrées texte source\u00A0», «\u00A0Entrées texte cible\u00A0» et "
                                           "«\u00A0Contexte\u00A0»");
        QTest::newRow("its number typed, then Annuler") << false << "3" << "fiche 3" << false << all << "misc 3";
        QTest::newRow("its number typed, replaced") << false << "3" << "fiche 3" << true << all << "";
        QTest::newRow("reached with <<, corrected") << true << "3" << "" << false << "" << "misc 3";
        QTest::newRow("a non-breaking space as on file") << false << "6" << "prise\u00A0: mâle" << false << "" << "";
    }
    void aSaveAsksBeforeReplacingFieldsNeverShown() {
        QFETCH(bool, browsed);
        QFETCH(QString, number);
        QFETCH(QString, expression);
        QFETCH(bool, replace);
        QFETCH(QString, asked);
        QFETCH(QString, misc);
        WindowTestKit kit;
        QList<cardfiles::Card> cards;
        for (int i = 1; i <= 5; ++i) {
            const QString n = QString::number(i);
            cards.append({i, "fiche " + n, "traduction " + n, "source " + n, "cible " + n, "ref " + n, "misc " + n, "contexte " + n});
        }
        cards.append({6, QStringLiteral("prise\u00A0: mâle"), "", "", "", "", "", ""});
        cardfiles::write(kit.path(), cards);
        Edition edition(kit.path());
        if (browsed) {
            edition.child<QLineEdit>("txtnumero")->setText(QString::number(number.toInt() + 1));
            edition.click("precedent");
        } else {
            edition.child<QLineEdit>("txtnumero")->setText(number);
            edition.enter("txtexpression", expression, false);
        }
        edition.enter("txttraduction", QStringLiteral("nouvelle"), false);
        QCOMPARE(edition.notice("avisnumero").isEmpty(), asked.isEmpty());
        const QByteArray before = cardfiles::contents(kit.path());
        kit.questionAnswers = {replace};
        edition.click("Enregistrer");
        if (asked.isEmpty()) {
            QCOMPARE(kit.messageTexts(), QStringList{"L'enregistrement est terminé."});
        } else {
            QCOMPARE(kit.messages.front().kind, Alert::Kind::question);
            QVERIFY2(kit.messages.front().text.contains(asked), qPrintable(kit.messages.front().text));
        }
        if (!asked.isEmpty() && !replace) {
            QCOMPARE(cardfiles::contents(kit.path()), before);
            QVERIFY(!edition.notice("avisnumero").isEmpty());  // the notice stays
            return;
        }
        QCOMPARE(cardfiles::fieldOf(kit.path(), number.toInt(), Field::traduction), QStringLiteral("nouvelle"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), number.toInt(), Field::miscellanea), misc);
    }
};

QTEST_MAIN(TestSaveNotices)
#include "tst_save_notices.moc"
