#pragma once

#include <QString>
#include <vector>

// A translation as the files translation tools exchange hold it: segments,
// each a source text and its target text, in the file's two languages.
// Read from XLIFF 1.2 and 2.x, TMX 1.4, PO, and bilingual tables (CSV,
// .xlsx, .ods, their language columns read as an import reads them).
namespace bilingual {

struct Segment {
    QString id;      // as the file names it, else its number
    QString source;
    QString target;
    bool hasTarget = false;     // a target, even empty, the file gives
    bool translatable = true;   // false: marked as not to translate
};

struct File {
    QString sourceLanguage;  // primary language codes ("en"); empty where the file names none
    QString targetLanguage;
    std::vector<Segment> segments;
};

// Larger files, and more segments or longer texts, are refused.
inline constexpr qint64 kLargestFile = qint64(256) * 1024 * 1024;
inline constexpr std::size_t kMostSegments = 2'000'000;
inline constexpr qsizetype kLongestText = 100'000;

// The file at path, by its extension: .xlf, .xliff, .tmx, .po, .csv, .xlsx,
// .ods. Throws ExchangeError, in French and naming the file, for a file
// that cannot be read, is of none of these kinds, is not well-formed,
// declares entities of its own, or passes the limits above.
File read(const QString& path);

// Whether the path names a file read() reads.
bool isBilingual(const QString& path);

}  // namespace bilingual
