#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class QLineEdit;
class QMainWindow;
class QPlainTextEdit;

// Tells the user, in the status bar and without a box to close, what a save
// at the number typed does besides writing the card: replace another card
// (which the history keeps), make empty cards up to it, or meet a full file.
// The save itself is never refused for it.
class NumberWatch : public QObject {
    Q_OBJECT
public:
    // `cardCount` gives the number of cards the window counts in the file.
    NumberWatch(QMainWindow* window, QLineEdit* number, QPlainTextEdit* expression,
                std::function<QString()> dataFile, std::function<std::int32_t()> cardCount);

    // Reads again the card the number names (after a save or an import).
    void check();

private:
    void tell();

    QMainWindow* m_window;
    QLineEdit* m_number;
    QPlainTextEdit* m_expression;
    std::function<QString()> m_dataFile;
    std::function<std::int32_t()> m_cardCount;
    std::optional<std::int64_t> m_slot;       // the card the number names, if a whole number
    std::optional<QString> m_savedExpression;  // that card's expression, where the file holds it
};
