#include "windows/controls/flex_grid.h"

#include <QScrollBar>

#include <QAbstractButton>
#include <QAccessible>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>
#include <utility>

#include "windows/common/look.h"
#include "windows/common/twips.h"
#include "windows/controls/flex_grid_accessible.h"
#include "windows/controls/marked_cell_delegate.h"
#include "windows/controls/grid_sort.h"

namespace {

// The row headers. Their width is fixed by the grid's column 0, and then the
// view takes that width whatever the size hint says: measuring two hundred
// labels for the hint after each change of the rows would be lost work.
class RowHeaders : public QHeaderView {
public:
    explicit RowHeaders(QWidget* parent) : QHeaderView(Qt::Vertical, parent) { setSectionsClickable(true); }
    QSize sizeHint() const override {
        if (minimumWidth() == maximumWidth()) return {minimumWidth(), defaultSectionSize()};
        return QHeaderView::sizeHint();
    }
};

}  // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent) {
    setVerticalHeader(new RowHeaders(this));
    setModel(&m_model);
    setItemDelegate(new MarkedCellDelegate(this));
    setFont(look::msSansSerif(8.25));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid as it leaves any control; the arrows move within.
    setTabKeyNavigation(false);
    setSortingEnabled(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);  // cells clip their text, as a grid does
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(twips::toPixels(240));
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setFixedHeight(twips::toPixels(240) + 2);
    // Assistive tools read every grid through its own interface, installed once.
    static const bool readable = (QAccessible::installFactory(FlexGridAccessible::create), true);
    Q_UNUSED(readable);

    // The top-left fixed cell is the view's corner button: paint its text there.
    m_corner = findChild<QAbstractButton*>();
    if (m_corner) m_corner->installEventFilter(this);

    connect(verticalHeader(), &QHeaderView::sectionPressed, this, [this](int section) { selectWholeRow(section + 1); });
    connect(verticalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int section) {
        selectWholeRow(section + 1);
        emit DblClick();
    });
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this,
            [this](int section) { selectWholeColumn(section + 1); });
    connect(&m_model, &GridModel::published, this, &FlexGrid::showSelectionLater);
}

int FlexGrid::clampRow(int row) const { return std::clamp(row, 0, std::max(0, Rows() - 1)); }
int FlexGrid::clampCol(int col) const { return std::clamp(col, 0, std::max(0, Cols() - 1)); }

void FlexGrid::setRows(int rows) {
    m_model.setRows(rows);
    m_row = clampRow(m_row);
    m_rowSel = clampRow(m_rowSel);
}

void FlexGrid::setCols(int cols) {
    m_model.setCols(cols);
    m_col = clampCol(m_col);
    m_colSel = clampCol(m_colSel);
}

void FlexGrid::setRow(int row) {
    m_row = clampRow(row);
    m_rowSel = m_row;
    m_colSel = m_col;
    showSelectionLater();
}

void FlexGrid::setCol(int col) {
    m_col = clampCol(col);
    m_rowSel = m_row;
    m_colSel = m_col;
    showSelectionLater();
}

void FlexGrid::setRowSel(int row) {
    m_rowSel = clampRow(row);
    showSelectionLater();
}

void FlexGrid::setColSel(int col) {
    m_colSel = clampCol(col);
    showSelectionLater();
}

QString FlexGrid::Text() const {
    if (m_row >= Rows() || m_col >= Cols()) return {};
    return m_model.cell(m_row, m_col).text;
}

void FlexGrid::setText(QString text) {
    if (m_row < Rows() && m_col < Cols()) m_model.setText(m_row, m_col, std::move(text));
}

void FlexGrid::setColWidth(int col, int width) {
    const int pixels = twips::toPixels(width);
    if (col == 0) {
        verticalHeader()->setFixedWidth(pixels);
    } else {
        m_model.publish();
        horizontalHeader()->resizeSection(col - 1, pixels);
    }
}

void FlexGrid::setCellForeColor(const QColor& colour) {
    if (m_row < Rows() && m_col < Cols()) m_model.setForeground(m_row, m_col, colour);
}

void FlexGrid::setCellAlignment(int code) {
    if (m_row < Rows() && m_col < Cols()) m_model.setAlignment(m_row, m_col, code);
}

void FlexGrid::Clear() { m_model.clear(); }

void FlexGrid::Sort(int code) {
    if (code != 1 || Rows() < 3) return;
    int first = 1;
    int last = Rows() - 1;
    if (m_rowSel != m_row) {
        first = std::max(1, std::min(m_row, m_rowSel));
        last = std::max(m_row, m_rowSel);
    }
    const int firstKey = std::min(m_col, m_colSel);
    const int lastKey = std::max(m_col, m_colSel);
    std::vector<std::vector<QString>> keys;
    keys.reserve(std::size_t(last - first + 1));
    for (int r = first; r <= last; ++r) {
        std::vector<QString> rowKeys;
        for (int c = firstKey; c <= lastKey; ++c) rowKeys.push_back(m_model.cell(r, c).text);
        keys.push_back(std::move(rowKeys));
    }
    m_model.reorderRows(first, gridsort::ascendingOrder(keys));
}

void FlexGrid::selectWholeRow(int row) {
    m_row = m_rowSel = clampRow(row);
    m_col = clampCol(1);
    m_colSel = Cols() - 1;
    showSelection();
}

