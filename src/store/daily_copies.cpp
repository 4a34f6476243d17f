#include "store/daily_copies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <new>
#include <zlib.h>

#include "store/data_file.h"
#include "store/fiche_record.h"
#include "store/file_owner.h"
#include "store/file_places.h"
#include "store/store_error.h"
#include "store/store_notice.h"

namespace dailycopies {
namespace {

constexpr std::int64_t kPiece = 1 << 20;
const QString kSuffix = QStringLiteral(".dat.gz");
const QString kDay = QStringLiteral("yyyy-MM-dd");
const QString kMoment = QStringLiteral("yyyy-MM-dd-HHmmss");
constexpr qint64 kLongestCopySeconds = 60;

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

// Inflates a gzip file a piece at a time, giving each piece to `each`, and
// stops where it would pass `limit` bytes. Empty when the whole of it came
// out and zlib's CRC-32 held; else why not, in French.
template <typename Each>
QString inflateEach(const QString& path, std::int64_t limit, Each each) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) return in.errorString();
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK) return QStringLiteral("la mémoire manque pour la lire");
    std::vector<char> input(static_cast<std::size_t>(kPiece));
    std::vector<char> piece(static_cast<std::size_t>(kPiece));
    std::int64_t produced = 0;
    int result = Z_OK;
    while (result == Z_OK) {
        if (stream.avail_in == 0) {
            const qint64 got = in.read(input.data(), qint64(input.size()));
            if (got <= 0) break;
            stream.next_in = reinterpret_cast<Bytef*>(input.data());
            stream.avail_in = uInt(got);
        }
        stream.next_out = reinterpret_cast<Bytef*>(piece.data());
        stream.avail_out = uInt(piece.size());
        result = inflate(&stream, Z_NO_FLUSH);
        const auto out = std::int64_t(piece.size() - stream.avail_out);
        produced += out;
        if (produced > limit) break;
        each(piece.data(), out);
        if (result == Z_BUF_ERROR && stream.avail_in == 0) result = Z_OK;  // wants more input
    }
    inflateEnd(&stream);
    if (produced > limit) return QStringLiteral("elle dit contenir plus qu'un fichier de données ne peut en tenir");
    return result == Z_STREAM_END ? QString() : QStringLiteral("la copie est abîmée ou incomplète");
}

// Deletes the copies no longer kept. A copy dated ahead of the clock (a
// clock set back, a folder brought from another machine) ranks as made now,
// so that it never pushes today's out; those in `keep` are never deleted.
void rotate(std::vector<Copy> copies, const QStringList& keep) {
    const QDateTime now = QDateTime::currentDateTime();
    const auto rank = [&now](const Copy& copy) { return std::min(copy.made, now); };
    std::stable_sort(copies.begin(), copies.end(), [&](const Copy& a, const Copy& b) {
        if (rank(a) != rank(b)) return rank(a) > rank(b);
        return keep.contains(a.path) && !keep.contains(b.path);
    });
    QSet<QString> kept(keep.begin(), keep.end());
    QSet<int> weeks;
    QSet<int> months;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const QDate day = rank(copies[i]).date();
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

const QString kMarkName = QStringLiteral("marque");

// The folder of the data file's copies, made where missing, with its mark.
// One another data file left under this name (renamed or replaced since) is
// set aside first, and the user told where.
QString ownFolder(FileSystem& fileSystem, const QString& dataFile, const fileowner::Owner& owner) {
    const QString folder = folderFor(fileSystem, dataFile);
    const QString mark = QDir(folder).filePath(kMarkName);
    if (!fileowner::belongs(fileowner::readMark(fileSystem, mark), owner)) {
        const QString aside = fileplaces::asideName(fileSystem, folder, QStringLiteral("autre-fichier"));
        if (!QDir().rename(folder, aside)) throw CopyFailure{QStringLiteral("le dossier %1 est celui d'un autre fichier de données et ne peut pas être mis de côté").arg(quotedPath(folder))};
        storenotice::tell(QStringLiteral("Le dossier de copies %1 était celui d'un autre fichier de données, qui "
                                         "portait le nom %2 avant d'être renommé ou remplacé. Il a été mis de côté "
                                         "sous le nom %3.")
                              .arg(quotedPath(folder), quotedPath(dataFile), quotedPath(aside)));
    }
    if (!QDir().mkpath(folder)) throw CopyFailure{QStringLiteral("le dossier %1 ne peut pas être créé").arg(quotedPath(folder))};
    if (!QFile::exists(mark)) {
        QSaveFile out(mark);
        const std::vector<char> bytes = fileowner::encode(owner);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) ||
            !out.commit()) {
            throw CopyFailure{out.errorString()};
        }
    }
    return folder;
}

