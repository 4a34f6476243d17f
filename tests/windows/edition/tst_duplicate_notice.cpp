#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "store/fiche_record.h"
#include "support/card_files.h"
#include "support/card_form_controls.h"
#include "support/window_test_kit.h"
#include "shown_edition.h"

namespace {

const QList<cardfiles::Card> kCards = {
    {1, "Chat noir", "black cat", "", "", "", "", ""},
    {2, "chien", "dog", "", "", "", "", ""},
    {3, "  CHAT   noir ", "", "", "", "", "", ""},
    {4, "cheval", "horse", "", "", "", "", ""},
};

struct Edition : ShownEdition {
    using ShownEdition::ShownEdition;

    // Types into the expression box and leaves it for the next box, as Tab does.
    void typeExpressionAndLeave(const QString& text) const {
        auto* expression = child<QPlainTextEdit>("txtexpression");
        expression->setFocus(Qt::TabFocusReason);
        expression->setPlainText(text);
        child<QPlainTextEdit>("txttraduction")->setFocus(Qt::TabFocusReason);
    }
    QString notice() const { return ShownEdition::notice("avisdoublon"); }
};

}  // namespace

class TestDuplicateNotice : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }

    void leavingTheExpressionTellsOfTheOtherCards() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Edition edition(kit.path());
        QVERIFY(QTest::qWaitForWindowActive(edition.window));

        edition.typeExpressionAndLeave(QStringLiteral("chat Noir"));
        QCOMPARE(edition.notice(), QStringLiteral("Déjà sur les fiches n°\u00A01 (traduction\u00A0: black cat) et "
                                                  "n°\u00A03 (sans traduction)"));
        QCOMPARE(edition.window->statusBar()->findChild<StatusPanel*>(QStringLiteral("avisdoublon"))->toolTip(),
                 QStringLiteral("Déjà sur les fiches\u00A0:\nn°\u00A01 (traduction\u00A0: black cat)\n"
                                "n°\u00A03 (sans traduction)"));
        QVERIFY(!edition.captionShown());
        QVERIFY(kit.messages.isEmpty());

        // Any change to the expression takes it away, and the caption comes back.
        edition.child<QPlainTextEdit>("txtexpression")->insertPlainText(QStringLiteral("e"));
        QCOMPARE(edition.notice(), QString());
        QVERIFY(edition.captionShown());

        // The others' own texts change nothing.
        edition.typeExpressionAndLeave(QStringLiteral("chien"));
        QCOMPARE(edition.notice(), QStringLiteral("Déjà sur la fiche n°\u00A02 (traduction\u00A0: dog)"));
        edition.type("txttraduction", QStringLiteral("hound"));
        QCOMPARE(edition.notice(), QStringLiteral("Déjà sur la fiche n°\u00A02 (traduction\u00A0: dog)"));

        edition.typeExpressionAndLeave(QStringLiteral("loup"));
        QCOMPARE(edition.notice(), QString());
        QCOMPARE(cardfiles::contents(kit.path()).size(), 4 * Module1::kSlotSize);
    }

    // The check reads the file as it stands: one removed meanwhile is not
    // made again, and tells of nothing.
    void aFileRemovedMeanwhileIsNotMadeAgain() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Edition edition(kit.path());
        QVERIFY(QTest::qWaitForWindowActive(edition.window));
        QVERIFY(QFile::remove(kit.path()));
        edition.typeExpressionAndLeave(QStringLiteral("chien"));
        QCOMPARE(edition.notice(), QString());
        QVERIFY(!QFile::exists(kit.path()));
        QVERIFY(kit.messages.isEmpty());
    }

    // Saving tells of the other cards too, and is done all the same; the
    // card saved is no duplicate of itself.
    void savingTellsButNeverStops() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Edition edition(kit.path());
        edition.type("txtexpression", QStringLiteral("CHEVAL"));
        edition.child<QAction>("mnu_Enregistrer")->trigger();
        QCOMPARE(cardfiles::fieldOf(kit.path(), 5, Module1::Field::expression), QStringLiteral("CHEVAL"));
        QCOMPARE(kit.messageTexts(), QStringList{QStringLiteral("L'enregistrement est terminé.")});
        QCOMPARE(edition.notice(), QStringLiteral("Déjà sur la fiche n°\u00A04 (traduction\u00A0: horse)"));

        edition.click("precedent");  // card 4, the first cheval
        QCOMPARE(edition.box("txtexpression"), QStringLiteral("cheval"));
        QCOMPARE(edition.notice(), QString());
        edition.child<QAction>("mnu_Enregistrer")->trigger();
        QCOMPARE(edition.notice(), QStringLiteral("Déjà sur la fiche n° 5 (sans traduction)"));
    }
};

QTEST_MAIN(TestDuplicateNotice)
#include "tst_duplicate_notice.moc"
