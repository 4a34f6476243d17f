#include "store/native_file.h"

#include <QFile>

#include <cerrno>

#include <QFileInfo>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
int openNative(const QString& path, int flags) {
    int fd = -1;
    _wsopen_s(&fd, reinterpret_cast<const wchar_t*>(path.utf16()), flags | _O_BINARY | _O_NOINHERIT,
              _SH_DENYNO, _S_IREAD | _S_IWRITE);
    return fd;
}
void closeNative(int fd) { _close(fd); }
constexpr int kReadWriteCreate = _O_RDWR | _O_CREAT;
constexpr int kReadOnly = _O_RDONLY;
constexpr int kCreateEmpty = _O_RDWR | _O_CREAT | _O_TRUNC;
#else
int openNative(const QString& path, int flags) {
    int fd;
    do {
        fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
void closeNative(int fd) { ::close(fd); }
constexpr int kReadWriteCreate = O_RDWR | O_CREAT;
constexpr int kReadOnly = O_RDONLY;
constexpr int kCreateEmpty = O_RDWR | O_CREAT | O_TRUNC;
#endif

class NativeFile final : public RandomAccessFile {
public:
    NativeFile(int fd, bool writable) : m_fd(fd), m_writable(writable) {}
    ~NativeFile() override { closeNative(m_fd); }

    bool size(std::int64_t& bytes) override {
#ifdef _WIN32
        struct _stat64 info;
        if (_fstat64(m_fd, &info) != 0) return fail();
#else
        struct stat info;
        if (::fstat(m_fd, &info) != 0) return fail();
#endif
        bytes = info.st_size;
        return true;
    }

    bool readAt(std::int64_t offset, char* data, std::int64_t length, std::int64_t& got) override {
        got = 0;
        while (got < length) {
#ifdef _WIN32
            if (_lseeki64(m_fd, offset + got, SEEK_SET) < 0) return fail();
            const auto n = _read(m_fd, data + got, unsigned(length - got));
#else
            const auto n = ::pread(m_fd, data + got, std::size_t(length - got), off_t(offset + got));
#endif
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
#ifdef _WIN32
            if (_lseeki64(m_fd, offset + done, SEEK_SET) < 0) return fail();
            const auto n = _write(m_fd, data + done, unsigned(length - done));
#else
            const auto n = ::pwrite(m_fd, data + done, std::size_t(length - done), off_t(offset + done));
#endif
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

    bool truncate(std::int64_t size) override {
#ifdef _WIN32
        if (_chsize_s(m_fd, size) != 0) return fail();
#else
        if (::ftruncate(m_fd, off_t(size)) != 0) return fail();
#endif
        return true;
    }

    bool sync() override {
#ifdef _WIN32
        if (_commit(m_fd) != 0) return fail();
#else
        if (::fsync(m_fd) != 0) return fail();
#endif
        return true;
    }

    bool lock() override {
#ifdef _WIN32
        OVERLAPPED whole{};
        if (!LockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(m_fd)), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD,
                        &whole)) {
            m_error = EACCES;
            return false;
        }
#else
        int result;
        do {
            result = ::flock(m_fd, LOCK_EX);
        } while (result != 0 && errno == EINTR);
        if (result != 0) return fail();
#endif
        return true;
    }

    void unlock() override {
#ifdef _WIN32
        OVERLAPPED whole{};
        UnlockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(m_fd)), 0, MAXDWORD, MAXDWORD, &whole);
#else
        ::flock(m_fd, LOCK_UN);
#endif
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
    int m_error = 0;
};

bool isFolder(int fd) {
#ifdef _WIN32
    struct _stat64 info;
    return _fstat64(fd, &info) == 0 && (info.st_mode & _S_IFDIR);
#else
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

class NativeFileSystem final : public FileSystem {
public:
    std::unique_ptr<RandomAccessFile> open(const QString& path, int& error) override {
        bool writable = true;
        int fd = openNative(path, kReadWriteCreate);
        if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
            const int denied = errno;
            fd = openNative(path, kReadOnly);
            writable = false;
            if (fd < 0) errno = denied;
        }
        if (fd < 0) {
            error = errno;
            return nullptr;
        }
        if (isFolder(fd)) {
            closeNative(fd);
            error = EISDIR;
            return nullptr;
        }
        return std::make_unique<NativeFile>(fd, writable);
    }

    std::unique_ptr<RandomAccessFile> create(const QString& path, int& error) override {
        const int fd = openNative(path, kCreateEmpty);
        if (fd < 0) {
            error = errno;
            return nullptr;
        }
        return std::make_unique<NativeFile>(fd, true);
    }

    bool exists(const QString& path) override { return QFileInfo::exists(path); }

    bool remove(const QString& path, int& error) override {
#ifdef _WIN32
        if (_wremove(reinterpret_cast<const wchar_t*>(path.utf16())) == 0) return true;
#else
        if (::unlink(QFile::encodeName(path).constData()) == 0) return true;
#endif
        error = errno;
        return false;
    }

    bool syncFolderOf(const QString& path, int& error) override {
#ifdef _WIN32
        Q_UNUSED(path);
        Q_UNUSED(error);
        return true;  // NTFS makes the folder's entries durable with the file
#else
        const int fd = openNative(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) {
            error = errno;
            return false;
        }
        const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
        if (!synced) error = errno;
        closeNative(fd);
        return synced;
#endif
    }
};

FileSystem* g_current = nullptr;

}  // namespace

FileSystem& FileSystem::native() {
    static NativeFileSystem system;
    return system;
}

FileSystem& FileSystem::current() { return g_current ? *g_current : native(); }

void FileSystem::setCurrent(FileSystem* fileSystem) { g_current = fileSystem; }
