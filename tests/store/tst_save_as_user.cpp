#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "store/data_file.h"
#include "store/field_text.h"
#include "store/save_journal.h"
#include "store/store_error.h"
#include "support/card_files.h"
#include "support/crash_loop.h"
#include "support/faulty_file_system.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Module1;

// Saves as an ordinary user makes them, where the system's permissions
// decide: the tests run as root re-run themselves under an unprivileged uid.
namespace {

const char* const kFolderVariable = "LEXICARIUM_USER_TEST_FOLDER";

FicheRecord card(int numero, const QString& text) {
    FicheRecord fiche = emptyCard(numero);
    fieldtext::store(fiche.expression, text);
    return fiche;
}

void save(const QString& path, int slot, const FicheRecord& fiche) {
    DataFile file = DataFile::open(path);
    file.writeSlot(slot, fiche);
    file.close();
}

void setMode(const QString& path, int mode) {
#ifndef _WIN32
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
#else
    Q_UNUSED(path);
    Q_UNUSED(mode);
#endif
}

}  // namespace

class TestSaveAsUser : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_base;

    enum class Where { here, child, impossible };
    // As root, who may write anywhere, the test function runs again in a
    // process of an unprivileged user; otherwise here.
    Where run() {
#ifdef _WIN32
        return Where::impossible;
#else
        if (::geteuid() != 0) return Where::here;
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty()) return Where::impossible;
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kFolderVariable), m_base);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_base + QStringLiteral("/utilisateur"));
        environment.insert(QStringLiteral("HOME"), m_base);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                              QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                              QString::fromLatin1(QTest::currentTestFunction())});
        if (!child.waitForFinished(120000)) return Where::impossible;
        const QByteArray output = child.readAll();
        if (output.contains("setpriv:")) return Where::impossible;
        m_childOutput = QString::fromUtf8(output);
        m_childPassed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
        return Where::child;
#endif
    }
    QString m_childOutput;
    bool m_childPassed = false;

private slots:
    void initTestCase() {
        m_base = qEnvironmentVariable(kFolderVariable);
        if (m_base.isEmpty()) {
            m_base = m_dir.path();
            setMode(m_base, 0777);  // the unprivileged user works in it
            qputenv("XDG_DATA_HOME", (m_base + QStringLiteral("/utilisateur")).toUtf8());
        }
        QCoreApplication::setApplicationName(QStringLiteral("Lexicarium"));
    }

    // The file may be written, its folder may not: the recovery file goes
    // into the user's own folder, with the same safety against a crash.
    void aWritableFileInAFolderTheUserMayNotWriteIsSaved() {
        const Where where = run();
        if (where == Where::impossible) QSKIP("no way here to run as an unprivileged user");
        if (where == Where::child) {
            QVERIFY2(m_childPassed, qPrintable(m_childOutput));
            return;
        }
        const QString folder = m_base + QStringLiteral("/partage");
        QDir().mkpath(folder);
        const QString data = folder + QStringLiteral("/fiches.dat");
        cardfiles::writeNumbered(data, 4);
        setMode(data, 0666);
        setMode(folder, 0555);
        QVERIFY(!QFile(folder + QStringLiteral("/essai")).open(QIODevice::WriteOnly));

        save(data, 2, card(2, QStringLiteral("corrigée")));
        QCOMPARE(cardfiles::fieldOf(data, 2, Field::expression), QStringLiteral("corrigée"));
        QVERIFY(!savejournal::anyFor(FileSystem::native(), data));

        // A crash at any step leaves each slot as it was or as saved.
        const QByteArray before = cardfiles::contents(data);
        save(data, 5, card(5, QStringLiteral("nouvelle")));
        const QByteArray after = cardfiles::contents(data);
        CrashLoop loop;
        loop.prepare = [&] {
            QFile out(data);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(before);
        };
        loop.work = [&] { save(data, 5, card(5, QStringLiteral("nouvelle"))); };
        loop.check = [&](int at, bool) {
            DataFile::open(data).close();
            const QByteArray now = cardfiles::contents(data);
            QVERIFY2(now == before || now == after, qPrintable(QStringLiteral("crash at operation %1").arg(at)));
            QVERIFY(!savejournal::anyFor(FileSystem::native(), data));
        };
        const int crashes = loop.run();
        QVERIFY(crashes >= 8);
        setMode(folder, 0755);
    }

    // The folder becomes read-only once the recovery file is written, so the
    // recovery file cannot be removed: it is voided and the save stands.
    void aRecoveryFileThatCannotBeRemovedIsVoidedInPlace() {
        const Where where = run();
        if (where == Where::impossible) QSKIP("no way here to run as an unprivileged user");
        if (where == Where::child) {
            QVERIFY2(m_childPassed, qPrintable(m_childOutput));
            return;
        }
        const QString folder = m_base + QStringLiteral("/verrouille");
        QDir().mkpath(folder);
        const QString data = folder + QStringLiteral("/fiches.dat");
        cardfiles::writeNumbered(data, 3);
        FaultyFileSystem watching;
        watching.beforeEach = [&](const char* operation) {
            if (qstrcmp(operation, "remove") == 0) setMode(folder, 0555);
        };
        FileSystem::setCurrent(&watching);
        save(data, 2, card(2, QStringLiteral("confirmée")));
        FileSystem::setCurrent(nullptr);
        QVERIFY(QFile::exists(savejournal::besidePath(FileSystem::native(), data)));

        // Opening ignores the void recovery file; the next save works as well.
        DataFile::open(data).close();
        QCOMPARE(cardfiles::fieldOf(data, 2, Field::expression), QStringLiteral("confirmée"));
        save(data, 3, card(3, QStringLiteral("encore")));
        DataFile::open(data).close();
        QCOMPARE(cardfiles::fieldOf(data, 2, Field::expression), QStringLiteral("confirmée"));
        QCOMPARE(cardfiles::fieldOf(data, 3, Field::expression), QStringLiteral("encore"));
        setMode(folder, 0755);
    }
};

QTEST_GUILESS_MAIN(TestSaveAsUser)
#include "tst_save_as_user.moc"
