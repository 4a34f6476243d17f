#include "store/native_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openNative(const QString& path, int flags) {
    int fd;
    do {
        fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

class NativeFile final : public RandomAccessFile {
public:
    NativeFile(int fd, bool writable) : m_fd(fd), m_writable(writable) {}
    ~NativeFile() override { ::close(m_fd); }

    bool size(std::int64_t& bytes) override {
        struct stat info;
        if (::fstat(m_fd, &info) != 0) return fail();
        bytes = info.st_size;
        return true;
    }

    bool readAt(std::int64_t offset, char* data, std::int64_t length, std::int64_t& got) override {
        // Positional: a scan reads from two threads at once.
        got = 0;
        while (got < length) {
            const auto n = ::pread(m_fd, data + got, std::size_t(length - got), off_t(offset + got));
            if (n < 0) {
                if (errno == EINTR) continue;
                return fail();
            }
            if (n == 0) break;
            got += n;
        }
        return true;
    }

    bool writeAt(std::int64_t offset, const char* data, std::int64_t length) override {
        std::int64_t done = 0;
        while (done < length) {
            const auto n = ::pwrite(m_fd, data + done, std::size_t(length - done), off_t(offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                return fail();
            }
            if (n == 0) {
                m_error = ENOSPC;
                return false;
            }
            done += n;
        }
        return true;
    }

    bool truncate(std::int64_t size) override { return ::ftruncate(m_fd, off_t(size)) == 0 || fail(); }

    bool sync() override { return ::fsync(m_fd) == 0 || fail(); }

    // flock holds the whole file, but readers never ask for it: only saves do.
    Lock tryLock() override {
        int result;
        do {
            result = ::flock(m_fd, LOCK_EX | LOCK_NB);
        } while (result != 0 && errno == EINTR);
        if (result == 0) return Lock::taken;
        if (errno == EWOULDBLOCK) return Lock::heldElsewhere;
        fail();
        return Lock::failed;
    }

    void unlock() override { ::flock(m_fd, LOCK_UN); }

    FileIdentity identity() override {
        struct stat info;
        if (::fstat(m_fd, &info) != 0) return {};
        return {true, std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)};
    }

    std::int64_t birthTime() override {
        struct statx info;
        if (::statx(m_fd, "", AT_EMPTY_PATH, STATX_BTIME, &info) != 0 || !(info.stx_mask & STATX_BTIME)) return 0;
        return std::int64_t(info.stx_btime.tv_sec) * 1000 + info.stx_btime.tv_nsec / 1000000;
    }

    bool writable() const override { return m_writable; }
    int error() const override { return m_error; }

private:
    bool fail() {
        m_error = errno;
        return false;
    }

    int m_fd;
    bool m_writable;
    std::atomic<int> m_error = 0;
};

bool isFolder(int fd) {
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

// The file opened as fd, or null with the cause in error; a folder is refused.
std::unique_ptr<RandomAccessFile> fileOf(int fd, bool writable, int& error) {
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    if (isFolder(fd)) {
        ::close(fd);
        error = EISDIR;
        return nullptr;
    }
    return std::make_unique<NativeFile>(fd, writable);
}

class NativeFileSystem final : public FileSystem {
public:
    std::unique_ptr<RandomAccessFile> open(const QString& path, int& error) override {
        bool writable = true;
        int fd = openNative(path, O_RDWR | O_CREAT);
        if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
            const int denied = errno;
            fd = openNative(path, O_RDONLY);
            writable = false;
            if (fd < 0) errno = denied;
        }
        return fileOf(fd, writable, error);
    }

    std::unique_ptr<RandomAccessFile> openForReading(const QString& path, int& error) override {
        return fileOf(openNative(path, O_RDONLY), false, error);
    }

    std::unique_ptr<RandomAccessFile> create(const QString& path, int& error) override {
        const int fd = openNative(path, O_RDWR | O_CREAT | O_EXCL);
        if (fd < 0) {
            error = errno;
            return nullptr;
        }
        return std::make_unique<NativeFile>(fd, true);
    }

    bool exists(const QString& path) override { return QFileInfo::exists(path); }

    bool remove(const QString& path, int& error) override {
        if (::unlink(QFile::encodeName(path).constData()) == 0) return true;
        error = errno;
        return false;
    }

    bool rename(const QString& from, const QString& to, int& error) override {
        if (QFileInfo::exists(to)) {
            error = EEXIST;
            return false;
        }
        if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
        error = errno;
        return false;
    }

    bool makeFolder(const QString& path, int& error) override {
        if (QDir().mkpath(path)) return true;
        error = QFileInfo(path).exists() ? ENOTDIR : EACCES;
        return false;
    }

    bool syncFolderOf(const QString& path, int& error) override {
        const int fd = openNative(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) {
            error = errno;
            return false;
        }
        const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
        if (!synced) error = errno;
        ::close(fd);
        return synced;
    }

    QString canonicalPath(const QString& path) override {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
    }
};

}  // namespace

FileSystem& FileSystem::native() {
    static NativeFileSystem system;
    return system;
}
