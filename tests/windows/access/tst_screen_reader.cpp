#include <QAccessible>
#include <QMenu>
#include <QMenuBar>

#include "every_window.h"
#include "store/fiche_record.h"

namespace {

QString nameOf(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// What a screen reader lists of a window: the tree below it, and the menus
// its menu bar opens.
void walk(QAccessibleInterface* node, const std::function<void(QAccessibleInterface*)>& visit) {
    visit(node);
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* child = node->child(i)) walk(child, visit);
    }
}

void walkWindow(QWidget* window, const std::function<void(QAccessibleInterface*)>& visit) {
    walk(QAccessible::queryAccessibleInterface(window), visit);
    for (auto* menu : window->findChildren<QMenu*>()) walk(QAccessible::queryAccessibleInterface(menu), visit);
}

bool isInteractive(QAccessibleInterface* node) {
    const QAccessible::Role role = node->role();
    if (node->state().invisible || role == QAccessible::Separator) return false;
    // A cell is data: an empty one is read as empty.
    if (role == QAccessible::Cell || role == QAccessible::RowHeader || role == QAccessible::ColumnHeader) return false;
    static const QList<QAccessible::Role> controls = {
        QAccessible::PushButton,   QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::EditableText,
        QAccessible::MenuItem,     QAccessible::Table,    QAccessible::ComboBox,    QAccessible::SpinBox,
        QAccessible::ButtonMenu,   QAccessible::Link,     QAccessible::PageTab,     QAccessible::Slider};
    return node->state().focusable || controls.contains(role);
}

bool saysSomething(const QString& name) {
    return std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

}  // namespace

