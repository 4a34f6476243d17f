#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

#include "support/card_files.h"
#include "windows/lookup/x_session.h"

// The Windows installer as a user runs it, in a Wine prefix of its own:
// installed silently, its files, Start menu entry and uninstall entry
// checked, the installed program started, the data file it takes by
// default, an installation over a running program refused, and the
// uninstallation, which leaves the user's files. Once as the prefix's
// administrator, once as a user who may not write "c:\program files".
// scripts/wine-tests runs it, naming the installer in LEXICARIUM_SETUP.
namespace {

// A translation whose one segment does not use the card's translation: a
// check of it against that card ends with status 1.
const QByteArray kTranslation = "msgid \"\"\nmsgstr \"\"\n\"Language: en\\n\"\n\nmsgid \"chaton\"\nmsgstr \"cat\"\n";

struct Run {
    int exitCode = -1;
    QByteArray said;  // its output and its errors
};

// A fresh Wine prefix, and the user who runs it.
class Prefix {
public:
    Prefix(bool standardUser, QString display) : m_display(std::move(display)), m_standardUser(standardUser) {
        // Root may write anywhere: there the standard user is nobody.
        m_asNobody = standardUser && ::geteuid() == 0;
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                                QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        QDir(m_dir.path()).mkpath("prefix");
        QDir(m_dir.path()).mkpath("home");
        if (m_asNobody) chown({path("prefix"), path("home")});
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Wine names the Windows user after the Unix one.
    QString user() const {
        if (m_asNobody) return QStringLiteral("nobody");
        const passwd* account = ::getpwuid(::geteuid());
        return account ? QString::fromLocal8Bit(account->pw_name) : QString();
    }
    // The Unix path of a place on the prefix's drive C.
    QString drive(const QString& windowsPath) const { return path("prefix/drive_c/") + windowsPath; }
    QString appData() const { return drive("users/" + user() + "/AppData/Roaming"); }
    QString installed() const { return drive("users/" + user() + "/AppData/Local/Programs/Lexicarium"); }

    bool boot() {
        if (run({"wineboot", "--init"}, 240000).exitCode != 0) return false;
        run({"wineserver", "-w"});
        if (m_standardUser) {
            // "c:\program files" as Windows gives it to a standard user: read only.
            const QString programs = drive("Program Files");
            if (m_asNobody) {
                run({"chown", "root:root", programs}, 30000, false);
            } else {
                QFile::setPermissions(programs, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
            }
        }
        return true;
    }

    Run run(const QStringList& command, int waitMs = 120000, bool asTheUser = true) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        const QStringList line = asTheUser ? asUser(command) : command;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(line.first(), line.mid(1));
        Run result;
        const bool ended = process.waitForFinished(waitMs);
        if (!ended) {
            process.kill();
            process.waitForFinished();
        }
        result.said = process.readAll();
        if (ended && process.exitStatus() == QProcess::NormalExit) {
            result.exitCode = process.exitCode();
        } else {
            // Why there is no status: it never started, never ended, or was killed.
            result.said += "\n" + process.errorString().toUtf8();
        }
        return result;
    }
    QProcess* start(const QStringList& command) {
        auto* process = new QProcess(&m_owner);
        process->setProcessEnvironment(environment());
        const QStringList line = asUser(command);
        process->start(line.first(), line.mid(1));
        return process;
    }
    // A file or folder the test made, made the user's.
    void give(const QString& path) const {
        if (m_asNobody) chown({path});
    }
    // Every key under the user's registry, as the prefix keeps it on disk.
    QByteArray userRegistry() const {
        run({"wineserver", "-w"});
        QFile registry(path("prefix/user.reg"));
        return registry.open(QIODevice::ReadOnly) ? registry.readAll() : QByteArray();
    }
    void end() const { run({"wineserver", "-k"}); }

private:
    // The command as the prefix's user runs it.
    QStringList asUser(const QStringList& command) const {
        if (!m_asNobody) return command;
        return QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"} + command;
    }
    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("WINEPREFIX", path("prefix"));
        environment.insert("HOME", path("home"));
        environment.insert("WINEDEBUG", "-all");
        environment.insert("WINEDLLOVERRIDES", "mscoree,mshtml=");
        environment.insert("DISPLAY", m_display);
        environment.remove("WAYLAND_DISPLAY");
        return environment;
    }
    void chown(const QStringList& paths) const { run(QStringList{"chown", "-R", "nobody:nogroup"} + paths, 30000, false); }

