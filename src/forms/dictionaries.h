#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "forms/lemmatizer.h"

// The spelling dictionaries word forms come from: those beside the program
// (its "dictionnaires" folder, which the Windows download carries), then the
// system's (Debian's hunspell-* packages). A language has one, its first
// found; "fr_FR" and "fr" are both French.
namespace dictionaries {

struct Installed {
    QString language;  // primary language, "fr"
    QString affixFile;
    QString dictionaryFile;
};

// The folders looked in, in order.
QStringList folders();
// Replaces them, for a test; empty puts the usual ones back.
void setFolders(const QStringList& replacement);

// One dictionary per language, in the order of the languages' codes.
std::vector<Installed> installed();
// The languages there are dictionaries for.
QStringList languages();

// The lemmas of a language's words, kept for the run; none where no
// dictionary is installed for it.
std::shared_ptr<const Lemmatizer> lemmatizerFor(const QString& language);

}  // namespace dictionaries
