#include "windows/startup/program_file.h"

#include <QFileInfo>

#ifdef _WIN32
#include <windows.h>
#endif

FileAttributes attributesOf(const QString& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()));
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    return {true, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, (attributes & FILE_ATTRIBUTE_HIDDEN) != 0,
            (attributes & FILE_ATTRIBUTE_SYSTEM) != 0};
#else
    const QFileInfo info(path);
    if (!info.exists()) return {};
    return {true, info.isDir(), info.isHidden(), false};
#endif
}

bool countsAsFound(const FileAttributes& file) { return file.exists && !file.folder && !file.hidden && !file.system; }