    QTemporaryDir m_dir;
    QObject m_owner;
    QString m_display;
    bool m_standardUser;
    bool m_asNobody = false;
};

}  // namespace

class TestInstallerOnWine : public QObject {
    Q_OBJECT
private:
    QString m_setup;
    XSession m_session;

private slots:
    void initTestCase() {
        m_setup = qEnvironmentVariable("LEXICARIUM_SETUP");
        if (m_setup.isEmpty()) QSKIP("run by scripts/wine-tests, with the Windows build");
        if (const QString missing = XSession::missing({"wine", "wineboot", "wineserver", "setpriv", "Xvfb", "openbox", "xdotool"});
            !missing.isEmpty()) {
            QSKIP(qPrintable(missing + " is not installed (scripts/install-dependencies --tests)"));
        }
        // The installed program is started on a display, as a user starts it.
        QVERIFY2(m_session.open(), "Xvfb did not start");
    }

    void aUserInstallsRunsAndRemovesIt_data() {
        QTest::addColumn<bool>("standardUser");
        QTest::newRow("the prefix's administrator") << false;
        QTest::newRow("a user who may not write c:\\program files") << true;
    }
    void aUserInstallsRunsAndRemovesIt() {
        QFETCH(bool, standardUser);
        Prefix prefix(standardUser, m_session.environment.value("DISPLAY"));
        QVERIFY2(prefix.boot(), "wineboot failed");
        const QString setup = prefix.path("lexicarium-setup.exe");
        QVERIFY(QFile::copy(m_setup, setup));
        prefix.give(setup);

        // Installed without a question, for this user alone.
        QCOMPARE(prefix.run({"wine", setup, "/S"}).exitCode, 0);
        const QString installed = prefix.installed();
        for (const char* file : {"lexicarium.exe", "desinstaller.exe", "dictionnaires/fr.dic", "dictionnaires/en_US.aff"}) {
            QVERIFY2(QFile::exists(installed + "/" + file), file);
        }
        QVERIFY(QFile::exists(prefix.appData() + "/Microsoft/Windows/Start Menu/Programs/Lexicarium.lnk"));
        QByteArray registry = prefix.userRegistry();
        const qsizetype entry = registry.indexOf("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Lexicarium]");
        QVERIFY(entry >= 0);
        const QByteArray keys = registry.mid(entry, registry.indexOf("\n\n", entry) - entry);
        for (const char* key : {"\"DisplayName\"=\"Lexicarium\"", "\"DisplayVersion\"=", "\"Publisher\"=\"Lexicarium\"",
                                "\"DisplayIcon\"=", "\"EstimatedSize\"=dword:", "\"UninstallString\"=",
                                "\"QuietUninstallString\"=", "desinstaller.exe\\\" /S\""}) {
            QVERIFY2(keys.contains(key), key);
        }

        // The data file it takes by default: the historic one where the user
        // may make it, else one in the user's application-data folder.
        const QString translation = prefix.drive("traduction.po");
        QFile po(translation);
        QVERIFY(po.open(QIODevice::WriteOnly));
        po.write(kTranslation);
        po.close();
        prefix.give(translation);
        const QString usersOwn = prefix.appData() + "/Lexicarium/lexicarium.dat";
        const QString historic = prefix.drive("Program Files/lexicarium.dat");
        const QString program = installed + "/lexicarium.exe";
        // A check's status; what it said shows where it is not the one awaited.
        const auto checkWithTheDefaultFile = [&] {
            return prefix.run({"wine", program, "--verifier", "c:\\traduction.po"});
        };
        Run check = checkWithTheDefaultFile();
        QVERIFY2(check.exitCode == 2, check.said.simplified().constData());  // no data file yet
        // Whether the folder took a file was tried without leaving one; a check made none.
        QCOMPARE(QDir(prefix.drive("Program Files")).entryList({"lexicarium*"}, QDir::Files), QStringList());
        QDir().mkpath(QFileInfo(usersOwn).absolutePath());
        cardfiles::write(usersOwn, {{1, "chaton", "kitten", "", "", "", "", ""}});
        prefix.give(QFileInfo(usersOwn).absolutePath());
        check = checkWithTheDefaultFile();
        QVERIFY2(check.exitCode == (standardUser ? 1 : 2), check.said.simplified().constData());
        if (!standardUser) {
            // An existing « c:\program files\lexicarium.dat » goes on being used.
            cardfiles::write(historic, {{1, "chaton", "kitten", "", "", "", "", ""}});
            check = checkWithTheDefaultFile();
            QVERIFY2(check.exitCode == 1, check.said.simplified().constData());
        }

        // Started as a user starts it, the Consultation window opened: it reads
        // the file's words on a thread of its own, which ends; the program runs on.
        const auto startAndConsult = [&] {
            QProcess* running = prefix.start({"wine", program});
            if (!running->waitForStarted()) return running;
            const ClientRun menu = m_session.waitForWindow({"--name", "^Scriptoria Digitale - Menu$"});
            m_session.run({"xdotool", "windowactivate", "--sync", menu.out.trimmed(), "key", "alt+c"});
            m_session.waitForWindow({"--name", "^Scriptoria Digitale - Lexicarium terminologique - Consultation$"});
            QTest::qWait(5000);
            return running;
        };
        QProcess* running = startAndConsult();
        QCOMPARE(running->state(), QProcess::Running);
        // A running program is not replaced under it: silent, the installer stops with 2.
        QCOMPARE(prefix.run({"wine", setup, "/S"}).exitCode, 2);
        prefix.end();
        running->waitForFinished(10000);
        // Closed, it is replaced.
        QCOMPARE(prefix.run({"wine", setup, "/S"}).exitCode, 0);
        // Started again: the languages of the file are known, the dictionaries
        // are opened on the thread that reads the words.
        running = startAndConsult();
        QCOMPARE(running->state(), QProcess::Running);
        prefix.end();
        running->waitForFinished(10000);

        // Uninstalled without a question; the user's files stay.
        QFile ini(prefix.appData() + "/Lexicarium/lexicarium.ini");
        QVERIFY(ini.exists() || (ini.open(QIODevice::WriteOnly) && ini.write("[a]\n") > 0));
        ini.close();
        QCOMPARE(prefix.run({"wine", installed + "/desinstaller.exe", "/S"}).exitCode, 0);
        // The uninstaller works on from a copy of itself: wait for it.
        prefix.run({"wineserver", "-w"});
        QVERIFY(!QFile::exists(program));
        QVERIFY(!QFileInfo::exists(installed));
        QVERIFY(!QFile::exists(prefix.appData() + "/Microsoft/Windows/Start Menu/Programs/Lexicarium.lnk"));
        QVERIFY(!prefix.userRegistry().contains("CurrentVersion\\\\Uninstall\\\\Lexicarium]"));
        QVERIFY(QFile::exists(usersOwn));
        QVERIFY(QFile::exists(prefix.appData() + "/Lexicarium/lexicarium.ini"));
        if (!standardUser) QVERIFY(QFile::exists(historic));
        prefix.end();
    }
};

QTEST_GUILESS_MAIN(TestInstallerOnWine)
#include "tst_installer_on_wine.moc"
