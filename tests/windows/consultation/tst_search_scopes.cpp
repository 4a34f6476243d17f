#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QRegularExpression>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QTemporaryDir>

#include "consultation_driver.h"
#include "forms/dictionaries.h"
#include "forms/file_languages.h"
#include "store/file_places.h"
#include "store/fiche_record.h"
#include "support/card_files.h"
#include "windows/consultation/result_list_printing.h"
#include "windows/controls/recording_printer.h"

using cardfiles::Card;

namespace {

// "zéphyr" in one field of each card, a different field each time; card 8
// holds it without its accent, card 9 not at all.
const QList<Card> kCards = {
    {1, "zéphyr du matin", "", "", "", "", "", ""},
    {2, "", "ZÉPHYR", "", "", "", "", ""},
    {3, "", "", "zéphyr", "", "", "", ""},
    {4, "", "", "", "zéphyr", "", "", ""},
    {5, "", "", "", "", "", "un zéphyr", ""},
    {6, "", "", "", "", "Zéphyr, 1990", "", ""},
    {7, "", "", "", "", "", "", "le zéphyr souffle sur la plaine"},
    {8, "", "", "", "", "Zephyr", "", ""},
    {9, "vent", "wind", "vent", "wind", "Hugo", "air", "le vent"},
};

// What the view is given for a cell of a result row.
QString toolTipOf(FlexGrid& grid, int row, int col) {
    grid.model().publish();
    return grid.model().data(grid.model().index(row - 1, col - 1), Qt::ToolTipRole).toString();
}

}  // namespace

