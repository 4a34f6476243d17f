#include "windows/controls/modal_run.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace {

ModalRun::Handler& handler() {
    static ModalRun::Handler current;
    return current;
}

// Ends the loop when the window is closed or hidden by the program, or
// destroyed. A hide that comes from the window system (the window minimised)
// leaves it running: the window is still open, and comes back as it was.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* window, QEventLoop* loop) : m_loop(loop) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide && !event->spontaneous()) m_loop->quit();
        return false;
    }

private:
    QEventLoop* m_loop;
};

}  // namespace

void ModalRun::exec(QWidget* window) {
    QPointer<QWidget> guard(window);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    if (handler()) {
        handler()(window);
        if (guard && guard->isVisible()) guard->close();
        return;
    }
    QEventLoop loop;
    HideWatcher watcher(window, &loop);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (guard && guard->isVisible()) loop.exec(QEventLoop::DialogExec);
}

void ModalRun::setHandler(Handler replacement) { handler() = std::move(replacement); }
