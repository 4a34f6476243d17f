#pragma once

class QKeySequence;
class QPushButton;
class QString;
class QWidget;

namespace keyboard {

// Enter and keypad Enter press the focused push button of a window, as
// Space does; buttons that already answer Enter (a dialog's) are left alone.
void enterPressesButtons(QWidget* window);

// `keys` press the button wherever the focus is in `window`, while the
// button is enabled; its tool tip says what it does and names the keys.
void pressWith(QWidget* window, QPushButton* button, const QKeySequence& keys, const QString& what);

// "Enregistrer (Ctrl+S)": a command and its keys, as tool tips give them.
QString withKeys(const QString& what, const QKeySequence& keys);

}  // namespace keyboard
