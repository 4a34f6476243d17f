#include <QApplication>
#include <QAction>
#include <QClipboard>
#include <QPointer>
#include <QCursor>
#include <QScreen>
#include <QDialog>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTextBrowser>
#include <QTreeView>

#include "forms/dictionaries.h"
#include "support/card_files.h"
#include "support/window_test_kit.h"
#include "windows/card/frm_fiche.h"
#include "windows/consultation/frm_consultation.h"
#include "windows/controls/flex_grid.h"
#include "windows/edition/frm_ajout.h"
#include "windows/lookup/frm_recherche_rapide.h"
#include "windows/lookup/quick_lookup_service.h"
#include "windows/lookup/shortcut_dialog.h"
#include "windows/main/menu.h"

namespace {

// The desktop as a test sets it: the selection another program holds, the
// shortcuts it lets be taken.
class FakeDesktop : public DesktopLink {
public:
    QString selection;
    QList<QKeySequence> heldByOthers;
    QKeySequence held;
    int focusTaken = 0;
    int focusGivenBack = 0;
    bool lookUpInFront = true;  // the user has not gone to another window

    QString grab(const QKeySequence& shortcut) override {
        if (heldByOthers.contains(shortcut)) return desktoplink::takenMessage(shortcut);
        held = shortcut;
        return {};
    }
    void release() override { held = {}; }
    QString selectedText() override { return selection; }
    void rememberFocus() override { ++focusTaken; }
    void giveFocusBack() override { ++focusGivenBack; }
    bool isInFront(const QWidget&) const override { return lookUpInFront; }
};

struct Session {
    WindowTestKit kit;
    FakeDesktop* desktop = new FakeDesktop;
    Menu menu{kit.path()};
    QuickLookupService lookup{menu, std::unique_ptr<DesktopLink>(desktop), LookupSettings(kit.path("lexicarium.ini"))};

    Session() {
        cardfiles::write(kit.path(), {{1, "matou", "tomcat", "", "", "", "", "un chat passe"},
                                      {2, "chat", "cat", "chat n. m.", "", "Larousse", "", ""},
                                      {3, "chaton", "kitten", "", "", "", "", ""}});
        menu.setQuickLookup(&lookup);
        lookup.start();
    }
    // The working windows a look-up opened go with it.
    ~Session() {
        QList<QPointer<QWidget>> opened;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->inherits("Frm_consultation") || window->inherits("Frm_ajout")) opened.append(window);
        }
        for (const QPointer<QWidget>& window : opened) delete window.data();
    }
    Frm_recherche_rapide& window() { return *lookup.window(); }
    template <typename T>
    T* find(const char* name) { return window().findChild<T*>(QLatin1String(name)); }
    void press(const QString& selected) {
        desktop->selection = selected;
        emit desktop->shortcutPressed();
    }
};

}  // namespace

class TestQuickLookupWindow : public QObject {
    Q_OBJECT
private slots:
    // From the shortcut to the key that ends the look-up, as a user goes.
    void theKeysEndTheLookUpAsTheySay_data() {
        QTest::addColumn<QString>("keys");  // typed in the window, in turn
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("windowStays");
        QTest::addColumn<int>("focusGivenBack");
        QTest::addColumn<QString>("openWindow");
        QTest::newRow("Enter copies the best card's translation") << "Return" << "cat" << false << 1 << "";
        QTest::newRow("the arrows choose another") << "Down Down Return" << "tomcat" << false << 1 << "";
        QTest::newRow("Escape leaves the clipboard") << "Escape" << "avant" << false << 1 << "";
        QTest::newRow("Ctrl+Enter opens the card") << "Ctrl+Return" << "avant" << false << 0 << "frm_fiche";
    }
    void theKeysEndTheLookUpAsTheySay() {
        QFETCH(QString, keys);
        QFETCH(QString, clipboard);
        QFETCH(bool, windowStays);
        QFETCH(int, focusGivenBack);
        QFETCH(QString, openWindow);
        Session session;
        QStringList opened;
        session.kit.onModal = [&opened](QWidget* window) { opened << window->objectName(); };
        QGuiApplication::clipboard()->setText(QStringLiteral("avant"));
        session.press(QStringLiteral(" Chat\n"));
        QCOMPARE(session.find<QLineEdit>("texte")->text(), QStringLiteral("Chat"));
        QCOMPARE(session.find<QLabel>("compte")->text(), QStringLiteral("3 fiches"));
        QVERIFY(session.find<QTextBrowser>("detail")->toHtml().contains(QStringLiteral("Larousse")));
        for (const QString& key : keys.split(u' ')) {
            const QKeySequence sequence(key);
            QTest::keyClick(session.find<QLineEdit>("texte"), sequence[0].key(), sequence[0].keyboardModifiers());
        }
        QTRY_COMPARE(opened, openWindow.isEmpty() ? QStringList() : QStringList{openWindow});
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QCOMPARE(session.window().isVisible(), windowStays);
        QCOMPARE(session.desktop->focusTaken, 1);
        QCOMPARE(session.desktop->focusGivenBack, focusGivenBack);
    }

