#pragma once

#include <QString>
#include <functional>

class QWidget;

// The program's message boxes, all captioned "Lexicarium", with a single OK
// button but for questions. Tests take them over so that nothing waits for
// a click.
class Alert {
public:
    enum class Kind { information, error, question };
    struct Shown {
        Kind kind;
        QString title;
        QString text;
    };
    // Takes a box in a test's place; its answer serves questions (true: Oui).
    using Interceptor = std::function<bool(const Shown&)>;

    // A plain message with no icon, such as "L'enregistrement est terminé.".
    static void information(QWidget* parent, const QString& text);
    // A failure the user must know of, with the warning icon.
    static void error(QWidget* parent, const QString& text);
    // A question answered by "Oui" (true) or "Non".
    static bool question(QWidget* parent, const QString& text);
    // The same, its two buttons captioned `yes` and `no`; `no` is the default.
    static bool question(QWidget* parent, const QString& text, const QString& yes, const QString& no);

    // While set, boxes are handed to the interceptor instead of being shown.
    static void setInterceptor(Interceptor interceptor);

    // What the data file's store has to tell the user comes in a box of its
    // own, once the action that found it is over.
    static void showStoreNotices();

    static const QString& title();
};
