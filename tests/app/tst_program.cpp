#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "windows/lookup/x_session.h"

namespace {

// A user's folders of their own, for one program and the starts after it.
struct UserFolders {
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    UserFolders() {
        const QString runtime = home.filePath("runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert("XDG_RUNTIME_DIR", runtime);
        environment.insert("XDG_DATA_HOME", home.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert("HOME", home.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    }
    QString link() const { return home.filePath("runtime/lexicarium-instance"); }
    QString settings() const { return home.filePath("data/Lexicarium/lexicarium.ini"); }
};

}  // namespace

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    // Started without a display, as a script or a headless run starts it:
    // past its splash, the program runs on without the shortcut, and a
    // later start, however long its request, hands it over and ends.
    void itRunsPastItsSplashWithoutADisplay() {
        UserFolders user;
        QProcess first;
        first.setProcessEnvironment(user.environment);
        first.start(LEXICARIUM_PROGRAM, {});
        // Once the splash is over, the look-up says once that no shortcut can be taken here.
        QTRY_VERIFY_WITH_TIMEOUT(
            !QSettings(user.settings(), QSettings::IniFormat).value("recherche_rapide/refus_signale").toString().isEmpty(),
            15000);
        QCOMPARE(first.state(), QProcess::Running);

        for (const QStringList& arguments : {QStringList{}, QStringList{"--chercher", QString(40000, u'x')}}) {
            QProcess later;
            later.setProcessEnvironment(user.environment);
            later.start(LEXICARIUM_PROGRAM, arguments);
            QVERIFY(later.waitForFinished(10000));
            QCOMPARE(later.exitStatus(), QProcess::NormalExit);
            QCOMPARE(later.exitCode(), 0);
        }
        QTest::qWait(500);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
    }

    // A running program that takes no request: the later start waits,
    // says so in French, and never becomes a second program.
    void aLaterStartNeverBecomesASecondProgram() {
        if (const QString missing = XSession::missing({"Xvfb", "openbox", "xdotool"}); !missing.isEmpty()) {
            QSKIP(qPrintable(missing + " is not installed (scripts/install-dependencies --tests)"));
        }
        XSession session;
        QVERIFY2(session.open(), "Xvfb did not start");
        session.environment.insert("QT_QPA_PLATFORM", "xcb");
        const QString link = session.home.filePath("runtime/lexicarium-instance");
        QLocalServer silent;
        QVERIFY(silent.listen(link));
        QProcess* later = session.start(LEXICARIUM_PROGRAM, {"--chercher", "chat"});
        const ClientRun box = session.waitForWindow({"--name", "^Lexicarium$"});
        QCOMPARE(box.exitCode, 0);
        QCOMPARE(session.run({"xdotool", "search", "--name", "^Scriptoria Digitale - Menu$"}).exitCode, 1);
        QCOMPARE(session.run({"xdotool", "windowactivate", "--sync", box.out.trimmed(), "key", "Return"}).exitCode, 0);
        QVERIFY(later->waitForFinished(10000));
        const QString said = QString::fromUtf8(later->readAllStandardError());
        QVERIFY2(later->exitCode() == 1, qPrintable(said.right(3000)));
        QVERIFY(said.contains(QStringLiteral("n'a pas répondu")));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
