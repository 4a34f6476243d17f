#pragma once

#include <QString>

#include "windows/startup/registry.h"

// Finds the platform's system-information program through the registry and
// starts it.
class SystemInformation {
public:
    explicit SystemInformation(Registry& registry) : m_registry(registry) {}

    // Reads a value under a key; true when found. KeyVal gets a text value
    // as it is, a double word as "&h" + what KeyVal held + the bytes in hex
    // from the last, and keeps what it held for any other type; it is
    // emptied when nothing is found. A value of size 0 throws
    // std::runtime_error.
    bool GetKeyValue(Registry::Key KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

    // Looks the program up and starts it; false when it cannot be found or
    // started.
    bool start();

private:
    Registry& m_registry;
};
