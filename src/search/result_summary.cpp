#include "search/result_summary.h"

#include <QLocale>

#include "search/folding.h"

namespace resultsummary {

QString count(std::size_t cards) {
    if (cards == 0) return QStringLiteral("Aucune fiche");
    if (cards == 1) return QStringLiteral("1 fiche");
    return QStringLiteral("%1 fiches").arg(QLocale(QLocale::French, QLocale::France).toString(qulonglong(cards)));
}

QString afterSearch(std::size_t cards, const cardsearch::Query& query) {
    if (cards > 0 || query.text.isEmpty()) return count(cards);
    QString text = QStringLiteral("Aucune fiche ne contient «\u00A0%1\u00A0»").arg(query.text);
    // A text typed without accents misses the cards that have them.
    if (query.accents == cardsearch::Accents::kept && folding::forComparison(query.text) == query.text.toLower()) {
        text += QStringLiteral(" (essayez Ignorer les accents)");
    } else if (!query.options.approximate) {
        text += QStringLiteral(" (essayez Orthographe approchée)");
    }
    return text;
}

}  // namespace resultsummary
