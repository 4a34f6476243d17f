#include "windows/controls/grid_model.h"

#include <QMetaObject>
#include <QPoint>
#include <algorithm>
#include <iterator>
#include <system_error>
#include <utility>

#include "windows/common/look.h"

namespace {

Qt::Alignment alignmentFor(int code) {
    switch (code) {
        case 0: return Qt::AlignLeft | Qt::AlignTop;
        case 1: return Qt::AlignLeft | Qt::AlignVCenter;
        case 2: return Qt::AlignLeft | Qt::AlignBottom;
        case 3: return Qt::AlignHCenter | Qt::AlignTop;
        case 4: return Qt::AlignHCenter | Qt::AlignVCenter;
        case 5: return Qt::AlignHCenter | Qt::AlignBottom;
        case 6: return Qt::AlignRight | Qt::AlignTop;
        case 7: return Qt::AlignRight | Qt::AlignVCenter;
        case 8: return Qt::AlignRight | Qt::AlignBottom;
        default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

GridModel::~GridModel() {
    if (m_releaser.joinable()) m_releaser.join();
}

void GridModel::changed() {
    m_dirty = true;
    if (m_publishPending) return;
    m_publishPending = true;
    QMetaObject::invokeMethod(this, &GridModel::publish, Qt::QueuedConnection);
}

void GridModel::setRows(int rows) {
    m_rows = std::max(rows, 0);
    m_cells.resize(std::size_t(m_rows) * std::size_t(m_cols));
    changed();
}

void GridModel::setCols(int cols) {
    cols = std::max(cols, 0);
    if (cols == m_cols) return;
    std::vector<Cell> cells(std::size_t(m_rows) * std::size_t(cols));
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < std::min(cols, m_cols); ++c) {
            cells[std::size_t(r) * std::size_t(cols) + std::size_t(c)] = std::move(m_cells[offset(r, c)]);
        }
    }
    m_cells = std::move(cells);
    m_cols = cols;
    changed();
}

void GridModel::setText(int row, int col, QString text) {
    m_cells[offset(row, col)].text = std::move(text);
    changed();
}

void GridModel::setForeground(int row, int col, const QColor& colour) {
    m_cells[offset(row, col)].foreground = colour;
    changed();
}

void GridModel::setAlignment(int row, int col, int code) {
    m_cells[offset(row, col)].alignment = code;
    changed();
}

void GridModel::setMark(int row, int col, int begin, int length) {
    Cell& c = m_cells[offset(row, col)];
    c.markBegin = begin;
    c.markLength = length;
    changed();
}

void GridModel::setRowToolTip(int row, int key) {
    m_cells[offset(row, 0)].toolTipKey = key;
    changed();
}

void GridModel::setToolTips(ToolTips toolTips) {
    m_toolTips = std::move(toolTips);
    changed();
}

void GridModel::clear() {
    if (m_releaser.joinable()) m_releaser.join();
    // Cells an earlier clear took away and nothing has released yet go now.
    dropReleased();
    const std::size_t count = m_cells.size();
    std::swap(m_cells, m_released);
    m_cells.resize(count);
    std::swap(m_toolTips, m_releasedToolTips);
    m_toolTips = {};
    changed();
}

void GridModel::reorderRows(int first, const std::vector<int>& order) {
    std::vector<Cell> moved;
    moved.reserve(order.size() * std::size_t(m_cols));
    for (int row : order) {
        const auto begin = m_cells.begin() + std::ptrdiff_t(offset(first + row, 0));
        std::move(begin, begin + m_cols, std::back_inserter(moved));
    }
    std::move(moved.begin(), moved.end(), m_cells.begin() + std::ptrdiff_t(offset(first, 0)));
    changed();
}

// Once the new cells are in: released any sooner, the old ones would slow
// the filling down, both threads asking the same allocator at once.
void GridModel::releaseCleared() {
    if (m_releaser.joinable() || (m_released.empty() && !m_releasedToolTips)) return;
    try {
        m_releaser = std::thread([this] { dropReleased(); });
    } catch (const std::system_error&) {
        dropReleased();  // no thread to spare: released here
    }
}

void GridModel::dropReleased() {
    m_released.clear();
    m_releasedToolTips = {};
}

void GridModel::publish() {
    releaseCleared();
    m_publishPending = false;
    if (!m_dirty) return;
    m_dirty = false;
    const int rows = std::max(0, this->rows() - 1);
    const int cols = std::max(0, m_cols - 1);
    if (rows < m_publishedRows) {
        beginRemoveRows(QModelIndex(), rows, m_publishedRows - 1);
        m_publishedRows = rows;
        endRemoveRows();
    } else if (rows > m_publishedRows) {
        beginInsertRows(QModelIndex(), m_publishedRows, rows - 1);
        m_publishedRows = rows;
        endInsertRows();
    }
    if (cols < m_publishedCols) {
        beginRemoveColumns(QModelIndex(), cols, m_publishedCols - 1);
        m_publishedCols = cols;
        endRemoveColumns();
    } else if (cols > m_publishedCols) {
        beginInsertColumns(QModelIndex(), m_publishedCols, cols - 1);
        m_publishedCols = cols;
        endInsertColumns();
    }
    if (rows > 0 && cols > 0) emit dataChanged(index(0, 0), index(rows - 1, cols - 1));
    if (cols > 0) emit headerDataChanged(Qt::Horizontal, 0, cols - 1);
    if (rows > 0) emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    emit published();
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_publishedRows; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_publishedCols; }

// Between a change and its publication the view may ask for cells that are
// gone; they read as empty.
QVariant GridModel::cellData(int row, int col, int role) const {
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols) return {};
    const Cell& c = cell(row, col);
    const bool fixed = row == 0 || col == 0;
    switch (role) {
        case Qt::DisplayRole: return c.text;
        case Qt::ForegroundRole:
            if (c.foreground.isValid()) return c.foreground;
            return fixed ? QVariant(look::kDarkRed) : QVariant();
        case Qt::BackgroundRole: return fixed ? QVariant(look::kLightYellow) : QVariant();
        case Qt::TextAlignmentRole:
            if (c.alignment >= 0) return int(alignmentFor(c.alignment));
            return fixed ? QVariant(int(Qt::AlignCenter)) : QVariant();
        case kMarkRole: return c.markBegin >= 0 ? QVariant(QPoint(c.markBegin, c.markLength)) : QVariant();
        case Qt::ToolTipRole: {
            const int key = cell(row, 0).toolTipKey;
            if (key < 0 || !m_toolTips) return {};
            const QString tip = m_toolTips(key);
            return tip.isEmpty() ? QVariant() : QVariant(tip);
        }
        default: return {};
    }
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    return cellData(index.row() + 1, index.column() + 1, role);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section < 0) return {};
    return orientation == Qt::Horizontal ? cellData(0, section + 1, role) : cellData(section + 1, 0, role);
}
