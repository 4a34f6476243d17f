#pragma once

#include <QObject>
#include <QPalette>
#include <array>
#include <optional>

#include "store/fiche_record.h"

class CardBoxes;
class QMainWindow;
class QWidget;

// What the fields of a card keep of the boxes' text, told before anything
// is lost. While the user types or pastes, a box whose text its field
// cannot keep whole (too long, or letters the data file cannot hold) is
// marked, and the status bar says which box and what becomes of its text.
// Nothing typed is refused: the user may shorten it.
class FieldLimitWatch : public QObject {
    Q_OBJECT
public:
    FieldLimitWatch(QMainWindow* window, const CardBoxes& boxes);

private:
    void check(Module1::Field field);

    QMainWindow* m_window;
    const CardBoxes& m_boxes;
    std::array<QString, 7> m_notices;
    std::array<std::optional<QPalette>, 7> m_designed;  // a marked box's own colours
};

namespace fieldlimits {

// Before a save: where a field cannot keep its box's text whole, asks
// whether to save all the same, naming each field and what becomes of it
// ("Enregistrer quand même", or "Annuler", the default). False when the user
// cancels: the cursor is then in the first such box, at the first character
// that would not be kept. True at once for a card that fits.
bool confirmSaving(QWidget* window, const CardBoxes& boxes);

}  // namespace fieldlimits
