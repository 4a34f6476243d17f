#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QMenu>
#include <QMenuBar>

#include "consultation_driver.h"
#include "exchange/card_import.h"
#include "exchange/csv_writer.h"
#include "exchange/glossary_cards.h"
#include "store/data_file.h"
#include "support/card_files.h"
#include "windows/controls/progress.h"

using Module1::Field;

// "Exporter les résultats...": the grid's cards, in its order, out to a TBX
// glossary or a CSV table.
namespace {

const QList<cardfiles::Card> kCards = {
    {1, "œuvre", "work", "b", "", "Zola", "", "Une œuvre."},
    {2, "cœur", "heart", "a", "", "Balzac", "", ""},
    {3, "élève", "pupil", "c", "", "Hugo", "", ""},
};

QStringList expressions(const QString& path) {
    QStringList texts;
    const glossary::Glossary read = cardimport::readFile(path);
    for (const CardText& card : glossary::cardsOf(read, glossary::proposedPair(read)).cards) {
        texts.append(card[Field::expression]);
    }
    return texts;
}

// Chooses two languages in the "langues" dialog and confirms it.
void chooseLanguages(QWidget* dialog, const QString& source, const QString& target) {
    QCOMPARE(dialog->objectName(), QStringLiteral("langues"));
    auto* sourceList = dialog->findChild<QComboBox*>(QStringLiteral("langueSource"));
    auto* targetList = dialog->findChild<QComboBox*>(QStringLiteral("langueCible"));
    sourceList->setCurrentIndex(sourceList->findData(source));
    targetList->setCurrentIndex(targetList->findData(target));
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

// Takes the languages the dialog proposes, as a user pressing Enter does.
void acceptProposedLanguages(QWidget* dialog) {
    QCOMPARE(dialog->objectName(), QStringLiteral("langues"));
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

}  // namespace

class TestResultExport : public QObject {
    Q_OBJECT
private slots:
    void theCommandFollowsThePrintingOfTheResults() {
        WindowTestKit kit;
        Consultation consultation(kit.path());
        const QList<QAction*> actions = consultation.child<QMenu>("Fichier")->actions();
        QCOMPARE(actions[0]->objectName(), QStringLiteral("imprimer"));
        QCOMPARE(actions[1]->objectName(), QStringLiteral("exporter"));
        QCOMPARE(actions[1]->text(), QStringLiteral("&Exporter les résultats..."));
    }

    void anEmptyListIsSaidAndNothingAsked() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(QStringLiteral("rien de tel"));
        consultation.window->exporter_Click();
        QCOMPARE(kit.messages.size(), 1);
        QVERIFY(kit.messages[0].text.contains(QStringLiteral("rien à exporter")));
        QVERIFY(kit.dialogs.isEmpty());
    }

    void aSortedSearchIsExportedAsShown() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(QString());
        consultation.click("tridictionnaire");  // a, b, c: cœur, œuvre, élève
        const QString target = kit.path(QStringLiteral("liste"));
        kit.answers = {CommonDialog::Choice(target, 2)};
        kit.onModal = acceptProposedLanguages;
        consultation.window->exporter_Click();
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(kit.dialogs[0].kind, CommonDialog::Kind::save);
        QVERIFY(kit.dialogs[0].filter.startsWith(QStringLiteral("Glossaire TBX (*.tbx")));
        QVERIFY(kit.dialogs[0].filter.contains(QStringLiteral("Tableau CSV (*.csv")));
        QVERIFY(kit.dialogs[0].flags & CommonDialog::kOverwritePrompt);
        QCOMPARE(expressions(target + QStringLiteral(".csv")), (QStringList{"cœur", "œuvre", "élève"}));
        QCOMPARE(kit.messageTexts().size(), 1);
        QVERIFY(kit.messageTexts()[0].startsWith(QStringLiteral("3 fiches exportées")));
        QCOMPARE(kit.busyWindows, QList<QStringList>{{}});
    }

