#include "windows/common/keyboard.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

namespace keyboard {
namespace {

class EnterPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        auto* button = static_cast<QPushButton*>(watched);
        if (button->isEnabled()) button->click();
        return true;
    }
};

}  // namespace

void enterPressesButtons(QWidget* window) {
    auto* filter = new EnterPresses(window);
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (!button->autoDefault() && !button->isDefault()) button->installEventFilter(filter);
    }
}

void pressWith(QWidget* window, QPushButton* button, const QKeySequence& keys, const QString& what) {
    QObject::connect(new QShortcut(keys, window), &QShortcut::activated, button, [button] {
        if (button->isEnabled()) button->click();
    });
    button->setToolTip(withKeys(what, keys));
}

QString withKeys(const QString& what, const QKeySequence& keys) {
    return QStringLiteral("%1 (%2)").arg(what, keys.toString(QKeySequence::NativeText));
}

}  // namespace keyboard
