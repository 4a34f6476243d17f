#include "windows/common/screen_placement.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace screenplacement {
namespace {

// Where a hidden window stood, for its return.
constexpr const char* kPlaceProperty = "lexicarium_place";
// Where a window being shown was centred, while it may still size itself.
constexpr const char* kCentreProperty = "lexicarium_centre";

bool isPlacedWindow(const QWidget* widget) {
    if (!widget->isWindow()) return false;
    const Qt::WindowType type = widget->windowType();
    return (type == Qt::Window || type == Qt::Dialog) &&
           !(widget->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
}

// The window manager tells a frame's size only once a window is on screen;
// until then, the frame of any window already shown is the best guess, and
// the style's caption height the next best.
QMargins frameOf(const QWidget* window) {
    if (window->windowFlags() & Qt::FramelessWindowHint) return {};
    const auto known = [](const QWidget* widget) {
        return widget->windowHandle() ? widget->windowHandle()->frameMargins() : QMargins();
    };
    if (const QMargins own = known(window); !own.isNull()) return own;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other->isVisible() && !(other->windowFlags() & Qt::FramelessWindowHint)) {
            if (const QMargins margins = known(other); !margins.isNull()) return margins;
        }
    }
    const int border = window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
    const int caption = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return {border, border + caption, border, border};
}

// The window a new window opens over: its parent, else the one the user
// was working in.
const QWidget* referenceFor(const QWidget* window) {
    if (const QWidget* parent = window->parentWidget(); parent && parent->window()->isVisible()) return parent->window();
    if (const QWidget* active = QApplication::activeWindow(); active && active != window) return active;
    return nullptr;
}

QRect areaFor(const QWidget* window, const QPoint& at) {
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen) screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void place(QWidget* window) {
    // A window the program moved while it was hidden goes where it was moved.
    QVariant remembered = window->property(kPlaceProperty);
    if (remembered.isValid() && remembered.toRect().topLeft() != window->geometry().topLeft()) remembered = QVariant();
    const QWidget* reference = referenceFor(window);
    QScreen* screen = remembered.isValid() ? QGuiApplication::screenAt(remembered.toRect().center())
                      : reference      ? reference->screen()
                                       : QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();

    QRect wanted(QPoint(), window->size());
    if (remembered.isValid()) {
        wanted.moveTopLeft(remembered.toRect().topLeft());
    } else if (window->testAttribute(Qt::WA_Moved)) {
        wanted.moveTopLeft(window->geometry().topLeft());
    } else {
        wanted.moveCenter(reference ? reference->geometry().center() : area.center());
        // A box sizes itself to its text as it is shown, after this: it
        // is centred again at its size (settle below).
        window->setProperty(kCentreProperty, wanted.center());
        QTimer::singleShot(0, window, [window] { window->setProperty(kCentreProperty, QVariant()); });
    }
    // Placed by its client area: a window so placed keeps its place when
    // the window manager maps it, the frame around it, rather than being
    // placed anew; a frame's position would be taken for the client's
    // before the window manager has told the frame's size.
    window->setGeometry(fitted(wanted, frameOf(window), area, window->minimumSize()));
    window->setProperty(kPlaceProperty, QVariant());
}

// A window centred as it was shown, that has just taken another size.
void settle(QWidget* window) {
    const QVariant centre = window->property(kCentreProperty);
    if (!centre.isValid()) return;
    QRect wanted(QPoint(), window->size());
    wanted.moveCenter(centre.toPoint());
    const QRect placed = fitted(wanted, frameOf(window), areaFor(window, centre.toPoint()), window->minimumSize());
    if (placed.topLeft() != window->geometry().topLeft()) window->setGeometry(placed);
}

class Watcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Hide && type != QEvent::Resize) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !isPlacedWindow(widget)) return false;
        if (type == QEvent::Resize) {
            settle(widget);
        } else if (type == QEvent::Show) {
            place(widget);
        } else if (!event->spontaneous()) {
            widget->setProperty(kPlaceProperty, widget->geometry());
        }
        return false;
    }
};

}  // namespace

void install() {
    static Watcher* watcher = nullptr;
    if (watcher) return;
    watcher = new Watcher(qApp);
    qApp->installEventFilter(watcher);
}

QRect fitted(const QRect& wanted, const QMargins& margins, const QRect& area, const QSize& minimum) {
    const QSize room = area.marginsRemoved(margins).size();
    QRect placed(wanted.topLeft(), wanted.size().boundedTo(room).expandedTo(minimum));
    const QRect frame = placed.marginsAdded(margins);
    const int left = std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1));
    const int top = std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1));
    placed.moveTopLeft(QPoint(left + margins.left(), top + margins.top()));
    return placed;
}

}  // namespace screenplacement
