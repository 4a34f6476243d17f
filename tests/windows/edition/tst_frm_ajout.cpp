#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "store/fiche_record.h"
#include "support/card_files.h"
#include "support/card_form_controls.h"
#include "support/window_test_kit.h"
#include "windows/common/twips.h"
#include "windows/edition/frm_ajout.h"

using Module1::Field;

namespace {

struct Edition : CardFormControls {
    FakeMainWindow menu;
    Frm_ajout* window;

    explicit Edition(const QString& path) : window(new Frm_ajout(menu)) {
        form = window;
        menu.path = path;
    }
    ~Edition() { delete window; }
};

}  // namespace

class TestFrmAjout : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }

    // --- proposing, saving and browsing

    void anEmptyFileProposesCardOne() {
        WindowTestKit kit;
        Edition edition(kit.path());
        QVERIFY(edition.window->Form_Load());
        QCOMPARE(edition.numero(), QStringLiteral("1"));
        QVERIFY(!edition.canGoBack());
        QVERIFY(!edition.canGoOn());

        edition.type("txtexpression", QStringLiteral("chat"));
        edition.click("Enregistrer");
        QCOMPARE(cardfiles::contents(kit.path()).size(), 2799);
        QCOMPARE(cardfiles::fieldOf(kit.path(), 1, Field::expression), QStringLiteral("chat"));
        QCOMPARE(kit.messages.size(), 1);
        QCOMPARE(kit.messages[0].kind, Alert::Kind::information);
        QCOMPARE(kit.messages[0].title, QStringLiteral("Lexicarium"));
        QCOMPARE(kit.messages[0].text, QStringLiteral("L'enregistrement est terminé."));
    }

    void browsingAFiveCardFile() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 5);
        Edition edition(kit.path());
        QVERIFY(edition.window->Form_Load());
        QCOMPARE(edition.numero(), QStringLiteral("6"));
        QVERIFY(edition.canGoBack());
        QVERIFY(!edition.canGoOn());

        edition.click("precedent");
        QCOMPARE(edition.numero(), QStringLiteral("5"));
        QCOMPARE(edition.box("txtexpression"), QStringLiteral("fiche 5"));
        QCOMPARE(edition.box("txtreference"), QStringLiteral("ref 5"));
        QVERIFY(!edition.canGoOn());
        edition.click("precedent");
        QCOMPARE(edition.numero(), QStringLiteral("4"));
        QVERIFY(edition.canGoOn());
        edition.click("suivant");
        QCOMPARE(edition.numero(), QStringLiteral("5"));
        QVERIFY(!edition.canGoOn());

        for (int i = 0; i < 4; ++i) edition.click("precedent");
        QCOMPARE(edition.numero(), QStringLiteral("1"));
        QVERIFY(!edition.canGoBack());
        edition.click("new");
        QCOMPARE(edition.numero(), QStringLiteral("6"));
        QVERIFY(edition.canGoBack());
        QCOMPARE(edition.box("txtexpression"), QString());
        QVERIFY(kit.messages.isEmpty());
    }

    void aCardSavedAfterTheCountIsReachedOnlyAfterNouveau() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 5);
        Edition edition(kit.path());
        QVERIFY(edition.window->Form_Load());
        edition.type("txtexpression", QStringLiteral("sixième"));
        edition.click("Enregistrer");
        QCOMPARE(edition.window->nbfiches(), 5);
        edition.click("precedent");
        QCOMPARE(edition.numero(), QStringLiteral("5"));
        QVERIFY(!edition.canGoOn());
        edition.click("new");
        QCOMPARE(edition.numero(), QStringLiteral("7"));
    }

    void rewritingCardThreeTouchesOnlyItsSlot() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 5);
        const QByteArray before = cardfiles::contents(kit.path());
        Edition edition(kit.path());
        QVERIFY(edition.window->Form_Load());
        for (int i = 0; i < 3; ++i) edition.click("precedent");
        QCOMPARE(edition.numero(), QStringLiteral("3"));
        edition.type("txttraduction", QStringLiteral("corrigée"));
        edition.window->mnu_Enregistrer_Click();
        const QByteArray after = cardfiles::contents(kit.path());
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.left(2 * 2799), before.left(2 * 2799));
        QCOMPARE(after.mid(3 * 2799), before.mid(3 * 2799));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 3, Field::traduction), QStringLiteral("corrigée"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 3, Field::expression), QStringLiteral("fiche 3"));
    }

    void browsingDiscardsTypedText() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        Edition edition(kit.path());
        QVERIFY(edition.window->Form_Load());
        edition.click("precedent");
        edition.type("txtexpression", QStringLiteral("jamais enregistré"));
        edition.click("precedent");
        edition.click("suivant");
        QCOMPARE(edition.box("txtexpression"), QStringLiteral("fiche 3"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 3, Field::expression), QStringLiteral("fiche 3"));
    }

    void textIsCutAtItsWidthAndLinesComeBack() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 1);
        Edition edition(kit.path());
        QVERIFY(edition.window->Form_Load());
        edition.type("txtexpression", QString(300, u'e'));
        edition.type("txttraduction", QStringLiteral("fin   "));
        edition.type("txtcontexte", QStringLiteral("première ligne\nseconde ligne"));
        kit.questionAnswers = {true};  // saved all the same, once told
        edition.click("Enregistrer");
        QCOMPARE(cardfiles::slot(kit.path(), 2).mid(1789, 31), QByteArray("premi\xE8re ligne\r\nseconde ligne  "));
        edition.click("new");
        edition.click("precedent");
        QCOMPARE(edition.box("txtexpression"), QString(255, u'e'));
        QCOMPARE(edition.box("txttraduction"), QStringLiteral("fin"));
        QCOMPARE(edition.box("txtcontexte"), QStringLiteral("première ligne\nseconde ligne"));
    }

    // --- the data-file path

    void anEmptyPathIsAskedForWithTheSaveDialogOnce() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(QStringLiteral("choisi.dat")), 2);
        kit.answers = {kit.path(QStringLiteral("choisi.dat"))};
        Edition edition{QString()};
        QVERIFY(edition.window->Form_Load());
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(kit.dialogs[0].kind, CommonDialog::Kind::save);
        QVERIFY(kit.dialogs[0].filter.startsWith(QStringLiteral("Fichiers de données (*.DAT")));
        QCOMPARE(edition.menu.path, kit.path(QStringLiteral("choisi.dat")));
        QCOMPARE(edition.numero(), QStringLiteral("3"));
        edition.click("new");
        edition.click("precedent");
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(cardfiles::contents(kit.path(QStringLiteral("choisi.dat"))).size(), 2 * 2799);
    }

    void aNewFileTypedInTheSaveDialogIsCreatedEmpty() {
        WindowTestKit kit;
        kit.answers = {kit.path(QStringLiteral("neuf.dat"))};
        Edition edition{QString()};
        QVERIFY(edition.window->Form_Load());
        QCOMPARE(edition.numero(), QStringLiteral("1"));
        QVERIFY(QFile::exists(kit.path(QStringLiteral("neuf.dat"))));
    }

    void cancellingTheSaveDialogKeepsTheWindowClosed() {
        WindowTestKit kit;
        Edition edition{QString()};
        QVERIFY(!edition.window->Form_Load());
        QCOMPARE(edition.menu.path, QString());
        QCOMPARE(kit.errors().size(), 1);
        QVERIFY(kit.errors()[0].contains(QStringLiteral("Aucun fichier")));
    }

    void aFileThatCannotBeOpenedIsReported() {
        WindowTestKit kit;
        Edition edition(kit.folder());
        QVERIFY(!edition.window->Form_Load());
        QCOMPARE(kit.errors().size(), 1);
        QVERIFY(kit.errors()[0].contains(QStringLiteral("dossier")));
    }

    // --- refused numbers change nothing

    void refusedNumbersChangeNothing_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters at saving") << "douze" << "Enregistrer" << "n'est pas un numéro";
        QTest::newRow("empty at saving") << "" << "Enregistrer" << "n'est pas un numéro";
        QTest::newRow("zero at saving") << "0" << "Enregistrer" << "de 1 à 32767";
        QTest::newRow("32768 at saving") << "32768" << "Enregistrer" << "de 1 à 32767";
        QTest::newRow("-1 at saving") << "-1" << "Enregistrer" << "de 1 à 32767";
        QTest::newRow("1e10 at saving") << "1e10" << "Enregistrer" << "de 1 à 32767";
        QTest::newRow("letters browsing") << "abc" << "precedent" << "n'est pas un numéro";
        QTest::newRow("below one browsing") << "1" << "precedent" << "avant la fiche";
    }
    void refusedNumbersChangeNothing() {
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, message);
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        const QByteArray before = cardfiles::contents(kit.path());
        Edition edition(kit.path());
        QVERIFY(edition.window->Form_Load());
        edition.click("precedent");
        edition.type("txtexpression", QStringLiteral("en cours"));
        edition.child<QLineEdit>("txtnumero")->setText(typed);
        const bool back = edition.canGoBack();
        const bool on = edition.canGoOn();
        edition.click(qPrintable(button));
        QCOMPARE(kit.errors().size(), 1);
        QVERIFY2(kit.errors()[0].contains(message), qPrintable(kit.errors()[0]));
        QCOMPARE(cardfiles::contents(kit.path()), before);
        QCOMPARE(edition.numero(), typed);
        QCOMPARE(edition.box("txtexpression"), QStringLiteral("en cours"));
        QCOMPARE(edition.canGoBack(), back);
        QCOMPARE(edition.canGoOn(), on);
    }

    void aTypedNumberIsRoundedHalfToEven() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        Edition edition(kit.path());
        QVERIFY(edition.window->Form_Load());
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        edition.child<QLineEdit>("txtnumero")->setText(QStringLiteral("2,5"));
        edition.type("txtexpression", QStringLiteral("deux"));
        kit.questionAnswers = {true};  // over card 2's fields, never shown
        edition.click("Enregistrer");
        QLocale::setDefault(QLocale::c());
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Field::expression), QStringLiteral("deux"));
        QCOMPARE(cardfiles::slot(kit.path(), 2).left(2), QByteArray("\x02\x00", 2));
    }

    // --- resizing

    void theContextBoxFollowsTheWindowsSize() {
        WindowTestKit kit;
        Edition edition(kit.path());
        QVERIFY(edition.window->Form_Load());
        edition.window->show();
        auto* context = edition.child<QPlainTextEdit>("txtcontexte");
        auto* statusBar = edition.child<QWidget>("StatusBar1");
        const auto checkGaps = [&] {
            const QPoint boxEnd = context->mapTo(edition.window, QPoint(context->width(), context->height()));
            QVERIFY(qAbs(edition.window->width() - boxEnd.x() - twips::toPixels(90)) <= 1);
            QVERIFY(qAbs(statusBar->geometry().top() - boxEnd.y() - twips::toPixels(100)) <= 1);
        };
        edition.window->resize(900, 700);
        QCoreApplication::processEvents();
        checkGaps();
        const QSize before = context->size();
        edition.window->resize(60, 60);
        QCoreApplication::processEvents();
        QCOMPARE(context->height(), before.height());  // refused: the height would be negative
        edition.window->resize(800, 650);
        QCoreApplication::processEvents();
        checkGaps();
        QVERIFY(kit.messages.isEmpty());
        QCOMPARE(context->pos(), twips::toPixels(1560, 4800, 0, 0).topLeft());
    }

    // --- closing

    void closingShowsTheMainWindowAgain() {
        WindowTestKit kit;
        FakeMainWindow menu;
        menu.path = kit.path();
        auto* window = new Frm_ajout(menu);
        QVERIFY(window->Form_Load());
        window->show();
        window->Fermer_Click();
        QCOMPARE(menu.timesShown, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        auto* other = new Frm_ajout(menu);
        QVERIFY(other->Form_Load());
        other->show();
        QVERIFY(other->close());
        QCOMPARE(menu.timesShown, 2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(TestFrmAjout)
#include "tst_frm_ajout.moc"
