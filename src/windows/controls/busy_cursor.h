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
