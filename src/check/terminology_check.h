#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "check/phrase_index.h"
#include "exchange/bilingual_file.h"
#include "forms/file_languages.h"

class DataFile;

// Where a translation does not use the terms the cards give. For each
// segment, every card whose expression lies in the source text, as a whole
// word or phrase, capitals and accents aside, in any of its forms; where a
// phrase card and a card of one of its words are found at one place, only
// the phrase counts. The card's translation, in any of its forms, or one of
// its synonyms (« Synonymes de la traduction : … »), must then lie in the
// target text: else « traduction absente ». A deprecated translation there
// (« Termes déconseillés de la traduction : … ») is « terme déconseillé ».
// Cards of one expression make one term, any of their translations
// answering it.
namespace termcheck {

enum class GapKind { missingTranslation, deprecatedTerm };
QString nameOf(GapKind kind);

struct Gap {
    std::size_t segment = 0;  // its index among the file's segments
    QString numero;           // the first card of the term
    QString term;             // the term as that card writes it
    QString expected;         // the translations the cards give, " / " between them
    GapKind kind = GapKind::missingTranslation;
    QString deprecated;       // the deprecated term, as the target writes it
    qsizetype sourceBegin = 0, sourceEnd = 0;   // the term in the source text
    qsizetype targetBegin = -1, targetEnd = -1;  // the deprecated term in the target text
};

// Which side of the cards the file's source text is in.
enum class Direction { expressionsFirst, translationsFirst };

// The direction of a file of languages `source` to `target` against cards
// of `cards`' languages: the same way, the other way round (a file that
// names them so), or, where the file or the cards name none, its source the
// expressions'. Throws ExchangeError naming both pairs where the file shares
// neither language with the cards.
Direction directionOf(const QString& path, const QString& source, const QString& target, const FileLanguages& cards);

// The cards of a data file made ready to check translations against, once
// per file: their terms and their translations, every word with its forms.
class TermGlossary {
public:
    // Reads every slot; stops, giving none, once `stop` is set. A failure
    // throws StoreError.
    static std::unique_ptr<TermGlossary> read(DataFile& file, const FileLanguages& languages, Direction direction,
                                              const std::atomic<bool>* stop = nullptr);

    // The gaps of one segment, in the order their terms come in its source.
    std::vector<Gap> gapsOf(const bilingual::Segment& segment, std::size_t index);

private:
    struct Term {
        QStringList numeros;
        QString written;       // as the first card writes it
        QStringList expected;  // each card's translation, once each
    };
    struct Deprecated {
        std::size_t term;
        QString written;
    };
    TermGlossary(std::shared_ptr<const Lemmatizer> source, std::shared_ptr<const Lemmatizer> target);
    std::vector<std::vector<int>> wordsOf(const QString& text, KeyBook& book);

    std::shared_ptr<KeyNumbers> m_numbers;
    KeyBook m_sourceBook;
    KeyBook m_targetBook;
    PhraseIndex m_terms;         // payload: the term
    PhraseIndex m_translations;  // payload: the term whose translation it is; below 0, -1 - a deprecated term
    std::vector<Term> m_list;
    std::vector<Deprecated> m_deprecated;
};

// What a check says of a whole file.
struct Report {
    std::vector<Gap> gaps;
    std::size_t segments = 0;        // in the file
    std::size_t withoutTarget = 0;   // passed over: no target, or an empty one
    std::size_t notToTranslate = 0;  // passed over: marked so
    std::size_t segmentsWithGaps = 0;
};

// Each segment of the file in turn; `accepted` tells the gaps the user
// accepted, which are not reported; `progress` is told how many segments
// are done, and stops the check by answering false (then none comes back).
std::optional<Report> check(TermGlossary& glossary, const bilingual::File& file,
                            const std::function<bool(const bilingual::Segment&, const Gap&)>& accepted,
                            const std::function<bool(std::size_t done)>& progress);

}  // namespace termcheck
