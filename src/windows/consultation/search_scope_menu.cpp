#include "windows/consultation/search_scope_menu.h"

#include <QActionGroup>
#include <QMenu>

using cardsearch::Scope;

SearchScopeMenu::SearchScopeMenu(QMenu* menu, std::initializer_list<QWidget*> optionButtons)
    : QObject(menu), m_choices(new QActionGroup(this)), m_optionButtons(optionButtons) {
    QMenu* scopes = menu->addMenu(QStringLiteral("&Chercher dans"));
    scopes->setObjectName(QStringLiteral("chercherdans"));
    const struct {
        const char* name;
        QString caption;
        Scope scope;
    } choices[] = {
        {"dansentrees", QStringLiteral("&Entrées (selon l'option)"), Scope::entries},
        {"dansexpression", QStringLiteral("E&xpression"), Scope::expression},
        {"danstraduction", QStringLiteral("&Traduction"), Scope::traduction},
        {"danscontexte", QStringLiteral("&Contexte"), Scope::contexte},
        {"danstout", QStringLiteral("T&ous les champs"), Scope::everyField},
    };
    for (const auto& choice : choices) {
        QAction* action = scopes->addAction(choice.caption);
        action->setObjectName(QLatin1String(choice.name));
        action->setCheckable(true);
        action->setData(int(choice.scope));
        m_choices->addAction(action);
        connect(action, &QAction::toggled, this, [this, scope = choice.scope](bool ticked) {
            if (ticked) chosen(scope);
        });
    }
    m_choices->actions().front()->setChecked(true);
}

Scope SearchScopeMenu::scope() const {
    const QAction* ticked = m_choices->checkedAction();
    return ticked ? Scope(ticked->data().toInt()) : Scope::entries;
}

void SearchScopeMenu::choose(Scope scope) {
    for (QAction* action : m_choices->actions()) {
        if (Scope(action->data().toInt()) == scope) action->setChecked(true);
    }
}

void SearchScopeMenu::chosen(Scope scope) {
    const bool entries = scope == Scope::entries;
    for (QWidget* button : m_optionButtons) button->setEnabled(entries);
}
