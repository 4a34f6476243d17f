#include "windows/common/fitting.h"

#include <QAbstractButton>
#include <QEvent>
#include <cmath>

#include "windows/common/twips.h"

namespace fitting {
namespace {

// The nearest coordinate that falls on a whole device pixel, looking no
// further than a few pixels; the coordinate itself where none does.
int onDevicePixel(int logical, double ratio) {
    for (int distance = 0; distance <= 3; ++distance) {
        for (int candidate : {logical - distance, logical + distance}) {
            const double device = candidate * ratio;
            if (std::abs(device - std::round(device)) < 1e-6) return candidate;
        }
    }
    return logical;
}

const char* const kDesigned = "designedGeometry";
const QString kKeeperName = QStringLiteral("devicePixelKeeper");

// Whole device pixels are counted from the window's corner, and the box's
// place there is known only once the window has laid out its menu bar.
void snap(QWidget* box) {
    const QRect design = box->property(kDesigned).toRect();
    const double ratio = box->devicePixelRatioF();
    const QPoint origin = box->parentWidget() ? box->parentWidget()->mapTo(box->window(), QPoint(0, 0)) : QPoint();
    const int left = onDevicePixel(origin.x() + design.left(), ratio) - origin.x();
    const int top = onDevicePixel(origin.y() + design.top(), ratio) - origin.y();
    // The frame's last row and column, not the edge beyond them.
    const int right = onDevicePixel(origin.x() + design.left() + design.width() - 1, ratio) - origin.x();
    const int bottom = onDevicePixel(origin.y() + design.top() + design.height() - 1, ratio) - origin.y();
    box->setGeometry(left, top, right - left + 1, bottom - top + 1);
}

// Puts a window's boxes back on whole device pixels whenever it is shown or
// resized, before the window refits its large control.
class DevicePixelKeeper : public QObject {
public:
    explicit DevicePixelKeeper(QWidget* window) : QObject(window) {
        setObjectName(kKeeperName);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Resize && event->type() != QEvent::Show) return false;
        for (QWidget* box : watched->findChildren<QWidget*>()) {
            if (box->property(kDesigned).isValid()) snap(box);
        }
        return false;
    }
};

}  // namespace

void roomForCaption(QAbstractButton* button, int parentWidthTwips) {
    const QSize needed = button->sizeHint();
    QRect area = button->geometry();
    if (area.height() < needed.height()) {
        area.setTop(area.top() - (needed.height() - area.height()) / 2);
        area.setHeight(needed.height());
    }
    if (area.width() < needed.width()) area.setWidth(needed.width());
    if (const int room = twips::toPixels(parentWidthTwips); area.right() >= room) {
        area.moveLeft(std::max(0, room - area.width()));
    }
    button->setGeometry(area);
}

void onWholeDevicePixels(QWidget* box) {
    box->setProperty(kDesigned, box->geometry());
    QWidget* window = box->window();
    if (!window->findChild<QObject*>(kKeeperName, Qt::FindDirectChildrenOnly)) new DevicePixelKeeper(window);
    snap(box);
}

}  // namespace fitting
