#include "windows/consultation/search_options_menu.h"

#include <QAction>
#include <QMenu>

namespace {

QAction* addOption(QMenu* menu, const QString& caption, const char* name, const QString& tip) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    action->setToolTip(tip);
    action->setStatusTip(tip);
    return action;
}

}  // namespace

SearchOptionsMenu::SearchOptionsMenu(QMenu* menu)
    : QObject(menu),
      m_sansaccents(addOption(menu, QStringLiteral("&Ignorer les accents"), "sansaccents",
                              QStringLiteral("« ecrou » trouve aussi « écrou »"))),
      m_jokers(addOption(menu, QStringLiteral("&Jokers * et ?"), "jokers",
                         QStringLiteral("* remplace une suite de caractères, ? un caractère"))),
      m_motentier(addOption(menu, QStringLiteral("&Mot entier"), "motentier",
                            QStringLiteral("« eau » trouve « l'eau » mais pas « château »"))),
      m_approchee(addOption(menu, QStringLiteral("&Orthographe approchée"), "approchee",
                            QStringLiteral("Trouve aussi les mots à une lettre près (deux à partir de huit lettres)"))),
      m_formesflechies(addOption(menu, QStringLiteral("&Formes fléchies"), "formesflechies",
                                 QStringLiteral("« chevaux » trouve aussi « cheval », « travaillaient » trouve "
                                                "« travailler »"))) {
    menu->setToolTipsVisible(true);
}

void SearchOptionsMenu::setAccents(cardsearch::Accents accents) {
    m_sansaccents->setChecked(accents == cardsearch::Accents::ignored);
}

cardsearch::Accents SearchOptionsMenu::accents() const {
    return m_sansaccents->isChecked() ? cardsearch::Accents::ignored : cardsearch::Accents::kept;
}

cardsearch::MatchOptions SearchOptionsMenu::options() const {
    return {m_jokers->isChecked(), m_motentier->isChecked(), m_approchee->isChecked()};
}