void FlexGrid::selectWholeColumn(int col) {
    m_col = m_colSel = clampCol(col);
    m_row = clampRow(1);
    m_rowSel = Rows() - 1;
    showSelection();
}

void FlexGrid::showFirstRows() {
    const auto toTopLeft = [this] {
        scrollToTop();
        horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
    };
    toTopLeft();
    // After a selection waiting to show, which would scroll to its cell.
    QMetaObject::invokeMethod(this, toTopLeft, Qt::QueuedConnection);
}

void FlexGrid::showSelectionLater() {
    if (m_selectionPending) return;
    m_selectionPending = true;
    QMetaObject::invokeMethod(this, &FlexGrid::showSelection, Qt::QueuedConnection);
}

// Mirrors the grid's selection in the view; the fixed cells are headers
// there, so only the part of the selection over the other cells shows.
void FlexGrid::showSelection() {
    m_selectionPending = false;
    m_model.publish();
    QItemSelectionModel* selection = selectionModel();
    const QRect cells = shownSelection();
    if (cells.isEmpty() || cells.bottom() > m_model.rowCount() || cells.right() > m_model.columnCount()) {
        selection->clearSelection();
        return;
    }
    selection->select(QItemSelection(m_model.index(cells.top() - 1, cells.left() - 1),
                                     m_model.index(cells.bottom() - 1, cells.right() - 1)),
                      QItemSelectionModel::ClearAndSelect);
    if (m_row >= 1) {
        selection->setCurrentIndex(m_model.index(m_row - 1, std::max(m_col, 1) - 1), QItemSelectionModel::NoUpdate);
    }
}

QRect FlexGrid::shownSelection() const {
    const int top = std::max(std::min(m_row, m_rowSel), 1);
    const int bottom = std::max(m_row, m_rowSel);
    int left = std::max(std::min(m_col, m_colSel), 1);
    int right = std::max(m_col, m_colSel);
    if (m_col == 0 && m_colSel == 0) right = Cols() - 1;
    if (bottom < top || right < left) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton) return;
    if (event->modifiers() & Qt::ShiftModifier) {
        m_rowSel = index.row() + 1;
        m_colSel = index.column() + 1;
        showSelection();
        return;
    }
    m_row = m_rowSel = index.row() + 1;
    m_col = m_colSel = index.column() + 1;
    showSelection();
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!(event->buttons() & Qt::LeftButton) || !index.isValid()) return;
    m_rowSel = index.row() + 1;
    m_colSel = index.column() + 1;
    showSelection();
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton) return;
    m_row = m_rowSel = index.row() + 1;
    m_col = m_colSel = index.column() + 1;
    showSelection();
    emit DblClick();
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    const int page = std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
    int row = m_row;
    int col = m_col;
    switch (event->key()) {
        case Qt::Key_Up: --row; break;
        case Qt::Key_Down: ++row; break;
        case Qt::Key_Left: --col; break;
        case Qt::Key_Right: ++col; break;
        case Qt::Key_PageUp: row -= page; break;
        case Qt::Key_PageDown: row += page; break;
        case Qt::Key_Home: row = 1; break;
        case Qt::Key_End: row = Rows() - 1; break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // As a double click on the current cell, where it is a result.
            if (m_row >= 1 && m_row < Rows()) emit DblClick();
            return;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // Ctrl+Tab leaves the grid too, as it leaves a text box.
            if (event->modifiers() & Qt::ControlModifier) {
                focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
                return;
            }
            [[fallthrough]];
        default: QTableView::keyPressEvent(event); return;
    }
    if (Rows() < 2 || Cols() < 2) return;
    row = std::clamp(row, 1, Rows() - 1);
    col = std::clamp(col, 1, Cols() - 1);
    if (event->modifiers() & Qt::ShiftModifier) {
        m_rowSel = row;
        m_colSel = col;
    } else {
        m_row = m_rowSel = row;
        m_col = m_colSel = col;
    }
    showSelection();
    scrollTo(m_model.index(row - 1, col - 1));
}

// Assistive tools read the current cell out when the grid takes the focus,
// after the grid itself, and as it moves while the grid has it; a search run
// from the search box moves it too, but must not take the reader away from
// that box.
void FlexGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (QAccessible::isActive()) QMetaObject::invokeMethod(this, &FlexGrid::tellCurrentCell, Qt::QueuedConnection);
}

void FlexGrid::tellCurrentCell() {
    if (!hasFocus() || m_row < 1 || m_row >= Rows() || m_col >= Cols()) return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(FlexGridAccessible::childIndex(*this, m_row, m_col));
    QAccessible::updateAccessibility(&focus);
}

void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus()) {
        QTableView::currentChanged(current, previous);
    } else {
        QAbstractItemView::currentChanged(current, previous);
    }
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_corner || event->type() != QEvent::Paint || Rows() < 1 || Cols() < 1) {
        return QTableView::eventFilter(watched, event);
    }
    QStyleOptionHeader option;
    option.initFrom(m_corner);
    option.rect = m_corner->rect();
    option.text = m_model.cell(0, 0).text;
    option.textAlignment = Qt::AlignCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.palette.setColor(QPalette::Button, look::kLightYellow);
    option.palette.setColor(QPalette::Window, look::kLightYellow);
    option.palette.setColor(QPalette::ButtonText, look::kDarkRed);
    QPainter painter(m_corner);
    m_corner->style()->drawControl(QStyle::CE_Header, &option, &painter, m_corner);
    return true;
}
