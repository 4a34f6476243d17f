#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// A program nobody here wrote, run to its end: its exit code (-1 when it
// could not run or crashed) and what it wrote.
struct ClientRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ClientRun runClient(const QString& program, const QStringList& arguments, const QByteArray& input = {},
                           int waitMs = 180000) {
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    ClientRun result;
    if (!process.waitForFinished(waitMs)) return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}