class TestSearchScopes : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }

    void eachScopeLooksInItsFields_data() {
        QTest::addColumn<QString>("scope");
        QTest::addColumn<bool>("target");
        QTest::addColumn<bool>("ignoringAccents");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("entries, source") << "dansentrees" << false << false << "zéphyr" << QStringList{"3"};
        QTest::newRow("entries, target") << "dansentrees" << true << false << "zéphyr" << QStringList{"4"};
        QTest::newRow("expression") << "dansexpression" << false << false << "zéphyr" << QStringList{"1"};
        QTest::newRow("traduction") << "danstraduction" << false << false << "zéphyr" << QStringList{"2"};
        QTest::newRow("contexte") << "danscontexte" << false << false << "zéphyr" << QStringList{"7"};
        QTest::newRow("every field")
            << "danstout" << false << false << "zéphyr" << QStringList{"1", "2", "3", "4", "5", "6", "7"};
        QTest::newRow("every field, without accents")
            << "danstout" << false << true << "ZEPHYR" << QStringList{"1", "2", "3", "4", "5", "6", "7", "8"};
        QTest::newRow("contexte, without accents") << "danscontexte" << false << true << "zephyr" << QStringList{"7"};
        // The option buttons choose nothing outside the entries.
        QTest::newRow("traduction, target option ticked") << "danstraduction" << true << false << "zéphyr"
                                                          << QStringList{"2"};
        QTest::newRow("every field, empty text") << "danstout" << false << false << ""
                                                 << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    }
    void eachScopeLooksInItsFields() {
        QFETCH(QString, scope);
        QFETCH(bool, target);
        QFETCH(bool, ignoringAccents);
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.child<QRadioButton>(target ? "Option2" : "Option1")->setChecked(true);
        consultation.child<QAction>(qPrintable(scope))->trigger();
        consultation.child<QAction>("sansaccents")->setChecked(ignoringAccents);
        consultation.child<QLineEdit>("Text1")->setText(text);
        consultation.click("Command1");
        QCOMPARE(consultation.column(0), numbers);
        QCOMPARE(consultation.grid().Cols(), 4);
        QVERIFY(kit.messages.isEmpty());
    }

    void theChoiceIsOneAtATimeAndTheOptionsWaitForTheEntries() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        {
            Consultation consultation(kit.path());
            const char* const names[] = {"dansentrees", "dansexpression", "danstraduction", "danscontexte", "danstout"};
            auto* option1 = consultation.child<QRadioButton>("Option1");
            auto* option2 = consultation.child<QRadioButton>("Option2");
            QVERIFY(consultation.child<QAction>("dansentrees")->isChecked());
            option2->setChecked(true);
            for (const char* name : names) {
                consultation.child<QAction>(name)->trigger();
                for (const char* other : names) {
                    QCOMPARE(consultation.child<QAction>(other)->isChecked(), qstrcmp(name, other) == 0);
                }
                const bool entries = qstrcmp(name, "dansentrees") == 0;
                QCOMPARE(option1->isEnabled(), entries);
                QCOMPARE(option2->isEnabled(), entries);
                QVERIFY(option2->isChecked());
            }
            consultation.child<QAction>("dansentrees")->trigger();
            QVERIFY(option1->isEnabled());
            QVERIFY(option2->isChecked());
            consultation.child<QAction>("danstout")->trigger();
        }
        Consultation again(kit.path());
        QVERIFY(again.child<QAction>("dansentrees")->isChecked());
        QVERIFY(again.child<QRadioButton>("Option1")->isEnabled());
    }

    // Every cell of a row, its number included, tells why the card came up,
    // and the tool tip goes with its row when the grid is sorted.
    void eachRowSaysWhichFieldMatchedAndWhere() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.child<QAction>("danstout")->trigger();
        consultation.child<QLineEdit>("Text1")->setText(QStringLiteral("zéphyr"));
        consultation.click("Command1");
        FlexGrid& grid = consultation.grid();
        QStringList expected = {
            QStringLiteral("Expression\u00A0: <b>zéphyr</b> du matin"),
            QStringLiteral("Traduction\u00A0: <b>ZÉPHYR</b>"),
            QStringLiteral("Entrées texte source\u00A0: <b>zéphyr</b>"),
            QStringLiteral("Entrées texte cible\u00A0: <b>zéphyr</b>"),
            QStringLiteral("Miscellanea\u00A0: un <b>zéphyr</b>"),
            QStringLiteral("Référence\u00A0: <b>Zéphyr</b>, 1990"),
            QStringLiteral("Contexte\u00A0: le <b>zéphyr</b> souffle sur la plaine"),
        };
        for (QString& tip : expected) tip = "<p style='white-space:pre'>" + tip + "</p>";
        for (int row = 1; row <= 7; ++row) {
            for (int col = 1; col < 4; ++col) QCOMPARE(toolTipOf(grid, row, col), expected[row - 1]);
            QCOMPARE(grid.model().headerData(row - 1, Qt::Vertical, Qt::ToolTipRole).toString(), expected[row - 1]);
        }
        consultation.click("triref");
        QCOMPARE(grid.TextMatrix(7, 0), QStringLiteral("6"));
        QCOMPARE(toolTipOf(grid, 7, 2), expected[5]);

        // The entries' own search shows its field in the grid: no tool tip.
        consultation.child<QAction>("dansentrees")->trigger();
        consultation.click("Command1");
        QCOMPARE(consultation.column(0), QStringList{"3"});
        QVERIFY(toolTipOf(grid, 1, 1).isEmpty());
    }

    // --- options

    // A file for each option: what only it finds, and what it must not.
    void eachOptionFindsWhatItPromises_data() {
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("said");
        QTest::newRow("jokers: * across a space, ? for an accented letter")
            << QStringList{"jokers"} << "liaison*?quipotentielle" << QStringList{"1"} << "1 fiche";
        QTest::newRow("jokers, accents ignored: ? for a plain letter")
            << QStringList{"jokers", "sansaccents"} << "?crou" << QStringList{"2", "3"} << "2 fiches";
        QTest::newRow("whole word") << QStringList{"motentier"} << "eau" << QStringList{"4"} << "1 fiche";
        QTest::newRow("approximate: two letters swapped")
            << QStringList{"approchee"} << "traudction" << QStringList{"6"} << "1 fiche";
        QTest::newRow("typed without accents: the card without")
            << QStringList{} << "ecrou" << QStringList{"3"} << "1 fiche";
        // Nothing where it looked: what another search finds is said, the most first.
        QTest::newRow("none: the accents would find some")
            << QStringList{} << "equipotentielle" << QStringList{}
            << "Aucune fiche ne contient «\u00A0equipotentielle\u00A0» (essayez Ignorer les accents\u00A0: 1 fiche\u00A0; "
               "essayez Orthographe approchée\u00A0: 1 fiche)";
        QTest::newRow("none: a near spelling would")
            << QStringList{} << "traudction" << QStringList{}
            << "Aucune fiche ne contient «\u00A0traudction\u00A0» (essayez Orthographe approchée\u00A0: 1 fiche)";
        QTest::newRow("none: other fields would, the most first")
            << QStringList{} << "boulon" << QStringList{}
            << "Aucune fiche ne contient «\u00A0boulon\u00A0» (2 dans Expression\u00A0; 1 dans Traduction)";
        QTest::newRow("none: every field would find more than one")
            << QStringList{} << "vis" << QStringList{}
            << "Aucune fiche ne contient «\u00A0vis\u00A0» (2 dans Tous les champs\u00A0; 1 dans Expression)";
        QTest::newRow("none in the expressions: the entries would")
            << QStringList{"dansexpression"} << "traduction" << QStringList{}
            << "Aucune fiche ne contient «\u00A0traduction\u00A0» (1 dans Entrées texte source)";
        QTest::newRow("none in the expressions: the last field would")
            << QStringList{"dansexpression"} << "une vis" << QStringList{}
            << "Aucune fiche ne contient «\u00A0une vis\u00A0» (1 dans Contexte)";
        QTest::newRow("none in every field: only the options are said")
            << QStringList{"danstout"} << "equipotentielle" << QStringList{}
            << "Aucune fiche ne contient «\u00A0equipotentielle\u00A0» (essayez Ignorer les accents\u00A0: 1 fiche\u00A0; "
               "essayez Orthographe approchée\u00A0: 1 fiche)";
        QTest::newRow("none anywhere") << QStringList{} << "ornithorynque" << QStringList{}
                                       << "Aucune fiche ne contient «\u00A0ornithorynque\u00A0»";
    }
    void eachOptionFindsWhatItPromises() {
        QFETCH(QStringList, ticked);
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);
        QFETCH(QString, said);
        WindowTestKit kit;
        cardfiles::write(kit.path(), {{1, "", "", "liaison équipotentielle", "", "", "", ""},
                                      {2, "", "", "écrou", "", "", "", ""},
                                      {3, "", "", "ecrou", "", "", "", ""},
                                      {4, "", "", "l'eau", "", "", "", ""},
                                      {5, "", "", "château", "", "", "", ""},
                                      {6, "", "", "traduction", "", "", "", ""},
                                      {7, "boulon", "boulon", "", "", "", "", ""},
                                      {8, "boulon à tête", "", "", "", "", "", ""},
                                      {9, "vis", "", "", "", "", "", ""},
                                      {10, "", "", "", "", "", "", "une vis"}});
        Consultation consultation(kit.path());
        for (const QString& option : ticked) consultation.child<QAction>(qPrintable(option))->setChecked(true);
        consultation.child<QLineEdit>("Text1")->setText(text);
        consultation.click("Command1");
        QCOMPARE(consultation.column(0), numbers);
        QCOMPARE(consultation.child<QLabel>("Compte")->text(), said);
        // What a near spelling found is said in the tool tip.
        if (ticked.contains("approchee")) {
            QCOMPARE(toolTipOf(consultation.grid(), 1, 1),
                     QStringLiteral("<p style='white-space:pre'>Entrées texte source\u00A0: <b>traduction</b></p>"));
        }
    }

    // « Formes fléchies »: the window's first search, in the entries,
    // finds the other forms of the typed words, says which in the tool tip,
    // and is suggested where it would find cards; without a dictionary it
    // says so and searches as typed. Its languages are the file's own,
    // which « Langues des fiches » changes.
    void theWordFormsOptionFindsEveryFormOfAWord_data() {
        QTest::addColumn<bool>("dictionaries");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("said");
        QTest::newRow("a plural finds its singular") << true << true << "chevaux" << QStringList{"1"} << "1 fiche";
        QTest::newRow("a conjugated verb") << true << true << "travaillaient" << QStringList{"2"} << "1 fiche";
        QTest::newRow("suggested where it would find cards")
            << true << false << "chevaux" << QStringList{}
            << "Aucune fiche ne contient «\u00A0chevaux\u00A0» (essayez Formes fléchies\u00A0: 1 fiche)";
        QTest::newRow("no dictionary: as typed, and said")
            << false << true << "chevaux" << QStringList{}
            << "Aucune fiche ne contient «\u00A0chevaux\u00A0» \u2014 Formes fléchies\u00A0: les langues des fiches "
               "ne sont pas connues (Affichage > Langues des fiches), la recherche se fait telle que tapée";
    }
    void theWordFormsOptionFindsEveryFormOfAWord() {
        QFETCH(bool, dictionaries);
        QFETCH(bool, ticked);
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);
        QFETCH(QString, said);
        if (dictionaries && !dictionaries::languages().contains(QStringLiteral("fr"))) QSKIP("no French dictionary (hunspell-fr)");
        QTemporaryDir none;
        if (!dictionaries) dictionaries::setFolders({none.path()});
        WindowTestKit kit;
        qputenv("XDG_DATA_HOME", kit.folder().toUtf8());
        cardfiles::write(kit.path(), {{1, "cheval", "horse", "cheval", "horse", "", "", ""},
                                      {2, "travailler", "to work", "travailler", "work", "", "", ""},
                                      {3, "chevalier", "knight", "chevalier", "knight", "", "", ""}});
        Consultation consultation(kit.path());
        consultation.child<QAction>("formesflechies")->setChecked(ticked);
        consultation.search(text);
        dictionaries::setFolders({});
        QCOMPARE(consultation.column(0), numbers);
        QCOMPARE(consultation.child<QLabel>("Compte")->text(), said);
        if (!numbers.isEmpty()) {
            QVERIFY2(toolTipOf(consultation.grid(), 1, 1).contains(QStringLiteral("(forme de %1)").arg(text)),
                     qPrintable(toolTipOf(consultation.grid(), 1, 1)));
        }
    }

    void theCardsLanguagesAreChosenAmongTheDictionaries() {
        if (dictionaries::languages().size() < 2) QSKIP("fewer than two dictionaries (hunspell-fr, hunspell-en-us)");
        WindowTestKit kit;
        qputenv("XDG_DATA_HOME", kit.folder().toUtf8());
        cardfiles::write(kit.path(), {{1, "cheval de trait", "draught horse", "", "", "", "", ""}});
        Consultation consultation(kit.path());
        QStringList offered;
        kit.onModal = [&](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("langues_fiches"));
            auto* source = dialog->findChild<QComboBox*>(QStringLiteral("langueSource"));
            auto* target = dialog->findChild<QComboBox*>(QStringLiteral("langueCible"));
            for (int i = 0; i < source->count(); ++i) offered.append(source->itemData(i).toString());
            QCOMPARE(source->currentData().toString(), QStringLiteral("fr"));  // guessed from the cards
            QCOMPARE(target->currentData().toString(), QStringLiteral("en"));
            source->setCurrentIndex(source->findData(QStringLiteral("en")));
            target->setCurrentIndex(target->findData(QStringLiteral("fr")));
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        };
        consultation.child<QAction>("languesfiches")->trigger();
        QCOMPARE(offered, dictionaries::languages());
        FileLanguagesSettings settings(fileplaces::settingsFile());
        QCOMPARE(filelanguages::of(kit.path(), settings), (FileLanguages{"en", "fr"}));
    }

    void aLongListShowsItsFirstRows() {
        WindowTestKit kit;
        QList<Card> cards;
        for (int n = 1; n <= 3000; ++n) cards.append({n, "", "", "terme", "term", "", "", ""});
        cardfiles::write(kit.path(), cards);
        Consultation consultation(kit.path());
        consultation.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(consultation.window));
        // Where a user who read the full list to its end searches anew.
        FlexGrid& grid = consultation.grid();
        consultation.window->Liste_complete_Click();
        QTest::qWait(20);
        grid.scrollToBottom();
        grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
        auto* text1 = consultation.child<QLineEdit>("Text1");
        text1->setText(QStringLiteral("terme"));
        QTest::keyClick(text1, Qt::Key_Return);
        QTest::qWait(20);
        QCOMPARE(grid.Row(), 3000);  // the current cell where the search leaves it
        QCOMPARE(grid.rowAt(0), 0);
        QCOMPARE(grid.columnAt(0), 0);
        QCOMPARE(consultation.child<QLabel>("Compte")->text(), QStringLiteral("3\u202F000 fiches"));
    }

    // --- duplicates

    void theDuplicatesGroupedByExpressionThenNumber() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), {{1, "Zèbre", "", "z1", "", "", "", ""},
                                      {2, "arbre", "", "a2", "", "", "", ""},
                                      {3, "seul", "", "s3", "", "", "", ""},
                                      {4, "  zebre", "", "z4", "", "", "", ""},
                                      {5, "ARBRE", "", "a5", "", "", "", ""},
                                      {6, "arbre", "", "a6", "", "", "", ""},
                                      {7, "", "", "", "", "", "", ""},
                                      {8, "", "", "", "", "", "", ""}});
        Consultation consultation(kit.path());
        QAction* doublons = consultation.child<QAction>("doublons");
        QCOMPARE(doublons->text(), QStringLiteral("&Doublons"));
        doublons->trigger();
        QCOMPARE(consultation.column(0), QStringList({"2", "5", "6", "1", "4"}));
        QCOMPARE(consultation.column(1), QStringList({"a2", "a5", "a6", "z1", "z4"}));
        QCOMPARE(toolTipOf(consultation.grid(), 4, 1), QStringLiteral("Expression\u00A0: Zèbre"));
        QVERIFY(kit.messages.isEmpty());

        // Printed as any result list, in the order shown.
        QStringList record;
        RecordingPrinter printer(&record);
        printResultList(printer, consultation.grid());
        QCOMPARE(record.filter(QRegularExpression(QStringLiteral("^print \\d"))),
                 QStringList({"print 2", "print 5", "print 6", "print 1", "print 4"}));
    }
};

QTEST_MAIN(TestSearchScopes)
#include "tst_search_scopes.moc"
