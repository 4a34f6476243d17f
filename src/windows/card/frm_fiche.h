#pragma once

#include <QMainWindow>
#include <cstdint>

#include "windows/common/card_boxes.h"

class CommonDialog;
class FlexGrid;
class MainWindowLink;
class QLineEdit;
class QPushButton;

// The Card window: one card of the result grid in full, browsed along the
// grid's rows, saved after correction, printed.
class frm_fiche : public QMainWindow {
    Q_OBJECT
public:
    // The grid's column `numberColumn` gives each row's card number.
    frm_fiche(MainWindowLink& menu, FlexGrid& grid, QWidget* parent = nullptr, int numberColumn = 0);

    // Shows the card of the grid's selected row. When it cannot be read,
    // gives the French message to show: the window is then not to be shown,
    // and the grid is unchanged. Empty otherwise.
    QString Form_Load();

    void precedent_Click();
    void suivant_Click();
    void Enregistrer_Click();
    void imprimer_Click();
    void historique_Click();
    void Fermer_Click();
    void about_Click();
    void Form_Resize();

    int ligne() const { return m_ligne; }
    const QString& numfiche() const { return m_numfiche; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Shows the card of another grid row; when it cannot be read, nothing
    // changes and the French message to show comes back.
    QString showRow(int row);
    QString lirefiche(const QString& numfiche);
    void browse(int row);
    void setBrowseButtons();

    MainWindowLink& m_menu;
    FlexGrid& m_grid;
    int m_numberColumn;
    CommonDialog* m_commonDialog2;
    QWidget* m_client;
    CardBoxes m_boxes;
    QLineEdit* m_txtnumero;
    QPushButton* m_precedent;
    QPushButton* m_suivant;
    int m_ligne = 0;  // 32 bits: a full list may hold more than 32767 rows
    QString m_numfiche;
};
