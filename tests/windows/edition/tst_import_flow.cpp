#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

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
};

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

    void cardsComeAfterTheLastOnceTheUserSaysYes() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 5);
        const QByteArray before = cardfiles::contents(kit.path());
        writeFile(kit.path(QStringLiteral("glossaire.csv")), "Expression;Traduction\nun;one\ndeux;two\ntrois;three\n");
        Edition edition(kit.path());
        kit.answers = {kit.path(QStringLiteral("glossaire.csv"))};
        kit.questionAnswers = {true};
        edition.window.importer_Click();
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(kit.dialogs[0].kind, CommonDialog::Kind::open);
        QVERIFY(kit.dialogs[0].filter.contains(QStringLiteral("*.tbx")));
        QCOMPARE(kit.messages.size(), 2);
        QCOMPARE(kit.messages[0].kind, Alert::Kind::question);
        QVERIFY2(kit.messages[0].text.contains(QStringLiteral("3 fiches")), qPrintable(kit.messages[0].text));
        QVERIFY(kit.messages[0].text.contains(QStringLiteral("sous les numéros 6 à 8")));
        QVERIFY(!kit.messages[0].text.contains(QStringLiteral("coupés")));
        QCOMPARE(kit.messages[1].text, QStringLiteral("3 fiches importées (n° 6 à 8)."));
        QCOMPARE(cardfiles::contents(kit.path()).left(before.size()), before);
        QCOMPARE(cardfiles::fieldOf(kit.path(), 8, Field::traduction), QStringLiteral("three"));
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

    void theQuestionSaysHowManyCardsAreCutOrChanged() {
        WindowTestKit kit;
        const QByteArray longField = QByteArray(300, 'x');
        writeFile(kit.path(QStringLiteral("g.csv")),
                  "Expression;Traduction\n" + longField + ";a\nok;b\n\xC5\x8D" "kina;c\n");
        Edition edition(kit.path());
        kit.answers = {kit.path(QStringLiteral("g.csv"))};
        kit.questionAnswers = {true};
        edition.window.importer_Click();
        QVERIFY2(kit.messages[0].text.contains(QStringLiteral("2 fiches ont des champs trop longs")),
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
