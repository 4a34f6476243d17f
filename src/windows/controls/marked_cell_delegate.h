#pragma once

#include <QStyledItemDelegate>

// Paints a grid cell whose text has a marked part (GridModel::kMarkRole):
// that part bold on the highlight colour, the text shifted left, behind an
// ellipsis, where the cell is too narrow to show the part from its start.
// Other cells are painted as usual.
class MarkedCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
