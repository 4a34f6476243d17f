#pragma once

#include <QMainWindow>
#include <optional>
#include <vector>

#include "check/accepted_gaps.h"
#include "check/verification.h"

class CommonDialog;
class FlexGrid;
class MainWindowLink;

// The gaps of a translation checked against the cards: one row a gap, the
// term marked in both texts; a card opened from its row, a gap accepted for
// good, the list exported or printed.
class Frm_verification : public QMainWindow {
    Q_OBJECT
public:
    explicit Frm_verification(MainWindowLink& menu, QWidget* parent = nullptr);

    // Checks the file against the data file in use and lists its gaps.
    // False when there is nothing to show: the check was cancelled, or
    // failed and said so.
    bool Form_Load(const QString& checkedFile);

    void Grille01_DblClick();
    void accepter_Click();
    void exporter_Click();
    void imprimer_Click();
    void Fermer_Click();

    FlexGrid* Grille01() const { return m_grille01; }

    // The grid's columns.
    enum Column { segmentColumn, sourceColumn, termColumn, expectedColumn, targetColumn, numberColumn, gapColumn };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The two texts share the room the other columns leave.
    void fitColumns();
    // The grid made of the gaps given by their indexes, in that order.
    void fill(const std::vector<std::size_t>& gaps);
    // The gaps the grid lists, in its order.
    std::vector<std::size_t> listed() const;
    std::vector<termcheck::Gap> listedGaps() const;
    // The gap of the grid's current row, if it is one.
    std::optional<std::size_t> currentGap() const;

    MainWindowLink& m_menu;
    CommonDialog* m_reportDialog;
    CommonDialog* m_printDialog;
    FlexGrid* m_grille01;
    QString m_checkedFile;
    std::optional<AcceptedGaps> m_accepted;
    verification::Result m_result;
};
