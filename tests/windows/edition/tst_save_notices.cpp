#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLocale>
#include <QPlainTextEdit>
#include <QStatusBar>
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
        QTest::newRow("the card itself, corrected") << 5 << QStringLiteral("3") << QStringLiteral("fiche 3") << QString();
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
};

QTEST_MAIN(TestSaveNotices)
#include "tst_save_notices.moc"
