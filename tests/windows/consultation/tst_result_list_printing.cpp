#include <QTest>

#include "consultation_driver.h"
#include "support/card_files.h"
#include "windows/consultation/result_list_printing.h"
#include "windows/controls/recording_printer.h"

namespace {

// The result grid of the Consultation window, with n rows of made-up cards.
void fillGrid(FlexGrid& grid, int rows) {
    grid.setCols(4);
    grid.setRows(1 + rows);
    const QStringList headers = {"Numero fiche", "Entrées texte source", "Entrées texte cible", "Référence"};
    for (int c = 0; c < 4; ++c) {
        grid.setRow(0);
        grid.setCol(c);
        grid.setText(headers[c]);
    }
    for (int r = 1; r <= rows; ++r) {
        const QStringList cells = {QString::number(r), "source " + QString::number(r), r == 2 ? "" : "cible", "réf  "};
        for (int c = 0; c < 4; ++c) {
            grid.setRow(r);
            grid.setCol(c);
            grid.setText(cells[c]);
        }
    }
}

QList<int> cardsBeforeEachPage(const QStringList& record) {
    QList<int> counts;
    int cards = 0;
    for (const QString& op : record) {
        if (op == QStringLiteral("line ") + QString(69, u'_')) ++cards;
        if (op == QStringLiteral("page")) counts.append(cards);
    }
    return counts;
}

}  // namespace

class TestResultListPrinting : public QObject {
    Q_OBJECT
private slots:
    void printsTheHeadingThenFourLinesPerRow() {
        FlexGrid grid;
        fillGrid(grid, 2);
        QStringList record;
        RecordingPrinter printer(&record);
        printResultList(printer, grid);
        const QStringList expected = {
            "size 12", "font verdana", "bold on",
            "print N° Fiche", "x 1500", "line Entrées texte source", "x 1500", "line Entrées texte cible",
            "x 1500", "line Référence", "line " + QString(60, u'-'),
            "size 9", "font verdana", "bold off",
            "print 1", "x 1500", "line source 1", "x 1500", "line cible", "x 1500", "line réf",
            "line " + QString(69, u'_'),
            "print 2", "x 1500", "line source 2", "x 1500", "line ", "x 1500", "line réf",
            "line " + QString(69, u'_'),
            "end"};
        QCOMPARE(record, expected);
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Col(), 3);
    }

    void withoutResultsOnlyTheHeadingPrints() {
        FlexGrid grid;
        fillGrid(grid, 0);
        QStringList record;
        RecordingPrinter printer(&record);
        printResultList(printer, grid);
        QCOMPARE(record.size(), 15);
        QCOMPARE(record.last(), QStringLiteral("end"));
        QCOMPARE(grid.Row(), 0);
        QCOMPARE(grid.Col(), 3);
    }

    void aPageBreaksEverySixtyEightEntries_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("breaks");
        QTest::newRow("67 rows") << 67 << QList<int>{67};
        QTest::newRow("68 rows") << 68 << QList<int>{67};
        QTest::newRow("136 rows") << 136 << QList<int>{67, 135};
    }
    void aPageBreaksEverySixtyEightEntries() {
        QFETCH(int, rows);
        QFETCH(QList<int>, breaks);
        FlexGrid grid;
        fillGrid(grid, rows);
        QStringList record;
        RecordingPrinter printer(&record);
        printResultList(printer, grid);
        QCOMPARE(cardsBeforeEachPage(record), breaks);
        if (rows == 67) QCOMPARE(record.mid(record.size() - 2), (QStringList{"page", "end"}));
    }

    // --- from the window

    void theWindowPrintsAfterTheSetUpDialogEvenWhenCancelled() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        consultation.click("triref");
        QStringList record;
        Printer::setFactory([&] { return std::make_unique<RecordingPrinter>(&record); });
        consultation.window->imprimer_Click();
        Printer::setFactory({});
        QCOMPARE(kit.dialogs.size(), 1);
        QCOMPARE(kit.dialogs[0].kind, CommonDialog::Kind::printer);
        QCOMPARE(kit.dialogs[0].flags, 64);
        QVERIFY(record.contains(QStringLiteral("line ref 3")));
        QCOMPARE(record.last(), QStringLiteral("end"));
        QCOMPARE(consultation.grid().Row(), 3);
        QCOMPARE(consultation.grid().Col(), 3);
    }

    void aPrinterFailureIsReportedAndLeavesTheGridAlone() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        consultation.grid().setRow(2);
        consultation.grid().setCol(1);
        Printer::setFactory([]() -> std::unique_ptr<Printer> {
            throw PrinterError(QStringLiteral("Impossible d'imprimer : aucune imprimante n'est disponible."));
        });
        consultation.window->imprimer_Click();
        Printer::setFactory({});
        QCOMPARE(kit.errors(), QStringList{"Impossible d'imprimer : aucune imprimante n'est disponible."});
        QCOMPARE(consultation.grid().Row(), 2);
        QCOMPARE(consultation.grid().Col(), 1);
        QCOMPARE(consultation.window->cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestResultListPrinting)
#include "tst_result_list_printing.moc"
