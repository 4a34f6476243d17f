#include "forms/file_languages.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <map>

#include "forms/dictionaries.h"
#include "search/folding.h"
#include "store/data_file.h"
#include "store/field_text.h"
#include "store/store_error.h"

namespace {

// The cards a guess reads, spread over the file, and how many of a side's
// words a dictionary must know to be that side's language.
constexpr std::int32_t kSampledCards = 400;
constexpr double kKnownEnough = 0.5;

// A data file's key in the settings: one per full name, whatever it holds.
QString keyOf(const QString& dataFile) {
    const QByteArray name = QDir::cleanPath(QFileInfo(dataFile).absoluteFilePath()).toUtf8();
    return QStringLiteral("langues_fiches/") + QString::fromLatin1(QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex().left(16));
}

QStringList wordsOf(const QString& text) {
    QStringList words;
    QString word;
    for (const QChar ch : text + u' ') {
        if (ch.isLetter()) {
            word += ch;
        } else if (!word.isEmpty()) {
            if (word.size() > 1) words.append(word.toLower());
            word.clear();
        }
    }
    return words;
}

QString bestOf(const QStringList& words, const QStringList& candidates) {
    if (words.isEmpty()) return {};
    QString best;
    double bestShare = kKnownEnough;
    for (const QString& language : candidates) {
        const auto lemmatizer = dictionaries::lemmatizerFor(language);
        if (!lemmatizer) continue;
        const auto known = std::count_if(words.begin(), words.end(), [&](const QString& word) { return lemmatizer->knows(word); });
        const double share = double(known) / double(words.size());
        if (share > bestShare) {
            bestShare = share;
            best = language;
        }
    }
    return best;
}

}  // namespace

FileLanguagesSettings::FileLanguagesSettings(QString iniPath) : m_path(std::move(iniPath)) {}

std::optional<FileLanguages> FileLanguagesSettings::kept(const QString& dataFile) const {
    const QStringList kept = QSettings(m_path, QSettings::IniFormat).value(keyOf(dataFile)).toStringList();
    if (kept.size() < 2) return std::nullopt;
    return FileLanguages{kept[0], kept[1]};
}

void FileLanguagesSettings::keep(const QString& dataFile, const FileLanguages& languages) {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSettings settings(m_path, QSettings::IniFormat);
    // The file's name goes with its languages, for whoever reads the settings.
    settings.setValue(keyOf(dataFile), QStringList{languages.source, languages.target, QFileInfo(dataFile).absoluteFilePath()});
}

namespace filelanguages {

FileLanguages guess(DataFile& file, const QStringList& candidates) {
    const std::int32_t count = file.recordCount();
    const std::int32_t step = std::max<std::int32_t>(1, count / kSampledCards);
    QStringList source;
    QStringList target;
    Module1::FicheRecord card;
    for (std::int32_t slot = 1; slot <= count; slot += step) {
        file.readSlot(slot, card);
        source += wordsOf(fieldtext::read(card.expression));
        target += wordsOf(fieldtext::read(card.traduction));
    }
    return {bestOf(source, candidates), bestOf(target, candidates)};
}

FileLanguages of(const QString& dataFile, FileLanguagesSettings& settings) {
    if (const auto kept = settings.kept(dataFile)) return *kept;
    FileLanguages guessed;
    try {
        DataFile file = DataFile::openForReading(dataFile);
        guessed = guess(file, dictionaries::languages());
    } catch (const StoreError&) {
        return {};  // an unreadable file is said by whatever reads it next
    }
    if (!guessed.source.isEmpty() || !guessed.target.isEmpty()) settings.keep(dataFile, guessed);
    return guessed;
}

}  // namespace filelanguages
