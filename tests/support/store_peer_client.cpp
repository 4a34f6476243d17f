#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "support/store_peer.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace storepeer {

QString program() { return QCoreApplication::applicationDirPath() + QStringLiteral("/../support/store_peer"); }

QString saveInTwoCopies(const QString& dataFile, int count, int rounds) {
    QProcess copies[2];
    for (int copy = 0; copy < 2; ++copy) {
        copies[copy].start(program(), {QStringLiteral("save"), dataFile, QString::number(copy), QString::number(count),
                                       QString::number(rounds)});
    }
    QString failure;
    for (QProcess& copy : copies) {
        if (!copy.waitForFinished(600000) || copy.exitStatus() != QProcess::NormalExit || copy.exitCode() != 0) {
            failure += QString::fromUtf8(copy.readAllStandardError()) + copy.errorString();
        }
    }
    return failure;
}

QString runUnprivileged(const QStringList& arguments, const QString& testFolder, const QString& dataHome,
                        QByteArray& output) {
    QString command = program();
    QStringList commandArguments = arguments;
#ifndef _WIN32
    if (::geteuid() == 0) {
        command = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (command.isEmpty()) return QStringLiteral("running as root, and setpriv (util-linux) is missing to run as nobody");
        commandArguments = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                       QStringLiteral("--clear-groups"), program()} + arguments;
        QFile::setPermissions(testFolder, QFileDevice::Permissions(0x7777));
    }
#else
    Q_UNUSED(testFolder);
#endif
    QDir().mkpath(dataHome);
    QFile::setPermissions(dataHome, QFileDevice::Permissions(0x7777));
    QProcess peer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    environment.insert(QStringLiteral("APPDATA"), dataHome);
    peer.setProcessEnvironment(environment);
    peer.start(command, commandArguments);
    if (!peer.waitForFinished(60000) || peer.exitStatus() != QProcess::NormalExit) return peer.errorString();
    output = peer.readAllStandardOutput().replace("\r\n", "\n");  // Windows ends its lines with CR LF
    if (peer.exitCode() != 0) {
        return QStringLiteral("%1 could not run as an unprivileged user (its folder may be closed to others): %2")
            .arg(program(), QString::fromLocal8Bit(peer.readAllStandardError()));
    }
    return {};
}

LockHolder::LockHolder(const QString& dataFile) {
    m_peer.start(program(), {QStringLiteral("lock"), dataFile});
    while (m_peer.waitForReadyRead(10000) && !m_peer.canReadLine()) {
    }
    m_locked = m_peer.readLine().startsWith("verrouill");
}

void LockHolder::release() {
    if (m_peer.state() == QProcess::NotRunning) return;
    m_peer.write("\n");
    m_peer.closeWriteChannel();
    m_peer.waitForFinished(10000);
}

}  // namespace storepeer
