#include "store/daily_copies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <zlib.h>

#include "store/data_file.h"
#include "store/file_places.h"
#include "store/store_error.h"
#include "store/store_notice.h"

namespace dailycopies {
namespace {

constexpr std::int64_t kPiece = 1 << 20;
const QString kSuffix = QStringLiteral(".dat.gz");
const QString kDay = QStringLiteral("yyyy-MM-dd");
const QString kMoment = QStringLiteral("yyyy-MM-dd-HHmmss");

// Why a copy failed, for the user's message.
struct CopyFailure {
    QString why;
};

QDateTime madeFromName(const QString& name) {
    const QString stem = name.left(name.size() - kSuffix.size());
    const QDateTime moment = QDateTime::fromString(stem, kMoment);
    if (moment.isValid()) return moment;
    return QDate::fromString(stem, kDay).startOfDay();
}

// Compresses the data file into `path` through zlib's gzip stream, and gives
// the CRC-32 and length of what it read.
void compress(RandomAccessFile& file, std::int64_t length, const QString& path, std::uint32_t& crc) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) throw CopyFailure{out.errorString()};
    z_stream stream{};
    // Level 1: the padded slots compress about tenfold at once; more effort
    // gains little and would hold the save up.
    if (deflateInit2(&stream, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw CopyFailure{};
    std::vector<char> in(std::size_t(std::min(kPiece, std::max<std::int64_t>(length, 1))));
    std::vector<char> compressed(std::size_t(deflateBound(&stream, uLong(in.size()))) + 64);
    crc = std::uint32_t(crc32(0, nullptr, 0));
    bool ok = true;
    for (std::int64_t offset = 0; ok;) {
        std::int64_t got = 0;
        const std::int64_t want = std::min<std::int64_t>(std::int64_t(in.size()), length - offset);
        if (want > 0 && (!file.readAt(offset, in.data(), want, got) || got != want)) {
            deflateEnd(&stream);
            throw CopyFailure{describeSystemError(file.error())};
        }
        offset += got;
        crc = std::uint32_t(crc32(crc, reinterpret_cast<const Bytef*>(in.data()), uInt(got)));
        const bool last = offset >= length;
        stream.next_in = reinterpret_cast<Bytef*>(in.data());
        stream.avail_in = uInt(got);
        int result = Z_OK;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(compressed.data());
            stream.avail_out = uInt(compressed.size());
            result = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            const auto produced = qint64(compressed.size() - stream.avail_out);
            ok = result != Z_STREAM_ERROR && out.write(compressed.data(), produced) == produced;
        } while (ok && stream.avail_out == 0);
        if (last) break;
    }
    deflateEnd(&stream);
    if (!ok || !out.commit()) throw CopyFailure{out.errorString()};
}

// The whole content of a gzip file, checked by zlib against its CRC-32.
std::vector<char> inflateWhole(const QString& path, QString& why) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        why = in.errorString();
        return {};
    }
    const QByteArray compressed = in.readAll();
    std::vector<char> bytes;
    if (compressed.size() >= 4) {
        const auto* tail = reinterpret_cast<const unsigned char*>(compressed.constData() + compressed.size() - 4);
        const std::size_t said = std::size_t(tail[0] | tail[1] << 8 | tail[2] << 16) | std::size_t(tail[3]) << 24;
        // deflate shrinks at most 1032 to 1: a length past that is not to be believed
        bytes.reserve(std::min(said, std::size_t(compressed.size()) * 1032));
    }
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK) return {};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    std::vector<char> piece(static_cast<std::size_t>(kPiece));
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(piece.data());
        stream.avail_out = uInt(piece.size());
        result = inflate(&stream, Z_NO_FLUSH);
        bytes.insert(bytes.end(), piece.data(), piece.data() + (piece.size() - stream.avail_out));
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END) {
        why = QStringLiteral("la copie est abîmée");
        return {};
    }
    return bytes;
}

// Deletes the copies no longer kept, newest first in `copies`.
void rotate(const std::vector<Copy>& copies) {
    QSet<QString> kept;
    QSet<int> weeks;
    QSet<int> months;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const QDate day = copies[i].made.date();
        int weekYear = 0;
        const int week = day.weekNumber(&weekYear);
        const int weekKey = weekYear * 100 + week;
        const int monthKey = day.year() * 100 + day.month();
        if (i < 7) kept.insert(copies[i].path);
        if (!weeks.contains(weekKey) && weeks.size() < 4) {
            weeks.insert(weekKey);
            kept.insert(copies[i].path);
        }
        if (!months.contains(monthKey) && months.size() < 12) {
            months.insert(monthKey);
            kept.insert(copies[i].path);
        }
    }
    for (const Copy& copy : copies) {
        if (!kept.contains(copy.path)) QFile::remove(copy.path);
    }
}

