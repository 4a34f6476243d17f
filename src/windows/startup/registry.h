#pragma once

#include <QByteArray>
#include <cstdint>

// The three registry calls the system-information lookup makes, with the
// platform's result codes (0 for success). Names and data are in the
// system's ANSI code page.
class Registry {
public:
    using Key = std::uintptr_t;
    static constexpr Key kLocalMachine = 0x80000002;
    static constexpr long kNotFound = 2;
    static constexpr long kAccessDenied = 5;
    static constexpr long kMoreData = 234;
    static constexpr unsigned kText = 1;
    static constexpr unsigned kDoubleWord = 4;

    virtual ~Registry() = default;
    virtual long RegOpenKeyExA(Key root, const QByteArray& subKey, unsigned options, unsigned access, Key& key) = 0;
    // size: the buffer's capacity in, the value's size out.
    virtual long RegQueryValueExA(Key key, const QByteArray& valueName, unsigned& type, char* data, unsigned& size) = 0;
    virtual long RegCloseKey(Key key) = 0;

    // The system's registry on Windows; elsewhere a read-only stand-in that
    // knows only where a system-information program is installed, if one is.
    static Registry& system();
};
