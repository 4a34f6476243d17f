#pragma once

#include <QPointer>
#include <QWidget>

// The hourglass over a window for the length of one action; the default
// pointer comes back however the action ends.
class BusyCursor {
public:
    explicit BusyCursor(QWidget* window);
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    QPointer<QWidget> m_window;
};

// Runs work under the hourglass and gives back what it returns once the
// pointer is the default again, so that a message about the work is never
// shown under the hourglass.
template <typename Work>
auto busyWhile(QWidget* window, Work work) {
    BusyCursor busy(window);
    return work();
}
