#include "windows/controls/flex_grid_accessible.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QPointer>
#include <algorithm>

#include "windows/controls/flex_grid.h"

namespace {

int rowOf(const FlexGrid& grid, int index) { return index / std::max(1, grid.Cols()); }
int colOf(const FlexGrid& grid, int index) { return index % std::max(1, grid.Cols()); }

// One cell of the grid, in grid coordinates (row 0 and column 0 fixed).
class GridCell final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCell(FlexGrid* grid, int row, int col) : m_grid(grid), m_row(row), m_col(col) {}

    int row() const { return m_row; }
    int col() const { return m_col; }

    bool isValid() const override { return m_grid && m_row < m_grid->Rows() && m_col < m_grid->Cols(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid->window()->windowHandle(); }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_grid); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? m_grid->TextMatrix(m_row, m_col) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QAccessible::Role role() const override {
        if (m_row == 0) return QAccessible::ColumnHeader;
        return m_col == 0 ? QAccessible::RowHeader : QAccessible::Cell;
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        const QRect shown = rect();
        const QRect view(m_grid->mapToGlobal(QPoint(0, 0)), m_grid->size());
        state.invisible = !m_grid->isVisible() || !view.intersects(shown);
        state.offscreen = state.invisible;
        if (role() != QAccessible::Cell) return state;
        state.focusable = true;
        state.selectable = true;
        state.selected = isSelected();
        state.focused = m_grid->hasFocus() && m_row == m_grid->Row() && m_col == m_grid->Col();
        return state;
    }

    QRect rect() const override {
        QRect area;
        if (m_row == 0 && m_col == 0) {
            if (const auto* corner = m_grid->findChild<QAbstractButton*>()) {
                return QRect(corner->mapToGlobal(QPoint(0, 0)), corner->size());
            }
        } else if (m_row == 0) {
            const QHeaderView* header = m_grid->horizontalHeader();
            area = QRect(header->sectionViewportPosition(m_col - 1), 0, header->sectionSize(m_col - 1), header->height());
            return area.translated(header->viewport()->mapToGlobal(QPoint(0, 0)));
        } else if (m_col == 0) {
            const QHeaderView* header = m_grid->verticalHeader();
            area = QRect(0, header->sectionViewportPosition(m_row - 1), header->width(), header->sectionSize(m_row - 1));
            return area.translated(header->viewport()->mapToGlobal(QPoint(0, 0)));
        } else {
            area = m_grid->visualRect(m_grid->model().index(m_row - 1, m_col - 1));
            return area.translated(m_grid->viewport()->mapToGlobal(QPoint(0, 0)));
        }
        return area;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface && m_row > 0) return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override { return m_grid->shownSelection().contains(m_col, m_row); }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {header(0, m_col)}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override {
        if (m_col == 0) return {};
        return {header(m_row, 0)};
    }
    int columnIndex() const override { return m_col; }
    int rowIndex() const override { return m_row - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QAccessibleInterface* header(int row, int col) const { return parent()->child(FlexGridAccessible::childIndex(*m_grid, row, col)); }

    QPointer<FlexGrid> m_grid;
    int m_row;
    int m_col;
};

}  // namespace

FlexGridAccessible::FlexGridAccessible(FlexGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

FlexGridAccessible::~FlexGridAccessible() { forgetCells(); }

QAccessibleInterface* FlexGridAccessible::create(const QString& className, QObject* object) {
    auto* grid = qobject_cast<FlexGrid*>(object);
    if (className != QLatin1String("FlexGrid") || !grid) return nullptr;
    return new FlexGridAccessible(grid);
}

int FlexGridAccessible::childIndex(const FlexGrid& grid, int row, int col) { return row * grid.Cols() + col; }

FlexGrid* FlexGridAccessible::grid() const { return static_cast<FlexGrid*>(widget()); }

void* FlexGridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int FlexGridAccessible::childCount() const { return grid()->Rows() * grid()->Cols(); }

QAccessibleInterface* FlexGridAccessible::cell(int gridRow, int gridCol) const {
    if (gridRow < 0 || gridCol < 0 || gridRow >= grid()->Rows() || gridCol >= grid()->Cols()) return nullptr;
    const std::pair place(gridRow, gridCol);
    if (const auto known = m_cells.constFind(place); known != m_cells.constEnd()) {
        return QAccessible::accessibleInterface(*known);
    }
    auto* created = new GridCell(grid(), gridRow, gridCol);
    m_cells.insert(place, QAccessible::registerAccessibleInterface(created));
    return created;
}

QAccessibleInterface* FlexGridAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) return nullptr;
    return cell(rowOf(*grid(), index), colOf(*grid(), index));
}

int FlexGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell = dynamic_cast<const GridCell*>(child);
    if (!cell || !cell->isValid()) return -1;
    return childIndex(*grid(), cell->row(), cell->col());
}

QAccessibleInterface* FlexGridAccessible::childAt(int x, int y) const {
    const QPoint global(x, y);
    const FlexGrid& view = *grid();
    const QPoint inViewport = view.viewport()->mapFromGlobal(global);
    if (view.viewport()->rect().contains(inViewport)) {
        const QModelIndex index = view.indexAt(inViewport);
        return index.isValid() ? cell(index.row() + 1, index.column() + 1) : nullptr;
    }
    const QHeaderView* columns = view.horizontalHeader();
    if (const QPoint p = columns->viewport()->mapFromGlobal(global); columns->viewport()->rect().contains(p)) {
        return cell(0, columns->logicalIndexAt(p.x()) + 1);
    }
    const QHeaderView* rows = view.verticalHeader();
    if (const QPoint p = rows->viewport()->mapFromGlobal(global); rows->viewport()->rect().contains(p)) {
        const int section = rows->logicalIndexAt(p.y());
        return section < 0 ? nullptr : cell(section + 1, 0);
    }
    if (const auto* corner = view.findChild<QAbstractButton*>(); corner && corner->rect().contains(corner->mapFromGlobal(global))) {
        return cell(0, 0);
    }
    return nullptr;
}

QAccessibleInterface* FlexGridAccessible::focusChild() const {
    if (!grid()->hasFocus() || grid()->Row() < 1 || grid()->Col() < 1) return nullptr;
    return cell(grid()->Row(), grid()->Col());
}

QAccessibleInterface* FlexGridAccessible::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    return cell(row + 1, column);
}

int FlexGridAccessible::selectedCellCount() const {
    const QRect selection = grid()->shownSelection();
    return selection.width() * selection.height();
}

QList<QAccessibleInterface*> FlexGridAccessible::selectedCells() const {
    const QRect selection = grid()->shownSelection();
    QList<QAccessibleInterface*> cells;
    for (int row = selection.top(); row <= selection.bottom(); ++row) {
        for (int col = selection.left(); col <= selection.right(); ++col) cells.append(cell(row, col));
    }
    return cells;
}

QString FlexGridAccessible::columnDescription(int column) const {
    return column >= 0 && column < columnCount() ? grid()->TextMatrix(0, column) : QString();
}

QString FlexGridAccessible::rowDescription(int row) const {
    return row >= 0 && row < rowCount() ? grid()->TextMatrix(row + 1, 0) : QString();
}

int FlexGridAccessible::columnCount() const { return grid()->Cols(); }

int FlexGridAccessible::rowCount() const { return std::max(0, grid()->Rows() - 1); }

// A column is selected when every result row of it is; a row when every
// column but the fixed one is.
QList<int> FlexGridAccessible::selectedColumns() const {
    const QRect selection = grid()->shownSelection();
    QList<int> columns;
    if (selection.isEmpty() || selection.top() != 1 || selection.bottom() != grid()->Rows() - 1) return columns;
    for (int col = selection.left(); col <= selection.right(); ++col) columns.append(col);
    return columns;
}

QList<int> FlexGridAccessible::selectedRows() const {
    const QRect selection = grid()->shownSelection();
    QList<int> rows;
    if (selection.isEmpty() || selection.left() != 1 || selection.right() != grid()->Cols() - 1) return rows;
    for (int row = selection.top(); row <= selection.bottom(); ++row) rows.append(row - 1);
    return rows;
}

void FlexGridAccessible::modelChange(QAccessibleTableModelChangeEvent*) { forgetCells(); }

void FlexGridAccessible::forgetCells() {
    for (const QAccessible::Id id : std::as_const(m_cells)) QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}