    // Each look-up opens beside the pointer where it is now, and leaves
    // once the user has gone back to another window.
    void theWindowFollowsTheUser() {
        Session session;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // Below and right of the pointer, or above and left of it where there is no room.
        for (const QPoint pointer : {screen.topLeft() + QPoint(60, 40), screen.bottomRight() - QPoint(100, 100)}) {
            QCursor::setPos(pointer);
            session.press(QStringLiteral("chat"));
            const QRect frame = session.window().frameGeometry();
            QVERIFY2(frame.adjusted(-40, -40, 40, 40).contains(pointer) && !frame.contains(pointer),
                     qPrintable(QStringLiteral("%1,%2 %3x%4 for %5,%6")
                                    .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                                    .arg(pointer.x()).arg(pointer.y())));
            QTest::keyClick(session.find<QLineEdit>("texte"), Qt::Key_Escape);
        }
        QCOMPARE(session.desktop->focusGivenBack, 2);

        session.press(QStringLiteral("chat"));
        QTest::qWait(500);  // in front a moment, as the desktop puts it there
        QVERIFY(session.window().isVisible());
        session.desktop->lookUpInFront = false;
        QTRY_VERIFY(!session.window().isVisible());
        QCOMPARE(session.desktop->focusGivenBack, 2);  // the user is where they went
    }

