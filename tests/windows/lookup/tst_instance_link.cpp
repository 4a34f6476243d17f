#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include "windows/lookup/instance_link.h"

#ifdef Q_OS_UNIX
#include <QLocalServer>
#include <QLocalSocket>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace std::chrono_literals;

namespace {

QString linkName() { return QStringLiteral("lexicarium-test-%1").arg(QCoreApplication::applicationPid()); }

#ifdef Q_OS_UNIX
QByteArray lengthThen(quint32 length, const QByteArray& rest) {
    QByteArray bytes(4, '\0');
    qToBigEndian(length, bytes.data());
    return bytes + rest;
}

int openDescriptors() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size()); }
#endif

}  // namespace

class TestInstanceLink : public QObject {
    Q_OBJECT
private slots:
    void aLaterStartHandsItsRequestOver_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("no argument") << QStringList{"lexicarium"} << int(StartRequest::Kind::show) << "";
        QTest::newRow("the selection") << QStringList{"lexicarium", "--chercher"}
                                       << int(StartRequest::Kind::lookUpSelection) << "";
        QTest::newRow("a text") << QStringList{"lexicarium", "--chercher", "cœur de métier"}
                                << int(StartRequest::Kind::lookUpText) << "cœur de métier";
        QTest::newRow("a text joined") << QStringList{"lexicarium", "--chercher=chat"}
                                       << int(StartRequest::Kind::lookUpText) << "chat";
        // Past any term, and past what a request may carry: what a look-up uses is sent.
        QTest::newRow("a selection of 40,000 characters")
            << QStringList{"lexicarium", "--chercher", QString(40000, u'é')} << int(StartRequest::Kind::lookUpText)
            << QString(StartRequest::kLongestText, u'é');
        QTest::newRow("not cut inside a character")
            << QStringList{"lexicarium", "--chercher", QString(999, u'a') + QStringLiteral("😀")}
            << int(StartRequest::Kind::lookUpText) << QString(999, u'a');
    }
    void aLaterStartHandsItsRequestOver() {
        QFETCH(QStringList, arguments);
        QFETCH(int, kind);
        QFETCH(QString, text);
        InstanceLink first(linkName());
        QCOMPARE(first.handOver(arguments), InstanceLink::HandOver::noneRunning);  // nobody listens yet
        QVERIFY(first.listen());
        QStringList received;
        connect(&first, &InstanceLink::requested, this, [&received](const QStringList& got) { received = got; });
        // The later start waits for its answer while the first goes on with its own work.
        InstanceLink::HandOver handedOver = InstanceLink::HandOver::noneRunning;
        QThread* later = QThread::create([&] { handedOver = InstanceLink(linkName()).handOver(arguments); });
        later->start();
        QTRY_VERIFY(!received.isEmpty());
        later->wait();
        delete later;
        QCOMPARE(handedOver, InstanceLink::HandOver::taken);
        const StartRequest request = StartRequest::from(received);
        QCOMPARE(int(request.kind), kind);
        QCOMPARE(request.text, text);
        QVERIFY(!InstanceLink(linkName()).listen());
    }

