#pragma once

#include <QDialog>
#include <vector>

#include "store/daily_copies.h"

class QListWidget;
class QPushButton;

// The copies of the data file, newest first, with their date, size and
// number of cards; "Rétablir" puts the chosen one in the file's place, once
// the user has said yes to a question naming both dates.
class CopiesDialog : public QDialog {
    Q_OBJECT
public:
    // `whyNone`, where not empty, says why no copy is offered.
    CopiesDialog(QWidget* parent, std::vector<dailycopies::Copy> copies, const QString& whyNone = {});

    // Lists the copies of the data file and puts back the one chosen.
    static void showFor(QWidget* parent, const QString& dataFile);

private:
    const dailycopies::Copy* chosen() const;

    std::vector<dailycopies::Copy> m_copies;
    QListWidget* m_liste;
    QPushButton* m_retablir;
};
