#include "store/native_file.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <iterator>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

namespace {

int openNative(const QString& path, int flags) {
    int fd = -1;
    _wsopen_s(&fd, reinterpret_cast<const wchar_t*>(path.utf16()), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
              _S_IREAD | _S_IWRITE);
    return fd;
}

// Opened for reading only, and shared for all: the user may rename, replace
// or delete the file while it is read, as on the other systems.
int openSharedForReading(const QString& path) {
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD cause = GetLastError();
        errno = cause == ERROR_FILE_NOT_FOUND || cause == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) CloseHandle(handle);
    return fd;
}

// 100-nanosecond intervals from 1601 to 1970.
constexpr std::int64_t kEpochOffset = 116444736000000000LL;

class NativeFile final : public RandomAccessFile {
public:
    NativeFile(int fd, bool writable) : m_fd(fd), m_writable(writable) {}
    ~NativeFile() override { _close(m_fd); }

    bool size(std::int64_t& bytes) override {
        struct _stat64 info;
        if (_fstat64(m_fd, &info) != 0) return fail();
        bytes = info.st_size;
        return true;
    }

    bool readAt(std::int64_t offset, char* data, std::int64_t length, std::int64_t& got) override {
        // Positional: a scan reads from two threads at once, and the C
        // library's file position is shared by both.
        got = 0;
        while (got < length) {
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
            if (n == 0) break;
            got += n;
        }
        return true;
    }

    bool writeAt(std::int64_t offset, const char* data, std::int64_t length) override {
        std::int64_t done = 0;
        while (done < length) {
            if (_lseeki64(m_fd, offset + done, SEEK_SET) < 0) return fail();
            const auto n = _write(m_fd, data + done, unsigned(length - done));
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

    bool truncate(std::int64_t size) override { return _chsize_s(m_fd, size) == 0 || fail(); }

    bool sync() override { return _commit(m_fd) == 0 || fail(); }

    // Locks here keep readers out: only kSaveLock's bytes, which no card reaches.
    Lock tryLock() override {
        OVERLAPPED range = lockRange();
        if (LockFileEx(handle(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, DWORD(kSaveLock.length),
                       DWORD(kSaveLock.length >> 32), &range)) {
            return Lock::taken;
        }
        if (GetLastError() == ERROR_LOCK_VIOLATION || GetLastError() == ERROR_IO_PENDING) return Lock::heldElsewhere;
        m_error = EACCES;
        return Lock::failed;
    }

    void unlock() override {
        OVERLAPPED range = lockRange();
        UnlockFileEx(handle(), 0, DWORD(kSaveLock.length), DWORD(kSaveLock.length >> 32), &range);
    }

    FileIdentity identity() override {
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(handle(), &info)) return {};
        return {true, info.dwVolumeSerialNumber, (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    }

    std::int64_t birthTime() override {
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(handle(), &info)) return 0;
        const std::int64_t ticks =
            std::int64_t((std::uint64_t(info.ftCreationTime.dwHighDateTime) << 32) | info.ftCreationTime.dwLowDateTime);
        return ticks > kEpochOffset ? (ticks - kEpochOffset) / 10000 : 0;
    }

    bool writable() const override { return m_writable; }
    int error() const override { return m_error; }

private:
    bool fail() {
        m_error = errno;
        return false;
    }
    HANDLE handle() const { return reinterpret_cast<HANDLE>(_get_osfhandle(m_fd)); }
    static OVERLAPPED lockRange() {
        OVERLAPPED range{};
        range.Offset = DWORD(kSaveLock.offset);
        range.OffsetHigh = DWORD(kSaveLock.offset >> 32);
        return range;
    }

    int m_fd;
    bool m_writable;
    std::atomic<int> m_error = 0;
};

// Windows refuses to open a folder as a file with "access denied": the
// attributes say what it is.
bool isFolder(const QString& path) {
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file opened as fd, or null with the cause in error; a folder is refused.
std::unique_ptr<RandomAccessFile> fileOf(int fd, bool writable, int& error) {
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    struct _stat64 info;
    if (_fstat64(fd, &info) == 0 && (info.st_mode & _S_IFDIR)) {
        _close(fd);
        error = EISDIR;
        return nullptr;
    }
    return std::make_unique<NativeFile>(fd, writable);
}

class NativeFileSystem final : public FileSystem {
public:
    std::unique_ptr<RandomAccessFile> open(const QString& path, int& error) override {
        // An administrator may write a read-only file: the attributes say what
        // the user meant.
        if (isFolder(path)) {
            error = EISDIR;
            return nullptr;
        }
        const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()));
        const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
        bool writable = !readOnly;
        int fd = openNative(path, readOnly ? _O_RDONLY : _O_RDWR | _O_CREAT);
        if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
            const int denied = errno;
            fd = openNative(path, _O_RDONLY);
            writable = false;
            if (fd < 0) errno = denied;
        }
        return fileOf(fd, writable, error);
    }

    std::unique_ptr<RandomAccessFile> openForReading(const QString& path, int& error) override {
        if (isFolder(path)) {
            error = EISDIR;
            return nullptr;
        }
        return fileOf(openSharedForReading(path), false, error);
    }

    std::unique_ptr<RandomAccessFile> create(const QString& path, int& error) override {
        const int fd = openNative(path, _O_RDWR | _O_CREAT | _O_EXCL);
        if (fd < 0) {
            error = errno;
            return nullptr;
        }
        return std::make_unique<NativeFile>(fd, true);
    }

    bool exists(const QString& path) override { return QFileInfo::exists(path); }

    bool remove(const QString& path, int& error) override {
        if (_wremove(reinterpret_cast<const wchar_t*>(path.utf16())) == 0) return true;
        error = errno;
        return false;
    }

    bool rename(const QString& from, const QString& to, int& error) override {
        if (MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()), reinterpret_cast<const wchar_t*>(to.utf16()),
                        MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        error = GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EACCES;
        return false;
    }

    bool makeFolder(const QString& path, int& error) override {
        if (QDir().mkpath(path)) return true;
        error = QFileInfo(path).exists() ? ENOTDIR : EACCES;
        return false;
    }

    // NTFS makes the folder's entries durable with the file.
    bool syncFolderOf(const QString&, int&) override { return true; }

    QString canonicalPath(const QString& path) override {
        // A mapped drive and the share it maps, or a link and its target,
        // give the same final name once the file is open.
        HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            wchar_t name[32768];
            const DWORD length =
                GetFinalPathNameByHandleW(file, name, DWORD(std::size(name)), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
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
    }
};

}  // namespace

FileSystem& FileSystem::native() {
    static NativeFileSystem system;
    return system;
}
