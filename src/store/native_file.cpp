#include "store/native_file.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <iterator>

#include <QDir>
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
constexpr int kCreateNew = _O_RDWR | _O_CREAT | _O_EXCL;
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
constexpr int kCreateNew = O_RDWR | O_CREAT | O_EXCL;
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
        // Positional on both systems: a scan reads from two threads at once.
        got = 0;
        while (got < length) {
#ifdef _WIN32
            OVERLAPPED at{};
            at.Offset = DWORD(offset + got);
            at.OffsetHigh = DWORD((offset + got) >> 32);
            DWORD n = 0;
            const DWORD want = DWORD(std::min<std::int64_t>(length - got, 1 << 30));
            if (!ReadFile(handle(), data + got, want, &n, &at)) {
                const DWORD cause = GetLastError();
                if (cause == ERROR_HANDLE_EOF) break;
                m_error = cause == ERROR_ACCESS_DENIED || cause == ERROR_LOCK_VIOLATION ? EACCES : EIO;
                return false;
            }
#else
            const auto n = ::pread(m_fd, data + got, std::size_t(length - got), off_t(offset + got));
            if (n < 0) {
                if (errno == EINTR) continue;
                return fail();
            }
#endif
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

    Lock tryLock() override {
#ifdef _WIN32
        OVERLAPPED range = lockRange();
        if (LockFileEx(handle(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, DWORD(kSaveLock.length),
                       DWORD(kSaveLock.length >> 32), &range)) {
            return Lock::taken;
        }
        if (GetLastError() == ERROR_LOCK_VIOLATION || GetLastError() == ERROR_IO_PENDING) return Lock::heldElsewhere;
        m_error = EACCES;
        return Lock::failed;
#else
        int result;
        do {
            result = ::flock(m_fd, LOCK_EX | LOCK_NB);
        } while (result != 0 && errno == EINTR);
        if (result == 0) return Lock::taken;
        if (errno == EWOULDBLOCK) return Lock::heldElsewhere;
        fail();
        return Lock::failed;
#endif
    }

    void unlock() override {
#ifdef _WIN32
        OVERLAPPED range = lockRange();
        UnlockFileEx(handle(), 0, DWORD(kSaveLock.length), DWORD(kSaveLock.length >> 32), &range);
#else
        ::flock(m_fd, LOCK_UN);
#endif
    }

    FileIdentity identity() override {
#ifdef _WIN32
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(handle(), &info)) return {};
        return {true, info.dwVolumeSerialNumber,
                (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
#else
        struct stat info;
        if (::fstat(m_fd, &info) != 0) return {};
        return {true, std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)};
#endif
    }

    bool writable() const override { return m_writable; }
    int error() const override { return m_error; }

private:
    bool fail() {
        m_error = errno;
        return false;
    }
#ifdef _WIN32
    HANDLE handle() const { return reinterpret_cast<HANDLE>(_get_osfhandle(m_fd)); }
    static OVERLAPPED lockRange() {
        OVERLAPPED range{};
        range.Offset = DWORD(kSaveLock.offset);
        range.OffsetHigh = DWORD(kSaveLock.offset >> 32);
        return range;
    }
#endif

    int m_fd;
    bool m_writable;
    std::atomic<int> m_error = 0;
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
#ifdef _WIN32
        // Windows refuses to open a folder as a file with "access denied", and
        // an administrator may write a read-only file: the attributes say what
        // the user meant.
        const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()));
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            error = EISDIR;
            return nullptr;
        }
        const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
        bool writable = !readOnly;
        int fd = openNative(path, readOnly ? kReadOnly : kReadWriteCreate);
#else
        bool writable = true;
        int fd = openNative(path, kReadWriteCreate);
#endif
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
        const int fd = openNative(path, kCreateNew);
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

    bool rename(const QString& from, const QString& to, int& error) override {
#ifdef _WIN32
        if (MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()), reinterpret_cast<const wchar_t*>(to.utf16()),
                        MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        error = GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EACCES;
        return false;
#else
        if (QFileInfo::exists(to)) {
            error = EEXIST;
            return false;
        }
        if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
        error = errno;
        return false;
#endif
    }

    bool makeFolder(const QString& path, int& error) override {
        if (QDir().mkpath(path)) return true;
        error = QFileInfo(path).exists() ? ENOTDIR : EACCES;
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

    QString canonicalPath(const QString& path) override {
#ifdef _WIN32
        // A mapped drive and the share it maps, or a link and its target,
        // give the same final name once the file is open.
        HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            wchar_t name[32768];
            const DWORD length = GetFinalPathNameByHandleW(file, name, DWORD(std::size(name)),
                                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            CloseHandle(file);
            if (length > 0 && length < std::size(name)) {
                QString finalName = QString::fromWCharArray(name, int(length));
                if (finalName.startsWith(QLatin1String("\\\\?\\UNC\\"))) {
                    finalName = QLatin1String("\\\\") + finalName.mid(8);
                } else if (finalName.startsWith(QLatin1String("\\\\?\\"))) {
                    finalName = finalName.mid(4);
                }
                return QDir::fromNativeSeparators(finalName);
            }
        }
        return QFileInfo(path).absoluteFilePath();
#else
        const QString canonical = QFileInfo(path).canonicalFilePath();
        return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
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
