#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "exchange/card_import.h"

class QListWidget;

// « Feuille à importer »: the sheets of a workbook, each with its name and
// the rows that hold text, hidden ones last and said so; the first proposed.
class SheetDialog : public QDialog {
    Q_OBJECT
public:
    SheetDialog(QWidget* parent, const QString& file, const std::vector<cardimport::SheetChoice>& sheets);

    // The sheet chosen, none when cancelled.
    static std::optional<std::size_t> choose(QWidget* parent, const QString& file,
                                             const std::vector<cardimport::SheetChoice>& sheets);

private:
    QListWidget* m_sheets;
};