    // A name typed with an offered format's extension is that format under
    // that very name, whichever filter is chosen; "lexique.csv.tbx" is never written.
    void theTypedExtensionDecidesTheFormat() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.search(QString());
        const QString target = kit.path(QStringLiteral("lexique.CSV"));
        kit.answers = {CommonDialog::Choice(target, 1)};  // the TBX filter
        kit.onModal = acceptProposedLanguages;
        consultation.window->exporter_Click();
        QCOMPARE(expressions(target).size(), 3);
        QVERIFY(!QFile::exists(target + QStringLiteral(".tbx")));
    }

    // A colleague's glossary imported: the window's first search finds its
    // terms and the list shows them, as it shows any card's entries.
    void anImportedGlossaryIsSeenInTheList() {
        WindowTestKit kit;
        const QString glossaryFile = kit.path(QStringLiteral("acme.csv"));
        QFile csv(glossaryFile);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Glossaire ACME;;\nAnglais;Français;Ajouté le\nclaim;créance;12/03/2024\nstatement of claim;mémoire en demande;\n");
        csv.close();
        const glossary::Glossary read = cardimport::readFile(glossaryFile);
        DataFile data = DataFile::open(kit.path());
        cardimport::apply(data, cardimport::plan(glossary::cardsOf(read, glossary::proposedPair(read)).cards, 0));
        data.close();
        Consultation consultation(kit.path());
        consultation.search(QStringLiteral("claim"));
        QCOMPARE(consultation.column(1), (QStringList{"claim", "statement of claim"}));
        QCOMPARE(consultation.column(2), (QStringList{"créance", "mémoire en demande"}));
    }

    void aGlossaryAsksItsLanguagesAndRemembersThem() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        QStringList offered;
        kit.onModal = [&](QWidget* dialog) {
            offered << dialog->findChild<QComboBox*>(QStringLiteral("langueSource"))->currentData().toString()
                    << dialog->findChild<QComboBox*>(QStringLiteral("langueCible"))->currentData().toString();
            chooseLanguages(dialog, QStringLiteral("de"), QStringLiteral("fr-CA"));
        };
        kit.answers = {kit.path(QStringLiteral("un.tbx")), kit.path(QStringLiteral("deux.tbx"))};
        consultation.window->exporter_Click();
        consultation.window->exporter_Click();
        // The cards' own languages first (French expressions, English translations), then those chosen last.
        QCOMPARE(offered, (QStringList{"fr", "en", "de", "fr-CA"}));
        const QByteArray tbx = cardfiles::contents(kit.path(QStringLiteral("deux.tbx")));
        QVERIFY(tbx.contains("<martif type=\"TBX-Basic\" xml:lang=\"de\">"));
        QVERIFY(tbx.contains("<langSet xml:lang=\"fr-CA\">"));
        QCOMPARE(expressions(kit.path(QStringLiteral("un.tbx"))), (QStringList{"œuvre", "cœur", "élève"}));
    }

    // The dialog asked about "liste" while "liste.csv" was replaced without a word.
    void theFileReallyWrittenIsAskedAboutBeforeItIsReplaced_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("Non") << false;
        QTest::newRow("Oui") << true;
    }
    void theFileReallyWrittenIsAskedAboutBeforeItIsReplaced() {
        QFETCH(bool, replace);
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        const QString existing = kit.path(QStringLiteral("liste.csv"));
        QFile old(existing);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("ancien contenu");
        old.close();
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        kit.answers = {CommonDialog::Choice(kit.path(QStringLiteral("liste")), 2)};
        kit.questionAnswers = {replace};
        kit.onModal = acceptProposedLanguages;
        consultation.window->exporter_Click();
        QVERIFY(!kit.messages.isEmpty());
        QCOMPARE(kit.messages[0].kind, Alert::Kind::question);
        QVERIFY2(kit.messages[0].text.contains(QStringLiteral("liste.csv\u00A0» existe déjà")), qPrintable(kit.messages[0].text));
        if (replace) {
            QCOMPARE(expressions(existing), (QStringList{"œuvre", "cœur", "élève"}));
        } else {
            QCOMPARE(kit.messages.size(), 1);
            QCOMPARE(cardfiles::contents(existing), QByteArray("ancien contenu"));
        }
    }

    void oneLanguageCannotBeBothSides() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        bool refused = false;
        kit.onModal = [&](QWidget* dialog) {
            auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            for (const char* side : {"langueSource", "langueCible"}) {
                auto* list = dialog->findChild<QComboBox*>(QLatin1String(side));
                list->setCurrentIndex(list->findData(QStringLiteral("en")));
            }
            QTest::mouseClick(ok, Qt::LeftButton);
            refused = !ok->isEnabled() && !dialog->findChild<QLabel*>(QStringLiteral("memeLangue"))->isHidden() &&
                      static_cast<QDialog*>(dialog)->result() != QDialog::Accepted;
            chooseLanguages(dialog, QStringLiteral("en"), QStringLiteral("fr"));
        };
        kit.answers = {kit.path(QStringLiteral("meme.tbx"))};
        consultation.window->exporter_Click();
        QVERIFY(refused);
        const QByteArray tbx = cardfiles::contents(kit.path(QStringLiteral("meme.tbx")));
        QVERIFY(tbx.contains("<langSet xml:lang=\"en\">") && tbx.contains("<langSet xml:lang=\"fr\">"));
    }

    void cancellingTheLanguagesWritesNothing() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        kit.onModal = [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); };
        kit.answers = {kit.path(QStringLiteral("jamais.tbx"))};
        consultation.window->exporter_Click();
        QVERIFY(!QFile::exists(kit.path(QStringLiteral("jamais.tbx"))));
        QVERIFY(kit.messages.isEmpty());
    }

    void thousandsOfCardsShowProgressAndMayBeCancelled() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 1500);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        int lastDone = -1;
        Progress::setObserver([&](int done, int total) {
            lastDone = done;
            return total == 1500 && done < 700;
        });
        kit.answers = {CommonDialog::Choice(kit.path(QStringLiteral("annule.csv")), 2)};
        kit.onModal = acceptProposedLanguages;
        consultation.window->exporter_Click();
        Progress::setObserver({});
        QVERIFY(lastDone >= 700 && lastDone < 1500);
        QVERIFY(!QFile::exists(kit.path(QStringLiteral("annule.csv"))));
        QCOMPARE(kit.messageTexts(), QStringList{QStringLiteral("L'export a été annulé\u00A0: aucun fichier n'a été écrit.")});
    }

    void aFailureIsSaidAndLeavesNoFile() {
        WindowTestKit kit;
        cardfiles::write(kit.path(), kCards);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        kit.answers = {CommonDialog::Choice(kit.path(QStringLiteral("absent/liste.csv")), 2)};
        kit.onModal = acceptProposedLanguages;
        consultation.window->exporter_Click();
        QCOMPARE(kit.errors().size(), 1);
        QVERIFY(kit.errors()[0].contains(QStringLiteral("Rien n'a été exporté")));
        QCOMPARE(kit.busyWindows, QList<QStringList>{{}});
    }
};

QTEST_MAIN(TestResultExport)
#include "tst_result_export.moc"
