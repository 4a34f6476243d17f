#include "windows/startup/system_information.h"

#include <QProcess>
#include <stdexcept>

#include "windows/startup/program_file.h"

namespace {

// KEY_READ: read-control, query values, enumerate sub-keys, notify. A
// standard user may open the keys so; write rights would be refused him.
constexpr unsigned kReadRights = 0x20019;
constexpr unsigned kBufferSize = 1024;

// The program itself is started, with no shell and no command line to split,
// so a path with spaces starts the program it names.
bool startProgram(const QString& path) { return !path.isEmpty() && QProcess::startDetached(path, {}); }

}  // namespace

bool SystemInformation::GetKeyValue(Registry::Key KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                                    QString& KeyVal) {
    Registry::Key key = 0;
    const auto fail = [&] {
        KeyVal.clear();
        m_registry.RegCloseKey(key);
        return false;
    };
    if (m_registry.RegOpenKeyExA(KeyRoot, KeyName.toLocal8Bit(), 0, kReadRights, key) != 0) return fail();

    QByteArray buffer(kBufferSize, '\0');
    unsigned size = kBufferSize;
    unsigned type = 0;
    if (m_registry.RegQueryValueExA(key, SubKeyRef.toLocal8Bit(), type, buffer.data(), size) != 0) return fail();
    if (size == 0) {
        m_registry.RegCloseKey(key);
        throw std::runtime_error("registry value of size 0");
    }
    const QByteArray kept = buffer.left(buffer.at(size - 1) == '\0' ? size - 1 : size);
    if (type == Registry::kText) {
        KeyVal = QString::fromLocal8Bit(kept);
    } else if (type == Registry::kDoubleWord) {
        QString text = QStringLiteral("&h") + KeyVal;
        for (auto byte = kept.rbegin(); byte != kept.rend(); ++byte) {
            text += QString::number(static_cast<unsigned char>(*byte), 16).toUpper();
        }
        KeyVal = text;
    }
    m_registry.RegCloseKey(key);
    return true;
}

bool SystemInformation::start() {
    try {
        QString path;
        if (GetKeyValue(Registry::kLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                        QStringLiteral("PATH"), path)) {
            return startProgram(path);
        }
        if (GetKeyValue(Registry::kLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                        QStringLiteral("MSINFO"), path)) {
            const QString program = path + QStringLiteral("\\MSINFO32.EXE");
            return countsAsFound(attributesOf(program)) && startProgram(program);
        }
        return false;
    } catch (const std::runtime_error&) {
        return false;
    }
}
