#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/card_files.h"
#include "support/window_test_kit.h"
#include "windows/card/frm_fiche.h"
#include "windows/consultation/frm_consultation.h"
#include "windows/controls/flex_grid.h"
#include "windows/edition/frm_ajout.h"

// Every message box comes up under the default pointer: whatever an action
// was doing under the hourglass is over by then. The failures are real: the
// data file becomes a folder between two actions.
namespace {

void replaceByAFolder(const WindowTestKit& kit) {
    QVERIFY(kit.waitForTheFileWords());
    QVERIFY(QFile::remove(kit.path()));
    QVERIFY(QDir().mkpath(kit.path()));
}

void click(QWidget* window, const char* name) {
    QTest::mouseClick(window->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

}  // namespace

class TestBusyPointer : public QObject {
    Q_OBJECT
private slots:
    void editionMessagesComeWithoutTheHourglass_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("<<") << "precedent";
        QTest::newRow("Nouveau") << "new";
        QTest::newRow("Enregistrer") << "Enregistrer";
    }
    void editionMessagesComeWithoutTheHourglass() {
        QFETCH(QString, button);
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        FakeMainWindow menu;
        menu.path = kit.path();
        Frm_ajout window(menu);
        QVERIFY(window.Form_Load());
        replaceByAFolder(kit);
        click(&window, qPrintable(button));
        QCOMPARE(kit.errors().size(), 1);
        QCOMPARE(kit.busyWindows, QList<QStringList>{{}});
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    }

    void noFileChosenIsSaidWithoutTheHourglass() {
        WindowTestKit kit;
        FakeMainWindow menu;
        Frm_ajout window(menu);
        QVERIFY(!window.Form_Load());  // the Save dialog is cancelled
        QCOMPARE(kit.errors().size(), 1);
        QCOMPARE(kit.busyWindows, QList<QStringList>{{}});
    }

    void aSavedCardIsConfirmedWithoutTheHourglass() {
        WindowTestKit kit;
        FakeMainWindow menu;
        menu.path = kit.path();
        Frm_ajout window(menu);
        QVERIFY(window.Form_Load());
        click(&window, "Enregistrer");
        QCOMPARE(kit.messageTexts(), QStringList{"L'enregistrement est terminé."});
        QCOMPARE(kit.busyWindows, QList<QStringList>{{}});
    }

    // A recovery file that no longer belongs to the data file is kept aside;
    // the user is told once the action is over.
    void aRecoveryFileKeptAsideIsToldAfterTheAction() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        const QByteArray before = cardfiles::contents(kit.path());
        cardfiles::writeFirstVersionRecoveryFile(kit.path());
        FakeMainWindow menu;
        menu.path = kit.path();
        Frm_ajout window(menu);
        QVERIFY(window.Form_Load());
        QVERIFY(kit.messages.isEmpty());
        QTRY_COMPARE(kit.messages.size(), 1);
        QVERIFY(kit.messages[0].text.contains(QStringLiteral("mis de côté")));
        QCOMPARE(kit.busyWindows, QList<QStringList>{{}});
        QCOMPARE(cardfiles::contents(kit.path()), before);
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("txtnumero"))->text(), QStringLiteral("4"));
    }

    void consultationMessagesComeWithoutTheHourglass_data() {
        QTest::addColumn<bool>("openCard");
        QTest::newRow("search") << false;
        QTest::newRow("double click") << true;
    }
    void consultationMessagesComeWithoutTheHourglass() {
        QFETCH(bool, openCard);
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        FakeMainWindow menu;
        menu.path = kit.path();
        Frm_consultation window(menu);
        window.Form_Load();
        window.Liste_complete_Click();
        window.Grille01()->setRow(2);
        replaceByAFolder(kit);
        if (openCard) {
            window.Grille01_DblClick();
        } else {
            click(&window, "Command1");
        }
        QCOMPARE(kit.errors().size(), 1);
        QCOMPARE(kit.busyWindows, QList<QStringList>{{}});
        QCOMPARE(window.Grille01()->Rows(), 4);
    }

    // The Consultation window keeps its hourglass while a card is open over
    // it; the Card window's own messages come under the default pointer.
    void cardMessagesComeWithoutTheCardsHourglass() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        FakeMainWindow menu;
        menu.path = kit.path();
        Frm_consultation window(menu);
        window.Form_Load();
        window.Liste_complete_Click();
        window.Grille01()->setRow(1);
        kit.onModal = [&](QWidget* card) {
            static_cast<frm_fiche*>(card)->Enregistrer_Click();
            replaceByAFolder(kit);
            click(card, "suivant");
        };
        window.Grille01_DblClick();
        QCOMPARE(kit.messages.size(), 2);
        QCOMPARE(kit.busyWindows, (QList<QStringList>{{"Frm_consultation"}, {"Frm_consultation"}}));
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestBusyPointer)
#include "tst_busy_pointer.moc"
