#include "support/memory_file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

class MemoryFile final : public RandomAccessFile {
public:
    explicit MemoryFile(QByteArray& bytes) : m_bytes(bytes) {}
    bool size(std::int64_t& bytes) override {
        bytes = m_bytes.size();
        return true;
    }
    bool readAt(std::int64_t offset, char* data, std::int64_t length, std::int64_t& got) override {
        got = std::clamp<std::int64_t>(m_bytes.size() - offset, 0, length);
        if (got > 0) std::memcpy(data, m_bytes.constData() + offset, std::size_t(got));
        return true;
    }
    bool writeAt(std::int64_t offset, const char* data, std::int64_t length) override {
        if (offset + length > m_bytes.size()) m_bytes.resize(qsizetype(offset + length), '\0');
        std::memcpy(m_bytes.data() + offset, data, std::size_t(length));
        return true;
    }
    bool truncate(std::int64_t size) override {
        m_bytes.resize(qsizetype(size), '\0');
        return true;
    }
    bool sync() override { return true; }
    Lock tryLock() override { return Lock::taken; }
    void unlock() override {}
    FileIdentity identity() override { return {}; }
    std::int64_t birthTime() override { return 0; }
    bool writable() const override { return true; }
    int error() const override { return 0; }

private:
    QByteArray& m_bytes;
};

}  // namespace

std::unique_ptr<RandomAccessFile> MemoryFileSystem::open(const QString& path, int&) {
    return std::make_unique<MemoryFile>(files[path]);
}

std::unique_ptr<RandomAccessFile> MemoryFileSystem::create(const QString& path, int& error) {
    if (files.contains(path)) {
        error = EEXIST;
        return nullptr;
    }
    return std::make_unique<MemoryFile>(files[path]);
}

bool MemoryFileSystem::remove(const QString& path, int& error) {
    if (files.remove(path) > 0) return true;
    error = ENOENT;
    return false;
}

bool MemoryFileSystem::rename(const QString& from, const QString& to, int& error) {
    if (!files.contains(from) || files.contains(to)) {
        error = files.contains(to) ? EEXIST : ENOENT;
        return false;
    }
    files[to] = files.take(from);
    return true;
}
