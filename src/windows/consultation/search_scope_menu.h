#pragma once

#include <QObject>
#include <initializer_list>
#include <vector>

#include "search/card_search.h"

class QActionGroup;
class QMenu;
class QWidget;

// The « Chercher dans » sub-menu: where the search looks, one choice at a
// time. The first, the dictionary entries the option buttons choose, is
// ticked when the window opens; with any other the option buttons are
// disabled, keeping their state for when the first comes back.
class SearchScopeMenu : public QObject {
    Q_OBJECT
public:
    SearchScopeMenu(QMenu* menu, std::initializer_list<QWidget*> optionButtons);

    cardsearch::Scope scope() const;
    void choose(cardsearch::Scope scope);

private:
    void chosen(cardsearch::Scope scope);

    QActionGroup* m_choices;
    std::vector<QWidget*> m_optionButtons;
};
