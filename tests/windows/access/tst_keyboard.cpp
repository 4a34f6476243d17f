#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>

#include "every_window.h"
#include "store/fiche_record.h"

namespace {

QWidget* focused() { return QApplication::focusWidget(); }

QString focusedName() { return focused() ? focused()->objectName() : QString(); }

// The letter an access key takes in a caption, lower case; empty without one.
QString accessKey(const QString& caption) {
    const QKeySequence key = QKeySequence::mnemonic(caption);
    return key.isEmpty() ? QString() : key.toString().right(1).toLower();
}

bool hasLetters(const QString& caption) {
    return std::any_of(caption.begin(), caption.end(), [](QChar c) { return c.isLetter(); });
}

// Checks that each caption has one access key and that no two share it;
// gives the faults found.
QStringList accessKeyFaults(const QString& scope, const QStringList& captions) {
    QStringList faults;
    QMap<QString, QString> taken;
    for (const QString& caption : captions) {
        const QString key = accessKey(caption);
        if (key.isEmpty()) {
            faults.append(scope + ": no access key in \"" + caption + "\"");
        } else if (taken.contains(key)) {
            faults.append(scope + ": \"" + caption + "\" and \"" + taken[key] + "\" both take Alt+" + key);
        } else {
            taken.insert(key, caption);
        }
    }
    return faults;
}

// Each menu is a scope of its own, and so is each submenu.
QStringList menuAccessKeyFaults(const QString& scope, const QMenu* menu) {
    QStringList items;
    QStringList faults;
    for (QAction* item : menu->actions()) {
        if (item->isSeparator()) continue;
        items.append(item->text());
        if (item->menu()) faults += menuAccessKeyFaults(scope + " > " + item->text(), item->menu());
    }
    return faults + accessKeyFaults(scope, items);
}

}  // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }

    // --- the result grid

    void tabAndCtrlTabLeaveTheGrid_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("reached");
        QTest::newRow("Tab") << int(Qt::Key_Tab) << Qt::KeyboardModifiers() << "Option1";
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                   << "tridictionnairecible";
        QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << Qt::KeyboardModifiers(Qt::ControlModifier) << "Option1";
        QTest::newRow("Ctrl+Shift+Tab") << int(Qt::Key_Backtab)
                                        << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)
                                        << "tridictionnairecible";
    }
    void tabAndCtrlTabLeaveTheGrid() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, reached);
        WindowTestKit kit;
        EveryWindow windows(kit);
        Consultation& consultation = windows.consultation();
        QVERIFY(EveryWindow::activate(consultation.window));
        consultation.window->Liste_complete_Click();
        consultation.grid().setRow(2);
        QApplication::processEvents();
        consultation.grid().setFocus(Qt::TabFocusReason);
        QTest::keyClick(focused(), Qt::Key(key), modifiers);
        QCOMPARE(focusedName(), reached);
    }

    void arrowsHomeEndAndPagesMoveWithinTheGrid_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("Down") << int(Qt::Key_Down) << 3 << 2;
        QTest::newRow("Up") << int(Qt::Key_Up) << 1 << 2;
        QTest::newRow("Right") << int(Qt::Key_Right) << 2 << 3;
        QTest::newRow("Left") << int(Qt::Key_Left) << 2 << 1;
        QTest::newRow("Home") << int(Qt::Key_Home) << 1 << 2;
        QTest::newRow("End") << int(Qt::Key_End) << 3 << 2;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 3 << 2;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 1 << 2;
    }
    void arrowsHomeEndAndPagesMoveWithinTheGrid() {
        QFETCH(int, key);
        QFETCH(int, row);
        QFETCH(int, col);
        WindowTestKit kit;
        EveryWindow windows(kit);
        Consultation& consultation = windows.consultation();
        QVERIFY(EveryWindow::activate(consultation.window));
        consultation.window->Liste_complete_Click();
        FlexGrid& grid = consultation.grid();
        grid.setFocus(Qt::TabFocusReason);
        grid.setRow(2);
        grid.setCol(2);
        QTest::keyClick(&grid, Qt::Key(key));
        QCOMPARE(focused(), &grid);
        QCOMPARE(grid.Row(), row);
        QCOMPARE(grid.Col(), col);
    }

    void enterOnARowOpensItsCard_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
    }
    void enterOnARowOpensItsCard() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        WindowTestKit kit;
        EveryWindow windows(kit);
        Consultation& consultation = windows.consultation();
        QVERIFY(EveryWindow::activate(consultation.window));
        consultation.window->Liste_complete_Click();
        QStringList opened;
        kit.onModal = [&](QWidget* window) {
            opened.append(window->objectName() + " " + window->findChild<QLineEdit*>("txtnumero")->text());
        };
        consultation.grid().setFocus(Qt::TabFocusReason);
        QTest::keyClick(&consultation.grid(), Qt::Key_Up);
        QTest::keyClick(&consultation.grid(), Qt::Key(key), modifiers);
        QCOMPARE(opened, QStringList{"frm_fiche 2"});
    }

    void enterOnAnEmptyGridOpensNothing() {
        WindowTestKit kit;
        EveryWindow windows(kit);
        Consultation& consultation = windows.consultation();
        consultation.search(QStringLiteral("zèbre"));
        QCOMPARE(consultation.grid().Rows(), 1);
        int opened = 0;
        kit.onModal = [&](QWidget*) { ++opened; };
        QTest::keyClick(&consultation.grid(), Qt::Key_Return);
        QCOMPARE(opened, 0);
        QVERIFY(kit.messages.isEmpty());
    }

    // --- Enter

    void enterInTheSearchBoxSearches_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void enterInTheSearchBoxSearches() {
        QFETCH(int, key);
        WindowTestKit kit;
        EveryWindow windows(kit);
        Consultation& consultation = windows.consultation();
        auto* text1 = consultation.child<QLineEdit>("Text1");
        QTest::keyClicks(text1, QStringLiteral("che"));
        QTest::keyClick(text1, Qt::Key(key));
        QCOMPARE(consultation.column(0), QStringList{"3"});
    }

    void enterPressesTheFocusedButton_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::newRow("Menu: Consultation") << "Menu" << "Consultation";
        QTest::newRow("Edition: Enregistrer") << "Frm_ajout" << "Enregistrer";
        QTest::newRow("Edition: Nouveau") << "Frm_ajout" << "new";
        QTest::newRow("Edition: <<") << "Frm_ajout" << "precedent";
        QTest::newRow("Consultation: the search") << "Frm_consultation" << "Command1";
        QTest::newRow("Consultation: sort") << "Frm_consultation" << "triref";
        QTest::newRow("Card: >>") << "frm_fiche" << "suivant";
        QTest::newRow("Card: <<") << "frm_fiche" << "precedent";
        QTest::newRow("About: OK") << "frmAbout" << "cmdOK";
    }
    void enterPressesTheFocusedButton() {
        QFETCH(QString, window);
        QFETCH(QString, button);
        WindowTestKit kit;
        EveryWindow windows(kit);
        QWidget* shown = windows.open(window);
        QVERIFY(EveryWindow::activate(shown));
        auto* pressed = shown->findChild<QAbstractButton*>(button);
        QVERIFY(pressed->isEnabled());
        pressed->setFocus(Qt::TabFocusReason);
        QSignalSpy clicks(pressed, &QAbstractButton::clicked);
        QTest::keyClick(pressed, Qt::Key_Return);
        QCOMPARE(clicks.size(), 1);
        // The Consultation window the main window's button opened is the test's to close.
        if (window == QLatin1String("Menu")) {
            for (QWidget* opened : QApplication::topLevelWidgets()) {
                if (opened->objectName() == QLatin1String("Frm_consultation")) opened->close();
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    // --- what shows where the keyboard is

    void theCurrentCellIsSelectedInTheHighlightColours() {
        WindowTestKit kit;
        EveryWindow windows(kit);
        Consultation& consultation = windows.consultation();
        QVERIFY(EveryWindow::activate(consultation.window));
        consultation.window->Liste_complete_Click();
        FlexGrid& grid = consultation.grid();
        const QPalette system = QApplication::palette(&grid);
        QCOMPARE(grid.palette().color(QPalette::Active, QPalette::Highlight),
                 system.color(QPalette::Active, QPalette::Highlight));
        QCOMPARE(grid.palette().color(QPalette::Active, QPalette::HighlightedText),
                 system.color(QPalette::Active, QPalette::HighlightedText));

        consultation.child("tridictionnairecible")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(focused(), Qt::Key_Tab);
        QCOMPARE(focused(), &grid);
        for (int step = 0; step < 2; ++step) {
            QApplication::processEvents();
            const QModelIndex current = grid.currentIndex();
            QVERIFY(current.isValid());
            QCOMPARE(grid.selectionModel()->selectedIndexes(), QModelIndexList{current});
            QCOMPARE(current.row() + 1, grid.Row());
            QCOMPARE(current.column() + 1, grid.Col());
            QTest::keyClick(&grid, Qt::Key_Down);
        }
    }

    // Closing the card leaves its number the current cell: its row shows
    // selected, as the row Enter opens again.
    void theRowOfACardJustClosedShowsSelected() {
        WindowTestKit kit;
        EveryWindow windows(kit);
        Consultation& consultation = windows.consultation();
        QVERIFY(EveryWindow::activate(consultation.window));
        consultation.window->Liste_complete_Click();
        FlexGrid& grid = consultation.grid();
        grid.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&grid, Qt::Key_Up);
        QTest::keyClick(&grid, Qt::Key_Return);
        QApplication::processEvents();
        QCOMPARE(grid.Col(), 0);
        QModelIndexList selected = grid.selectionModel()->selectedIndexes();
        std::sort(selected.begin(), selected.end());
        const GridModel& model = grid.model();
        QCOMPARE(selected, (QModelIndexList{model.index(1, 0), model.index(1, 1), model.index(1, 2)}));
        QCOMPARE(grid.currentIndex(), model.index(1, 0));
    }

    // --- access keys

    void accessKeysAreOneToACaptionAndUniqueInEachWindow_data() {
        QTest::addColumn<QString>("window");
        for (const QString& name : EveryWindow::names()) QTest::newRow(name.toUtf8()) << name;
    }
    void accessKeysAreOneToACaptionAndUniqueInEachWindow() {
        QFETCH(QString, window);
        WindowTestKit kit;
        EveryWindow windows(kit);
        QWidget* shown = windows.open(window);
        // Alt+letter reaches the menu titles and the window's captioned
        // controls alike, so they share one set of letters.
        QStringList windowCaptions;
        QStringList faults;
        if (auto* main = qobject_cast<QMainWindow*>(shown)) {
            for (QAction* title : main->menuBar()->actions()) {
                windowCaptions.append(title->text());
                faults += menuAccessKeyFaults(window + " > " + title->text(), title->menu());
            }
        }
        for (auto* button : shown->findChildren<QAbstractButton*>()) {
            if (hasLetters(button->text())) windowCaptions.append(button->text());
        }
        for (auto* label : shown->findChildren<QLabel*>()) {
            if (label->buddy()) windowCaptions.append(label->text());
        }
        faults += accessKeyFaults(window, windowCaptions);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // --- where the focus starts and how a window ends

    void theConsultationWindowOpensWithTheFocusInTheSearchBox() {
        WindowTestKit kit;
        EveryWindow windows(kit);
        QVERIFY(EveryWindow::activate(windows.consultation().window));
        QCOMPARE(focusedName(), QStringLiteral("Text1"));
    }

    // The keys users expect, wherever the focus is in the window.
    void shortcutsUsersExpect_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("number");  // the number box afterwards; empty: not looked at
        QTest::addColumn<QString>("told");    // the message shown; empty: none
        QTest::addColumn<QString>("focus");   // the focus afterwards; empty: not looked at
        const QString saved = QStringLiteral("L'enregistrement est terminé.");
        QTest::newRow("Ctrl+S saves in the Edition window") << "Frm_ajout" << QKeySequence(Qt::CTRL | Qt::Key_S) << "4" << saved << "";
        QTest::newRow("Ctrl+N, a new card") << "Frm_ajout" << QKeySequence(Qt::CTRL | Qt::Key_N) << "4" << "" << "";
        QTest::newRow("Alt+Left, the card before") << "Frm_ajout" << QKeySequence(Qt::ALT | Qt::Key_Left) << "3" << "" << "";
        QTest::newRow("Ctrl+S saves in the Card window") << "frm_fiche" << QKeySequence(Qt::CTRL | Qt::Key_S) << "2" << saved << "";
        QTest::newRow("Alt+Right, the next row") << "frm_fiche" << QKeySequence(Qt::ALT | Qt::Key_Right) << "3" << "" << "";
        QTest::newRow("Ctrl+F, the search box") << "Frm_consultation" << QKeySequence(Qt::CTRL | Qt::Key_F) << "" << "" << "Text1";
    }
    void shortcutsUsersExpect() {
        QFETCH(QString, window);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, number);
        QFETCH(QString, told);
        QFETCH(QString, focus);
        WindowTestKit kit;
        EveryWindow windows(kit);
        QWidget* shown = windows.open(window);
        QVERIFY(EveryWindow::activate(shown));
        if (window == QLatin1String("Frm_consultation")) windows.consultation().window->Liste_complete_Click();
        QWidget* start = shown->findChild<QWidget*>(window == QLatin1String("Frm_consultation") ? "Grille01" : "txtexpression");
        start->setFocus(Qt::TabFocusReason);
        QTest::keySequence(focused(), keys);
        if (!number.isEmpty()) QCOMPARE(shown->findChild<QLineEdit*>("txtnumero")->text(), number);
        QCOMPARE(kit.messageTexts().join(' '), told);
        if (!focus.isEmpty()) QCOMPARE(focusedName(), focus);
    }

    void escapeClosesTheCardWindow_data() {
        QTest::addColumn<QString>("focus");
        QTest::newRow("in the number") << "txtnumero";
        QTest::newRow("in a box") << "txtexpression";
        QTest::newRow("on a button") << "suivant";
    }
    void escapeClosesTheCardWindow() {
        QFETCH(QString, focus);
        WindowTestKit kit;
        EveryWindow windows(kit);
        frm_fiche* card = windows.card();
        QVERIFY(EveryWindow::activate(card));
        card->findChild<QWidget*>(focus)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(focused(), Qt::Key_Escape);
        QVERIFY(!card->isVisible());
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
