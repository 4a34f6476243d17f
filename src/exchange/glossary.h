#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// What a glossary or a table holds, as read, before two of its languages are
// chosen: each entry with its terms per language and what the file says of
// them. Card text is made from it by cards_of.h.
namespace glossary {

// What the file says of a term's use.
enum class Status { unsaid, preferred, admitted, discouraged };

struct Term {
    QString text;
    Status status = Status::unsaid;
    QString partOfSpeech;
};

// One language of an entry.
struct LanguagePart {
    QString language;  // primary language, lower case ("en" for en-US); empty in a table naming none
    std::vector<Term> terms;
    // The dictionary entries the file gives for the terms, where it gives
    // its own (this program's columns and labelled notes).
    QStringList entries;
    QStringList notes, contexts, sources, definitions, subjects;
};

struct Entry {
    QStringList notes, contexts, sources, definitions, subjects, partsOfSpeech;
    std::vector<LanguagePart> languages;
    qint64 line = 0;  // where the entry begins in the file: a table's row, an XML line
};

struct Glossary {
    // The primary languages the file names, in the order they first come;
    // empty when its columns say which term is the expression and which the
    // translation (then every entry holds exactly those two parts, in that order).
    QStringList languages;
    // The language the file says it is written from, if it names one of its own.
    QString mainLanguage;
    // Whether the file says which of its two languages is the expression's
    // (a table's « Expression (fr) »): then mainLanguage to the other.
    bool directed = false;
    // The glossary's name, where the file gives one (a TBX title or sourceDesc).
    QString title;
    std::vector<Entry> entries;
    // What the reading noticed that the user should know before anything
    // is written, each a French sentence or two.
    QStringList remarks;
};

// The primary language of a code as files write it: "en" for en-US, en_US or EN-us.
QString primaryLanguage(const QString& code);

// What a reader says, after the file's name, of a file holding more
// entries than the `room` the data file has left.
QString pastTheRoom(std::int32_t room);

// The dictionary entries of a card's expression or translation as an export
// writes them in a note of that language, labelled so that an import takes
// them back as entries: « Entrées texte source : … ».
QString labelledEntries(const QString& entries, bool source);
// The entries a note so labelled holds, if it is one.
std::optional<QString> entriesOfNote(const QString& note);

}  // namespace glossary
