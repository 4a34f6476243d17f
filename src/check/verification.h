#pragma once

#include <QDateTime>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "check/terminology_check.h"

class AcceptedGaps;

// One check of a bilingual file against a data file, as the window and the
// command line make it: the file read, the languages of the cards, the
// file's direction, the cards made ready (once per data file, kept while it
// stays as it was), each segment checked.
namespace verification {

struct Result {
    bilingual::File file;
    termcheck::Report report;
};

// Told how far the check is: segments done of the file's total; total 0
// while the file and the cards are read.
using Progress = std::function<void(std::size_t done, std::size_t total)>;

class Checker {
public:
    // The gaps in `accepted` are not reported. None comes back once `stop`
    // is set. Throws ExchangeError or StoreError in French; the data file
    // is only read.
    std::optional<Result> check(const QString& checkedFile, const QString& dataFile, const FileLanguages& languages,
                                const AcceptedGaps* accepted, const std::atomic<bool>* stop, const Progress& progress);

private:
    struct Key {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        FileLanguages languages;
        termcheck::Direction direction = termcheck::Direction::expressionsFirst;
        bool operator==(const Key&) const = default;
    };
    std::shared_ptr<termcheck::TermGlossary> glossaryFor(const Key& key, const std::atomic<bool>* stop);

    Key m_key;
    std::shared_ptr<termcheck::TermGlossary> m_glossary;
};

}  // namespace verification
