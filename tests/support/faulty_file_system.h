#pragma once

#include <QList>
#include <QString>
#include <cerrno>
#include <functional>
#include <mutex>

#include "store/native_file.h"

// The real file system, numbering every operation made through it (opening,
// creating, looking up, renaming and removing files, making and syncing a
// folder; a file's size, identity, reads, writes, truncation, sync and
// lock). From a chosen operation on it fails, or ends the process there as
// a crash or a power cut would. A write it fails or cuts short puts half its
// bytes down first, as a full disk does.
class FaultyFileSystem final : public FileSystem {
public:
    enum class Mode { count, failOnce, failFromThen, crash };

    FaultyFileSystem(Mode mode = Mode::count, int at = 0) : m_mode(mode), m_at(at) {}

    int operations() const { return m_operations; }

    // Every operation made, with the file it was made on, in order.
    struct Operation {
        QString name;
        QString path;
    };
    QList<Operation> performed;

    // A folder in which no new file may be made, as for a user who may not
    // write there (files already in it may still be written).
    QString refuseNewFilesIn;
    // Removing any file fails, as when another program holds it open.
    bool refuseRemovals = false;
    // Runs before each operation, with its name ("remove", "write", ...).
    std::function<void(const char* operation)> beforeEach;

    std::unique_ptr<RandomAccessFile> open(const QString& path, int& error) override;
    std::unique_ptr<RandomAccessFile> create(const QString& path, int& error) override;
    bool exists(const QString& path) override;
    bool remove(const QString& path, int& error) override;
    bool rename(const QString& from, const QString& to, int& error) override;
    bool makeFolder(const QString& path, int& error) override;
    bool syncFolderOf(const QString& path, int& error) override;
    QString canonicalPath(const QString& path) override;

    // Counts one operation on path; true when it is to fail. Ends the process
    // when it is the one to crash at, once beforeCrash has done its part.
    bool fails(const char* operation, const QString& path, const std::function<void()>& beforeCrash = {});

private:
    bool refusedNewFile(const QString& path) const;

    Mode m_mode;
    int m_at;
    int m_operations = 0;
    std::mutex m_mutex;
};
