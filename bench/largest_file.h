#pragma once

#include <QString>

// The largest data file the format allows, 32767 generated cards, written
// once per run and read once so that it lies in the page cache; and the same
// cards in an SQLite table, the peer a developer would reach for today.
namespace largestfile {

constexpr int kCards = 32767;

const QString& dataFile();
const QString& sqliteFile();
// The same table with an FTS5 index over its seven text columns (trigram
// tokenizer: any part of a word is found), built on first use only.
const QString& sqliteFtsFile();
// The same number of cards, their words drawn from the French dictionary
// (expressions, entries, contexts) and the English one (translations)
// installed: a vocabulary as wide as a translator's files reach.
const QString& wideVocabularyFile();
// A fresh copy of the data file, for benchmarks that write.
QString writableCopy();

}  // namespace largestfile
