#pragma once

#include <QMainWindow>
#include <cstdint>
#include <optional>

#include "windows/common/card_boxes.h"

class CommonDialog;
class DuplicateWatch;
class NumberWatch;
class MainWindowLink;
class QLineEdit;
class QPushButton;

// The Edition window: proposes the next card number, saves the card shown
// into the slot of its number, and steps back and forth through the cards.
class Frm_ajout : public QMainWindow {
    Q_OBJECT
public:
    explicit Frm_ajout(MainWindowLink& menu, QWidget* parent = nullptr);

    // Runs nouvellefiche. False when no data file could be taken: the
    // window is then not to be shown.
    bool Form_Load();

    void new_Click();
    void mnu_Enregistrer_Click();
    void Enregistrer_Click();
    void importer_Click();
    void historique_Click();
    void precedent_Click();
    void suivant_Click();
    void Fermer_Click();
    void about_Click();
    void Form_Resize();
    // The new card shown starts with this expression.
    void setExpression(const QString& expression);

    std::int32_t nbfiches() const { return m_nbfiches; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool nouvellefiche();
    // The French message to show when no data file could be taken; empty
    // otherwise.
    QString takeDataFilePath();
    void browse(int delta);
    void Form_Unload();

    MainWindowLink& m_menu;
    CommonDialog* m_commonDialog1;
    CommonDialog* m_commonDialog3;  // the file an import reads
    QLineEdit* m_txtnumero = nullptr;
    QWidget* m_client;
    CardBoxes m_boxes;
    QPushButton* m_enregistrer;
    QPushButton* m_new;
    QPushButton* m_precedent;
    QPushButton* m_suivant;
    DuplicateWatch* m_duplicates;
    NumberWatch* m_numbers;
    std::int32_t m_nbfiches = 0;
};
