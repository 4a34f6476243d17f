#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A test's temporary folder. A test re-run in a child process (a crash loop
// where there is no fork) takes its parent's folder, so that both work on
// the same files.
class TestFolder {
public:
    TestFolder();
    QString path() const { return m_path; }
    QString filePath(const QString& name) const { return m_path + QLatin1Char('/') + name; }

    // The folder of the test running in this process.
    static const TestFolder* current();
    // The environment variable through which a child process is given it.
    static const char* variable();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};
