#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

#include "exchange/client_run.h"

// A display of its own with a window manager, for a real program and real X
// clients nobody here wrote; everything started is ended with it.
class XSession : public QObject {
public:
    // The first of the programs that is not installed, or empty.
    static QString missing(const QStringList& programs) {
        for (const QString& program : programs) {
            if (QStandardPaths::findExecutable(program).isEmpty()) return program;
        }
        return {};
    }

    // Starts Xvfb and, unless told not to, openbox; false when the server
    // did not come up.
    bool open(bool windowManager = true) {
        auto* server = new QProcess(this);
        server->start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        m_running.push_back(server);
        if (!server->waitForReadyRead(20000)) return false;
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", ":" + QString::fromLatin1(server->readLine().trimmed()));
        environment.insert("XDG_DATA_HOME", home.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert("HOME", home.path());
        // The program's link to a later start lives there: this session's program is not another's.
        const QString runtime = home.filePath("runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert("XDG_RUNTIME_DIR", runtime);
        if (windowManager) start("openbox", {});
        return true;
    }

    ~XSession() override {
        for (auto it = m_running.rbegin(); it != m_running.rend(); ++it) {
            (*it)->kill();
            (*it)->waitForFinished();
        }
    }

    QProcess* start(const QString& program, const QStringList& arguments) {
        auto* process = new QProcess(this);
        process->setProcessEnvironment(environment);
        process->start(program, arguments);
        m_running.push_back(process);
        return process;
    }

    // Runs a client to its end.
    ClientRun run(const QStringList& command) const {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(command.front(), command.mid(1));
        ClientRun result;
        if (!process.waitForFinished(30000)) return result;
        result.exitCode = process.exitCode();
        result.out = process.readAllStandardOutput();
        return result;
    }

    // Waits for a window `xdotool search` finds by `criteria`, and gives its
    // number. Not `--sync`: xdotool ends on the X error it meets when any
    // other window goes while it searches, and is then asked again.
    ClientRun waitForWindow(const QStringList& criteria) const {
        const QDeadlineTimer deadline(30000);
        ClientRun found;
        while (!deadline.hasExpired()) {
            found = run(QStringList{"xdotool", "search"} + criteria);
            if (found.exitCode == 0 && !found.out.trimmed().isEmpty()) break;
            QTest::qWait(100);
        }
        return found;
    }

    // The clipboard made `text`, held by xclip as another program would.
    void setClipboard(const QByteArray& text) {
        QProcess* holder = start("xclip", {"-selection", "clipboard"});
        holder->write(text);
        holder->closeWriteChannel();
    }
    QString clipboard() const { return QString::fromUtf8(run({"xclip", "-o", "-selection", "clipboard"}).out); }

    QByteArray activeWindowName() const { return run({"xdotool", "getactivewindow", "getwindowname"}).out.trimmed(); }

    QTemporaryDir home;
    QProcessEnvironment environment;

private:
    std::vector<QProcess*> m_running;
};
