#include "windows/startup/registry.h"

#include <QStandardPaths>
#include <QStringList>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
class SystemRegistry final : public Registry {
public:
    long RegOpenKeyExA(Key root, const QByteArray& subKey, unsigned options, unsigned access, Key& key) override {
        HKEY opened = nullptr;
        const long result = ::RegOpenKeyExA(reinterpret_cast<HKEY>(root), subKey.constData(), options, access, &opened);
        key = reinterpret_cast<Key>(opened);
        return result;
    }
    long RegQueryValueExA(Key key, const QByteArray& valueName, unsigned& type, char* data, unsigned& size) override {
        DWORD valueType = 0;
        DWORD valueSize = size;
        const long result = ::RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.constData(), nullptr, &valueType,
                                               reinterpret_cast<LPBYTE>(data), &valueSize);
        type = valueType;
        size = valueSize;
        return result;
    }
    long RegCloseKey(Key key) override { return ::RegCloseKey(reinterpret_cast<HKEY>(key)); }
};
#else
// Answers the first lookup with the path of an installed system-information
// program; every other key is missing.
class StandInRegistry final : public Registry {
public:
    long RegOpenKeyExA(Key, const QByteArray& subKey, unsigned, unsigned, Key& key) override {
        key = 0;
        if (subKey != "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO" || program().isEmpty()) return kNotFound;
        key = kOpened;
        return 0;
    }
    long RegQueryValueExA(Key key, const QByteArray& valueName, unsigned& type, char* data, unsigned& size) override {
        if (key != kOpened || valueName != "PATH") return kNotFound;
        const QByteArray path = program().toLocal8Bit();
        const unsigned needed = unsigned(path.size()) + 1;
        if (needed > size) return kMoreData;
        std::memcpy(data, path.constData(), needed);
        type = kText;
        size = needed;
        return 0;
    }
    long RegCloseKey(Key) override { return 0; }

private:
    static constexpr Key kOpened = 1;
    static QString program() {
        for (const char* name : {"kinfocenter", "hardinfo2", "hardinfo", "gnome-system-monitor", "xfce4-taskmanager"}) {
            const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
            if (!path.isEmpty()) return path;
        }
        return {};
    }
};
#endif

}  // namespace

Registry& Registry::system() {
#ifdef _WIN32
    static SystemRegistry registry;
#else
    static StandInRegistry registry;
#endif
    return registry;
}