// Makes the copy and reads it back whole; gives its path. Runs under the
// save lock, so a copy half written that a crash left is no other
// program's work under way: it goes.
QString makeCopy(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& file, std::int64_t length,
                 const QString& name) {
    try {
        const QString folder = ownFolder(fileSystem, dataFile, fileowner::ownerOf(file));
        for (const QString& stale : QDir(folder).entryList({QStringLiteral("*") + kSuffix + QStringLiteral(".*")}, QDir::Files)) {
            QFile::remove(QDir(folder).filePath(stale));
        }
        const QString path = QDir(folder).filePath(name + kSuffix);
        std::uint32_t crc = 0;
        compress(file, length, path, crc);
        std::uint32_t backCrc = std::uint32_t(crc32(0, nullptr, 0));
        std::int64_t backLength = 0;
        const QString why = inflateEach(path, length, [&](const char* bytes, std::int64_t size) {
            backCrc = std::uint32_t(crc32(backCrc, reinterpret_cast<const Bytef*>(bytes), uInt(size)));
            backLength += size;
        });
        if (!why.isEmpty() || backLength != length || backCrc != crc) {
            QFile::remove(path);
            throw CopyFailure{why.isEmpty() ? QStringLiteral("la copie relue ne correspond pas au fichier") : why};
        }
        return path;
    } catch (const std::bad_alloc&) {
        throw CopyFailure{QStringLiteral("la mémoire a manqué")};
    }
}

}  // namespace

QString folderFor(FileSystem& fileSystem, const QString& dataFile) {
    return fileplaces::inUsersFolder(fileSystem, dataFile, QStringLiteral("copies"), QString());
}

std::vector<Copy> list(FileSystem& fileSystem, const QString& dataFile) {
    std::vector<Copy> copies;
    const QDir folder(folderFor(fileSystem, dataFile));
    if (!foreignCopies(fileSystem, dataFile).isEmpty()) return copies;
    for (const QFileInfo& info : folder.entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files)) {
        Copy copy;
        copy.path = info.filePath();
        copy.made = madeFromName(info.fileName());
        if (!copy.made.isValid()) continue;
        // The name gives the day, or the second the copy began: the time it
        // was made is its file's where that lies on the name's day, or within
        // the minute a copy may take after that second (a large file's ends
        // seconds later); a time anywhere else is a later touch, not the copy's.
        const bool dayOnly = info.fileName().size() == kDay.size() + kSuffix.size();
        const QDateTime modified = info.lastModified();
        if (dayOnly ? modified.date() == copy.made.date()
                    : modified >= copy.made && modified < copy.made.addSecs(kLongestCopySeconds)) {
            copy.made = std::max(copy.made, modified);
        }
        copy.compressed = info.size();
        // gzip begins with 1f 8b and ends with the length it holds: a copy
        // cut short ends elsewhere, and says what it likes.
        QFile file(copy.path);
        const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(2) : QByteArray();
        const QByteArray tail = file.seek(info.size() - 4) ? file.read(4) : QByteArray();
        if (head == QByteArray("\x1f\x8b") && tail.size() == 4) {
            const auto* b = reinterpret_cast<const unsigned char*>(tail.constData());
            copy.length = std::int64_t(b[0]) | std::int64_t(b[1]) << 8 | std::int64_t(b[2]) << 16 |
                          std::int64_t(b[3]) << 24;
        }
        // deflate shrinks at most 1032 to 1: a copy claiming more was cut short.
        copy.damaged = head != QByteArray("\x1f\x8b") || tail.size() != 4 || copy.length > kLargestDataFile ||
                       copy.compressed < 20 || copy.length > copy.compressed * 1032;
        copy.cardCount = copy.damaged ? 0 : recordCountFor(copy.length);
        copies.push_back(copy);
    }
    std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) { return a.made > b.made; });
    return copies;
}

