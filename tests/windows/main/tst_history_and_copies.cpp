#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "card_driver.h"
#include "store/card_history.h"
#include "store/daily_copies.h"
#include "support/card_files.h"
#include "support/window_test_kit.h"
#include "windows/edition/frm_ajout.h"
#include "windows/main/menu.h"

using Module1::Field;

// A card replaced by mistake, brought back from the windows; the data file
// put back as one of its copies.
namespace {

struct Edition : CardFormControls {
    FakeMainWindow menu;
    Frm_ajout window;
    explicit Edition(const QString& path) : window(menu) {
        form = &window;
        menu.path = path;
    }
    void trigger(const char* action) { form->findChild<QAction*>(QLatin1String(action))->trigger(); }
    void setNumber(const QString& number) { child<QLineEdit>("txtnumero")->setText(number); }
};

// What a modal list dialog showed, and the row chosen for "Rétablir".
struct ListDialogAnswer {
    QString dialogName;
    QStringList rows;
    int choose = -1;  // -1: close it without choosing
};

void answerListDialog(WindowTestKit& kit, ListDialogAnswer& answer) {
    kit.onModal = [&answer](QWidget* window) {
        answer.dialogName = window->objectName();
        auto* list = window->findChild<QListWidget*>(QStringLiteral("liste"));
        for (int row = 0; row < list->count(); ++row) answer.rows.append(list->item(row)->text());
        auto* dialog = qobject_cast<QDialog*>(window);
        if (answer.choose < 0) {
            dialog->reject();
            return;
        }
        list->setCurrentRow(answer.choose);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Retablir")), Qt::LeftButton);
    };
}

}  // namespace

class TestHistoryAndCopies : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }

    // Typing the number of a card that holds one and saving replaces it; the
    // history gives it back, and the card put back is itself kept once saved.
    void aCardReplacedInEditionIsBroughtBack() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        Edition edition(kit.path());
        QVERIFY(edition.window.Form_Load());
        edition.setNumber(QStringLiteral("2"));
        edition.type("txtexpression", QStringLiteral("écrasée par erreur"));
        kit.questionAnswers = {true};  // « Remplacer » the fields the window never showed
        edition.click("Enregistrer");
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Field::expression), QStringLiteral("écrasée par erreur"));

        ListDialogAnswer answer{{}, {}, 0};
        answerListDialog(kit, answer);
        edition.trigger("historique");
        QCOMPARE(answer.dialogName, QStringLiteral("versions"));
        QCOMPARE(answer.rows.size(), 1);
        QVERIFY2(answer.rows[0].contains(QStringLiteral("fiche 2")), qPrintable(answer.rows[0]));
        QVERIFY(answer.rows[0].contains(QStringLiteral("Édition")));
        // Put in the boxes, not yet written.
        QCOMPARE(edition.box("txtexpression"), QStringLiteral("fiche 2"));
        QCOMPARE(edition.box("txtcontexte"), QStringLiteral("contexte 2"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Field::expression), QStringLiteral("écrasée par erreur"));
        edition.click("Enregistrer");
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Field::expression), QStringLiteral("fiche 2"));

        const auto versions = cardhistory::versionsOf(FileSystem::native(), kit.path(), 2);
        QCOMPARE(versions.size(), std::size_t(2));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Field::traduction), QStringLiteral("traduction 2"));
    }

    void theCardWindowShowsItsCardsVersions() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        Consultation consultation(kit.path());
        consultation.child<QAction>("Liste_complete")->trigger();
        CardWindow card(consultation, 3);
        QVERIFY(card.window->Form_Load().isEmpty());
        card.type("txtexpression", QStringLiteral("corrigée"));
        card.window->findChild<QAction*>(QStringLiteral("Enregistrer"))->trigger();
        card.type("txtexpression", QStringLiteral("encore"));
        card.window->findChild<QAction*>(QStringLiteral("Enregistrer"))->trigger();

        ListDialogAnswer answer{{}, {}, 1};
        answerListDialog(kit, answer);
        card.window->findChild<QAction*>(QStringLiteral("historique"))->trigger();
        QCOMPARE(answer.rows.size(), 2);
        QVERIFY(answer.rows[0].contains(QStringLiteral("corrigée")));
        QVERIFY(answer.rows[0].contains(QStringLiteral("Fiche")));
        QVERIFY(answer.rows[1].contains(QStringLiteral("fiche 3")));
        QCOMPARE(card.box("txtexpression"), QStringLiteral("fiche 3"));
    }

    void aNumberThatNamesNoCardIsRefused() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 1);
        Edition edition(kit.path());
        QVERIFY(edition.window.Form_Load());
        edition.setNumber(QStringLiteral("zéro"));
        edition.trigger("historique");
        QCOMPARE(kit.errors().size(), 1);
    }

    // The main window lists the copies and puts the chosen one back once the
    // question naming both dates is answered Oui.
    void aCopyIsPutBackFromTheMainWindow() {
        WindowTestKit kit;
        qputenv("XDG_DATA_HOME", kit.folder().toUtf8());
        cardfiles::writeNumbered(kit.path(), 4);
        const QByteArray morning = cardfiles::contents(kit.path());
        {
            Edition edition(kit.path());
            QVERIFY(edition.window.Form_Load());
            edition.setNumber(QStringLiteral("1"));
            edition.type("txtexpression", QStringLiteral("mauvaise journée"));
            kit.questionAnswers = {true};
            edition.click("Enregistrer");
        }
        const QByteArray evening = cardfiles::contents(kit.path());
        QVERIFY(evening != morning);

        Menu menu(kit.path());
        ListDialogAnswer answer{{}, {}, 0};
        answerListDialog(kit, answer);
        kit.questionAnswers = {false};
        menu.findChild<QAction*>(QStringLiteral("copies"))->trigger();
        QCOMPARE(answer.dialogName, QStringLiteral("copies_liste"));
        QCOMPARE(answer.rows.size(), 1);
        QVERIFY2(answer.rows[0].contains(QStringLiteral("4 fiches")), qPrintable(answer.rows[0]));
        QCOMPARE(cardfiles::contents(kit.path()), evening);  // answered Non

        answer = {};
        answer.choose = 0;
        kit.questionAnswers = {true};
        menu.findChild<QAction*>(QStringLiteral("copies"))->trigger();
        QCOMPARE(cardfiles::contents(kit.path()), morning);
        const auto copies = dailycopies::list(FileSystem::native(), kit.path());
        QCOMPARE(copies.size(), std::size_t(2));
        QCOMPARE(QByteArray(dailycopies::contents(copies.front()).data(), evening.size()), evening);
        const QStringList shown = kit.messageTexts();
        QVERIFY(shown.size() >= 2);
        QVERIFY2(shown[shown.size() - 2].contains(QStringLiteral("(4 fiches), va être remplacé")) &&
                     shown[shown.size() - 2].contains(QStringLiteral("(4 fiches). Il sera")),
                 qPrintable(shown.join('\n')));
        QVERIFY(shown.last().contains(QStringLiteral("rétabli")));
    }

    void withNoFileChosenTheCopiesAskForOne() {
        WindowTestKit kit;
        Menu menu(kit.path());
        menu.findChild<QCheckBox*>(QStringLiteral("Check1"))->click();  // unticked: no file yet
        kit.answers = {std::nullopt};
        menu.findChild<QAction*>(QStringLiteral("copies"))->trigger();
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(kit.dialogs[0].kind, CommonDialog::Kind::open);
    }
};

QTEST_MAIN(TestHistoryAndCopies)
#include "tst_history_and_copies.moc"
