#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QWidget>
#include <memory>

// What looking a term up from another program needs of the desktop: one
// shortcut taken from every program, the text selected in the program in
// front, and the keyboard focus given back to it afterwards. One file per
// desktop makes it.
class DesktopLink : public QObject {
    Q_OBJECT
public:
    // The link for the desktop the program runs on; where the desktop lets
    // no program take a shortcut, grab() says so.
    static std::unique_ptr<DesktopLink> create();

    // Takes the shortcut from every program, in place of any taken before.
    // Empty when done, else why not, in French.
    virtual QString grab(const QKeySequence& shortcut) = 0;
    virtual void release() = 0;
    // The text selected in the program in front, empty when there is none.
    // The user's clipboard is left exactly as it was.
    virtual QString selectedText() = 0;
    // Notes the window that has the focus, before the look-up takes it.
    virtual void rememberFocus() = 0;
    // Gives the focus back to the window noted.
    virtual void giveFocusBack() = 0;
    // Whether the window in front, as the desktop says, is `window` or a
    // window of its own (a box it opened): what the program itself is told
    // may lag behind.
    virtual bool isInFront(const QWidget& window) const = 0;

signals:
    void shortcutPressed();
};

namespace desktoplink {

// The message for a shortcut another program holds already.
QString takenMessage(const QKeySequence& shortcut);
// The message for a shortcut made of keys no desktop table knows.
QString unknownKeyMessage(const QKeySequence& shortcut);

}  // namespace desktoplink