QString foreignCopies(FileSystem& fileSystem, const QString& dataFile) {
    const QString folder = folderFor(fileSystem, dataFile);
    if (fileowner::belongs(fileowner::readMark(fileSystem, QDir(folder).filePath(kMarkName)),
                           fileowner::ownerOf(fileSystem, dataFile))) {
        return {};
    }
    return QStringLiteral("Les copies du dossier %1 sont celles d'un autre fichier de données, qui portait le nom %2 "
                          "avant d'être renommé ou remplacé\u00A0: elles ne sont pas proposées pour ce fichier. "
                          "Elles seront mises de côté à son prochain enregistrement.")
        .arg(quotedPath(folder), quotedPath(dataFile));
}

void copyOncePerDay(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& file, std::int64_t length) {
    const QDate today = QDate::currentDate();
    const QString folder = folderFor(fileSystem, dataFile);
    const QString name = today.toString(kDay);
    const QString path = QDir(folder).filePath(name + kSuffix);
    if (QFile::exists(path) && fileowner::belongs(fileowner::readMark(fileSystem, QDir(folder).filePath(kMarkName)),
                                                  fileowner::ownerOf(file))) {
        return;
    }
    try {
        rotate(list(fileSystem, dataFile), {makeCopy(fileSystem, dataFile, file, length, name)});
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

QString copyBeforeRestoring(FileSystem& fileSystem, const QString& dataFile, RandomAccessFile& file,
                            std::int64_t length) {
    try {
        const QString path = makeCopy(fileSystem, dataFile, file, length, QDateTime::currentDateTime().toString(kMoment));
        if (!QFile::exists(path)) throw CopyFailure{QStringLiteral("la copie %1 a disparu").arg(quotedPath(path))};
        return path;
    } catch (const CopyFailure& failure) {
        throw StoreError(QStringLiteral("Le fichier de données %1 n'a pas pu être copié avant d'être remplacé%2. "
                                        "Il est resté tel quel.")
                             .arg(quotedPath(dataFile),
                                  failure.why.isEmpty() ? QString() : QStringLiteral("\u00A0: ") + failure.why));
    }
}

void keepAfterRestoring(FileSystem& fileSystem, const QString& dataFile, const QStringList& keep) {
    rotate(list(fileSystem, dataFile), keep);
}

std::vector<char> contents(const Copy& copy) {
    std::vector<char> bytes;
    QString why = copy.damaged ? QStringLiteral("elle est abîmée ou incomplète") : QString();
    try {
        if (why.isEmpty()) {
            bytes.reserve(std::size_t(copy.length));
            why = inflateEach(copy.path, copy.length,
                              [&bytes](const char* piece, std::int64_t size) { bytes.insert(bytes.end(), piece, piece + size); });
        }
    } catch (const std::bad_alloc&) {
        why = QStringLiteral("la mémoire manque pour la lire");
    }
    if (why.isEmpty() && std::int64_t(bytes.size()) != copy.length) why = QStringLiteral("elle est incomplète");
    if (!why.isEmpty()) throw StoreError(QStringLiteral("La copie %1 ne peut pas être lue\u00A0: %2.").arg(quotedPath(copy.path), why));
    return bytes;
}

void restore(const QString& dataFile, const Copy& copy) {
    const std::vector<char> bytes = contents(copy);
    DataFile file = DataFile::open(dataFile);
    file.replaceWith(bytes, cardhistory::Action::restoration, copy.path);
}

}  // namespace dailycopies
