#include <QCoreApplication>

#include "support/store_peer.h"

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
