#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "support/card_files.h"
#include "support/window_test_kit.h"
#include "store/default_data_file.h"
#include "windows/card/frm_fiche.h"
#include "windows/common/status_panel.h"
#include "windows/common/twips.h"
#include "windows/consultation/frm_consultation.h"
#include "windows/controls/flex_grid.h"
#include "windows/edition/frm_ajout.h"
#include "windows/main/menu.h"

namespace {

// One of the windows with a menu bar, by name, on files of its own.
struct AnyWindow {
    FakeMainWindow link;
    FlexGrid grid;
    std::unique_ptr<QMainWindow> window;
    AnyWindow(const QString& name, const QString& path) {
        if (name == QLatin1String("Menu")) window = std::make_unique<Menu>(path);
        if (name == QLatin1String("Frm_ajout")) window = std::make_unique<Frm_ajout>(link);
        if (name == QLatin1String("Frm_consultation")) window = std::make_unique<Frm_consultation>(link);
        if (name == QLatin1String("frm_fiche")) window = std::make_unique<frm_fiche>(link, grid);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
    }
};

}  // namespace

class TestMenu : public QObject {
    Q_OBJECT
private slots:
    void theDefaultFileLiesInTheApplicationDataFolder() {
        WindowTestKit kit;
        qputenv("XDG_DATA_HOME", kit.folder().toUtf8());
        QCoreApplication::setApplicationName(QStringLiteral("Lexicarium"));
        const QString path = defaultDataFilePath();
#ifdef _WIN32
        QCOMPARE(path, QStringLiteral("c:\\program files\\lexicarium.dat"));
#else
        QCOMPARE(path, kit.folder() + QStringLiteral("/Lexicarium/lexicarium.dat"));
        QVERIFY(QFileInfo(kit.folder() + QStringLiteral("/Lexicarium")).isDir());
#endif
    }

    void theCheckBoxMovesThePathBetweenItsStates() {
        WindowTestKit kit;
        Menu menu(kit.path());
        auto* check = menu.findChild<QCheckBox*>(QStringLiteral("Check1"));
        auto* nomfichier = menu.findChild<QLineEdit*>(QStringLiteral("nomfichier"));
        QVERIFY(check->isChecked());
        QVERIFY(nomfichier->isHidden());
        QCOMPARE(menu.dataFilePath(), kit.path());
        QVERIFY(check->toolTip().endsWith(QDir::toNativeSeparators(kit.path())));  // where the data is
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
        QVERIFY(!check->isChecked());
        QCOMPARE(menu.dataFilePath(), QString());
        menu.setDataFilePath(kit.path(QStringLiteral("choisi.dat")));
        QVERIFY(check->toolTip().endsWith(QDir::toNativeSeparators(kit.path(QStringLiteral("choisi.dat")))));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
        QCOMPARE(menu.dataFilePath(), kit.path());
    }

