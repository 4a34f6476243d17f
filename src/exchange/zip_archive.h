#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

// The zip container of a workbook, in memory: its members read no further
// than a size allowed, and new ones written.
namespace ziparchive {

// What is wrong with an archive; the reader of the workbook says it in French.
struct Failure : std::runtime_error {
    enum class Kind { notZip, damaged, tooLarge };
    Failure(Kind kind, const QString& member);
    Kind kind;
    QString member;
};

class Reader {
public:
    // Throws Failure (notZip) when the bytes are no zip archive.
    explicit Reader(QByteArray bytes);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    bool has(const QString& member) const;

    // A member read a piece at a time, so that only the piece is held.
    class Stream {
    public:
        ~Stream();
        Stream(const Stream&) = delete;
        Stream& operator=(const Stream&) = delete;
        // The next bytes, empty at the member's end; throws Failure when the
        // member would inflate past the limit (tooLarge, nothing beyond it
        // inflated) or cannot be read.
        QByteArray next();

    private:
        friend class Reader;
        Stream(void* file, QString member, qint64 limit);
        void* m_file;
        QString m_member;
        qint64 m_limit;
        qint64 m_read = 0;
    };
    // Throws Failure when the member cannot be opened, or claims a size past `limit`.
    std::unique_ptr<Stream> open(const QString& member, qint64 limit) const;

private:
    QByteArray m_bytes;  // the archive reads from these
    struct Archive;
    std::unique_ptr<Archive> m_archive;
};

class Writer {
public:
    // A member stored as it is (a workbook's "mimetype" must be) or compressed.
    void add(const QString& member, QByteArray bytes, bool stored = false);
    // The archive's bytes, the members in the order they were added;
    // throws std::bad_alloc when they cannot be made.
    QByteArray finish() const;

private:
    struct Member {
        QString name;
        QByteArray bytes;
        bool stored;
    };
    std::vector<Member> m_members;
};

}  // namespace ziparchive
