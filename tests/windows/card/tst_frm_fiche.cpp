#include <QApplication>
#include <QPointer>
#include <QTimer>

#include "card_driver.h"
#include "windows/controls/modal_run.h"
#include "store/fiche_record.h"
#include "support/card_files.h"

using Module1::Field;
using cardfiles::Card;

namespace {

const QList<Card> kCards = {
    {1, "un", "one", "a", "", "Zola", "", ""},
    {2, "deux", "two", "b", "", "Balzac", "", ""},
    {3, "  trois", "three", "c", "", "Hugo", "", ""},
    {4, "quatre", "four", "d", "", "Apollinaire", "", ""},
};

}  // namespace

class TestFrmFiche : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }

    // --- opening and browsing

    void aSingleResultRowDisablesBothButtons() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(QStringLiteral("b"));
        CardWindow card(consultation, 1);
        QCOMPARE(card.window->Form_Load(), QString());
        QCOMPARE(card.numero(), QStringLiteral("2"));
        QCOMPARE(card.box("txtreference"), QStringLiteral("Balzac"));
        QVERIFY(!card.canGoBack());
        QVERIFY(!card.canGoOn());
    }

    void buttonsFollowTheRowAlongAWalkOfASortedGrid() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        consultation.click("triref");  // Apollinaire 4, Balzac 2, Hugo 3, Zola 1
        CardWindow card(consultation, 1);
        QCOMPARE(card.window->Form_Load(), QString());
        QCOMPARE(card.numero(), QStringLiteral("4"));
        QVERIFY(!card.canGoBack());
        QVERIFY(card.canGoOn());
        card.click("suivant");
        QCOMPARE(card.numero(), QStringLiteral("2"));
        QVERIFY(card.canGoBack());
        card.click("suivant");
        QCOMPARE(card.numero(), QStringLiteral("3"));
        QCOMPARE(card.box("txtexpression"), QStringLiteral("  trois"));
        QVERIFY(card.canGoOn());
        card.click("suivant");
        QCOMPARE(card.numero(), QStringLiteral("1"));
        QVERIFY(!card.canGoOn());
        QVERIFY(card.canGoBack());
        QCOMPARE(card.window->ligne(), 4);
        QCOMPARE(card.window->numfiche(), QStringLiteral("1"));
        QCOMPARE(consultation.grid().Row(), 4);
        QCOMPARE(consultation.grid().Col(), 0);
    }

    void browsingDropsAnEdit() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        CardWindow card(consultation, 2);
        QCOMPARE(card.window->Form_Load(), QString());
        card.type("txtexpression", QStringLiteral("modifiée"));
        card.click("suivant");
        card.click("precedent");
        QCOMPARE(card.box("txtexpression"), QStringLiteral("deux"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Field::expression), QStringLiteral("deux"));
    }

    // --- saving

    void aLongExpressionIsSavedCutAndShownWholeUntilReadAgain() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        CardWindow card(consultation, 2);
        QCOMPARE(card.window->Form_Load(), QString());
        card.type("txtexpression", QString(300, u'x'));
        card.type("txtreference", QStringLiteral("Balzac corrigé"));
        kit.questionAnswers = {true};  // saved all the same, once told
        card.window->Enregistrer_Click();
        QCOMPARE(kit.messages.size(), 2);
        QVERIFY(kit.messages[0].text.contains(QStringLiteral("Expression\u00A0: 45 caractères de trop")));
        QCOMPARE(kit.messages[1].text, QStringLiteral("L'enregistrement est terminé."));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Field::expression), QString(255, u'x'));
        QCOMPARE(card.box("txtexpression"), QString(300, u'x'));
        QCOMPARE(card.window->ligne(), 2);
        QCOMPARE(consultation.grid().TextMatrix(2, 3), QStringLiteral("Balzac"));
        card.click("suivant");
        card.click("precedent");
        QCOMPARE(card.box("txtexpression"), QString(255, u'x'));
        QCOMPARE(card.box("txtreference"), QStringLiteral("Balzac corrigé"));
    }

    void aTypedNumberDecidesTheSlotWritten() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        const QByteArray slot2 = cardfiles::slot(kit.path(), 2);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        CardWindow card(consultation, 2);
        QCOMPARE(card.window->Form_Load(), QString());
        card.child<QLineEdit>("txtnumero")->setText(QStringLiteral("6"));
        card.window->Enregistrer_Click();
        QCOMPARE(cardfiles::slot(kit.path(), 2), slot2);
        QCOMPARE(cardfiles::fieldOf(kit.path(), 6, Field::expression), QStringLiteral("deux"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 5, Field::expression), QString());
        QCOMPARE(cardfiles::slot(kit.path(), 6).left(2), QByteArray("\x06\x00", 2));
    }

    void refusedNumbersChangeNothing_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("zero") << "0";
        QTest::newRow("32768") << "32768";
    }
    void refusedNumbersChangeNothing() {
        QFETCH(QString, typed);
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        const QByteArray before = cardfiles::contents(kit.path());
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        CardWindow card(consultation, 3);
        QCOMPARE(card.window->Form_Load(), QString());
        card.type("txtexpression", QStringLiteral("en cours"));
        card.child<QLineEdit>("txtnumero")->setText(typed);
        card.window->Enregistrer_Click();
        QCOMPARE(kit.errors().size(), 1);
        QCOMPARE(cardfiles::contents(kit.path()), before);
        QCOMPARE(card.box("txtexpression"), QStringLiteral("en cours"));
        QCOMPARE(card.numero(), typed);
    }

    void anUnreadableDataFileLeavesTheCardShown() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        CardWindow card(consultation, 2);
        QCOMPARE(card.window->Form_Load(), QString());
        consultation.menu.path = kit.folder();
        card.click("suivant");
        QCOMPARE(kit.errors().size(), 1);
        QCOMPARE(card.numero(), QStringLiteral("2"));
        QCOMPARE(card.window->ligne(), 2);
        QCOMPARE(consultation.grid().Row(), 2);
        QVERIFY(card.canGoOn());
    }

    void closingDropsEditsAndLeavesTheGridOnTheLastRowShown() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        const QByteArray before = cardfiles::contents(kit.path());
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        consultation.grid().setRow(1);
        consultation.grid().setCol(2);
        kit.onModal = [](QWidget* window) {
            auto* card = static_cast<frm_fiche*>(window);
            card->suivant_Click();
            card->findChild<QPlainTextEdit*>(QStringLiteral("txtexpression"))->setPlainText(QStringLiteral("perdu"));
            card->Fermer_Click();
        };
        consultation.window->Grille01_DblClick();
        QCOMPARE(cardfiles::contents(kit.path()), before);
        QCOMPARE(consultation.grid().Row(), 2);
        QCOMPARE(consultation.grid().Col(), 0);
        QVERIFY(kit.messages.isEmpty());
    }

    // --- the window as the window system treats it

    // Minimising sends the window a hide event of the window system's own;
    // the card stays open, modal, with its edits, until it is closed.
    void minimisedAndRestoredTheCardComesBackAsItWas() {
        WindowTestKit kit;
        ModalRun::setHandler({});  // the real modal loop
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.window->show();
        consultation.window->Liste_complete_Click();
        consultation.grid().setRow(3);
        QPointer<QWidget> card;
        bool minimised = false;
        QString afterRestoring;
        bool stillModal = false;
        QTimer::singleShot(0, [&] {
            card = QApplication::activeModalWidget();
            QVERIFY(card);
            card->findChild<QPlainTextEdit*>(QStringLiteral("txtexpression"))->setPlainText(QStringLiteral("en cours"));
            card->showMinimized();
            minimised = card->isMinimized();
            QTimer::singleShot(50, [&] {
                if (!card) return;  // the loop ended with the minimising
                card->showNormal();
                QCoreApplication::processEvents();
                afterRestoring = card->findChild<QPlainTextEdit*>(QStringLiteral("txtexpression"))->toPlainText();
                stillModal = QApplication::activeModalWidget() == card && card->isVisible() && !card->isMinimized();
                static_cast<frm_fiche*>(card.data())->Fermer_Click();
            });
        });
        consultation.window->Grille01_DblClick();
        QVERIFY(minimised);
        QCOMPARE(afterRestoring, QStringLiteral("en cours"));
        QVERIFY(stillModal);
        QCOMPARE(cardfiles::fieldOf(kit.path(), 3, Field::expression), QStringLiteral("  trois"));
    }
};

QTEST_MAIN(TestFrmFiche)
#include "tst_frm_fiche.moc"
