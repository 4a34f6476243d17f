#pragma once

#include <QString>
#include <cstdint>
#include <memory>

// What tells one file from another on its volume, where the system says:
// the same path may name another file after a copy or a restore.
struct FileIdentity {
    bool known = false;
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The bytes a save locks where locks keep readers out: far past the last
// byte any card number can reach ((2^31 - 1) x 2799), so no read ever meets
// them; the file need not be that long.
struct LockRange {
    std::uint64_t offset;
    std::uint64_t length;
};
inline constexpr LockRange kSaveLock{std::uint64_t(1) << 62, 1};

// One open file, reached by offset. Every call reports failure by its result
// and leaves the errno-style cause in error().
class RandomAccessFile {
public:
    virtual ~RandomAccessFile() = default;
    virtual bool size(std::int64_t& bytes) = 0;
    // Reads up to length bytes; fewer only at the end of the file.
    virtual bool readAt(std::int64_t offset, char* data, std::int64_t length, std::int64_t& got) = 0;
    // Writes all length bytes or fails.
    virtual bool writeAt(std::int64_t offset, const char* data, std::int64_t length) = 0;
    virtual bool truncate(std::int64_t size) = 0;
    // Flushes what was written down to the disk.
    virtual bool sync() = 0;
    enum class Lock { taken, heldElsewhere, failed };
    // Holds the file for this process's save alone, without waiting when
    // another program holds it; released by unlock or by closing. Readers are
    // never kept out: where locks are mandatory (Windows), only kSaveLock's
    // bytes, which no card reaches, are locked.
    virtual Lock tryLock() = 0;
    virtual void unlock() = 0;
    // Unknown (not known) where the system gives none.
    virtual FileIdentity identity() = 0;
    // When the file was made, in milliseconds since 1970 UTC: kept through a
    // rename or a move on its volume, new for a file made in its place. 0
    // where the system does not say.
    virtual std::int64_t birthTime() = 0;
    virtual bool writable() const = 0;
    virtual int error() const = 0;
};

// Opens files on the real file system, or on whatever a test puts in its place.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens for reading and writing, creating a missing file empty; a file
    // that may only be read is opened read-only. Null on failure, with the
    // cause in error.
    virtual std::unique_ptr<RandomAccessFile> open(const QString& path, int& error) = 0;
    // Opens an existing file for reading only, whatever it allows.
    virtual std::unique_ptr<RandomAccessFile> openForReading(const QString& path, int& error);
    // Creates a new, empty file for writing; fails with EEXIST where a file
    // of that name is already there.
    virtual std::unique_ptr<RandomAccessFile> create(const QString& path, int& error) = 0;
    virtual bool exists(const QString& path) = 0;
    virtual bool remove(const QString& path, int& error) = 0;
    // Gives a file another name in the same folder, replacing nothing.
    virtual bool rename(const QString& from, const QString& to, int& error) = 0;
    // Creates the folder and those above it that are missing.
    virtual bool makeFolder(const QString& path, int& error) = 0;
    // Makes the creation or removal of a file in the folder holding path durable.
    virtual bool syncFolderOf(const QString& path, int& error) = 0;
    // The one name of the file, whatever link, drive letter or share it is
    // reached through; the absolute path where the system gives none.
    virtual QString canonicalPath(const QString& path) = 0;

    static FileSystem& current();
    // The machine's own file system, whatever is current.
    static FileSystem& native();
    // Tests put a failing file system in place; null restores the real one.
    static void setCurrent(FileSystem* fileSystem);
};
