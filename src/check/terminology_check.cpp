#include "check/terminology_check.h"

#include <QDir>
#include <QHash>
#include <algorithm>

#include "exchange/exchange_error.h"
#include "exchange/languages.h"
#include "forms/dictionaries.h"
#include "search/folding.h"
#include "store/data_file.h"
#include "store/field_text.h"
#include "store/number_text.h"
#include "store/slot_scan.h"

namespace termcheck {
namespace {

using Module1::Field;

// What a card gives a side: its term, the synonyms and the deprecated terms
// its miscellanea list for it.
struct CardSide {
    QString numero;
    QString term;
    QString answer;
    QStringList synonyms;
    QStringList deprecated;
};

// The terms of a labelled line of the miscellanea, « Synonymes : a ; b ».
QStringList listed(const QString& miscellanea, const QString& label) {
    QStringList terms;
    for (QString line : miscellanea.split(QStringLiteral("\r\n"))) {
        line.replace(u'\u00A0', u' ');
        if (!line.startsWith(label + QStringLiteral(" :"))) continue;
        for (const QString& term : line.mid(label.size() + 2).split(u';')) {
            if (!term.trimmed().isEmpty()) terms.append(term.trimmed());
        }
    }
    return terms;
}

// « l'anglais (en) », « le français (fr) », « une langue qu'il ne dit pas ».
QString languageNamed(const QString& code) {
    if (code.isEmpty()) return QStringLiteral("une langue non précisée");
    const QString name = languages::nameOf(code);
    if (name.isEmpty()) return QStringLiteral("la langue «\u00A0%1\u00A0»").arg(code);
    const bool elided = QStringLiteral("aeiouéh").contains(name.front());
    return (elided ? QStringLiteral("l'%1 (%2)") : QStringLiteral("le %1 (%2)")).arg(name, code);
}

// « de l'allemand (de) vers le français (fr) », « du français (fr) vers… ».
QString pairNamed(const QString& source, const QString& target) {
    const QString from = languageNamed(source);
    const QString fromWith = from.startsWith(QLatin1String("le "))  ? QStringLiteral("du ") + from.mid(3)
                             : from.startsWith(QLatin1String("une ")) ? QStringLiteral("d'") + from
                                                                      : QStringLiteral("de ") + from;
    return QStringLiteral("%1 vers %2").arg(fromWith, languageNamed(target));
}

}  // namespace

QString nameOf(GapKind kind) {
    return kind == GapKind::missingTranslation ? QStringLiteral("traduction absente") : QStringLiteral("terme déconseillé");
}

Direction directionOf(const QString& path, const QString& source, const QString& target, const FileLanguages& cards) {
    const bool sameWay = (!source.isEmpty() && source == cards.source) || (!target.isEmpty() && target == cards.target);
    const bool otherWay = (!source.isEmpty() && source == cards.target) || (!target.isEmpty() && target == cards.source);
    if (sameWay && !otherWay) return Direction::expressionsFirst;
    if (otherWay && !sameWay) return Direction::translationsFirst;
    // Languages unknown on either part: the source is the expressions'.
    if ((source.isEmpty() && target.isEmpty()) || (cards.source.isEmpty() && cards.target.isEmpty())) {
        return Direction::expressionsFirst;
    }
    if (sameWay) return Direction::expressionsFirst;  // a file of one language both sides, as the cards are
    throw ExchangeError(QStringLiteral("Le fichier «\u00A0%1\u00A0» traduit %2, et les fiches vont %3\u00A0: il ne "
                                       "partage aucune de leurs langues. Choisissez les langues des fiches (Affichage > "
                                       "Langues des fiches) ou un autre fichier.")
                            .arg(QDir::toNativeSeparators(path), pairNamed(source, target), pairNamed(cards.source, cards.target)));
}

TermGlossary::TermGlossary(std::shared_ptr<const Lemmatizer> source, std::shared_ptr<const Lemmatizer> target)
    : m_numbers(std::make_shared<KeyNumbers>()), m_sourceBook(std::move(source), m_numbers), m_targetBook(std::move(target), m_numbers) {}

std::vector<std::vector<int>> TermGlossary::wordsOf(const QString& text, KeyBook& book) {
    std::vector<std::vector<int>> words;
    for (const Token& token : book.tokens(text)) words.push_back(token.keys);
    return words;
}

std::unique_ptr<TermGlossary> TermGlossary::read(DataFile& file, const FileLanguages& languages, Direction direction,
                                                 const std::atomic<bool>* stop) {
    const bool reversed = direction == Direction::translationsFirst;
    // The side the source text is checked against comes first.
    const QString sourceLanguage = reversed ? languages.target : languages.source;
    const QString targetLanguage = reversed ? languages.source : languages.target;
    std::unique_ptr<TermGlossary> glossary(new TermGlossary(
        sourceLanguage.isEmpty() ? nullptr : dictionaries::lemmatizerFor(sourceLanguage),
        targetLanguage.isEmpty() ? nullptr : dictionaries::lemmatizerFor(targetLanguage)));
    const std::vector<CardSide> sides = slotscan::gather<CardSide>(
        file, [&](std::int32_t, std::span<const char> bytes, std::vector<CardSide>& found) {
            if (stop && *stop) return;
            for (std::size_t at = 0; at < bytes.size(); at += Module1::kSlotSize) {
                const Module1::SlotView slot(bytes.data() + at, Module1::kSlotSize);
                const QString expression = fieldtext::read(Module1::field(slot, Field::expression));
                const QString translation = fieldtext::read(Module1::field(slot, Field::traduction));
                const QString term = reversed ? translation : expression;
                if (term.trimmed().isEmpty()) continue;
                const QString miscellanea = fieldtext::read(Module1::field(slot, Field::miscellanea));
                const QString of = reversed ? QString() : QStringLiteral(" de la traduction");
                found.push_back({numbertext::fromNumero(Module1::numeroOf(slot)).trimmed(), term, reversed ? expression : translation,
                                 listed(miscellanea, QStringLiteral("Synonymes") + of),
                                 listed(miscellanea, QStringLiteral("Termes déconseillés") + of)});
            }
        });
    if (stop && *stop) return nullptr;
    // One term for the cards of one expression, capitals, accents and spaces aside.
    QHash<QString, std::size_t> termOf;
    for (const CardSide& side : sides) {
        const QString key = folding::forComparison(side.term.simplified());
        auto known = termOf.constFind(key);
        std::size_t term = 0;
        if (known == termOf.constEnd()) {
            term = glossary->m_list.size();
            termOf.insert(key, term);
            glossary->m_list.push_back({{}, side.term.simplified(), {}});
            glossary->m_terms.add(glossary->wordsOf(side.term, glossary->m_sourceBook), int(term));
        } else {
            term = *known;
        }
        Term& entry = glossary->m_list[term];
        entry.numeros.append(side.numero);
        if (!side.answer.trimmed().isEmpty() && !entry.expected.contains(side.answer.simplified())) {
            entry.expected.append(side.answer.simplified());
        }
        for (const QString& answer : QStringList{side.answer} + side.synonyms) {
            if (!answer.trimmed().isEmpty()) glossary->m_translations.add(glossary->wordsOf(answer, glossary->m_targetBook), int(term));
        }
        for (const QString& deprecated : side.deprecated) {
            glossary->m_deprecated.push_back({term, deprecated});
            glossary->m_translations.add(glossary->wordsOf(deprecated, glossary->m_targetBook),
                                         -1 - int(glossary->m_deprecated.size() - 1));
        }
    }
    return glossary;
}

std::vector<Gap> TermGlossary::gapsOf(const bilingual::Segment& segment, std::size_t index) {
    const std::vector<Token> source = m_sourceBook.tokens(segment.source);
    std::vector<PhraseIndex::Found> terms = m_terms.find(source);
    // A phrase found at a place hides the terms of its own words there.
    const auto inside = [](const PhraseIndex::Found& small, const PhraseIndex::Found& large) {
        return large.length > small.length && large.first <= small.first &&
               small.first + small.length <= large.first + large.length;
    };
    std::vector<PhraseIndex::Found> kept;
    for (const PhraseIndex::Found& found : terms) {
        const bool hidden = std::any_of(terms.begin(), terms.end(), [&](const PhraseIndex::Found& other) { return inside(found, other); });
        const bool again = std::any_of(kept.begin(), kept.end(), [&](const PhraseIndex::Found& other) { return other.payload == found.payload; });
        if (!hidden && !again) kept.push_back(found);
    }
    if (kept.empty()) return {};
    std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const std::vector<Token> target = m_targetBook.tokens(segment.target);
    std::vector<char> answered(m_list.size(), 0);
    std::vector<std::optional<PhraseIndex::Found>> deprecatedIn(m_list.size());
    for (const PhraseIndex::Found& found : m_translations.find(target)) {
        if (found.payload >= 0) {
            answered[std::size_t(found.payload)] = 1;
        } else {
            const Deprecated& deprecated = m_deprecated[std::size_t(-1 - found.payload)];
            if (!deprecatedIn[deprecated.term]) deprecatedIn[deprecated.term] = found;
        }
    }
    std::vector<Gap> gaps;
    for (const PhraseIndex::Found& found : kept) {
        const Term& term = m_list[std::size_t(found.payload)];
        Gap gap;
        gap.segment = index;
        gap.numero = term.numeros.front();
        gap.term = term.written;
        gap.expected = term.expected.join(QStringLiteral(" / "));
        gap.sourceBegin = source[found.first].begin;
        gap.sourceEnd = source[found.first + found.length - 1].end;
        if (const auto& deprecated = deprecatedIn[std::size_t(found.payload)]) {
            gap.kind = GapKind::deprecatedTerm;
            gap.targetBegin = target[deprecated->first].begin;
            gap.targetEnd = target[deprecated->first + deprecated->length - 1].end;
            gap.deprecated = segment.target.mid(gap.targetBegin, gap.targetEnd - gap.targetBegin);
        } else if (answered[std::size_t(found.payload)]) {
            continue;
        }
        gaps.push_back(std::move(gap));
    }
    return gaps;
}

std::optional<Report> check(TermGlossary& glossary, const bilingual::File& file,
                            const std::function<bool(const bilingual::Segment&, const Gap&)>& accepted,
                            const std::function<bool(std::size_t done)>& progress) {
    Report report;
    report.segments = file.segments.size();
    for (std::size_t index = 0; index < file.segments.size(); ++index) {
        if (progress && index % 256 == 0 && !progress(index)) return std::nullopt;
        const bilingual::Segment& segment = file.segments[index];
        if (!segment.translatable) {
            ++report.notToTranslate;
            continue;
        }
        if (!segment.hasTarget || segment.target.trimmed().isEmpty()) {
            ++report.withoutTarget;
            continue;
        }
        bool any = false;
        for (Gap& gap : glossary.gapsOf(segment, index)) {
            if (accepted && accepted(segment, gap)) continue;
            report.gaps.push_back(std::move(gap));
            any = true;
        }
        if (any) ++report.segmentsWithGaps;
    }
    if (progress) progress(file.segments.size());
    return report;
}

}  // namespace termcheck
