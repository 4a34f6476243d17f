#pragma once

class QWidget;

namespace keyboard {

// Enter and keypad Enter press the focused push button of a window, as
// Space does; buttons that already answer Enter (a dialog's) are left alone.
void enterPressesButtons(QWidget* window);

}  // namespace keyboard
