#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include "store/native_file.h"

// Files held in memory, for running the store many times a second.
class MemoryFileSystem final : public FileSystem {
public:
    QMap<QString, QByteArray> files;

    std::unique_ptr<RandomAccessFile> open(const QString& path, int& error) override;
    std::unique_ptr<RandomAccessFile> create(const QString& path, int& error) override;
    bool exists(const QString& path) override { return files.contains(path); }
    bool remove(const QString& path, int& error) override;
    bool rename(const QString& from, const QString& to, int& error) override;
    bool makeFolder(const QString&, int&) override { return true; }
    bool syncFolderOf(const QString&, int&) override { return true; }
    QString canonicalPath(const QString& path) override { return path; }
};
