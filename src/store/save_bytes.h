#pragma once

#include <cstdint>
#include <cstring>
#include <span>

// What a save writes: bytes at hand, or bytes made a run at a time where
// holding them all at once would take more memory than the largest import
// may use.
class SaveBytes {
public:
    virtual ~SaveBytes() = default;
    virtual std::int64_t size() const = 0;
    // The bytes from `from` on, as many as `into` holds.
    virtual void copy(std::int64_t from, std::span<char> into) const = 0;
    // All of them, where they are at hand already; empty otherwise.
    virtual std::span<const char> whole() const { return {}; }
};

// Bytes at hand, written from where they are.
class HeldBytes : public SaveBytes {
public:
    explicit HeldBytes(std::span<const char> bytes) : m_bytes(bytes) {}
    std::int64_t size() const override { return std::int64_t(m_bytes.size()); }
    void copy(std::int64_t from, std::span<char> into) const override {
        if (!into.empty()) std::memcpy(into.data(), m_bytes.data() + from, into.size());
    }
    std::span<const char> whole() const override { return m_bytes; }

private:
    std::span<const char> m_bytes;
};