    void aWorkingWindowTakesTheMainWindowsPlaceUntilItCloses_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("window");
        QTest::newRow("Edition") << "Ajout" << "Frm_ajout";
        QTest::newRow("Consultation") << "Consultation" << "Frm_consultation";
    }
    void aWorkingWindowTakesTheMainWindowsPlaceUntilItCloses() {
        QFETCH(QString, button);
        QFETCH(QString, window);
        WindowTestKit kit;
        Menu menu(kit.path());
        menu.show();
        QTest::mouseClick(menu.findChild<QPushButton*>(button), Qt::LeftButton);
        QWidget* working = shownWindow(qPrintable(window));
        QVERIFY(working);
        QVERIFY(!menu.isVisible());
        QVERIFY(QFile::exists(kit.path()) || window == QStringLiteral("Frm_consultation"));
        working->close();
        QVERIFY(menu.isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void aFileChosenByOneWindowServesTheNext() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(QStringLiteral("choisi.dat")), 2);
        Menu menu(kit.path());
        menu.show();
        auto* check = menu.findChild<QCheckBox*>(QStringLiteral("Check1"));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
        kit.answers = {kit.path(QStringLiteral("choisi.dat"))};
        menu.Ajout_Click();
        QCOMPARE(kit.dialogs.size(), 1);
        shownWindow("Frm_ajout")->close();
        menu.Consultation_Click();
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(menu.dataFilePath(), kit.path(QStringLiteral("choisi.dat")));
        shownWindow("Frm_consultation")->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void theMainWindowCannotGrowPastItsCap() {
        WindowTestKit kit;
        Menu menu(kit.path());
        menu.show();
        QCoreApplication::processEvents();
        const QSize design = menu.size();
        menu.resize(design.width() - 20, design.height() - 20);
        QCoreApplication::processEvents();
        QCOMPARE(menu.size(), QSize(design.width() - 20, design.height() - 20));
        menu.resize(twips::toPixels(6000), twips::toPixels(2000));
        QCoreApplication::processEvents();
        QCOMPARE(menu.frameGeometry().size(), QSize(twips::toPixels(5115), twips::toPixels(3900)));
    }

    // No caption, panel or layout may hold a window larger than the user makes it.
    void everyWindowTakesASmallSize_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("main") << "Menu";
        QTest::newRow("Edition") << "Frm_ajout";
        QTest::newRow("Consultation") << "Frm_consultation";
        QTest::newRow("Card") << "frm_fiche";
    }
    void everyWindowTakesASmallSize() {
        QFETCH(QString, window);
        WindowTestKit kit;
        AnyWindow any(window, kit.path());
        QMainWindow* shown = any.window.get();
        shown->show();
        QCoreApplication::processEvents();
        const QSize frame = shown->frameGeometry().size() - shown->size();
        const QSize wanted(twips::toPixels(3000), twips::toPixels(2000));
        shown->resize(wanted - frame);
        QCoreApplication::processEvents();
        QCOMPARE(shown->frameGeometry().size(), wanted);
        // The caption is cut to what the status bar holds.
        auto* caption = shown->findChild<StatusPanel*>(QStringLiteral("Panel1"));
        QVERIFY(caption->shownText() != caption->text());
        QVERIFY(caption->fontMetrics().horizontalAdvance(caption->shownText()) <= caption->width());
    }

    // Typed text and button faces keep the system's colours unless the design
    // gives them; a frame's caption colour is its own.
    void controlsKeepTheSystemsColoursUnlessDesigned_data() { everyWindowTakesASmallSize_data(); }
    void controlsKeepTheSystemsColoursUnlessDesigned() {
        QFETCH(QString, window);
        WindowTestKit kit;
        AnyWindow any(window, kit.path());
        QMainWindow* shown = any.window.get();
        const auto system = [](const QWidget* control, QPalette::ColorRole role) {
            return control->palette().color(role) == QApplication::palette(control).color(role);
        };
        int checked = 0;
        for (const QPushButton* button : shown->findChildren<QPushButton*>()) {
            if (button->objectName() == QLatin1String("Command1")) continue;  // its face is designed
            QVERIFY2(system(button, QPalette::ButtonText) && system(button, QPalette::Button), qPrintable(button->objectName()));
            ++checked;
        }
        for (const QWidget* box : shown->findChildren<QWidget*>()) {
            if (!qobject_cast<const QLineEdit*>(box) && !qobject_cast<const QPlainTextEdit*>(box)) continue;
            if (box->objectName() == QLatin1String("txtnumero")) continue;  // its colour is designed
            QVERIFY2(system(box, QPalette::Text), qPrintable(box->objectName()));
            ++checked;
        }
        QVERIFY(checked >= 2);
        if (window == QLatin1String("Frm_consultation")) {
            const auto colour = [&](const char* name) {
                return shown->findChild<QWidget*>(QLatin1String(name))->palette().color(QPalette::WindowText);
            };
            QCOMPARE(colour("Frame1"), QColor(192, 0, 0));
            QCOMPARE(colour("Frame2"), QColor(0, 0, 192));
            QCOMPARE(colour("Option1"), QColor(0, 0, 192));
            QCOMPARE(colour("Option2"), QColor(0, 0, 192));
        }
    }

    // As for a standard user under "c:\program files": the default file is
    // missing and may not be made there.
    void aDefaultFileThatCannotBeCreatedSaysHowToChooseAnother() {
        WindowTestKit kit;
        const QString unreachable = kit.path(QStringLiteral("absent/lexicarium.dat"));
        Menu menu(unreachable);
        menu.show();
        menu.Ajout_Click();
        QVERIFY(menu.isVisible());
        QVERIFY(!shownWindow("Frm_ajout"));
        QCOMPARE(kit.errors().size(), 1);
        QVERIFY2(kit.errors()[0].contains(QStringLiteral("n'existe pas et ne peut pas être créé")), qPrintable(kit.errors()[0]));
        QVERIFY(kit.errors()[0].contains(QStringLiteral("Décochez «\u00A0Lexicarium par défaut\u00A0»")));
        QVERIFY(!QFile::exists(unreachable));

        // A file the user chose himself gets no such advice.
        auto* check = menu.findChild<QCheckBox*>(QStringLiteral("Check1"));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
        kit.answers = {kit.path(QStringLiteral("ailleurs/choisi.dat"))};
        menu.Ajout_Click();
        QCOMPARE(kit.errors().size(), 2);
        QVERIFY(kit.errors()[1].contains(QStringLiteral("n'existe pas et ne peut pas être créé")));
        QVERIFY(!kit.errors()[1].contains(QStringLiteral("Décochez")));
    }

    void anEditionWindowThatCannotOpenLeavesTheMainWindowUp() {
        WindowTestKit kit;
        Menu menu(kit.path());
        menu.show();
        menu.setDataFilePath(QString());
        menu.Ajout_Click();
        QVERIFY(menu.isVisible());
        QVERIFY(!shownWindow("Frm_ajout"));
        QCOMPARE(kit.errors().size(), 1);
    }
};

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
