#include "exchange/glossary_cards.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

using Module1::Field;

namespace glossary {
namespace {

const QString kLines = QStringLiteral("\r\n");
const QString kTerms = QStringLiteral(" ; ");

void appendDistinct(QStringList& to, const QStringList& texts) {
    for (const QString& text : texts) {
        if (!text.trimmed().isEmpty() && !to.contains(text)) to.append(text);
    }
}

QStringList usable(const QStringList& texts) {
    QStringList out;
    for (const QString& text : texts) {
        if (!text.trimmed().isEmpty()) out.append(text);
    }
    return out;
}

// Every part of the entry in that language, as one: a file may give
// en-US and en-GB their own sections.
std::optional<LanguagePart> partIn(const Entry& entry, const QString& language) {
    std::optional<LanguagePart> merged;
    for (const LanguagePart& part : entry.languages) {
        if (part.language != language) continue;
        if (!merged) {
            merged = part;
            continue;
        }
        merged->terms.insert(merged->terms.end(), part.terms.begin(), part.terms.end());
        for (auto list : {&LanguagePart::entries, &LanguagePart::notes, &LanguagePart::contexts, &LanguagePart::sources,
                          &LanguagePart::definitions, &LanguagePart::subjects}) {
            ((*merged).*list) += part.*list;
        }
    }
    return merged;
}

// A language's terms: the preferred one, and the others as the file rates them.
struct Terms {
    QString preferred;
    QString partOfSpeech;
    QStringList synonyms;
    QStringList discouraged;
};

Terms termsOf(const LanguagePart& part) {
    std::vector<const Term*> terms;
    for (const Term& term : part.terms) {
        if (!term.text.trimmed().isEmpty()) terms.push_back(&term);
    }
    Terms out;
    if (terms.empty()) return out;
    const auto first = [&](auto test) { return std::find_if(terms.begin(), terms.end(), [&](const Term* t) { return test(*t); }); };
    auto chosen = first([](const Term& t) { return t.status == Status::preferred; });
    if (chosen == terms.end()) chosen = first([](const Term& t) { return t.status == Status::admitted; });
    if (chosen == terms.end()) chosen = first([](const Term& t) { return t.status != Status::discouraged; });
    if (chosen == terms.end()) chosen = terms.begin();
    out.preferred = (*chosen)->text;
    out.partOfSpeech = (*chosen)->partOfSpeech;
    for (auto it = terms.begin(); it != terms.end(); ++it) {
        if (it == chosen) continue;
        QStringList& list = (*it)->status == Status::discouraged ? out.discouraged : out.synonyms;
        if (!list.contains((*it)->text) && (*it)->text != out.preferred) list.append((*it)->text);
    }
    return out;
}

void addLabelled(QStringList& lines, const QString& label, const QStringList& texts) {
    if (!texts.isEmpty()) lines.append(QStringLiteral("%1\u00A0: %2").arg(label, texts.join(kTerms)));
}

CardText cardOf(const Entry& entry, const LanguagePart& from, const LanguagePart& to) {
    const Terms source = termsOf(from);
    const Terms target = termsOf(to);
    CardText card;
    card[Field::expression] = source.preferred;
    card[Field::traduction] = target.preferred;
    card[Field::contexte] = usable(from.contexts + to.contexts + entry.contexts).join(kLines);
    card[Field::reference] = usable(from.sources + to.sources + entry.sources).join(kLines);
    // A glossary's terms are the dictionary forms of the card's expression
    // and translation, unless the file gives entries of its own.
    const QStringList sourceEntries = usable(from.entries);
    const QStringList targetEntries = usable(to.entries);
    card[Field::dictionnaire] = sourceEntries.isEmpty() ? source.preferred : sourceEntries.join(kLines);
    card[Field::dictionnairecible] = targetEntries.isEmpty() ? target.preferred : targetEntries.join(kLines);
    card.line = entry.line;

    // The short labelled lines first: a long definition may be cut at the field's width.
    QStringList misc, subjects, partsOfSpeech;
    appendDistinct(subjects, entry.subjects + from.subjects + to.subjects);
    appendDistinct(partsOfSpeech, QStringList{source.partOfSpeech, target.partOfSpeech} + entry.partsOfSpeech);
    addLabelled(misc, QStringLiteral("Synonymes"), source.synonyms);
    addLabelled(misc, QStringLiteral("Termes déconseillés"), source.discouraged);
    addLabelled(misc, QStringLiteral("Synonymes de la traduction"), target.synonyms);
    addLabelled(misc, QStringLiteral("Termes déconseillés de la traduction"), target.discouraged);
    addLabelled(misc, QStringLiteral("Domaine"), subjects);
    addLabelled(misc, QStringLiteral("Catégorie grammaticale"), partsOfSpeech);
    misc += usable(entry.notes + from.notes + to.notes + entry.definitions + from.definitions + to.definitions);
    card[Field::miscellanea] = misc.join(kLines);
    return card;
}

}  // namespace

Pair proposedPair(const Glossary& glossary) {
    const QStringList& languages = glossary.languages;
    if (languages.size() < 2) return {};
    if (glossary.directed && languages.size() == 2) {
        return {glossary.mainLanguage, languages.front() == glossary.mainLanguage ? languages.back() : languages.front()};
    }
    const QString english = QStringLiteral("en"), french = QStringLiteral("fr");
    if (languages.contains(english) && languages.contains(french)) return {english, french};
    const QString source = languages.contains(glossary.mainLanguage) ? glossary.mainLanguage : languages.front();
    if (source != french && languages.contains(french)) return {source, french};
    return {source, *std::find_if(languages.begin(), languages.end(), [&](const QString& l) { return l != source; })};
}

Selection cardsOf(const Glossary& glossary, const Pair& pair) {
    Selection selection;
    for (const QString& language : glossary.languages) {
        if (language != pair.source && language != pair.target) selection.otherLanguages.append(language);
    }
    for (const Entry& entry : glossary.entries) {
        std::optional<LanguagePart> from, to;
        if (glossary.languages.isEmpty()) {
            if (entry.languages.size() == 2) {
                from = entry.languages[0];
                to = entry.languages[1];
            }
        } else {
            from = partIn(entry, pair.source);
            to = partIn(entry, pair.target);
        }
        const auto hasTerm = [](const std::optional<LanguagePart>& part) {
            return std::any_of(part->terms.begin(), part->terms.end(),
                               [](const Term& term) { return !term.text.trimmed().isEmpty(); });
        };
        if (!from || !to || (!hasTerm(from) && !hasTerm(to))) {
            ++selection.skipped;
            continue;
        }
        selection.cards.push_back(cardOf(entry, *from, *to));
    }
    return selection;
}

void referToOrigin(std::vector<CardText>& cards, const Glossary& glossary, const QString& file, const QDate& day) {
    const QString origin = QStringLiteral("%1, importé le %2")
                               .arg(glossary.title.isEmpty() ? QFileInfo(file).fileName() : glossary.title,
                                    day.toString(QStringLiteral("dd/MM/yyyy")));
    for (CardText& card : cards) {
        if (card[Module1::Field::reference].isEmpty()) card[Module1::Field::reference] = origin;
    }
}

}  // namespace glossary
