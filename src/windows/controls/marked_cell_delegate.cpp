#include "windows/controls/marked_cell_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

#include "windows/controls/grid_model.h"

void MarkedCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QVariant mark = index.data(GridModel::kMarkRole);
    if (!mark.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    QString text = cell.text;
    cell.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    int begin = mark.toPoint().x();
    const int length = mark.toPoint().y();
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget).adjusted(2, 0, -2, 0);
    // A part beyond the cell's width comes into it, a few words before it kept.
    if (cell.fontMetrics.horizontalAdvance(text.left(begin + length)) > area.width()) {
        const int from = std::max(0, int(text.lastIndexOf(u' ', std::max(0, begin - 12))));
        if (from > 0) {
            text = QStringLiteral("…") + text.mid(from);
            begin = begin - from + 1;
        }
    }
    // On a selected cell, whose ground is the highlight already, the mark is the other way round.
    const bool selected = cell.state & QStyle::State_Selected;
    QTextCharFormat marked;
    marked.setFontWeight(QFont::Bold);
    marked.setBackground(cell.palette.color(selected ? QPalette::HighlightedText : QPalette::Highlight));
    marked.setForeground(cell.palette.color(selected ? QPalette::Highlight : QPalette::HighlightedText));
    QTextLayout layout(text, cell.font);
    layout.setFormats({QTextLayout::FormatRange{begin, length, marked}});
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    painter->save();
    painter->setClipRect(area);
    const QPalette::ColorRole role = selected ? QPalette::HighlightedText : QPalette::Text;
    painter->setPen(cell.palette.color(role));
    const qreal top = area.top() + (area.height() - line.height()) / 2;
    layout.draw(painter, QPointF(area.left(), top));
    painter->restore();
}
