#include <QFile>
#include <QTest>

#include "support/card_files.h"
#include "x_session.h"

// The Windows program under Wine on a display of its own, Wine's own
// Notepad holding the selection: the shortcut reaches the program as a
// registered hot key, the selection is copied out of Notepad and the
// clipboard put back. scripts/wine-tests runs it once the Windows build is
// made, naming the program in LEXICARIUM_WINDOWS_PROGRAM.
class TestLookupOnWine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString program = qEnvironmentVariable("LEXICARIUM_WINDOWS_PROGRAM");
        if (program.isEmpty()) QSKIP("run by scripts/wine-tests, with the Windows build");
        if (const QString missing = XSession::missing({"wine", "wineserver", "Xvfb", "openbox", "xdotool", "xclip"});
            !missing.isEmpty()) {
            QSKIP(qPrintable(missing + " is not installed (scripts/install-dependencies --tests)"));
        }
        QVERIFY2(m_session.open(), "Xvfb did not start");
        const QString prefix = qEnvironmentVariable("WINEPREFIX");
        QVERIFY2(!prefix.isEmpty(), "WINEPREFIX names no Wine prefix");
        m_session.environment.insert("WINEDEBUG", "-all");
        // The prefix's Wine server may serve no display yet: this one starts anew on ours.
        m_session.run({"wineserver", "-k"});
        m_dataFile = prefix + "/drive_c/Program Files/lexicarium.dat";
        m_notes = prefix + "/drive_c/lexicarium-notes.txt";
        cardfiles::write(m_dataFile, {{1, "un chaton noir", "a black kitten", "", "", "", "", ""},
                                      {2, "chaton", "kitten", "", "", "", "", ""}});
        QFile notes(m_notes);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("Le chaton dort.\r\n");
        notes.close();
        // Two starts at the same moment: one program, the other start hands over and ends.
        QProcess* first = m_session.start("wine", {program, "-platform", "windows"});
        QProcess* second = m_session.start("wine", {program, "-platform", "windows"});
        QCOMPARE(m_session.waitForWindow({"--name", "^Scriptoria Digitale - Menu$"}).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(first->state() == QProcess::NotRunning || second->state() == QProcess::NotRunning, 20000);
        QTest::qWait(2000);
        QCOMPARE(m_session.run({"xdotool", "search", "--name", "^Scriptoria Digitale - Menu$"}).out.trimmed().count('\n'), 0);
        m_session.start("wine", {"notepad", "c:\\lexicarium-notes.txt"});
        const ClientRun notepad = m_session.waitForWindow({"--name", "lexicarium-notes.txt - Notepad"});
        QCOMPARE(notepad.exitCode, 0);
        m_notepad = notepad.out.trimmed();
        m_session.start("wine", {qEnvironmentVariable("LEXICARIUM_LATE_COPIER")});
        const ClientRun late = m_session.waitForWindow({"--name", "^Copie tardive$"});
        QCOMPARE(late.exitCode, 0);
        m_lateCopier = late.out.trimmed();
    }

    void cleanupTestCase() {
        m_session.run({"wineserver", "-k"});
        QFile::remove(m_dataFile);
        QFile::remove(m_notes);
    }

    void aWordSelectedInNotepadIsLookedUp_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("Enter pastes the translation") << "Return" << "kitten";
        QTest::newRow("Escape puts the clipboard back") << "Escape" << "avant";
    }
    void aWordSelectedInNotepadIsLookedUp() {
        QFETCH(QString, keys);
        QFETCH(QString, clipboard);
        QCOMPARE(m_session.run({"xdotool", "windowactivate", "--sync", m_notepad}).exitCode, 0);
        // "chaton " selected from the keyboard, the space after it included.
        QCOMPARE(m_session.run({"xdotool", "key", "--delay", "50", "ctrl+Home", "Right", "Right", "Right",
                                "shift+ctrl+Right"})
                     .exitCode,
                 0);
        m_session.setClipboard("avant");
        QTRY_COMPARE(m_session.clipboard(), QStringLiteral("avant"));

        QCOMPARE(m_session.run({"xdotool", "key", "ctrl+alt+f"}).exitCode, 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_session.activeWindowName(), QByteArray("Recherche rapide - Lexicarium"), 10000);
        // Notepad's copy has come and gone: what the user held is back.
        QTRY_COMPARE(m_session.clipboard(), QStringLiteral("avant"));
        for (const QString& key : keys.split(u' ')) QCOMPARE(m_session.run({"xdotool", "key", key}).exitCode, 0);
        QTRY_COMPARE(m_session.clipboard(), clipboard);
        QTRY_COMPARE(m_session.run({"xdotool", "getactivewindow"}).out.trimmed(), m_notepad);
    }

    // A program that copies its selection only after the look-up gave up
    // waiting: its copy is taken back, and the user's clipboard stays.
    void aLateCopyLeavesTheClipboardAlone() {
        QCOMPARE(m_session.run({"xdotool", "windowactivate", "--sync", m_lateCopier}).exitCode, 0);
        m_session.setClipboard("avant");
        QTRY_COMPARE(m_session.clipboard(), QStringLiteral("avant"));
        QCOMPARE(m_session.run({"xdotool", "key", "ctrl+alt+f"}).exitCode, 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_session.activeWindowName(), QByteArray("Recherche rapide - Lexicarium"), 10000);
        QTest::qWait(2500);  // the late copy has come, a second after it was asked for
        QCOMPARE(m_session.clipboard(), QStringLiteral("avant"));
        QCOMPARE(m_session.run({"xdotool", "key", "Escape"}).exitCode, 0);
    }

private:
    XSession m_session;
    QByteArray m_lateCopier;
    QString m_dataFile;
    QString m_notes;
    QByteArray m_notepad;
};

QTEST_GUILESS_MAIN(TestLookupOnWine)
#include "tst_lookup_on_wine.moc"
