// Unix: the command line goes through a local socket in a folder of the
// user's own, which no other user may enter or have made.
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

#include "windows/lookup/instance_link.h"

namespace {

constexpr int kConnectWait = 2000;  // ms a start waits to reach the running program
constexpr char kTaken = '1';

// A folder only this user may enter: theirs, no link to elsewhere, closed
// to everyone else.
bool ownFolder(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || !QDir::isAbsolutePath(path) || lstat(QFile::encodeName(path).constData(), &status) != 0) {
        return false;
    }
    return S_ISDIR(status.st_mode) && status.st_uid == geteuid() && (status.st_mode & 077) == 0;
}

// The desktop's runtime folder for the user, else one of ours in the
// temporary folder, made for the user alone. A folder someone else made
// there first is not taken.
QString ownRuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (ownFolder(runtime)) return runtime;
    const QString ours = QDir(QDir::tempPath()).filePath(QStringLiteral("lexicarium-%1").arg(geteuid()));
    mkdir(QFile::encodeName(ours).constData(), 0700);
    return ownFolder(ours) ? ours : QString();
}

}  // namespace

struct InstanceLink::Listening {
    QLocalServer server;
};

QString InstanceLink::nameForUser() {
    const QString folder = ownRuntimeFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("lexicarium-instance"));
}

InstanceLink::InstanceLink(QString name, std::chrono::milliseconds answerWait, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_answerWait(answerWait) {}

InstanceLink::~InstanceLink() = default;

InstanceLink::HandOver InstanceLink::handOver(const QStringList& arguments) const {
    if (m_name.isEmpty()) return HandOver::noneRunning;
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectWait)) return HandOver::noneRunning;
    // Reached: from now on this start waits for the program's answer, and
    // never becomes a second program.
    const QDeadlineTimer deadline(m_answerWait);
    socket.write(packed(StartRequest::from(arguments).arguments()));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return HandOver::unanswered;
    }
    // Taken only when the running program says so: one ending as it was
    // reached does not lose the request.
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime()))) return HandOver::unanswered;
    }
    return socket.read(1) == QByteArray(1, kTaken) ? HandOver::taken : HandOver::unanswered;
}

bool InstanceLink::listen() {
    if (m_name.isEmpty()) return false;
    m_listening = std::make_unique<Listening>();
    QLocalServer& server = m_listening->server;
    // A socket only this user may reach is made aside and put in place over
    // whatever has the name: one that answers belongs to a running program,
    // one that does not was left by a program that ended without closing it.
    // Two starts at once take turns, so that the second finds the first.
    QLockFile turn(m_name + QStringLiteral(".lock"));
    if (!turn.tryLock(kConnectWait)) return false;
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(kConnectWait)) return false;
    QLocalServer::removeServer(m_name);
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server.listen(m_name)) return false;
    connect(&server, &QLocalServer::newConnection, this, [this, &server] {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // A request that does not come whole in time is dropped, as is
            // one that can never be read: no connection is kept waiting.
            QTimer::singleShot(kRequestWait, socket, [socket] { socket->abort(); });
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const Received request = received(socket->peek(socket->bytesAvailable()));
                if (request.state == Received::State::incomplete) return;
                if (request.state == Received::State::refused) {
                    socket->abort();
                    return;
                }
                socket->readAll();
                socket->write(QByteArray(1, kTaken));
                socket->flush();
                socket->disconnectFromServer();
                emit requested(request.arguments);
            });
        }
    });
    return true;
}
