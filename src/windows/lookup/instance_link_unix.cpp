// Unix: the command line goes through a local socket in the user's own
// runtime folder, which no other user may enter.
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include "windows/lookup/instance_link.h"

namespace {
constexpr int kWait = 2000;  // ms a start waits for the running program
constexpr char kTaken = '1';
}  // namespace

struct InstanceLink::Listening {
    QLocalServer server;
};

QString InstanceLink::nameForUser() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QStringLiteral("lexicarium-instance"));
}

InstanceLink::InstanceLink(QString name, QObject* parent) : QObject(parent), m_name(std::move(name)) {}

InstanceLink::~InstanceLink() = default;

bool InstanceLink::handOver(const QStringList& arguments) const {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kWait)) return false;
    socket.write(packed(arguments));
    if (!socket.waitForBytesWritten(kWait)) return false;
    // Taken only when the running program says so: one ending as it was
    // reached does not lose the request.
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(kWait)) return false;
    }
    return socket.read(1) == QByteArray(1, kTaken);
}

bool InstanceLink::listen() {
    m_listening = std::make_unique<Listening>();
    QLocalServer& server = m_listening->server;
    // A socket only this user may reach is made aside and put in place over
    // whatever has the name: one that answers belongs to a running program,
    // one that does not was left by a program that ended without closing it.
    // Two starts at once take turns, so that the second finds the first.
    QLockFile turn(m_name + QStringLiteral(".lock"));
    if (!turn.tryLock(kWait)) return false;
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(kWait)) return false;
    QLocalServer::removeServer(m_name);
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server.listen(m_name)) return false;
    connect(&server, &QLocalServer::newConnection, this, [this, &server] {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->bytesAvailable() > kLongestRequest) {
                    socket->abort();
                    return;
                }
                const auto arguments = unpacked(socket->peek(socket->bytesAvailable()));
                if (!arguments) return;  // the rest is still coming
                socket->readAll();
                socket->write(QByteArray(1, kTaken));
                socket->flush();
                emit requested(*arguments);
            });
        }
    });
    return true;
}
