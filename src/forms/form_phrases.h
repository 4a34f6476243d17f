#pragma once

#include <QString>
#include <memory>

#include "forms/file_vocabulary.h"
#include "search/forms_matcher.h"

// The phrases a search text makes in the other forms of its words, among
// the words the data file holds: each word in turn, in order ("mise en
// service" for "mises en service"), on each side in its language. A text
// with wildcards has none: its words are patterns, not words.
namespace formphrases {

// At most this many phrases a side: a long text of many-formed words is
// searched in its commonest forms first.
inline constexpr std::size_t kMostPhrases = 256;

cardsearch::FormPhrases of(const QString& text, const FileVocabulary& vocabulary, bool wildcards, bool accentsIgnored);

// Begins reading a data file's vocabulary on its own thread, where a
// dictionary serves one of its languages.
void prepare(const QString& dataFile);

// The phrases of a text in a data file, accents ignored, where its
// vocabulary is ready; none otherwise, the vocabulary then begun. For the
// look-up, which never waits for it.
std::shared_ptr<const cardsearch::FormPhrases> ofReadyFile(const QString& dataFile, const QString& text);

}  // namespace formphrases
