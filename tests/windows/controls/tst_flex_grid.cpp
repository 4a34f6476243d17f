#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include "windows/controls/flex_grid.h"

namespace {

// A grid of the result grid's shape: header row, then one row per entry of
// cells {number, source, target, reference}.
void fill(FlexGrid& grid, const QList<QStringList>& rows) {
    grid.Clear();
    grid.setCols(4);
    grid.setRows(1 + int(rows.size()));
    for (int c = 0; c < 4; ++c) {
        grid.setRow(0);
        grid.setCol(c);
        grid.setText(QStringLiteral("h%1").arg(c));
    }
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 4; ++c) {
            grid.setRow(r + 1);
            grid.setCol(c);
            grid.setText(rows[r][c]);
        }
    }
    grid.setRow(1);
    grid.setCol(3);
}

QStringList column(const FlexGrid& grid, int col) {
    QStringList texts;
    for (int r = 1; r < grid.Rows(); ++r) texts.append(grid.TextMatrix(r, col));
    return texts;
}

}  // namespace

class TestFlexGrid : public QObject {
    Q_OBJECT
private slots:
    // --- rows, cells and the current cell

    void settingRowsKeepsTheRemainingTexts() {
        FlexGrid grid;
        fill(grid, {{"1", "a", "b", "c"}, {"2", "d", "e", "f"}, {"3", "g", "h", "i"}});
        grid.setRows(2);
        QCOMPARE(grid.Rows(), 2);
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("a"));
        grid.setRows(4);
        QCOMPARE(grid.TextMatrix(1, 3), QStringLiteral("c"));
        QCOMPARE(grid.TextMatrix(2, 1), QString());
        QCOMPARE(grid.TextMatrix(3, 1), QString());
    }

    void settingRowOrColShrinksTheSelection() {
        FlexGrid grid;
        fill(grid, {{"1", "a", "b", "c"}, {"2", "d", "e", "f"}});
        grid.setRow(1);
        grid.setCol(1);
        grid.setColSel(3);
        grid.setRowSel(2);
        QCOMPARE(grid.Col(), 1);
        QCOMPARE(grid.ColSel(), 3);
        grid.setRow(2);
        QCOMPARE(grid.RowSel(), 2);
        QCOMPARE(grid.ColSel(), 1);
        QCOMPARE(grid.Text(), QStringLiteral("d"));
    }

    // Whether the view was told in between or not: the cells a clear took
    // away never come back, and each listing shows its own texts.
    void clearEmptiesTextsAndFormattingButKeepsCounts_data() {
        QTest::addColumn<bool>("publishedBetween");
        QTest::newRow("two clears in one turn") << false;
        QTest::newRow("the view told between them") << true;
    }
    void clearEmptiesTextsAndFormattingButKeepsCounts() {
        QFETCH(bool, publishedBetween);
        FlexGrid grid;
        for (const char* listing : {"a", "b", "c"}) {
            fill(grid, {{"1", listing, "x", "y"}});
            if (publishedBetween) QCoreApplication::processEvents();
            QCOMPARE(grid.TextMatrix(1, 1), QString::fromLatin1(listing));
        }
        grid.setRow(1);
        grid.setCol(0);
        grid.setCellForeColor(QColor(0, 0, 192));
        grid.Clear();
        if (publishedBetween) QCoreApplication::processEvents();
        grid.Clear();
        QCOMPARE(grid.Rows(), 2);
        QCOMPARE(grid.Cols(), 4);
        for (int c = 0; c < 4; ++c) QCOMPARE(grid.TextMatrix(1, c), QString());
        QVERIFY(!grid.model().cell(1, 0).foreground.isValid());
    }

    // --- sort with code 1

    void sortsAllRowsOnKeysFromColToColSel() {
        FlexGrid grid;
        fill(grid, {{"1", "b", "y", "r2"}, {"2", "a", "z", "r1"}, {"3", "b", "x", "r3"}, {"4", "a", "z", "r0"}});
        grid.setRow(1);
        grid.setCol(1);
        grid.setColSel(3);
        grid.Sort(1);
        QCOMPARE(column(grid, 0), (QStringList{"4", "2", "3", "1"}));
        QCOMPARE(grid.TextMatrix(0, 0), QStringLiteral("h0"));
    }

    void sortFromColumnZeroOrdersByNumber() {
        FlexGrid grid;
        fill(grid, {{"10", "b", "", "a"}, {"9", "a", "", "b"}, {"100", "c", "", "c"}});
        grid.setRow(2);
        grid.setCol(0);
        grid.setColSel(3);
        grid.Sort(1);
        QCOMPARE(column(grid, 0), (QStringList{"9", "10", "100"}));
    }

    void sortWithSeveralSelectedRowsMovesOnlyThose() {
        FlexGrid grid;
        fill(grid, {{"1", "d", "", ""}, {"2", "c", "", ""}, {"3", "b", "", ""}, {"4", "a", "", ""}});
        grid.setRow(2);
        grid.setCol(1);
        grid.setRowSel(3);
        grid.Sort(1);
        QCOMPARE(column(grid, 1), (QStringList{"d", "b", "c", "a"}));
    }

    void formattingMovesWithItsRow() {
        FlexGrid grid;
        fill(grid, {{"1", "b", "", ""}, {"2", "a", "", ""}});
        grid.setRow(1);
        grid.setCol(0);
        grid.setCellForeColor(QColor(0, 0, 192));
        grid.setCellAlignment(3);
        grid.setRow(1);
        grid.setCol(1);
        grid.Sort(1);
        QCOMPARE(grid.TextMatrix(2, 0), QStringLiteral("1"));
        QCOMPARE(grid.model().cell(2, 0).foreground, QColor(0, 0, 192));
        QCOMPARE(grid.model().cell(2, 0).alignment, 3);
        QVERIFY(!grid.model().cell(1, 0).foreground.isValid());
    }

    // --- the view

    void theModelStaysConsistentThroughAFillAndASort() {
        FlexGrid grid;
        QAbstractItemModelTester tester(&grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        fill(grid, {{"1", "b", "", ""}, {"2", "a", "", ""}, {"3", "c", "", ""}});
        QCoreApplication::processEvents();
        QCOMPARE(grid.model().rowCount(), 3);
        QCOMPARE(grid.model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("h1"));
        QCOMPARE(grid.model().headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("3"));
        grid.setRow(1);
        grid.setCol(1);
        grid.Sort(1);
        grid.setRows(2);
        QCoreApplication::processEvents();
        QCOMPARE(grid.model().rowCount(), 1);
        QCOMPARE(grid.model().data(grid.model().index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("a"));
    }

    void aDoubleClickMakesTheCellCurrentFirst() {
        FlexGrid grid;
        grid.resize(400, 300);
        fill(grid, {{"1", "a", "", ""}, {"2", "b", "", ""}, {"3", "c", "", ""}});
        grid.show();
        QCoreApplication::processEvents();
        int rowAtSignal = -1;
        connect(&grid, &FlexGrid::DblClick, this, [&] { rowAtSignal = grid.RowSel(); });
        const QRect cell = grid.visualRect(grid.model().index(1, 1));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(rowAtSignal, 2);
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Col(), 2);
    }

    void headerClicksDoNotSort() {
        FlexGrid grid;
        grid.resize(400, 300);
        fill(grid, {{"1", "b", "", ""}, {"2", "a", "", ""}});
        grid.show();
        QCoreApplication::processEvents();
        QHeaderView* header = grid.horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
        QCOMPARE(column(grid, 1), (QStringList{"b", "a"}));
    }
    // --- row headers

    // Their width is column 0's when set, whatever their labels; otherwise
    // the widest label still widens them, as a plain view's would.
    void rowHeadersTakeColumnZerosWidthOrTheirLabels_data() {
        QTest::addColumn<int>("colZeroTwips");  // 0: never set
        QTest::addColumn<QString>("label");
        QTest::newRow("set, short labels") << 1050 << QStringLiteral("7");
        QTest::newRow("set, labels wider than it") << 150 << QStringLiteral("32767 32767 32767");
        QTest::newRow("never set, wide labels") << 0 << QStringLiteral("32767 32767 32767");
    }
    void rowHeadersTakeColumnZerosWidthOrTheirLabels() {
        QFETCH(int, colZeroTwips);
        QFETCH(QString, label);
        FlexGrid grid;
        grid.resize(600, 300);
        if (colZeroTwips > 0) grid.setColWidth(0, colZeroTwips);
        fill(grid, {{label, "a", "", ""}, {"2", "b", "", ""}});
        grid.show();
        QCoreApplication::processEvents();
        QHeaderView* rowHeaders = grid.verticalHeader();
        const int labelWidth = rowHeaders->fontMetrics().horizontalAdvance(label);
        if (colZeroTwips > 0) {
            QCOMPARE(rowHeaders->width(), rowHeaders->minimumWidth());
            QCOMPARE(rowHeaders->width(), rowHeaders->maximumWidth());
        } else {
            QVERIFY2(rowHeaders->width() > labelWidth, qPrintable(QString::number(rowHeaders->width())));
        }
        QCOMPARE(grid.viewport()->x(), rowHeaders->x() + rowHeaders->width());
    }
};

QTEST_MAIN(TestFlexGrid)
#include "tst_flex_grid.moc"
