#pragma once

#include <QTableView>

#include "windows/controls/grid_model.h"

// The result grid: a table of text cells with a fixed header row and a fixed
// first column, a current cell (Row, Col) and a selection running from it to
// (RowSel, ColSel).
class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    int Rows() const { return m_model.rows(); }
    // Cuts rows at the end or adds empty ones, keeping the texts that remain.
    void setRows(int rows);
    int Cols() const { return m_model.cols(); }
    void setCols(int cols);

    int Row() const { return m_row; }
    int Col() const { return m_col; }
    // Make a cell current; the selection shrinks to it.
    void setRow(int row);
    void setCol(int col);
    int RowSel() const { return m_rowSel; }
    int ColSel() const { return m_colSel; }
    // Moves the selection's far end; the current cell stays.
    void setRowSel(int row);
    void setColSel(int col);
    // The cells shown selected, in grid coordinates (x the column, y the
    // row); empty when none is. The fixed row and column never show
    // selected, but a card number that is the current cell shows its row
    // selected: the row Enter opens.
    QRect shownSelection() const;

    QString Text() const;
    void setText(QString text);
    QString TextMatrix(int row, int col) const { return m_model.cell(row, col).text; }

    void setColWidth(int col, int twips);
    // Formatting of the current cell.
    void setCellForeColor(const QColor& colour);
    void setCellAlignment(int code);

    void Clear();
    // Brings the view to the first rows and the first column's left edge,
    // wherever the current cell is, once the selection has shown.
    void showFirstRows();
    // Code 1, generic ascending: all result rows when the selection covers a
    // single row, otherwise the selected rows; keys are the columns from Col
    // to ColSel.
    void Sort(int code);

    GridModel& model() { return m_model; }

signals:
    // A double click on a cell, once that cell is current and selected; or
    // Enter on the current cell of a result row.
    void DblClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectWholeRow(int row);
    void selectWholeColumn(int col);
    void showSelection();
    void showSelectionLater();
    void tellCurrentCell();
    int clampRow(int row) const;
    int clampCol(int col) const;

    GridModel m_model;
    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
    QWidget* m_corner = nullptr;
    bool m_selectionPending = false;
};
