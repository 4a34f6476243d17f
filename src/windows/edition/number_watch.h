#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "store/fiche_record.h"

class CardBoxes;
class QLineEdit;
class QMainWindow;

// Tells the user, in the status bar and without a box to close, what a save
// at the number typed does besides writing the card: replace another card
// (which the history keeps), make empty cards up to it, or meet a full file.
// A save that would replace fields of a card the window never showed asks
// first; nothing else is refused for it.
class NumberWatch : public QObject {
    Q_OBJECT
public:
    // `cardCount` gives the number of cards the window counts in the file.
    NumberWatch(QMainWindow* window, QLineEdit* number, const CardBoxes& boxes, std::function<QString()> dataFile,
                std::function<std::int32_t()> cardCount);

    // Reads again the card the number names (after a save or an import).
    void check();
    // Where the save would replace fields the user has not seen, asks
    // whether to, naming them; true when the save may go on.
    bool confirmSaving(QWidget* parent);

private:
    void tell();
    // The captions of the fields the save would replace without the window
    // having shown them: filled on file, other in the boxes, never seen.
    QStringList unseenReplaced() const;

    QMainWindow* m_window;
    QLineEdit* m_number;
    const CardBoxes& m_boxes;
    std::function<QString()> m_dataFile;
    std::function<std::int32_t()> m_cardCount;
    std::optional<std::int64_t> m_slot;               // the card the number names, if a whole number
    std::optional<Module1::FicheRecord> m_saved;      // that card, where the file holds it
    std::array<bool, 7> m_seen{};                        // its fields the boxes have shown, by field
};
