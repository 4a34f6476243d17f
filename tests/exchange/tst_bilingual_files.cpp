#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "client_run.h"
#include "exchange/bilingual_file.h"
#include "exchange/exchange_error.h"

// The files translation tools exchange, as the check of a translation reads
// them: written by the Translate Toolkit from a PO file (XLIFF, TMX, and PO
// again), an XLIFF 2 file as the standard writes it, a bilingual table.
namespace {

const QByteArray kPo =
    "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\"Language: fr\\n\"\n\n"
    "msgid \"Tighten the nuts.\"\nmsgstr \"Serrez les écrous.\"\n\n"
    "#, fuzzy\nmsgid \"Check the grounding.\"\nmsgstr \"Vérifiez la terre.\"\n\n"
    "msgid \"Untranslated line.\"\nmsgstr \"\"\n\n"
    "msgctxt \"menu\"\nmsgid \"File\"\nmsgstr \"Fichier\"\n\n"
    "msgid \"One nut\"\nmsgid_plural \"%d nuts\"\nmsgstr[0] \"Un écrou\"\nmsgstr[1] \"%d écrous\"\n";

// An XLIFF 2.0 file as the standard's own example has it: units of
// segments, inline codes, a unit not to translate.
const QByteArray kXliff2 =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xliff xmlns=\"urn:oasis:names:tc:xliff:document:2.0\" version=\"2.0\" srcLang=\"en\" trgLang=\"fr\">\n"
    " <file id=\"f1\">\n"
    "  <unit id=\"u1\"><segment id=\"s1\"><source>Tighten the <pc id=\"1\">nuts</pc>.<ph id=\"2\"/></source>"
    "<target>Serrez les <pc id=\"1\">écrous</pc>.</target></segment>"
    "<ignorable><source> </source></ignorable>"
    "<segment id=\"s2\"><source>Check the grounding.</source></segment></unit>\n"
    "  <unit id=\"u2\" translate=\"no\"><segment><source>ACME</source><target>ACME</target></segment></unit>\n"
    " </file>\n</xliff>\n";

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class TestBilingualFiles : public QObject {
    Q_OBJECT
private slots:
    // Each segment as "source|target" ("|-" without target; "!" before one not to translate).
    void eachFormatGivesItsSegments_data() {
        QTest::addColumn<QString>("made");  // the tool that writes the file, or "" for the bytes below
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("languages");
        QTest::addColumn<QStringList>("segments");
        QTest::newRow("PO, as written") << "" << "g.po" << ">fr" << QStringList{"Tighten the nuts.|Serrez les écrous.",
                                                                               "Check the grounding.|Vérifiez la terre.",
                                                                               "Untranslated line.|-", "File|Fichier",
                                                                               "One nut|Un écrou"};
        QTest::newRow("XLIFF 1.1, po2xliff")
            << "po2xliff" << "g.xlf" << "en>"
            << QStringList{"Tighten the nuts.|Serrez les écrous.", "Check the grounding.|Vérifiez la terre.",
                           "Untranslated line.|", "File|Fichier", "One nut|Un écrou", "%d nuts|%d écrous"};
        QTest::newRow("TMX 1.4, po2tmx")
            << "po2tmx" << "g.tmx" << "en>fr" << QStringList{"Tighten the nuts.|Serrez les écrous.", "File|Fichier", "One nut|Un écrou"};
        QTest::newRow("PO, xliff2po of po2xliff")
            << "xliff2po" << "back.po" << ">fr"
            << QStringList{"Tighten the nuts.|Serrez les écrous.", "Check the grounding.|Vérifiez la terre.",
                           "Untranslated line.|-", "File|Fichier", "One nut|Un écrou"};
        QTest::newRow("XLIFF 2.0") << "" << "g2.xlf" << "en>fr"
                                   << QStringList{"Tighten the nuts.|Serrez les écrous.", "Check the grounding.|-", "!ACME|ACME"};
        QTest::newRow("a table of two languages") << "" << "g.csv" << "en>fr"
                                                  << QStringList{"nut|écrou", "screw|-"};
    }
    void eachFormatGivesItsSegments() {
        QFETCH(QString, made);
        QFETCH(QString, name);
        QFETCH(QString, languages);
        QFETCH(QStringList, segments);
        const QString po = m_dir.filePath("g.po");
        write(po, kPo);
        write(m_dir.filePath("g2.xlf"), kXliff2);
        write(m_dir.filePath("g.csv"), "en,fr\nnut,écrou\nscrew,\n");
        const QString path = m_dir.filePath(name);
        if (!made.isEmpty()) {
            if (QStandardPaths::findExecutable(made).isEmpty()) QSKIP("no Translate Toolkit here (translate-toolkit)");
            if (made == QLatin1String("xliff2po")) {
                QCOMPARE(runClient("po2xliff", {po, m_dir.filePath("g.xlf")}).exitCode, 0);
                QCOMPARE(runClient(made, {m_dir.filePath("g.xlf"), path}).exitCode, 0);
            } else {
                QStringList arguments{po, path};
                if (made == QLatin1String("po2tmx")) arguments << "-l" << "fr";
                QCOMPARE(runClient(made, arguments).exitCode, 0);
            }
        }
        const bilingual::File file = bilingual::read(path);
        QCOMPARE(file.sourceLanguage + u'>' + file.targetLanguage, languages);
        QStringList got;
        for (const bilingual::Segment& segment : file.segments) {
            got << (segment.translatable ? QString() : QStringLiteral("!")) + segment.source + u'|' +
                       (segment.hasTarget ? segment.target : QStringLiteral("-"));
        }
        QCOMPARE(got, segments);
    }

    // Refused in French, naming the file: a format not read, XML not
    // well-formed, entities declared, a PO line that is none.
    void whatIsNoTranslationIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        QTest::newRow("another format") << "a.docx" << QByteArray("x") << "n'est pas d'un format";
        QTest::newRow("not well-formed") << "a.xlf" << QByteArray("<xliff><file>") << "bien formé";
        QTest::newRow("entities declared") << "a.tmx" << QByteArray("<!DOCTYPE tmx [<!ENTITY a \"b\">]><tmx/>") << "propres entités";
        QTest::newRow("not XLIFF") << "a.xlf" << QByteArray("<html/>") << "n'est pas un fichier XLIFF";
        QTest::newRow("a PO line of nothing PO knows") << "a.po" << QByteArray("msgid \"a\"\nbonjour\n") << "ligne 2";
    }
    void whatIsNoTranslationIsRefused() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        const QString path = m_dir.filePath(name);
        write(path, bytes);
        QString message;
        try {
            bilingual::read(path);
        } catch (const ExchangeError& error) {
            message = error.message();
        }
        QVERIFY2(message.contains(said) && message.contains(name), qPrintable(message));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestBilingualFiles)
#include "tst_bilingual_files.moc"