class TestScreenReader : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }

    void controlsAreNamedInFrench_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("Edition: number") << "Frm_ajout" << "txtnumero" << "Numéro de la fiche";
        QTest::newRow("Edition: <<") << "Frm_ajout" << "precedent" << "Fiche précédente";
        QTest::newRow("Edition: >>") << "Frm_ajout" << "suivant" << "Fiche suivante";
        QTest::newRow("Edition: a box by its label") << "Frm_ajout" << "txtexpression" << "Expression";
        QTest::newRow("Card: number") << "frm_fiche" << "txtnumero" << "Numéro de la fiche";
        QTest::newRow("Card: <<") << "frm_fiche" << "precedent" << "Fiche précédente";
        QTest::newRow("Card: >>") << "frm_fiche" << "suivant" << "Fiche suivante";
        QTest::newRow("Consultation: grid") << "Frm_consultation" << "Grille01" << "Résultats";
        QTest::newRow("Consultation: search") << "Frm_consultation" << "Command1" << "Rechercher";
        QTest::newRow("Consultation: searched text") << "Frm_consultation" << "Text1" << "Texte recherché";
        QTest::newRow("Consultation: sort by reference") << "Frm_consultation" << "triref" << "Trier par références";
        QTest::newRow("Consultation: sort by source entries")
            << "Frm_consultation" << "tridictionnaire" << "Trier par entrées texte source";
        QTest::newRow("Consultation: sort by target entries")
            << "Frm_consultation" << "tridictionnairecible" << "Trier par entrées texte cible";
        QTest::newRow("Consultation: option") << "Frm_consultation" << "Option1" << "Entrées texte source";
        QTest::newRow("Menu: check box") << "Menu" << "Check1" << "Lexicarium par défaut";
    }
    void controlsAreNamedInFrench() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, name);
        WindowTestKit kit;
        EveryWindow windows(kit);
        QCOMPARE(nameOf(windows.open(window)->findChild<QWidget*>(control)), name);
    }

    void everyHeaderCellIsReadAsAColumnHeader() {
        WindowTestKit kit;
        EveryWindow windows(kit);
        Consultation& consultation = windows.consultation();
        consultation.window->Liste_complete_Click();
        QApplication::processEvents();
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(&consultation.grid());
        QCOMPARE(grid->role(), QAccessible::Table);
        QStringList headers;
        QStringList rowHeaders;
        for (int i = 0; i < grid->childCount(); ++i) {
            QAccessibleInterface* cell = grid->child(i);
            if (cell->role() == QAccessible::ColumnHeader) headers.append(cell->text(QAccessible::Name));
            if (cell->role() == QAccessible::RowHeader) rowHeaders.append(cell->text(QAccessible::Name));
        }
        QCOMPARE(headers, (QStringList{"Numero fiche", "Entrées texte source", "Entrées texte cible", "Référence"}));
        QCOMPARE(rowHeaders, (QStringList{"1", "2", "3"}));

        QAccessibleTableInterface* table = grid->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->columnCount(), 4);
        QAccessibleInterface* cell = table->cellAt(1, 3);
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("Hugo"));
        const QList<QAccessibleInterface*> above = cell->tableCellInterface()->columnHeaderCells();
        QCOMPARE(above.size(), 1);
        QCOMPARE(above.first()->text(QAccessible::Name), QStringLiteral("Référence"));
        QCOMPARE(cell->tableCellInterface()->rowHeaderCells().first()->text(QAccessible::Name), QStringLiteral("2"));
    }

    // The view tells of its current cell by the cell's place among the
    // table's children; that place must name the same cell.
    void theFocusedCellIsTheCurrentOne() {
        WindowTestKit kit;
        EveryWindow windows(kit);
        Consultation& consultation = windows.consultation();
        QVERIFY(EveryWindow::activate(consultation.window));
        consultation.window->Liste_complete_Click();
        FlexGrid& grid = consultation.grid();
        grid.setFocus(Qt::TabFocusReason);
        grid.setRow(3);
        grid.setCol(1);
        QApplication::processEvents();
        QAccessibleInterface* focus = QAccessible::queryAccessibleInterface(&grid)->focusChild();
        QVERIFY(focus);
        QCOMPARE(focus->text(QAccessible::Name), QStringLiteral("cheval"));
        QVERIFY(focus->state().focused);
        QVERIFY(focus->state().selected);
        const QRect shown = grid.viewport()->rect().translated(grid.viewport()->mapToGlobal(QPoint(0, 0)));
        QVERIFY(shown.contains(focus->rect()));
    }

    void statusBarPanelsExposeTheirText_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Menu") << "Menu" << "Scriptoria Digitale - Lexicarium terminologique";
        QTest::newRow("Edition") << "Frm_ajout" << "Scriptoria Digitale - Lexicarium terminologique - Edition";
        QTest::newRow("Consultation") << "Frm_consultation"
                                      << "Scriptoria Digitale - Lexicarium terminologique - Consultation";
        QTest::newRow("Card") << "frm_fiche" << "Scriptoria Digitale - Lexicarium terminologique - Fiche";
    }
    void statusBarPanelsExposeTheirText() {
        QFETCH(QString, window);
        QFETCH(QString, caption);
        WindowTestKit kit;
        EveryWindow windows(kit);
        QWidget* shown = windows.open(window);
        QAccessibleInterface* panel1 = QAccessible::queryAccessibleInterface(shown->findChild<QWidget*>("Panel1"));
        QCOMPARE(panel1->role(), QAccessible::StaticText);
        QCOMPARE(panel1->text(QAccessible::Name), caption);
        if (window == "Menu") return;
        const QString today = QLocale(QLocale::French, QLocale::France).toString(QDate::currentDate(), QLocale::ShortFormat);
        QCOMPARE(nameOf(shown->findChild<QWidget*>("Panel2")), today);
    }

    void theHiddenPathBoxIsNotInTheTree() {
        WindowTestKit kit;
        EveryWindow windows(kit);
        Menu* menu = windows.menu();
        QWidget* nomfichier = menu->findChild<QWidget*>("nomfichier");
        QVERIFY(nomfichier);
        QStringList listed;
        walkWindow(menu, [&](QAccessibleInterface* node) { listed.append(node->object() ? node->object()->objectName() : QString()); });
        QVERIFY(listed.contains("Check1"));
        QVERIFY(!listed.contains("nomfichier"));
    }

    void noInteractiveControlIsNamelessOrOnlyPunctuation_data() {
        QTest::addColumn<QString>("window");
        for (const QString& name : EveryWindow::names()) QTest::newRow(name.toUtf8()) << name;
    }
    void noInteractiveControlIsNamelessOrOnlyPunctuation() {
        QFETCH(QString, window);
        WindowTestKit kit;
        EveryWindow windows(kit);
        if (window == "frm_fiche") windows.consultation().window->Liste_complete_Click();
        QWidget* shown = windows.open(window);
        if (window == "Frm_consultation") windows.consultation().window->Liste_complete_Click();
        QVERIFY(EveryWindow::activate(shown));
        QStringList nameless;
        int controls = 0;
        walkWindow(shown, [&](QAccessibleInterface* node) {
            if (!isInteractive(node)) return;
            ++controls;
            const QString name = node->text(QAccessible::Name);
            if (!saysSomething(name)) {
                nameless.append(QStringLiteral("%1 \"%2\" (role %3)")
                                    .arg(node->object() ? node->object()->objectName() : QStringLiteral("?"), name)
                                    .arg(int(node->role())));
            }
        });
        QVERIFY(controls > 0);
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join('\n')));
    }
};

QTEST_MAIN(TestScreenReader)
#include "tst_screen_reader.moc"
