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
    // The member's bytes; throws Failure when it would inflate past `limit`
    // bytes (tooLarge, nothing beyond the limit inflated) or cannot be read.
    QByteArray read(const QString& member, qint64 limit) const;

private:
    QByteArray m_bytes;  // the archive reads from these
    struct Archive;
    std::unique_ptr<Archive> m_archive;
};

class Writer {
public:
    // A member stored as it is (a workbook's "mimetype" must be) or compressed.
    void add(const QString& member, QByteArray bytes, bool stored = false);
    // The archive's bytes, the members in the order they were added.
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
