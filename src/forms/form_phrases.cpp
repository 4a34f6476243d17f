#include "forms/form_phrases.h"

#include <optional>
#include <vector>

#include "forms/dictionaries.h"
#include "forms/file_languages.h"
#include "forms/vocabulary_cache.h"
#include "store/file_places.h"

namespace formphrases {
namespace {

// The text cut into its words and what lies between them.
struct Cut {
    QStringList words;
    QStringList between;  // before each word; the last entry after the last word
};

Cut cut(const QString& text) {
    Cut pieces;
    QString word;
    QString gap;
    for (const QChar ch : text) {
        if (ch.isLetterOrNumber()) {
            if (word.isEmpty()) {
                pieces.between.append(gap);
                gap.clear();
            }
            word += ch;
            continue;
        }
        if (!word.isEmpty()) {
            pieces.words.append(word);
            word.clear();
        }
        gap += ch;
    }
    if (!word.isEmpty()) pieces.words.append(word);
    pieces.between.append(gap);
    return pieces;
}

std::vector<cardsearch::FormPhrases::Phrase> phrasesOn(const Cut& pieces, const QString& text,
                                                       const FileVocabulary& vocabulary, FileVocabulary::Side side,
                                                       bool accentsIgnored) {
    std::vector<cardsearch::FormPhrases::Phrase> phrases;
    if (!vocabulary.hasLemmas(side) || pieces.words.isEmpty()) return phrases;
    // Each word's forms, the word as typed first: the phrases' product,
    // built word by word and kept to the most a side may have.
    struct Partial {
        QString text;
        bool changed = false;
        bool stemmed = false;
    };
    std::vector<Partial> partials{{pieces.between.front(), false, false}};
    for (qsizetype w = 0; w < pieces.words.size(); ++w) {
        const QString typed = pieces.words[w].toLower();
        std::vector<FileVocabulary::Form> forms{{typed, false}};
        for (const FileVocabulary::Form& form : vocabulary.formsOf(typed, side, accentsIgnored)) {
            if (form.word != typed) forms.push_back(form);
        }
        std::vector<Partial> longer;
        for (const Partial& partial : partials) {
            for (const FileVocabulary::Form& form : forms) {
                if (longer.size() >= kMostPhrases) break;
                longer.push_back({partial.text + form.word + pieces.between[w + 1], partial.changed || form.word != typed,
                                  partial.stemmed || (form.stemmed && form.word != typed)});
            }
        }
        partials = std::move(longer);
    }
    for (const Partial& partial : partials) {
        if (!partial.changed) continue;  // the text itself, which the plain search finds
        phrases.push_back({partial.text.trimmed(), partial.stemmed ? QStringLiteral("même racine que %1").arg(text)
                                                                   : QStringLiteral("forme de %1").arg(text)});
    }
    return phrases;
}

}  // namespace

cardsearch::FormPhrases of(const QString& text, const FileVocabulary& vocabulary, bool wildcards, bool accentsIgnored) {
    cardsearch::FormPhrases phrases;
    if (wildcards && (text.contains(u'*') || text.contains(u'?'))) return phrases;
    const Cut pieces = cut(text);
    const QString shown = text.simplified();
    phrases.source = phrasesOn(pieces, shown, vocabulary, FileVocabulary::Side::source, accentsIgnored);
    phrases.target = phrasesOn(pieces, shown, vocabulary, FileVocabulary::Side::target, accentsIgnored);
    return phrases;
}

namespace {

// The file's languages, where a dictionary serves one of them.
std::optional<FileLanguages> servedLanguages(const QString& dataFile) {
    if (dataFile.isEmpty()) return std::nullopt;
    FileLanguagesSettings settings(fileplaces::settingsFile());
    const FileLanguages languages = filelanguages::of(dataFile, settings);
    const bool served = (!languages.source.isEmpty() && dictionaries::lemmatizerFor(languages.source)) ||
                        (!languages.target.isEmpty() && dictionaries::lemmatizerFor(languages.target));
    if (!served) return std::nullopt;
    return languages;
}

}  // namespace

void prepare(const QString& dataFile) {
    if (const auto languages = servedLanguages(dataFile)) VocabularyCache::shared().ready(dataFile, *languages);
}

std::shared_ptr<const cardsearch::FormPhrases> ofReadyFile(const QString& dataFile, const QString& text) {
    if (text.trimmed().isEmpty()) return nullptr;
    const auto languages = servedLanguages(dataFile);
    if (!languages) return nullptr;
    const auto vocabulary = VocabularyCache::shared().ready(dataFile, *languages);
    if (!vocabulary) return nullptr;
    return std::make_shared<cardsearch::FormPhrases>(of(text, *vocabulary, false, true));
}

}  // namespace formphrases
