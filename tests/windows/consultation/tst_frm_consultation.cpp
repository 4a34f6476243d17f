#include <QAction>
#include <QDir>
#include <QPlainTextEdit>

#include "consultation_driver.h"
#include "store/fiche_record.h"
#include "support/card_files.h"
#include "windows/common/twips.h"
#include "windows/card/frm_fiche.h"

using Module1::Field;
using cardfiles::Card;

namespace {

const QList<Card> kCards = {
    {1, "un", "", "Chat noir", "black cat", "Zola", "", ""},
    {2, "deux", "", "achats", "purchases", "Balzac", "", ""},
    {3, "trois", "", "chien", "dog CHAT", "Hugo", "", ""},
    {4, "quatre", "", "CHAT", "cat", "Balzac", "", ""},
    {5, "cinq", "", "abc", "alpha", "Éluard", "", ""},
};

}  // namespace

class TestFrmConsultation : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }

    // --- search and full list

    void loadingShowsTheHeaderRowOnly() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        QCOMPARE(consultation.grid().Rows(), 1);
        QCOMPARE(consultation.grid().TextMatrix(0, 0), QStringLiteral("Numero fiche"));
        QCOMPARE(consultation.grid().TextMatrix(0, 3), QStringLiteral("Référence"));
        QVERIFY(consultation.child<QRadioButton>("Option1")->isChecked());
    }

    void search_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("target");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("capitals find any case") << "CHAT" << false << QStringList{"1", "2", "4"};
        QTest::newRow("target entries only") << "chat" << true << QStringList{"3"};
        QTest::newRow("empty text finds all") << "" << false << QStringList{"1", "2", "3", "4", "5"};
        QTest::newRow("trailing space meets filling spaces") << "abc " << false << QStringList{"5"};
        QTest::newRow("one space") << " " << true << QStringList{"1", "2", "3", "4", "5"};
        QTest::newRow("over 255 characters") << QString(256, u'a') << false << QStringList{};
        QTest::newRow("no match") << "zèbre" << false << QStringList{};
    }
    void search() {
        QFETCH(QString, text);
        QFETCH(bool, target);
        QFETCH(QStringList, numbers);
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(text, target);
        QCOMPARE(consultation.column(0), numbers);
        QCOMPARE(consultation.grid().Rows(), 1 + numbers.size());
        QCOMPARE(consultation.grid().Col(), 3);
        QVERIFY(kit.messages.isEmpty());
    }

    // --- the search without accents

    void ignoringAccentsServesBothOptionsAndIsForgottenAtEachOpening() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), {{1, "", "", "l'élève", "pupil", "", "", ""},
                                      {2, "", "", "eleve", "Œuvre", "", "", ""},
                                      {3, "", "", "chat", "oeuvre", "", "", ""}});
        {
            Consultation consultation(kit.path());
            auto* ignore = consultation.child<QAction>("sansaccents");
            QVERIFY(ignore->isCheckable());
            QVERIFY(!ignore->isChecked());
            QCOMPARE(ignore->text(), QStringLiteral("&Ignorer les accents"));
            QCOMPARE(ignore->parent()->objectName(), QStringLiteral("Affichage"));
            consultation.search(QStringLiteral("ÉLÈVE"));
            QCOMPARE(consultation.column(0), QStringList{"1"});
            ignore->trigger();
            consultation.search(QStringLiteral("ÉLÈVE"));
            QCOMPARE(consultation.column(0), (QStringList{"1", "2"}));
            consultation.search(QStringLiteral("oeuvre"), true);
            QCOMPARE(consultation.column(0), (QStringList{"2", "3"}));
        }
        Consultation reopened(kit.path());
        QVERIFY(!reopened.child<QAction>("sansaccents")->isChecked());
        reopened.search(QStringLiteral("oeuvre"), true);
        QCOMPARE(reopened.column(0), QStringList{"3"});
    }

    void aRowShowsTheCardsEntries() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(QStringLiteral("chien"));
        const FlexGrid& grid = consultation.grid();
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("chien"));
        QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("dog CHAT"));
        QCOMPARE(grid.TextMatrix(1, 3), QStringLiteral("Hugo"));
        QCOMPARE(consultation.window->Grille01()->model().cell(1, 0).foreground, QColor(0, 0, 192));
        QCOMPARE(consultation.window->Grille01()->model().cell(1, 0).alignment, 3);
    }

    void theFullListShowsEverySlotInItsRow() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), {{7, "", "", "sept", "", "", "", ""},
                                      {2, "", "", "deux", "", "", "", ""},
                                      {-3, "", "", "moins", "", "", "", ""}});
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        QCOMPARE(consultation.column(0), (QStringList{"7", "2", "-3"}));
        QCOMPARE(consultation.column(1), (QStringList{"sept", "deux", "moins"}));
    }

    // A file read in several pieces lists its cards as a small one does: in
    // slot order, with the record buffer left on the last slot.
    void aLargeFileListsItsCardsInSlotOrder() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 1000);
        Consultation consultation(kit.path());
        consultation.search(QStringLiteral("SOURCE 99"));
        QStringList found{"99"};
        for (int n = 990; n <= 999; ++n) found.append(QString::number(n));
        QCOMPARE(consultation.column(0), found);
        QCOMPARE(Module1::recordBuffer().numero, 1000);

        consultation.window->Liste_complete_Click();
        QStringList all;
        for (int n = 1; n <= 1000; ++n) all.append(QString::number(n));
        QCOMPARE(consultation.column(0), all);
        QCOMPARE(consultation.grid().TextMatrix(1000, 3), QStringLiteral("ref 1000"));
    }

    void aPathThatNamesNoFileGivesTheHeaderOnly() {
        WindowTestKit kit;
        Consultation consultation(kit.path(QStringLiteral("absent.dat")));
        consultation.search(QString());
        QCOMPARE(consultation.grid().Rows(), 1);
        QVERIFY(QFile::exists(kit.path(QStringLiteral("absent.dat"))));
        int opened = 0;
        kit.onModal = [&](QWidget*) { ++opened; };
        consultation.window->Grille01_DblClick();
        QCOMPARE(opened, 0);
    }

    void anEmptyPathIsAskedForWithTheOpenDialog() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        kit.answers = {std::nullopt, kit.path()};
        Consultation consultation{QString()};
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(kit.dialogs[0].kind, CommonDialog::Kind::open);
        QCOMPARE(consultation.menu.path, QString());
        consultation.search(QStringLiteral("chat"));
        QCOMPARE(kit.dialogs.size(), 2);
        QCOMPARE(consultation.menu.path, kit.path());
        QCOMPARE(consultation.column(0), (QStringList{"1", "2", "4"}));
        consultation.window->Liste_complete_Click();
        QCOMPARE(kit.dialogs.size(), 2);
    }

    void aCancelledOpenDialogChangesNothing() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation{QString()};
        consultation.search(QStringLiteral("chat"));
        QCOMPARE(consultation.grid().Rows(), 1);
        QVERIFY(kit.messages.isEmpty());
    }

    void aFileThatCannotBeOpenedLeavesTheGridAsItWas() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(QStringLiteral("chat"));
        QVERIFY(kit.waitForTheFileWords());
        QVERIFY(QFile::remove(kit.path()));
        QVERIFY(QDir().mkdir(kit.path()));
        consultation.search(QString());
        QCOMPARE(kit.errors().size(), 1);
        QCOMPARE(consultation.column(0), (QStringList{"1", "2", "4"}));
    }

    // --- sorting

    void sortsFollowTheCurrentColumn() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(QString());
        consultation.click("triref");
        QCOMPARE(consultation.column(3), (QStringList{"Balzac", "Balzac", "Éluard", "Hugo", "Zola"}));
        QCOMPARE(consultation.column(0), (QStringList{"2", "4", "5", "3", "1"}));
        consultation.click("tridictionnaire");
        QCOMPARE(consultation.column(1), (QStringList{"abc", "achats", "CHAT", "Chat noir", "chien"}));
        consultation.click("tridictionnairecible");
        QCOMPARE(consultation.column(2), (QStringList{"alpha", "black cat", "cat", "dog CHAT", "purchases"}));
        QCOMPARE(consultation.grid().Rows(), 6);
    }

    void afterACardWasOpenedReferencesSortsByNumber() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(QString());
        consultation.click("triref");
        consultation.grid().setRow(2);
        consultation.grid().setCol(2);
        kit.onModal = [](QWidget*) {};
        consultation.window->Grille01_DblClick();
        QCOMPARE(consultation.grid().Col(), 0);
        consultation.click("triref");
        QCOMPARE(consultation.column(0), (QStringList{"1", "2", "3", "4", "5"}));

        consultation.grid().setRow(1);
        consultation.grid().setCol(3);
        consultation.click("triref");
        QCOMPARE(consultation.column(3), (QStringList{"Balzac", "Balzac", "Éluard", "Hugo", "Zola"}));
    }

    // --- opening a card

    void theCardWindowOpensOnTheDoubleClickedRowWithTheHourglass() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(QStringLiteral("chat"));
        consultation.grid().setRow(2);
        consultation.grid().setCol(1);
        QString shown;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        kit.onModal = [&](QWidget* window) {
            QCOMPARE(window->objectName(), QStringLiteral("frm_fiche"));
            shown = window->findChild<QPlainTextEdit*>(QStringLiteral("txtexpression"))->toPlainText();
            cursor = consultation.window->cursor().shape();
        };
        consultation.window->Grille01_DblClick();
        QCOMPARE(shown, QStringLiteral("deux"));
        QCOMPARE(cursor, Qt::WaitCursor);
        QCOMPARE(consultation.window->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(consultation.grid().Row(), 2);
        QCOMPARE(consultation.grid().Col(), 0);
    }

    void aRowWithoutACardNumberOpensNothing() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(QStringLiteral("chat"));
        consultation.grid().setRow(2);
        consultation.grid().setCol(0);
        consultation.grid().setText(QStringLiteral("n/a"));
        consultation.grid().setCol(2);
        int opened = 0;
        kit.onModal = [&](QWidget*) { ++opened; };
        consultation.window->Grille01_DblClick();
        QCOMPARE(opened, 0);
        QCOMPARE(kit.errors().size(), 1);
        QCOMPARE(consultation.grid().Col(), 2);
    }

    // --- resizing

    void theGridFollowsTheWindowsSize() {
        WindowTestKit kit;
        Consultation consultation(kit.path());
        consultation.window->show();
        consultation.window->resize(1000, 800);
        QCoreApplication::processEvents();
        const QRect grid = consultation.grid().geometry();
        const int client = consultation.window->centralWidget()->width();
        QVERIFY(qAbs(client - grid.right() - 1 - twips::toPixels(120)) <= 1);
        const int bottom = consultation.window->centralWidget()->height();
        QVERIFY(qAbs(bottom - grid.bottom() - 1 - twips::toPixels(210)) <= 1);
    }

    // --- closing

    void theCloseBoxShowsTheMainWindow() {
        WindowTestKit kit;
        FakeMainWindow menu;
        menu.path = kit.path();
        auto* window = new Frm_consultation(menu);
        window->Form_Load();
        window->show();
        QVERIFY(window->close());
        QCOMPARE(menu.timesShown, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(TestFrmConsultation)
#include "tst_frm_consultation.moc"
