#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <vector>

#include "forms/lemmatizer.h"
#include "search/forms_matcher.h"

class DataFile;

// The words of a data file, each side's with its lemmas in that side's
// language, so that the forms of a word the file holds are found without
// reading it again: worked out once per word, not once per card, and kept
// while the file is unchanged (file_vocabulary_cache.h).
class FileVocabulary {
public:
    using Side = cardsearch::Side;  // source or target here

    // Reads every slot of the file: the words of the expression's side
    // (expression, source entries, context), of the translation's side
    // (translation, target entries), the miscellanea's and the
    // reference's on both. A side without a lemmatizer keeps no lemmas.
    // Stops, giving none, once `stop` is set. The file is closed once its words
    // are read, before their lemmas are looked up. A failure throws StoreError.
    static std::shared_ptr<const FileVocabulary> read(DataFile& file, std::shared_ptr<const Lemmatizer> source,
                                                      std::shared_ptr<const Lemmatizer> target,
                                                      const std::atomic<bool>* stop = nullptr);

    // A word of the file that shares a lemma with the word asked about.
    struct Form {
        QString word;
        bool stemmed = false;  // sharing a stem only, the dictionary knowing no lemma
    };
    // The file's words on that side that share a lemma with `word` (lower
    // case), the word itself among them where the file holds it. Accents
    // ignored, a word typed without them is taken for those of the file it
    // is without its accents ("ecrous" for "écrous").
    std::vector<Form> formsOf(const QString& word, Side side, bool accentsIgnored = false) const;
    bool hasLemmas(Side side) const;
    qsizetype words(Side side) const;

private:
    struct SideWords {
        std::shared_ptr<const Lemmatizer> lemmatizer;
        QHash<QString, QStringList> wordsOfKey;  // lemma (or "~stem") to the file's words
        QHash<QString, QStringList> wordsOfFolded;  // a word without its accents to the file's words
        qsizetype words = 0;
    };
    const SideWords& sideWords(Side side) const { return side == Side::target ? m_target : m_source; }
    SideWords m_source;
    SideWords m_target;
};
