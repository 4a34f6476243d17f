#include "search/result_summary.h"

#include <QLocale>

#include <QStringList>

namespace resultsummary {

QString count(std::size_t cards) {
    if (cards == 0) return QStringLiteral("Aucune fiche");
    if (cards == 1) return QStringLiteral("1 fiche");
    return QStringLiteral("%1 fiches").arg(QLocale(QLocale::French, QLocale::France).toString(qulonglong(cards)));
}

namespace {

QString placeName(const cardsearch::Query& query) {
    switch (query.scope) {
        case cardsearch::Scope::entries:
            return query.entries == cardsearch::SearchedField::dictionnaire ? QStringLiteral("Entrées texte source")
                                                                            : QStringLiteral("Entrées texte cible");
        case cardsearch::Scope::expression: return QStringLiteral("Expression");
        case cardsearch::Scope::traduction: return QStringLiteral("Traduction");
        case cardsearch::Scope::contexte: return QStringLiteral("Contexte");
        case cardsearch::Scope::everyField: break;
    }
    return QStringLiteral("Tous les champs");
}

}  // namespace

QString afterSearch(std::size_t cards, const cardsearch::Query& query,
                    const std::vector<cardsearch::Alternative>& alternatives) {
    if (cards > 0 || query.text.isEmpty()) return count(cards);
    QString text = QStringLiteral("Aucune fiche ne contient «\u00A0%1\u00A0»").arg(query.text);
    QStringList said;
    for (std::size_t i = 0; i < alternatives.size() && i < 2; ++i) {
        const cardsearch::Alternative& other = alternatives[i];
        if (other.query.forms != query.forms) {
            said.append(QStringLiteral("essayez Formes fléchies\u00A0: %1").arg(count(other.cards).toLower()));
        } else if (other.query.accents != query.accents) {
            said.append(QStringLiteral("essayez Ignorer les accents\u00A0: %1").arg(count(other.cards).toLower()));
        } else if (other.query.options.approximate != query.options.approximate) {
            said.append(QStringLiteral("essayez Orthographe approchée\u00A0: %1").arg(count(other.cards).toLower()));
        } else {
            said.append(QStringLiteral("%1 dans %2")
                            .arg(QLocale(QLocale::French, QLocale::France).toString(qulonglong(other.cards)),
                                 placeName(other.query)));
        }
    }
    if (!said.isEmpty()) text += QStringLiteral(" (%1)").arg(said.join(QStringLiteral("\u00A0; ")));
    return text;
}

}  // namespace resultsummary
