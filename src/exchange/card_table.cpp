#include "exchange/card_table.h"

using Module1::Field;

namespace cardtable {

QStringList titles(const QString& source, const QString& target) {
    return {QStringLiteral("N° fiche"),
            QStringLiteral("Expression (%1)").arg(source),
            QStringLiteral("Traduction (%1)").arg(target),
            QStringLiteral("Entrées texte source"),
            QStringLiteral("Entrées texte cible"),
            QStringLiteral("Miscellanea"),
            QStringLiteral("Référence"),
            QStringLiteral("Contexte")};
}

QStringList row(const CardText& card) {
    const auto entries = [&card](Field entries, Field term) {
        return card[entries] == card[term] ? QString() : card[entries];
    };
    return {QString::number(card.numero),
            card[Field::expression],
            card[Field::traduction],
            entries(Field::dictionnaire, Field::expression),
            entries(Field::dictionnairecible, Field::traduction),
            card[Field::miscellanea],
            card[Field::reference],
            card[Field::contexte]};
}

}  // namespace cardtable
