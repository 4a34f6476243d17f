#include "windows/common/clickable.h"

#include <QMouseEvent>

namespace {

bool releasedInside(QWidget* widget, QMouseEvent* event) {
    return event->button() == Qt::LeftButton && widget->rect().contains(event->position().toPoint());
}

}  // namespace

void ClickableLabel::mousePressEvent(QMouseEvent* event) { event->accept(); }

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (releasedInside(this, event)) emit clicked();
}

void PassiveLabel::mousePressEvent(QMouseEvent* event) { event->accept(); }

void PassiveLabel::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

void ClickableFrame::mousePressEvent(QMouseEvent* event) { event->accept(); }

void ClickableFrame::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (releasedInside(this, event)) emit clicked();
}