    // Both ways: a word of a translation looked up copies the expression,
    // and the window says so; another form of a word finds its card,
    // labelled; a word spelt near, where nothing else does.
    void theLookUpFindsEveryFormBothWays_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("dictionaries");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("copied");
        QTest::newRow("a translation copies the expression") << "kitten" << false << "" << "l'expression" << "chaton";
        QTest::newRow("another form of the expression") << "chatons" << true << "forme de chatons" << "la traduction"
                                                        << "kitten";
        QTest::newRow("another form of the translation") << "tomcats" << true << "forme de tomcats" << "l'expression"
                                                         << "matou";
        QTest::newRow("a near spelling") << "matuo" << false << "orthographe proche de matuo" << "la traduction" << "tomcat";
    }
    void theLookUpFindsEveryFormBothWays() {
        QFETCH(QString, selected);
        QFETCH(bool, dictionaries);
        QFETCH(QString, label);
        QFETCH(QString, keys);
        QFETCH(QString, copied);
        if (dictionaries && dictionaries::languages().size() < 2) QSKIP("no French and English dictionaries (hunspell-fr, hunspell-en-us)");
        Session session;
        qputenv("XDG_DATA_HOME", session.kit.folder().toUtf8());
        if (dictionaries) {
            QVERIFY(session.kit.waitForTheFileWords());
        }
        session.press(selected);
        auto* rows = session.find<QTreeView>("fiches");
        QCOMPARE(rows->model()->index(0, 3).data().toString(), label);
        QVERIFY2(session.find<QLabel>("touches")->text().contains(QStringLiteral("copier %1").arg(keys)),
                 qPrintable(session.find<QLabel>("touches")->text()));
        QTest::keyClick(session.find<QLineEdit>("texte"), Qt::Key_Return);
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    }

    // A card can be opened, or a new one begun, only where no working window is in the way.
    void openingWaitsForTheWorkingWindowToClose() {
        Session session;
        session.menu.Ajout_Click();
        session.press(QStringLiteral("chat"));
        QTest::keyClick(session.find<QLineEdit>("texte"), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(session.kit.messageTexts(), QStringList{"La fenêtre «\u00A0Edition\u00A0» est ouverte\u00A0: fermez-la d'abord."});
        QVERIFY(session.window().isVisible());
        shownWindow("Frm_ajout")->close();

        session.press(QStringLiteral("ornithorynque"));
        QCOMPARE(session.find<QLabel>("compte")->text(), QStringLiteral("Aucune fiche ne contient «\u00A0ornithorynque\u00A0»"));
        QTest::keyClick(session.find<QLineEdit>("texte"), Qt::Key_Return);
        QVERIFY(session.window().isVisible());
        session.find<QPushButton>("nouvelle")->click();
        auto* edition = static_cast<Frm_ajout*>(shownWindow("Frm_ajout"));
        QVERIFY(edition);
        QCOMPARE(edition->findChild<QPlainTextEdit*>("txtexpression")->toPlainText(), QStringLiteral("ornithorynque"));
        edition->close();
    }

    // The text under the cursor of one of the program's own boxes is looked up, not the selection elsewhere.
    void aBoxOfTheProgramGivesItsWordUnderTheCursor() {
        Session session;
        session.menu.Consultation_Click();
        auto* text1 = shownWindow("Frm_consultation")->findChild<QLineEdit*>("Text1");
        QApplication::setActiveWindow(text1->window());
        text1->setFocus();
        text1->setText(QStringLiteral("un chaton noir"));
        text1->setCursorPosition(5);
        session.press(QStringLiteral("ailleurs"));
        QCOMPARE(session.find<QLineEdit>("texte")->text(), QStringLiteral("chaton"));
        // Pressed again over the window, or held down: it stays as it is.
        QApplication::setActiveWindow(&session.window());
        session.press(QStringLiteral("ailleurs"));
        QCOMPARE(session.find<QLineEdit>("texte")->text(), QStringLiteral("chaton"));
        QCOMPARE(session.find<QLabel>("compte")->text(), QStringLiteral("1 fiche"));
        text1->window()->close();
    }

    // The shortcut's editor records the keys pressed, but Escape alone and
    // Alt+A leave the dialog as in any other.
    void theShortcutDialogLeavesAsAnyDialog_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("left");
        QTest::addColumn<QString>("recorded");
        QTest::newRow("Escape") << "Esc" << true << "";
        QTest::newRow("Alt+A for Annuler") << "Alt+A" << true << "";
        QTest::newRow("Escape with a modifier is recorded") << "Ctrl+Esc" << false << "Ctrl+Esc";
        QTest::newRow("a shortcut") << "Ctrl+Alt+L" << false << "Ctrl+Alt+L";
    }
    void theShortcutDialogLeavesAsAnyDialog() {
        QFETCH(QString, keys);
        QFETCH(bool, left);
        QFETCH(QString, recorded);
        ShortcutDialog dialog(nullptr, QKeySequence(QStringLiteral("Ctrl+Alt+F")));
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        auto* sequence = dialog.findChild<QKeySequenceEdit*>("sequence");
        sequence->setFocus();
        sequence->clear();
        const QKeySequence typed(keys);
        QTest::keyClick(QApplication::focusWidget(), typed[0].key(), typed[0].keyboardModifiers());
        QCOMPARE(dialog.result() == QDialog::Rejected && !dialog.isVisible(), left);
        if (!left) QCOMPARE(sequence->keySequence().toString(), recorded);
    }

    // Said once when taken elsewhere; a new one is kept only when it could be taken.
    void theShortcutIsKeptOnlyWhenItCanBeTaken() {
        WindowTestKit kit;
        auto* desktop = new FakeDesktop;
        const QKeySequence usual(QStringLiteral("Ctrl+Alt+F"));
        const QKeySequence other(QStringLiteral("Ctrl+Alt+L"));
        const QKeySequence taken(QStringLiteral("Ctrl+Shift+F1"));
        desktop->heldByOthers = {usual, taken};
        Menu menu(kit.path());
        QuickLookupService lookup(menu, std::unique_ptr<DesktopLink>(desktop), LookupSettings(kit.path("lexicarium.ini")));
        lookup.start();
        QCOMPARE(kit.messageTexts(), QStringList{desktoplink::takenMessage(usual)});
        QVERIFY(kit.messageTexts().front().contains(QStringLiteral("Ctrl+Alt+F")));
        lookup.start();  // the next start of the program: nothing new to say
        QCOMPARE(kit.messageTexts().size(), 1);

        // Chosen from the main window's menu, in its dialog.
        menu.setQuickLookup(&lookup);
        QKeySequence typed;
        kit.onModal = [&typed](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Raccourci de recherche"));
            dialog->findChild<QKeySequenceEdit*>("sequence")->setKeySequence(typed);
            static_cast<QDialog*>(dialog)->accept();
        };
        QAction* raccourci = menu.findChild<QAction*>("raccourci");
        typed = taken;
        raccourci->trigger();
        QCOMPARE(kit.errors(), QStringList{desktoplink::takenMessage(taken)});
        QCOMPARE(lookup.shortcut(), usual);
        typed = other;
        raccourci->trigger();
        QCOMPARE(kit.errors().size(), 1);
        QCOMPARE(desktop->held, other);
        QCOMPARE(LookupSettings(kit.path("lexicarium.ini")).shortcut(), other);
        QCOMPARE(QSettings(kit.path("lexicarium.ini"), QSettings::IniFormat).value("recherche_rapide/raccourci").toString(),
                 QStringLiteral("Ctrl+Alt+L"));
    }
};

QTEST_MAIN(TestQuickLookupWindow)
#include "tst_quick_lookup_window.moc"