#ifdef Q_OS_UNIX
    // A program that answers to the name, but late or never: the later
    // start waits, and says so rather than running on its own.
    void aBusyProgramIsWaitedFor_data() {
        QTest::addColumn<int>("answerAfterMs");
        QTest::addColumn<InstanceLink::HandOver>("expected");
        QTest::newRow("answers within the wait") << 300 << InstanceLink::HandOver::taken;
        QTest::newRow("stays silent") << -1 << InstanceLink::HandOver::unanswered;
    }
    void aBusyProgramIsWaitedFor() {
        QFETCH(int, answerAfterMs);
        QFETCH(InstanceLink::HandOver, expected);
        QLocalServer::removeServer(linkName());
        QLocalServer busy;
        QVERIFY(busy.listen(linkName()));
        connect(&busy, &QLocalServer::newConnection, this, [&] {
            QLocalSocket* socket = busy.nextPendingConnection();
            if (answerAfterMs >= 0) QTimer::singleShot(answerAfterMs, socket, [socket] { socket->write("1"); });
        });
        InstanceLink::HandOver handedOver = InstanceLink::HandOver::noneRunning;
        QThread* later = QThread::create([&] { handedOver = InstanceLink(linkName(), 1500ms).handOver({"lexicarium"}); });
        later->start();
        QTRY_VERIFY_WITH_TIMEOUT(later->isFinished(), 5000);
        delete later;
        QCOMPARE(handedOver, expected);
    }

    // Whatever comes on the link that is not a request is dropped: at once
    // when it can never become one, after a few seconds when it stays
    // incomplete. No connection is kept.
    void whatIsNoRequestIsDropped_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("a length past the longest request") << lengthThen(1u << 30, "x") << true;
        QTest::newRow("more strings than its bytes hold") << lengthThen(4, QByteArray("\x7f\xff\xff\xff", 4)) << true;
        QTest::newRow("bytes after the request") << InstanceLink::packed({"lexicarium"}) + "x" << true;
        QTest::newRow("a string cut short") << lengthThen(8, QByteArray("\0\0\0\1\0\0\0\x10", 8)) << true;
        QTest::newRow("half a request, then nothing") << InstanceLink::packed({"lexicarium"}).left(6) << false;
        QTest::newRow("nothing at all") << QByteArray() << false;
    }
    void whatIsNoRequestIsDropped() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, atOnce);
        InstanceLink first(linkName());
        QVERIFY(first.listen());
        bool requested = false;
        connect(&first, &InstanceLink::requested, this, [&requested] { requested = true; });
        const int before = openDescriptors();
        std::vector<std::unique_ptr<QLocalSocket>> clients;
        for (int i = 0; i < 50; ++i) {
            clients.push_back(std::make_unique<QLocalSocket>());
            clients.back()->connectToServer(linkName());
            QVERIFY(clients.back()->waitForConnected(1000));
            clients.back()->write(bytes);
            clients.back()->flush();
        }
        const int wait = atOnce ? 1000 : int(InstanceLink::kRequestWait.count()) + 2000;
        for (const auto& client : clients) {
            QTRY_COMPARE_WITH_TIMEOUT(client->state(), QLocalSocket::UnconnectedState, wait);
        }
        clients.clear();
        QTRY_VERIFY(openDescriptors() <= before);
        QVERIFY(!requested);
    }

    // The link lives in a folder only the user may enter and nobody else
    // made: the desktop's runtime folder, else one of its own.
    void theLinkIsInAFolderOfTheUsersOwn_data() {
        QTest::addColumn<QString>("runtime");   // XDG_RUNTIME_DIR: "" unset, "own" 0700, "open" 0755
        QTest::addColumn<QString>("inTemp");    // what the temporary folder holds: "", "open", "link", "other"
        QTest::addColumn<QString>("expected");  // the link's folder: "runtime", "temp" or "" (no link)
        QTest::newRow("the desktop's folder") << "own" << "" << "runtime";
        QTest::newRow("none: one made in the temporary folder") << "" << "" << "temp";
        QTest::newRow("the desktop's folder open to others") << "open" << "" << "temp";
        QTest::newRow("a folder open to others made before") << "" << "open" << "";
        QTest::newRow("a link made before") << "" << "link" << "";
        QTest::newRow("another user's folder") << "" << "other" << "";
    }
    void theLinkIsInAFolderOfTheUsersOwn() {
        QFETCH(QString, runtime);
        QFETCH(QString, inTemp);
        QFETCH(QString, expected);
        if (inTemp == QLatin1String("other") && geteuid() != 0) QSKIP("giving a folder to another user needs root");
        QTemporaryDir root;
        const QString temp = root.filePath("tmp");
        const QString desktop = root.filePath("runtime");
        QDir().mkpath(temp);
        QDir().mkpath(desktop);
        chmod(QFile::encodeName(desktop).constData(), runtime == QLatin1String("own") ? 0700 : 0755);
        const QString ours = QDir(temp).filePath(QStringLiteral("lexicarium-%1").arg(geteuid()));
        if (inTemp == QLatin1String("link")) {
            QVERIFY(QFile::link(desktop, ours));
        } else if (!inTemp.isEmpty()) {
            QDir().mkpath(ours);
            chmod(QFile::encodeName(ours).constData(), inTemp == QLatin1String("open") ? 0777 : 0700);
            if (inTemp == QLatin1String("other")) QCOMPARE(chown(QFile::encodeName(ours).constData(), 65534, 65534), 0);
        }
        const QByteArray savedTemp = qgetenv("TMPDIR");
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(temp));
        if (runtime.isEmpty()) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else {
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(desktop));
        }
        const QString name = InstanceLink::nameForUser();
        qputenv("TMPDIR", savedTemp);
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        const QString folder = expected == QLatin1String("runtime") ? desktop : expected == QLatin1String("temp") ? ours : QString();
        QCOMPARE(name.isEmpty() ? QString() : QFileInfo(name).absolutePath(), folder);
        if (!name.isEmpty()) {
            QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
                     QFile::Permissions());
        }
        // Without a folder of its own there is no link, and nothing is handed to anyone.
        InstanceLink link(name);
        QCOMPARE(link.listen(), !name.isEmpty());
    }
#endif
};

QTEST_GUILESS_MAIN(TestInstanceLink)
#include "tst_instance_link.moc"
