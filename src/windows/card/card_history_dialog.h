#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <vector>

#include "store/card_history.h"

class CardBoxes;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// The earlier versions of one card, newest first: choosing one shows its
// seven fields, read-only; "Rétablir" hands it back to be put in a window's
// boxes. Nothing is written here: the user saves the card as usual.
class CardHistoryDialog : public QDialog {
    Q_OBJECT
public:
    CardHistoryDialog(QWidget* parent, std::int32_t number, std::vector<cardhistory::Version> versions);

    // Shows the history of the card the number text names and, on
    // "Rétablir", puts the chosen version into the boxes. The French message
    // to show when the number or the history cannot be read; empty otherwise.
    static QString showFor(QWidget* parent, const QString& dataFile, const QString& numberText, CardBoxes& boxes);

private:
    void showVersion(int row);
    std::optional<Module1::FicheRecord> chosen() const;

    std::vector<cardhistory::Version> m_versions;
    QListWidget* m_liste;
    std::array<QPlainTextEdit*, 7> m_fields{};
    QPushButton* m_retablir;
};