// Makes the copy, reads it back, then lets the copies no longer kept go.
void makeCopy(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& file, std::int64_t length,
              const QString& name) {
    const QString folder = folderFor(fileSystem, dataFile);
    if (!QDir().mkpath(folder)) throw CopyFailure{QStringLiteral("le dossier %1 ne peut pas être créé").arg(quotedPath(folder))};
    const QString path = QDir(folder).filePath(name + kSuffix);
    std::uint32_t crc = 0;
    compress(file, length, path, crc);
    QString why;
    const std::vector<char> back = inflateWhole(path, why);
    if (std::int64_t(back.size()) != length ||
        crc32(0, reinterpret_cast<const Bytef*>(back.data()), uInt(back.size())) != crc) {
        QFile::remove(path);
        throw CopyFailure{why.isEmpty() ? QStringLiteral("la copie relue ne correspond pas au fichier") : why};
    }
    rotate(list(fileSystem, dataFile));
}

}  // namespace

QString folderFor(FileSystem& fileSystem, const QString& dataFile) {
    return fileplaces::inUsersFolder(fileSystem, dataFile, QStringLiteral("copies"), QString());
}

std::vector<Copy> list(FileSystem& fileSystem, const QString& dataFile) {
    std::vector<Copy> copies;
    const QDir folder(folderFor(fileSystem, dataFile));
    for (const QFileInfo& info : folder.entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files)) {
        Copy copy;
        copy.path = info.filePath();
        copy.made = madeFromName(info.fileName());
        if (!copy.made.isValid()) continue;
        // A copy of the day is named after its day only: the time it was made is its file's.
        if (info.lastModified().date() == copy.made.date()) copy.made = std::max(copy.made, info.lastModified());
        copy.compressed = info.size();
        // gzip ends with the length it holds, modulo 4 GiB: far more than any data file.
        QFile file(copy.path);
        if (file.open(QIODevice::ReadOnly) && file.seek(info.size() - 4)) {
            const QByteArray tail = file.read(4);
            if (tail.size() == 4) {
                const auto* b = reinterpret_cast<const unsigned char*>(tail.constData());
                copy.length = std::int64_t(b[0]) | std::int64_t(b[1]) << 8 | std::int64_t(b[2]) << 16 |
                              std::int64_t(b[3]) << 24;
            }
        }
        copy.cardCount = recordCountFor(copy.length);
        copies.push_back(copy);
    }
    std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) { return a.made > b.made; });
    return copies;
}

void copyOncePerDay(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& file, std::int64_t length) {
    const QDate today = QDate::currentDate();
    const QString folder = folderFor(fileSystem, dataFile);
    const QString name = today.toString(kDay);
    if (QFile::exists(QDir(folder).filePath(name + kSuffix))) return;
    try {
        makeCopy(fileSystem, dataFile, file, length, name);
    } catch (const CopyFailure& failure) {
        // Told once a day for each file: every save of the day would fail the same way.
        static QSet<QString> told;
        const QString key = folder + name;
        if (told.contains(key)) return;
        told.insert(key);
        storenotice::tell(QStringLiteral("La copie du jour du fichier de données %1 n'a pas pu être faite dans %2%3. "
                                         "L'enregistrement a eu lieu quand même.")
                              .arg(quotedPath(dataFile), quotedPath(folder),
                                   failure.why.isEmpty() ? QString() : QStringLiteral("\u00A0: ") + failure.why));
    }
}

void copyBeforeRestoring(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& file,
                         std::int64_t length) {
    try {
        makeCopy(fileSystem, dataFile, file, length, QDateTime::currentDateTime().toString(kMoment));
    } catch (const CopyFailure& failure) {
        throw StoreError(QStringLiteral("Le fichier de données %1 n'a pas pu être copié avant d'être remplacé%2. "
                                        "Il est resté tel quel.")
                             .arg(quotedPath(dataFile),
                                  failure.why.isEmpty() ? QString() : QStringLiteral("\u00A0: ") + failure.why));
    }
}

std::vector<char> contents(const Copy& copy) {
    QString why;
    std::vector<char> bytes = inflateWhole(copy.path, why);
    if (!why.isEmpty() || std::int64_t(bytes.size()) != copy.length) {
        throw StoreError(QStringLiteral("La copie %1 ne peut pas être lue\u00A0: %2.")
                             .arg(quotedPath(copy.path), why.isEmpty() ? QStringLiteral("elle est incomplète") : why));
    }
    return bytes;
}

void restore(const QString& dataFile, const Copy& copy) {
    const std::vector<char> bytes = contents(copy);
    DataFile file = DataFile::open(dataFile);
    file.replaceWith(bytes, cardhistory::Action::restoration);
}

}  // namespace dailycopies
