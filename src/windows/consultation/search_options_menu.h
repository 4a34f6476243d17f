#pragma once

#include <QObject>

#include "search/card_search.h"

class QAction;
class QMenu;

// The search's checkable commands in the « Affichage » menu: « Ignorer les
// accents » and the options that widen or narrow a search. Each combines
// with every other and with every place the search looks; all are unticked
// at every opening of the window.
class SearchOptionsMenu : public QObject {
    Q_OBJECT
public:
    explicit SearchOptionsMenu(QMenu* menu);

    cardsearch::Accents accents() const;
    void setAccents(cardsearch::Accents accents);
    cardsearch::MatchOptions options() const;
    // « Formes fléchies »: the text's words in their other forms too.
    QAction* wordForms() const { return m_formesflechies; }

private:
    QAction* m_sansaccents;
    QAction* m_jokers;
    QAction* m_motentier;
    QAction* m_approchee;
    QAction* m_formesflechies;
};
