#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class DataFile;

// The languages of a data file's cards: that of its expressions and that of
// its translations. Guessed from the cards, kept per data file in the
// user's settings once guessed or chosen.
struct FileLanguages {
    QString source;  // primary language codes, "fr"; empty where unknown
    QString target;
    bool operator==(const FileLanguages&) const = default;
};

class FileLanguagesSettings {
public:
    explicit FileLanguagesSettings(QString iniPath);

    std::optional<FileLanguages> kept(const QString& dataFile) const;
    void keep(const QString& dataFile, const FileLanguages& languages);

private:
    QString m_path;
};

namespace filelanguages {

// The languages among `candidates` whose dictionaries know most of the
// words of a sample of the cards' expressions, and of their translations;
// empty where none knows enough of them. A failure throws StoreError.
FileLanguages guess(DataFile& file, const QStringList& candidates);

// Those kept for the file, else guessed from its cards (and kept); the
// candidates are the languages dictionaries are installed for.
FileLanguages of(const QString& dataFile, FileLanguagesSettings& settings);

}  // namespace filelanguages
