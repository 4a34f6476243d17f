#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "exchange/client_run.h"
#include "support/card_files.h"

// The real program on a display of its own, with a window manager and an
// xterm nobody here wrote holding the selection: the shortcut is typed by
// xdotool and the clipboard read by xclip, as a user's desktop would.
namespace {

const QStringList kClients = {"Xvfb", "openbox", "xterm", "xdotool", "xclip"};

QString missingClient() {
    for (const QString& client : kClients) {
        if (QStandardPaths::findExecutable(client).isEmpty()) return client;
    }
    return {};
}

}  // namespace

class TestLookupOnX11 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (const QString missing = missingClient(); !missing.isEmpty()) {
            QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/install-dependencies --tests)").arg(missing)));
        }
        m_display = startDisplay();
        QVERIFY2(!m_display.isEmpty(), "Xvfb did not start");
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert("DISPLAY", m_display);
        m_environment.insert("QT_QPA_PLATFORM", "xcb");
        m_environment.insert("XDG_DATA_HOME", m_home.filePath("data"));
        m_environment.insert("XDG_CONFIG_HOME", m_home.filePath("config"));
        m_environment.insert("HOME", m_home.path());
        start("openbox", {});
        QDir().mkpath(m_home.filePath("data/Lexicarium"));
        cardfiles::write(m_home.filePath("data/Lexicarium/lexicarium.dat"),
                         {{1, "un chaton noir", "a black kitten", "", "", "", "", ""},
                          {2, "chaton", "kitten", "", "", "", "", ""},
                          {3, "matou", "tomcat", "", "", "", "", "le chaton grandit"}});
        start(LEXICARIUM_PROGRAM, {});
        QCOMPARE(x({"xdotool", "search", "--sync", "--name", "^Scriptoria Digitale - Menu$"}).exitCode, 0);
        start("xterm", {"-geometry", "40x4+40+500", "-e", "sh", "-c", "printf chaton; sleep 600"});
        const ClientRun terminal = x({"xdotool", "search", "--sync", "--class", "xterm"});
        QCOMPARE(terminal.exitCode, 0);
        m_terminal = terminal.out.trimmed();
    }

    void cleanupTestCase() {
        for (auto it = m_running.rbegin(); it != m_running.rend(); ++it) {
            (*it)->kill();
            (*it)->waitForFinished();
        }
    }

    // The selection looked up, the window's keys, the clipboard after, the focus back in the terminal.
    void aWordSelectedInATerminalIsLookedUp_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("Enter pastes the expression's own card") << "Return" << "kitten";
        QTest::newRow("then the one that begins with it") << "Down Return" << "a black kitten";
        QTest::newRow("Escape changes nothing") << "Escape" << "avant";
    }
    void aWordSelectedInATerminalIsLookedUp() {
        QFETCH(QString, keys);
        QFETCH(QString, clipboard);
        // A triple click selects the terminal's line, the word alone.
        QCOMPARE(x({"xdotool", "windowactivate", "--sync", m_terminal, "mousemove", "--window", m_terminal, "20", "10",
                    "click", "--repeat", "3", "--delay", "60", "1"})
                     .exitCode,
                 0);
        QTRY_COMPARE(QString::fromUtf8(x({"xclip", "-o", "-selection", "primary"}).out).trimmed(), QStringLiteral("chaton"));
        QProcess* holder = start("xclip", {"-selection", "clipboard"});
        holder->write("avant");
        holder->closeWriteChannel();
        QTRY_COMPARE(x({"xclip", "-o", "-selection", "clipboard"}).out, QByteArray("avant"));

        QCOMPARE(x({"xdotool", "key", "ctrl+alt+f"}).exitCode, 0);
        QCOMPARE(x({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Recherche rapide - Lexicarium$"}).exitCode, 0);
        QTRY_COMPARE(x({"xdotool", "getactivewindow", "getwindowname"}).out.trimmed(),
                     QByteArray("Recherche rapide - Lexicarium"));
        for (const QString& key : keys.split(u' ')) QCOMPARE(x({"xdotool", "key", key}).exitCode, 0);
        QTRY_COMPARE(QString::fromUtf8(x({"xclip", "-o", "-selection", "clipboard"}).out), clipboard);
        QTRY_COMPARE(x({"xdotool", "getactivewindow"}).out.trimmed(), m_terminal);
    }

private:
    QString startDisplay() {
        auto* server = new QProcess(this);
        server->start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        m_running.push_back(server);
        if (!server->waitForReadyRead(20000)) return {};
        return ":" + QString::fromLatin1(server->readLine().trimmed());
    }

    QProcess* start(const QString& program, const QStringList& arguments) {
        auto* process = new QProcess(this);
        process->setProcessEnvironment(m_environment);
        process->start(program, arguments);
        m_running.push_back(process);
        return process;
    }

    ClientRun x(const QStringList& command) {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(command.front(), command.mid(1));
        ClientRun result;
        if (!process.waitForFinished(20000)) return result;
        result.exitCode = process.exitCode();
        result.out = process.readAllStandardOutput();
        return result;
    }

    QTemporaryDir m_home;
    QString m_display;
    QProcessEnvironment m_environment;
    QByteArray m_terminal;
    std::vector<QProcess*> m_running;
};

QTEST_GUILESS_MAIN(TestLookupOnX11)
#include "tst_lookup_on_x11.moc"
