#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <functional>
#include <thread>
#include <vector>

// The cells of the result grid, fixed row 0 and fixed column 0 included.
// The view sees row 0 as its column headers and column 0 as its row headers.
//
// Cells change one at a time (a search fills them cell by cell, growing the
// grid one row at a time), so the view is told of the changes once per turn
// of the event loop, in one batch, rather than once per cell.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Cell {
        QString text;
        QColor foreground;   // invalid: the grid's default
        int alignment = -1;  // -1: the grid's default
        int toolTipKey = -1; // the row's tool tip, in its first cell only; -1: none
        int markBegin = -1;  // a part of the text shown marked; -1: none
        int markLength = 0;
    };
    // The marked part of a cell's text, as a QPoint(begin, length).
    static constexpr int kMarkRole = Qt::UserRole + 1;
    // The tool tip of a row given its key, made when the row is hovered.
    using ToolTips = std::function<QString(int key)>;

    explicit GridModel(QObject* parent = nullptr);
    ~GridModel() override;

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    void setRows(int rows);
    void setCols(int cols);

    const Cell& cell(int row, int col) const { return m_cells[offset(row, col)]; }
    void setText(int row, int col, QString text);
    void setForeground(int row, int col, const QColor& colour);
    void setAlignment(int row, int col, int code);
    // Shows `length` characters of the text from `begin` marked.
    void setMark(int row, int col, int begin, int length);
    // What any cell of the row shows on hovering: the text `toolTips` gives
    // for `key`; it moves with the row.
    void setRowToolTip(int row, int key);
    void setToolTips(ToolTips toolTips);
    // Every cell's text and formatting, and the tool tips; the counts stay.
    void clear();
    // Puts rows first..first+order.size()-1 in the given order (indexes
    // relative to first), texts and formatting together.
    void reorderRows(int first, const std::vector<int>& order);

    // Tells the view of every change made since the last time, if any.
    void publish();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void published();

private:
    QVariant cellData(int row, int col, int role) const;
    void changed();
    void releaseCleared();
    void dropReleased();
    std::size_t offset(int row, int col) const { return std::size_t(row) * std::size_t(m_cols) + std::size_t(col); }

    std::vector<Cell> m_cells;  // row after row
    ToolTips m_toolTips;
    // The cells a clear took away, their texts released on a second thread:
    // tens of thousands of them take milliseconds the window need not wait.
    // Emptied, they serve the next clear, so no memory is asked for again.
    std::vector<Cell> m_released;
    ToolTips m_releasedToolTips;
    std::thread m_releaser;
    int m_rows = 0;
    int m_cols = 0;
    int m_publishedRows = 0;  // view rows: grid rows less the fixed one
    int m_publishedCols = 0;
    bool m_publishPending = false;
    bool m_dirty = false;
};
