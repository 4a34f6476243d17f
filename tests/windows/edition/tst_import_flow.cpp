#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "exchange/zip_archive.h"
#include "support/card_files.h"
#include "support/window_test_kit.h"
#include "windows/edition/frm_ajout.h"

using Module1::Field;

// "Importer des fiches...": cards from a glossary or a table, after the last
// slot, once the user has said yes.
namespace {

struct Edition {
    FakeMainWindow menu;
    Frm_ajout window{menu};
    explicit Edition(const QString& path) {
        menu.path = path;
        window.Form_Load();
    }
    QString numero() const { return window.findChild<QLineEdit*>(QStringLiteral("txtnumero"))->text(); }
    QPlainTextEdit* box(const char* name) const { return window.findChild<QPlainTextEdit*>(QLatin1String(name)); }
};

// The glossaries other tools wrote, read where they stand.
QString glossary(const QString& name) { return QDir::cleanPath(QStringLiteral(GLOSSARIES)) + u'/' + name; }

QStringList offeredIn(QWidget* dialog, const char* list) {
    auto* box = dialog->findChild<QComboBox*>(QLatin1String(list));
    QStringList codes;
    for (int i = 0; i < box->count(); ++i) codes.append(box->itemData(i).toString());
    return codes;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class TestImportFlow : public QObject {
    Q_OBJECT
private slots:
    void theCommandIsInTheFileMenu() {
        WindowTestKit kit;
        Edition edition(kit.path());
        auto* importer = edition.window.findChild<QMenu*>(QStringLiteral("Fichier"))->findChild<QAction*>(QStringLiteral("importer"));
        QVERIFY(importer);
        QCOMPARE(importer->text(), QStringLiteral("&Importer des fiches..."));
    }

    // A card whose expression and translation are on a card already, or
    // earlier in the same file, case, accents and spaces aside, is left out.
    void cardsAlreadyInTheFileAreLeftAside() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), {{1, "Élan vital", "vital impetus", "", "", "", "", ""},
                                      {2, "chat", "cat", "", "", "", "", ""}});
        writeFile(kit.path(QStringLiteral("glossaire.csv")),
                  "Expression;Traduction\n"
                  "  elan   VITAL ;Vital  impetus\n"   // on card 1
                  "chat;chatte\n"                     // another translation: a card of its own
                  "chien;dog\n"
                  "Chien;Dog\n");                     // twice in the file
        Edition edition(kit.path());
        kit.answers = {kit.path(QStringLiteral("glossaire.csv"))};
        kit.questionAnswers = {true};
        edition.window.importer_Click();
        QCOMPARE(kit.messages.size(), 2);
        QVERIFY2(kit.messages[0].text.contains(
                     QStringLiteral("2 fiches seront ajoutées\u00A0; 2 sont déjà dans le fichier et seront laissées de côté.")),
                 qPrintable(kit.messages[0].text));
        QVERIFY(kit.messages[0].text.contains(QStringLiteral("sous les numéros 3 à 4")));
        QCOMPARE(kit.messages[1].text, QStringLiteral("2 fiches importées (n° 3 à 4). 2 fiches ont été ajoutées\u00A0; 2 étaient "
                                                      "déjà dans le fichier et ont été laissées de côté."));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 3, Field::traduction), QStringLiteral("chatte"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 4, Field::expression), QStringLiteral("chien"));
        QCOMPARE(cardfiles::contents(kit.path()).size(), 4 * Module1::kSlotSize);
    }

    void aFileWhoseCardsAreAllThereAddsNothing() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), {{1, "chat", "cat", "", "", "", "", ""}});
        const QByteArray before = cardfiles::contents(kit.path());
        writeFile(kit.path(QStringLiteral("glossaire.csv")), "Expression;Traduction\nChat;Cat\n");
        Edition edition(kit.path());
        kit.answers = {kit.path(QStringLiteral("glossaire.csv"))};
        kit.questionAnswers = {true};
        edition.window.importer_Click();
        QCOMPARE(kit.errors().size(), 1);
        QVERIFY2(kit.errors()[0].contains(QStringLiteral("déjà dans le fichier de données")), qPrintable(kit.errors()[0]));
        QCOMPARE(cardfiles::contents(kit.path()), before);
    }

    void cardsComeAfterTheLastOnceTheUserSaysYes() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 5);
        const QByteArray before = cardfiles::contents(kit.path());
        // A decomposed accent is stored as its letter; τ becomes "?", which both messages say.
        writeFile(kit.path(QStringLiteral("glossaire.csv")),
                  "Expression;Traduction\nun;one\ndeux;twe\xcc\x81\ntrois;three \xcf\x84\n");
        Edition edition(kit.path());
        kit.answers = {kit.path(QStringLiteral("glossaire.csv"))};
        kit.questionAnswers = {true};
        edition.window.importer_Click();
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(kit.dialogs[0].kind, CommonDialog::Kind::open);
        QVERIFY(kit.dialogs[0].filter.contains(QStringLiteral("*.tbx")));
        QVERIFY(kit.dialogs[0].filter.contains(QStringLiteral(";;Glossaire OmegaT, séparé par des tabulations (*.txt *.tab *.utf8")));
        QCOMPARE(kit.messages.size(), 2);
        QCOMPARE(kit.messages[0].kind, Alert::Kind::question);
        QVERIFY2(kit.messages[0].text.contains(QStringLiteral("3 fiches")), qPrintable(kit.messages[0].text));
        QVERIFY(kit.messages[0].text.contains(QStringLiteral("sous les numéros 6 à 8")));
        const QString altered = QStringLiteral("La fiche de la ligne 4 %1 des champs trop longs, %2 à leur largeur, ou des caractères que le "
                                               "fichier de données ne peut pas garder, %3 «\u00A0?\u00A0».");
        QVERIFY(kit.messages[0].text.contains(altered.arg("a", "qui seront coupés", "qui deviendront")));
        QCOMPARE(kit.messages[1].text, QStringLiteral("3 fiches importées (n° 6 à 8). ") +
                                           altered.arg("avait", "qui ont été coupés", "qui sont devenus"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 7, Field::traduction), QStringLiteral("twé"));
        QCOMPARE(cardfiles::contents(kit.path()).left(before.size()), before);
        QCOMPARE(cardfiles::fieldOf(kit.path(), 8, Field::traduction), QStringLiteral("three ?"));
        QCOMPARE(edition.numero(), QStringLiteral("9"));
        QCOMPARE(kit.busyWindows, (QList<QStringList>{{}, {}}));
    }

    void sayingNoWritesNothing() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 2);
        const QByteArray before = cardfiles::contents(kit.path());
        writeFile(kit.path(QStringLiteral("g.csv")), "Expression\nun\n");
        Edition edition(kit.path());
        kit.answers = {kit.path(QStringLiteral("g.csv"))};
        kit.questionAnswers = {false};
        edition.window.importer_Click();
        QCOMPARE(kit.messages.size(), 1);
        QCOMPARE(cardfiles::contents(kit.path()), before);
        QCOMPARE(edition.numero(), QStringLiteral("3"));
    }

    void theQuestionNamesTheCardsCutOrChanged() {
        WindowTestKit kit;
        const QByteArray longField = QByteArray(300, 'x');
        writeFile(kit.path(QStringLiteral("g.csv")),
                  "Expression;Traduction\n" + longField + ";a\nok;b\n\xC5\x8D" "kina;c\n");
        Edition edition(kit.path());
        kit.answers = {kit.path(QStringLiteral("g.csv"))};
        kit.questionAnswers = {true};
        edition.window.importer_Click();
        // Named by the lines they come from, for the user to find them in the file.
        QVERIFY2(kit.messages[0].text.contains(QStringLiteral("Les fiches des lignes 2 et 4 ont des champs trop longs")),
                 qPrintable(kit.messages[0].text));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 1, Field::expression), QString(255, u'x'));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 3, Field::expression), QStringLiteral("?kina"));
    }

    void aMalformedFileIsSaidAndNothingAsked() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 2);
        const QByteArray before = cardfiles::contents(kit.path());
        writeFile(kit.path(QStringLiteral("casse.tbx")), "<martif><text><body>\n<termEntry>");
        Edition edition(kit.path());
        kit.answers = {kit.path(QStringLiteral("casse.tbx"))};
        edition.window.importer_Click();
        QCOMPARE(kit.errors().size(), 1);
        QVERIFY(kit.errors()[0].contains(QStringLiteral("ligne 2")));
        QCOMPARE(kit.messages.size(), 1);
        QCOMPARE(cardfiles::contents(kit.path()), before);
    }

    // After "Oui" the window used to start a new card, wiping what was being typed.
    void theTextBeingTypedStaysOnlyItsNumberMoves_data() {
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("numeroAfter");
        QTest::newRow("a new card") << 0 << "9";
        QTest::newRow("a card being corrected") << 2 << "2";
    }
    void theTextBeingTypedStaysOnlyItsNumberMoves() {
        QFETCH(int, shown);
        QFETCH(QString, numeroAfter);
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 5);
        writeFile(kit.path(QStringLiteral("g.csv")), "Expression;Traduction\nun;one\ndeux;two\ntrois;three\n");
        Edition edition(kit.path());
        if (shown > 0) {
            edition.window.findChild<QLineEdit*>(QStringLiteral("txtnumero"))->setText(QString::number(shown + 1));
            edition.window.precedent_Click();
        }
        edition.box("txtexpression")->setPlainText(QStringLiteral("en cours de saisie"));
        edition.box("txtcontexte")->setPlainText(QStringLiteral("un contexte"));
        kit.answers = {kit.path(QStringLiteral("g.csv"))};
        kit.questionAnswers = {true};
        edition.window.importer_Click();
        QCOMPARE(kit.errors(), QStringList());
        QCOMPARE(edition.box("txtexpression")->toPlainText(), QStringLiteral("en cours de saisie"));
        QCOMPARE(edition.box("txtcontexte")->toPlainText(), QStringLiteral("un contexte"));
        QCOMPARE(edition.numero(), numeroAfter);
        QCOMPARE(edition.window.nbfiches(), 8);
    }

    void aGlossaryOfMoreLanguagesAsksWhichTwoAmongItsOwn() {
        WindowTestKit kit;
        Edition edition(kit.path());
        QStringList offered;
        kit.onModal = [&](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("langues"));
            offered = offeredIn(dialog, "langueSource") + offeredIn(dialog, "langueCible");
            offered << dialog->findChild<QComboBox*>(QStringLiteral("langueSource"))->currentData().toString()
                    << dialog->findChild<QComboBox*>(QStringLiteral("langueCible"))->currentData().toString();
            auto* target = dialog->findChild<QComboBox*>(QStringLiteral("langueCible"));
            target->setCurrentIndex(target->findData(QStringLiteral("de")));
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        };
        kit.answers = {glossary(QStringLiteral("tbxbasic-v3-sample.tbx"))};
        kit.questionAnswers = {true};
        edition.window.importer_Click();
        QCOMPARE(offered, (QStringList{"en", "fr", "de", "en", "fr", "de", "en", "fr"}));
        QCOMPARE(kit.messages.size(), 2);
        const QString question = kit.messages[0].text;
        QVERIFY2(question.contains(QStringLiteral("contient 1 fiche (de anglais (en) vers allemand (de))")), qPrintable(question));
        QVERIFY2(question.contains(QStringLiteral("4 entrées sans terme dans l'une des deux langues ont été laissées de côté")),
                 qPrintable(question));
        QVERIFY2(question.contains(QStringLiteral("Ce que le fichier porte dans ses autres langues, français (fr), ne sera "
                                                  "pas importé")),
                 qPrintable(question));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 1, Field::expression), QStringLiteral("progressive lens"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 1, Field::traduction), QStringLiteral("Gleitsichtglas"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 1, Field::reference), QStringLiteral("Wikipedia"));  // its own, kept
    }

    // A table naming its languages is imported the way the user says, the
    // way chosen last proposed next; its empty columns go unmentioned.
    void aTableOfTwoLanguagesAsksWhichWay() {
        WindowTestKit kit;
        writeFile(kit.path(QStringLiteral("quatre.csv")), "en,fr,es,zh\nlens,lentille,,\n");
        writeFile(kit.path(QStringLiteral("deux.csv")), "en,fr\nglass,verre\n");
        Edition edition(kit.path());
        QList<QStringList> asked;  // for each question: what was offered, then what was proposed
        kit.onModal = [&](QWidget* dialog) {
            auto* source = dialog->findChild<QComboBox*>(QStringLiteral("langueSource"));
            auto* target = dialog->findChild<QComboBox*>(QStringLiteral("langueCible"));
            asked.append(offeredIn(dialog, "langueSource") << source->currentData().toString() << target->currentData().toString());
            source->setCurrentIndex(source->findData(QStringLiteral("fr")));
            target->setCurrentIndex(target->findData(QStringLiteral("en")));
            static_cast<QDialog*>(dialog)->accept();
        };
        kit.answers = {kit.path(QStringLiteral("quatre.csv")), kit.path(QStringLiteral("deux.csv"))};
        for (int round = 0; round < 2; ++round) {
            kit.questionAnswers = {true};
            edition.window.importer_Click();
        }
        QCOMPARE(asked, (QList<QStringList>{{"en", "fr", "en", "fr"}, {"en", "fr", "fr", "en"}}));
        QVERIFY2(!kit.messages[0].text.contains(QStringLiteral("autres langues")), qPrintable(kit.messages[0].text));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 1, Field::expression), QStringLiteral("lentille"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Field::expression), QStringLiteral("verre"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Field::traduction), QStringLiteral("glass"));
        // A card with no reference of its own says where it came from.
        const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 2, Field::reference), QStringLiteral("deux.csv, importé le ") + today);
    }

    void cancellingTheLanguagesImportsNothing() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 2);
        const QByteArray before = cardfiles::contents(kit.path());
        Edition edition(kit.path());
        kit.onModal = [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); };
        kit.answers = {glossary(QStringLiteral("ltac-astronomy-dca-v3.tbx"))};
        edition.window.importer_Click();
        QVERIFY(kit.messages.isEmpty());
        QCOMPARE(cardfiles::contents(kit.path()), before);
        QCOMPARE(edition.numero(), QStringLiteral("3"));
    }

    void aFileThatCannotBeUsedLeavesTheDataFileAsItWas_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("said");
        QTest::newRow("not well-formed") << glossary(QStringLiteral("tbxbasic-v2-notwellformed.tbx")) << "bien formé";
        QTest::newRow("martifHeader as root") << glossary(QStringLiteral("sprakradet-308_36-martifHeader-root.tbx"))
                                              << "n'est pas un glossaire TBX";
        QTest::newRow("UTF-16") << glossary(QStringLiteral("omegat-testUTF16LE.txt")) << "UTF-16";
        QTest::newRow("no line of titles") << glossary(QStringLiteral("omegat-test-headerless.csv"))
                                           << "ajoutez-en une";
        QTest::newRow("one language") << QStringLiteral("une-langue.csv") << "n'a de termes qu'en anglais (en)";
        QTest::newRow("no pair") << QStringLiteral("sans-paire.tbx") << "Aucune entrée";
        QTest::newRow("a workbook that is no zip") << QStringLiteral("texte.xlsx") << "ce n'est pas une archive zip";
    }
    void aFileThatCannotBeUsedLeavesTheDataFileAsItWas() {
        QFETCH(QString, file);
        QFETCH(QString, said);
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        const QByteArray before = cardfiles::contents(kit.path());
        writeFile(kit.path(QStringLiteral("une-langue.csv")), "en,pos\nlens,noun\n");
        writeFile(kit.path(QStringLiteral("texte.xlsx")), "en,fr\nlens,lentille\n");
        writeFile(kit.path(QStringLiteral("sans-paire.tbx")),
                  "<martif><text><body><termEntry><langSet xml:lang=\"en\"><tig><term>a</term></tig></langSet></termEntry>"
                  "<termEntry><langSet xml:lang=\"fr\"><tig><term>b</term></tig></langSet></termEntry></body></text></martif>");
        Edition edition(kit.path());
        kit.answers = {QDir::isAbsolutePath(file) ? file : kit.path(file)};
        kit.onModal = [](QWidget* languages) { static_cast<QDialog*>(languages)->accept(); };  // as proposed
        edition.window.importer_Click();
        QCOMPARE(kit.messages.size(), 1);
        QCOMPARE(kit.messages[0].kind, Alert::Kind::error);
        QVERIFY2(kit.messages[0].text.contains(said), qPrintable(kit.messages[0].text));
        QVERIFY2(kit.messages[0].text.endsWith(QStringLiteral("Rien n'a été importé.")), qPrintable(kit.messages[0].text));
        QCOMPARE(cardfiles::contents(kit.path()), before);
        QCOMPARE(edition.numero(), QStringLiteral("4"));
    }

    // Hidden sheets last and said so; the one chosen is the one imported.
    void aWorkbookOfSeveralSheetsAsksWhichOne() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 2);
        const auto sheet = [](const QByteArray& rows) {
            return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" + rows +
                   "</sheetData></worksheet>";
        };
        const auto row = [](int r, const char* a, const char* b) {
            return QByteArray("<row r=\"%1\"><c r=\"A%1\" t=\"inlineStr\"><is><t>").replace("%1", QByteArray::number(r)) + a +
                   QByteArray("</t></is></c><c r=\"B%1\" t=\"inlineStr\"><is><t>").replace("%1", QByteArray::number(r)) + b +
                   "</t></is></c></row>";
        };
        ziparchive::Writer zip;
        zip.add(QStringLiteral("xl/workbook.xml"),
                "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
                "<sheet name=\"Notes\" sheetId=\"1\" state=\"hidden\" r:id=\"rId1\"/>"
                "<sheet name=\"Glossaire\" sheetId=\"2\" r:id=\"rId2\"/><sheet name=\"Vide\" sheetId=\"3\" r:id=\"rId3\"/>"
                "</sheets></workbook>");
        zip.add(QStringLiteral("xl/_rels/workbook.xml.rels"),
                "<Relationships><Relationship Id=\"rId1\" Type=\"w\" Target=\"worksheets/sheet1.xml\"/>"
                "<Relationship Id=\"rId2\" Type=\"w\" Target=\"worksheets/sheet2.xml\"/>"
                "<Relationship Id=\"rId3\" Type=\"w\" Target=\"worksheets/sheet3.xml\"/></Relationships>");
        zip.add(QStringLiteral("xl/worksheets/sheet1.xml"), sheet(row(1, "Expression", "Traduction")));
        zip.add(QStringLiteral("xl/worksheets/sheet2.xml"),
                sheet(row(1, "Expression", "Traduction") + row(2, "lentille", "lens") + row(4, "prisme", "prism")));
        zip.add(QStringLiteral("xl/worksheets/sheet3.xml"), sheet(QByteArray()));
        writeFile(kit.path(QStringLiteral("classeur.xlsx")), zip.finish());
        Edition edition(kit.path());
        QStringList offered;
        kit.onModal = [&](QWidget* dialog) {
            auto* list = dialog->findChild<QListWidget*>(QStringLiteral("feuilles"));
            for (int i = 0; i < list->count(); ++i) offered.append(list->item(i)->text());
            list->setCurrentRow(0);
            static_cast<QDialog*>(dialog)->accept();
        };
        kit.answers = {kit.path(QStringLiteral("classeur.xlsx"))};
        kit.questionAnswers = {true};
        edition.window.importer_Click();
        QCOMPARE(offered, QStringList({"Glossaire (3 lignes)", "Vide (0 ligne)", "Notes (1 ligne, masquée)"}));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 3, Field::expression), QStringLiteral("lentille"));
        QCOMPARE(cardfiles::fieldOf(kit.path(), 4, Field::traduction), QStringLiteral("prism"));
    }

    void anEmptyPathIsAskedForFirst() {
        WindowTestKit kit;
        writeFile(kit.path(QStringLiteral("g.csv")), "Expression\nun\n");
        FakeMainWindow menu;
        menu.path = kit.path();
        Frm_ajout window(menu);
        QVERIFY(window.Form_Load());
        menu.path.clear();
        kit.answers = {kit.path(QStringLiteral("neuf.dat")), kit.path(QStringLiteral("g.csv"))};
        kit.questionAnswers = {true};
        window.importer_Click();
        QCOMPARE(kit.dialogs.size(), 2);
        QCOMPARE(kit.dialogs[0].kind, CommonDialog::Kind::save);
        QCOMPARE(menu.path, kit.path(QStringLiteral("neuf.dat")));
        QCOMPARE(cardfiles::fieldOf(kit.path(QStringLiteral("neuf.dat")), 1, Field::expression), QStringLiteral("un"));
    }
};

QTEST_MAIN(TestImportFlow)
#include "tst_import_flow.moc"
