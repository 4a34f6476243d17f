#pragma once

#include <QMainWindow>
#include <vector>

#include "search/card_search.h"

class CommonDialog;
class FlexGrid;
class MainWindowLink;
class QAction;
class QLineEdit;
class QRadioButton;
class SearchOptionsMenu;
class SearchScopeMenu;
class WordFormsSearch;

// The Consultation window: searches or lists the cards into the result
// grid, sorts it, opens a card from it and prints it.
class Frm_consultation : public QMainWindow {
    Q_OBJECT
public:
    explicit Frm_consultation(MainWindowLink& menu, QWidget* parent = nullptr);

    void Form_Load();
    void Command1_Click();
    void Liste_complete_Click();
    void doublons_Click();
    void tridictionnaire_Click();
    void tridictionnairecible_Click();
    void triref_Click();
    void Grille01_DblClick();
    void imprimer_Click();
    void exporter_Click();
    // Checks a translation file against the cards, in a window of its own.
    void verifier_Click();
    void Fermer_Click();
    void about_Click();
    void Form_Resize();
    // The cards holding `text` anywhere, accents ignored, as a look-up from
    // another program found them, and the card numbered `numero` open.
    void showCard(const QString& text, const QString& numero);

    FlexGrid* Grille01() const { return m_grille01; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void choix_fichier();
    void entete_grille();
    // The main window's path, asked for when it holds none. False when the
    // user chose nothing.
    bool haveDataFilePath();
    // Replaces the grid's rows by the cards that read gives, and says in the
    // status bar what `summary` makes of their count; the grid stays as it
    // was when reading fails.
    void listInGrid(const std::function<std::vector<ResultRow>(DataFile&)>& read,
                    const std::function<QString(std::size_t)>& summary);
    void fillRow(int row, ResultRow& card);
    void sortFrom(int colSel);
    void Form_Unload();

    MainWindowLink& m_menu;
    CommonDialog* m_commonDialog1;
    CommonDialog* m_commonDialog2;
    CommonDialog* m_commonDialog3;  // the file an export writes
    CommonDialog* m_commonDialog4;  // the translation a check reads
    QRadioButton* m_option1;
    QRadioButton* m_option2;
    QLineEdit* m_text1;
    SearchOptionsMenu* m_searchOptions;
    SearchScopeMenu* m_scope;
    WordFormsSearch* m_wordForms;
    FlexGrid* m_grille01;
};
