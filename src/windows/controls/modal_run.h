#pragma once

#include <functional>

class QWidget;

// Shows a window modal and returns when it has been closed. Tests take the
// window over: their handler works it while it is shown, without a modal loop.
class ModalRun {
public:
    using Handler = std::function<void(QWidget* window)>;
    static void exec(QWidget* window);
    static void setHandler(Handler handler);
};
