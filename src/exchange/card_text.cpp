#include "exchange/card_text.h"

#include "store/field_text.h"

using Module1::Field;

namespace {

constexpr Field kFields[] = {Field::expression, Field::traduction,  Field::dictionnaire, Field::dictionnairecible,
                             Field::miscellanea, Field::reference, Field::contexte};

bool isForbiddenControl(QChar ch) { return ch.unicode() < 0x20 && ch != u'\t' && ch != u'\n' && ch != u'\r'; }

}  // namespace

CardText textOf(const Module1::FicheRecord& fiche) {
    CardText card;
    card.numero = fiche.numero;
    for (const Field field : kFields) card[field] = exchangeable(fieldtext::read(Module1::field(fiche, field)));
    return card;
}

Module1::FicheRecord recordOf(const CardText& card, std::int16_t numero, bool& altered) {
    Module1::FicheRecord fiche = Module1::emptyCard(numero);
    altered = false;
    for (const Field field : kFields) {
        if (!fieldtext::store(Module1::field(fiche, field), card[field])) altered = true;
    }
    return fiche;
}

QString exchangeable(const QString& text) {
    QString out = text;
    for (QChar& ch : out) {
        if (isForbiddenControl(ch)) ch = QChar::ReplacementCharacter;
    }
    return out;
}
