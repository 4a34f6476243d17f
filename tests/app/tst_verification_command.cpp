#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "check/check_cards.h"
#include "forms/dictionaries.h"
#include "forms/file_languages.h"

// The program started by a script to check a translation: what it writes,
// and how it ends, with no display and a running copy of the program that
// answers nothing.
namespace {

const QString kReview = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<xliff version="1.2" xmlns="urn:oasis:names:tc:xliff:document:1.2">
 <file original="notice" source-language="fr-FR" target-language="en-US" datatype="plaintext">
  <body>
   <trans-unit id="serrage"><source>Serrez les écrous.</source><target>Tighten the nuts.</target></trans-unit>
   <trans-unit id="boulons"><source>Serrez les écrous.</source><target>Tighten the bolts.</target></trans-unit>
   <trans-unit id="dette"><source>La créance est due.</source><target>The credit is due.</target></trans-unit>
   <trans-unit id="vide"><source>La terre.</source></trans-unit>
  </body>
 </file>
</xliff>
)");

const QString kGood = QStringLiteral(R"(msgid ""
msgstr ""
"Language: en\n"
"Content-Type: text/plain; charset=UTF-8\n"

msgid "Vérifiez la mise à la terre."
msgstr "Check the grounding."
)");

const QString kOtherLanguages = QStringLiteral(R"(<?xml version="1.0"?>
<tmx version="1.4"><header srclang="de" adminlang="en" segtype="sentence" o-tmf="x" datatype="plaintext" creationtool="x" creationtoolversion="1"/>
<body><tu><tuv xml:lang="de"><seg>Mutter</seg></tuv><tuv xml:lang="es"><seg>tuerca</seg></tuv></tu></body></tmx>
)");

const QStringList kReviewGaps = {QStringLiteral("boulons\t1\técrou\tnut / hex nut\ttraduction absente"),
                                 QStringLiteral("dette\t5\tcréance\tclaim\tterme déconseillé\tcredit")};

void writeText(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

}  // namespace

class TestVerificationCommand : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;
    QString m_data;
    QProcessEnvironment m_environment;

    QString path(const QString& name) const { return m_home.filePath(name); }

private slots:
    void initTestCase() {
        if (!dictionaries::languages().contains("fr") || !dictionaries::languages().contains("en")) {
            QSKIP("the French and English dictionaries are not installed (hunspell-fr, hunspell-en-us)");
        }
        // The user's default data file, its languages kept in their settings.
        qputenv("XDG_DATA_HOME", path("data").toUtf8());
        QDir().mkpath(path("data/Lexicarium"));
        QDir().mkpath(path("runtime"));
        QFile::setPermissions(path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_data = path("data/Lexicarium/lexicarium.dat");
        cardfiles::write(m_data, checkcards::kCards);
        FileLanguagesSettings(path("data/Lexicarium/lexicarium.ini")).keep(m_data, {"fr", "en"});
        QFile::copy(m_data, path("autres.dat"));
        FileLanguagesSettings(path("data/Lexicarium/lexicarium.ini")).keep(path("autres.dat"), {"fr", "en"});
        writeText(path("revue.xlf"), kReview);
        writeText(path("bonne.po"), kGood);
        writeText(path("autre.tmx"), kOtherLanguages);

        m_environment = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) m_environment.remove(display);
        m_environment.insert("XDG_DATA_HOME", path("data"));
        m_environment.insert("XDG_RUNTIME_DIR", path("runtime"));
        m_environment.insert("HOME", m_home.path());
    }

    void aScriptIsToldTheGapsAndHowItWent_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("error");
        QTest::newRow("gaps, default data file") << QStringList{"--verifier", "revue.xlf"} << 1 << kReviewGaps << QString();
        QTest::newRow("gaps, data file named")
            << QStringList{"--fichier", "autres.dat", "--verifier", "revue.xlf"} << 1 << kReviewGaps << QString();
        QTest::newRow("no gap") << QStringList{"--verifier", "bonne.po"} << 0 << QStringList() << QString();
        QTest::newRow("report") << QStringList{"--verifier", "revue.xlf", "--rapport", "rapport.csv"} << 1 << kReviewGaps
                                << QString();
        QTest::newRow("missing file") << QStringList{"--verifier", "absent.xlf"} << 2 << QStringList() << "absent.xlf";
        QTest::newRow("missing data file") << QStringList{"--verifier", "revue.xlf", "--fichier", "absent.dat"} << 2
                                           << QStringList() << "n'existe pas";
        QTest::newRow("other languages") << QStringList{"--verifier", "autre.tmx"} << 2 << QStringList()
                                         << "aucune de leurs langues";
        QTest::newRow("unknown option") << QStringList{"--verifier", "revue.xlf", "--vite"} << 2 << QStringList()
                                        << "Option inconnue";
        QTest::newRow("option without its file") << QStringList{"--verifier"} << 2 << QStringList() << "Usage";
        QTest::newRow("report of no known kind") << QStringList{"--verifier", "revue.xlf", "--rapport", "rapport.txt"} << 2
                                                 << QStringList() << ".csv, .xlsx ou .ods";
    }
    void aScriptIsToldTheGapsAndHowItWent() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QStringList, lines);
        QFETCH(QString, error);
        // A running copy of the program that answers nothing is never asked.
        QLocalServer silent;
        QVERIFY(silent.listen(path("runtime/lexicarium-instance")));
        const QByteArray before = cardfiles::contents(m_data);
        const QDateTime modified = QFileInfo(m_data).lastModified();
        QFile::remove(path("rapport.csv"));

        QProcess program;
        program.setProcessEnvironment(m_environment);
        program.setWorkingDirectory(m_home.path());
        program.start(LEXICARIUM_PROGRAM, arguments);
        QVERIFY(program.waitForFinished(60000));
        const QString output = QString::fromUtf8(program.readAllStandardOutput());
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == status, qPrintable(errors));
        QCOMPARE(output.split(u'\n', Qt::SkipEmptyParts), lines);
        QVERIFY2(error.isEmpty() ? errors.isEmpty() : errors.contains(error), qPrintable(errors));
        QCOMPARE(cardfiles::contents(m_data), before);
        QCOMPARE(QFileInfo(m_data).lastModified(), modified);
        QVERIFY(!QFile::exists(path("absent.dat")));

        if (arguments.contains("--rapport") && status != 2) {
            // As Python's csv module reads it.
            QProcess python;
            python.start("/usr/bin/python3", {"-c", "import csv, sys\n"
                                                    "text = open(sys.argv[1], encoding='utf-8-sig', newline='').read()\n"
                                                    "rows = list(csv.reader(text.splitlines(True), csv.Sniffer().sniff(text.split('\\n')[0])))\n"
                                                    "print(len(rows)); print(rows[0][6]); print(rows[2][1])",
                                              path("rapport.csv")});
            QVERIFY(python.waitForFinished(30000));
            QCOMPARE(QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                     (QStringList{QString::number(lines.size() + 1), "Écart", "La créance est due."}));
        } else {
            QVERIFY(!QFile::exists(path("rapport.csv")));
        }
    }
};

QTEST_GUILESS_MAIN(TestVerificationCommand)
#include "tst_verification_command.moc"
