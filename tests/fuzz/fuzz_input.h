#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>

// What every target needs: the application Qt's text and file classes
// expect, once, and the input as bytes.
namespace fuzzinput {

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

inline QByteArray bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

}  // namespace fuzzinput
