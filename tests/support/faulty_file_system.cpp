#include "support/faulty_file_system.h"

#include <QFileInfo>
#include <atomic>
#include <cstdlib>


namespace {

class FaultyFile final : public RandomAccessFile {
public:
    FaultyFile(std::unique_ptr<RandomAccessFile> real, FaultyFileSystem& faults, QString path)
        : m_real(std::move(real)), m_faults(faults), m_path(std::move(path)) {}

    bool size(std::int64_t& bytes) override { return fails("size") ? fail() : m_real->size(bytes); }
    bool readAt(std::int64_t offset, char* data, std::int64_t length, std::int64_t& got) override {
        return fails("read") ? fail() : m_real->readAt(offset, data, length, got);
    }
    bool writeAt(std::int64_t offset, const char* data, std::int64_t length) override {
        const auto halfWrite = [&] { m_real->writeAt(offset, data, length / 2); };
        if (m_faults.fails("write", m_path, halfWrite)) {
            m_real->writeAt(offset, data, length / 2);
            m_error = ENOSPC;
            return false;
        }
        return m_real->writeAt(offset, data, length);
    }
    bool truncate(std::int64_t size) override { return fails("truncate") ? fail() : m_real->truncate(size); }
    bool sync() override { return fails("sync") ? fail() : m_real->sync(); }
    Lock tryLock() override {
        if (fails("lock")) {
            fail();
            return Lock::failed;
        }
        return m_real->tryLock();
    }
    void unlock() override { m_real->unlock(); }
    FileIdentity identity() override { return fails("identity") ? FileIdentity{} : m_real->identity(); }
    std::int64_t birthTime() override { return m_real->birthTime(); }
    bool writable() const override { return m_real->writable(); }
    int error() const override {
        const int own = m_error;
        return own ? own : m_real->error();
    }

private:
    bool fails(const char* operation) { return m_faults.fails(operation, m_path); }
    bool fail() {
        m_error = EIO;
        return false;
    }

    std::unique_ptr<RandomAccessFile> m_real;
    FaultyFileSystem& m_faults;
    QString m_path;
    std::atomic<int> m_error = 0;
};

}  // namespace

bool FaultyFileSystem::fails(const char* operation, const QString& path, const std::function<void()>& beforeCrash) {
    // A scan reads from two threads.
    std::lock_guard lock(m_mutex);
    if (beforeEach) beforeEach(operation);
    performed.append({QString::fromLatin1(operation), path});
    ++m_operations;
    if (m_operations < m_at) return false;
    switch (m_mode) {
        case Mode::count: return false;
        case Mode::failOnce: return m_operations == m_at;
        case Mode::failFromThen: return true;
        case Mode::crash:
            if (beforeCrash) beforeCrash();
            std::_Exit(0);  // nothing flushed, nothing cleaned up: as a power cut leaves it
    }
    return false;
}

bool FaultyFileSystem::refusedNewFile(const QString& path) const {
    return !refuseNewFilesIn.isEmpty() && QFileInfo(path).absolutePath() == QFileInfo(refuseNewFilesIn).absoluteFilePath() &&
           !QFileInfo::exists(path);
}

std::unique_ptr<RandomAccessFile> FaultyFileSystem::open(const QString& path, int& error) {
    if (fails("open", path)) {
        error = EIO;
        return nullptr;
    }
    if (refusedNewFile(path)) {
        error = EACCES;
        return nullptr;
    }
    auto real = FileSystem::native().open(path, error);
    return real ? std::make_unique<FaultyFile>(std::move(real), *this, path) : nullptr;
}

std::unique_ptr<RandomAccessFile> FaultyFileSystem::create(const QString& path, int& error) {
    if (fails("create", path)) {
        error = EIO;
        return nullptr;
    }
    if (refusedNewFile(path)) {
        error = EACCES;
        return nullptr;
    }
    auto real = FileSystem::native().create(path, error);
    return real ? std::make_unique<FaultyFile>(std::move(real), *this, path) : nullptr;
}

bool FaultyFileSystem::exists(const QString& path) { return !fails("exists", path) && FileSystem::native().exists(path); }

bool FaultyFileSystem::remove(const QString& path, int& error) {
    if (fails("remove", path) || refuseRemovals) {
        error = refuseRemovals ? EACCES : EIO;
        return false;
    }
    return FileSystem::native().remove(path, error);
}

bool FaultyFileSystem::rename(const QString& from, const QString& to, int& error) {
    if (fails("rename", from)) {
        error = EIO;
        return false;
    }
    if (refusedNewFile(to)) {
        error = EACCES;
        return false;
    }
    return FileSystem::native().rename(from, to, error);
}

bool FaultyFileSystem::makeFolder(const QString& path, int& error) {
    if (fails("makeFolder", path)) {
        error = EIO;
        return false;
    }
    return FileSystem::native().makeFolder(path, error);
}

bool FaultyFileSystem::syncFolderOf(const QString& path, int& error) {
    if (fails("syncFolder", path)) {
        error = EIO;
        return false;
    }
    return FileSystem::native().syncFolderOf(path, error);
}

QString FaultyFileSystem::canonicalPath(const QString& path) { return FileSystem::native().canonicalPath(path); }
