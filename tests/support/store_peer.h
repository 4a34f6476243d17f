#pragma once

#include <QProcess>
#include <QString>

// Another copy of the program at work on a data file, in a process of its
// own (tests/support/store_peer.cpp).
namespace storepeer {

// The program, beside the tests' own folders in the build folder.
QString program();

// Runs two copies of the program saving to the data file at once, each
// `count` cards `rounds` times over (store_peer save); the French failure
// of either, or nothing.
QString saveInTwoCopies(const QString& dataFile, int count, int rounds);

// Runs the program with these arguments as a user whom file permissions
// bind: this one, or nobody where this process runs as root, for whom the
// test's folder is opened. Its application data in `dataHome`, its output in
// `output`; gives why it could not run, or nothing.
QString runUnprivileged(const QStringList& arguments, const QString& testFolder, const QString& dataHome,
                        QByteArray& output);

// Holds the data file's save lock from another process until released.
class LockHolder {
public:
    explicit LockHolder(const QString& dataFile);
    ~LockHolder() { release(); }
    bool locked() const { return m_locked; }
    void release();

private:
    QProcess m_peer;
    bool m_locked = false;
};

}  // namespace storepeer
