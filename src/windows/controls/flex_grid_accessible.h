#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <utility>

class FlexGrid;

// The result grid as assistive tools read it: a table of the result rows
// whose columns are headed by the fixed row's cells, the corner "Numero
// fiche" among them, and whose rows are headed by their card numbers.
//
// Its children are every cell of the grid, fixed ones included, numbered
// row after row: the numbering the view uses when it tells which cell has
// the focus.
class FlexGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit FlexGridAccessible(FlexGrid* grid);
    ~FlexGridAccessible() override;

    // Answers for FlexGrid in QAccessible::installFactory.
    static QAccessibleInterface* create(const QString& className, QObject* object);
    // The child that stands for a cell of the grid.
    static int childIndex(const FlexGrid& grid, int row, int col);

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // Rows and columns of the table: result rows, every column.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override { return selectedColumns().contains(column); }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    // The selection follows the keyboard and the mouse only.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    FlexGrid* grid() const;
    QAccessibleInterface* cell(int gridRow, int gridCol) const;
    void forgetCells();

    mutable QHash<std::pair<int, int>, QAccessible::Id> m_cells;  // by grid row and column
};
