#include <QTest>

#include "support/card_files.h"
#include "x_session.h"

// The real program on a display of its own, an xterm holding the
// selection: the shortcut typed by xdotool, the clipboard read by xclip.
class TestLookupOnX11 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (const QString missing = XSession::missing({"Xvfb", "openbox", "xterm", "xdotool", "xclip"});
            !missing.isEmpty()) {
            QSKIP(qPrintable(missing + " is not installed (scripts/install-dependencies --tests)"));
        }
        QVERIFY2(m_session.open(), "Xvfb did not start");
        m_session.environment.insert("QT_QPA_PLATFORM", "xcb");
        QDir().mkpath(m_session.home.filePath("data/Lexicarium"));
        cardfiles::write(m_session.home.filePath("data/Lexicarium/lexicarium.dat"),
                         {{1, "un chaton noir", "a black kitten", "", "", "", "", ""},
                          {2, "chaton", "kitten", "", "", "", "", ""},
                          {3, "matou", "tomcat", "", "", "", "", "le chaton grandit"}});
        m_session.start(LEXICARIUM_PROGRAM, {});
        QCOMPARE(m_session.waitForWindow({"--name", "^Scriptoria Digitale - Menu$"}).exitCode, 0);
        m_session.start("xterm", {"-geometry", "40x4+40+500", "-e", "sh", "-c", "printf chaton; sleep 600"});
        const ClientRun terminal = m_session.waitForWindow({"--class", "xterm"});
        QCOMPARE(terminal.exitCode, 0);
        m_terminal = terminal.out.trimmed();
    }

    // The selection looked up, the window's keys, the clipboard after, the focus back in the terminal.
    void aWordSelectedInATerminalIsLookedUp_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("minimisedBefore");  // the window left minimised by an earlier look-up
        QTest::newRow("Enter pastes the expression's own card") << "Return" << "kitten" << false;
        QTest::newRow("then the one that begins with it") << "Down Return" << "a black kitten" << false;
        QTest::newRow("Escape changes nothing") << "Escape" << "avant" << false;
        QTest::newRow("a minimised window comes back") << "Return" << "kitten" << true;
    }
    void aWordSelectedInATerminalIsLookedUp() {
        QFETCH(QString, keys);
        QFETCH(QString, clipboard);
        QFETCH(bool, minimisedBefore);
        if (minimisedBefore) {
            QCOMPARE(m_session.run({"xdotool", "key", "ctrl+alt+f"}).exitCode, 0);
            QCOMPARE(m_session.waitForWindow({"--onlyvisible", "--name", "^Recherche rapide"}).exitCode, 0);
            QCOMPARE(m_session.run({"xdotool", "getactivewindow", "windowminimize", "--sync"}).exitCode, 0);
        }
        // A triple click selects the terminal's line, the word alone.
        QCOMPARE(m_session.run({"xdotool", "windowactivate", "--sync", m_terminal, "mousemove", "--window", m_terminal,
                                "20", "10", "click", "--repeat", "3", "--delay", "60", "1"})
                     .exitCode,
                 0);
        QTRY_COMPARE(QString::fromUtf8(m_session.run({"xclip", "-o", "-selection", "primary"}).out).trimmed(),
                     QStringLiteral("chaton"));
        m_session.setClipboard("avant");
        QTRY_COMPARE(m_session.clipboard(), QStringLiteral("avant"));

        QCOMPARE(m_session.run({"xdotool", "key", "ctrl+alt+f"}).exitCode, 0);
        QTRY_COMPARE(m_session.activeWindowName(), QByteArray("Recherche rapide - Lexicarium"));
        for (const QString& key : keys.split(u' ')) QCOMPARE(m_session.run({"xdotool", "key", key}).exitCode, 0);
        QTRY_COMPARE(m_session.clipboard(), clipboard);
        QTRY_COMPARE(m_session.run({"xdotool", "getactivewindow"}).out.trimmed(), m_terminal);
    }

    // Back in the terminal with a click: the look-up no longer covers it.
    void aClickElsewhereClosesTheLookUp() {
        QCOMPARE(m_session.run({"xdotool", "windowactivate", "--sync", m_terminal}).exitCode, 0);
        QCOMPARE(m_session.run({"xdotool", "key", "ctrl+alt+f"}).exitCode, 0);
        QTRY_COMPARE(m_session.activeWindowName(), QByteArray("Recherche rapide - Lexicarium"));
        QTest::qWait(600);  // the list read, as a user reads it before going back
        QCOMPARE(m_session.run({"xdotool", "mousemove", "--window", m_terminal, "20", "10", "click", "1"}).exitCode, 0);
        QTRY_COMPARE(m_session.run({"xdotool", "search", "--onlyvisible", "--name", "^Recherche rapide"}).exitCode, 1);
        QCOMPARE(m_session.run({"xdotool", "getactivewindow"}).out.trimmed(), m_terminal);
    }

    // A display with no window manager says nothing of which window is in
    // front: the look-up stays until it is left.
    void withoutAWindowManagerTheLookUpStaysUntilLeft() {
        XSession bare;
        QVERIFY2(bare.open(false), "Xvfb did not start");
        bare.environment.insert("QT_QPA_PLATFORM", "xcb");
        QDir().mkpath(bare.home.filePath("data/Lexicarium"));
        cardfiles::write(bare.home.filePath("data/Lexicarium/lexicarium.dat"), {{1, "chaton", "kitten", "", "", "", "", ""}});
        bare.start(LEXICARIUM_PROGRAM, {});
        QCOMPARE(bare.waitForWindow({"--name", "^Scriptoria Digitale - Menu$"}).exitCode, 0);
        QProcess* holder = bare.start("xclip", {"-selection", "primary"});
        holder->write("chaton");
        holder->closeWriteChannel();
        QTRY_COMPARE(bare.run({"xclip", "-o", "-selection", "primary"}).out, QByteArray("chaton"));
        QCOMPARE(bare.run({"xdotool", "key", "ctrl+alt+f"}).exitCode, 0);
        const QStringList shown{"xdotool", "search", "--onlyvisible", "--name", "^Recherche rapide"};
        QTRY_COMPARE(bare.run(shown).exitCode, 0);
        QTest::qWait(800);  // four times the watch of the window in front
        QCOMPARE(bare.run(shown).exitCode, 0);
        QCOMPARE(bare.run({"xdotool", "key", "Escape"}).exitCode, 0);
        QTRY_COMPARE(bare.run(shown).exitCode, 1);
    }

private:
    XSession m_session;
    QByteArray m_terminal;
};

QTEST_GUILESS_MAIN(TestLookupOnX11)
#include "tst_lookup_on_x11.moc"
