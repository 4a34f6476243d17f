#include "windows/common/status_panel.h"

#include <QPainter>

namespace {

constexpr int kPadding = 3;  // pixels on each side of the text

}  // namespace

StatusPanel::StatusPanel(const QString& text, Qt::Alignment alignment, int designedWidthPixels, QWidget* parent)
    : QLabel(text, parent), m_alignment(alignment), m_designedWidth(designedWidthPixels) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QString StatusPanel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, width() - 2 * kPadding));
}

QSize StatusPanel::sizeHint() const { return {m_designedWidth, fontMetrics().height()}; }

QSize StatusPanel::minimumSizeHint() const { return {0, fontMetrics().height()}; }

void StatusPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(kPadding, 0, -kPadding, 0), int(m_alignment | Qt::AlignVCenter), shownText());
}
