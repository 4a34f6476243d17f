#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "exchange/card_import.h"
#include "exchange/exchange_error.h"
#include "exchange/glossary_cards.h"
#include "store/data_file.h"

using Module1::Field;

// Glossaries written by translation tools, standards bodies and public
// translation projects, none for Lexicarium, imported as a user would into
// an empty data file. What each should give is read from the file itself
// by Python's own XML and csv modules (clients.py expect).
namespace {

const QString kGlossaries = QDir::cleanPath(QStringLiteral(GLOSSARIES));
const QString kScript = QStringLiteral(CLIENT_SCRIPTS "/clients.py");

QString glossaryPath(const QString& name) { return kGlossaries + u'/' + name; }

QString failureOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const ExchangeError& error) {
        return error.message();
    }
    return QStringLiteral("<no failure>");
}

}  // namespace

class TestRealGlossaries : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_python;

    QJsonObject expected(const QString& file, const QString& source, const QString& target) {
        QProcess process;
        process.start(m_python, {kScript, QStringLiteral("expect"), glossaryPath(file), source, target});
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            qWarning("%s", process.readAllStandardError().constData());
            return {};
        }
        return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    }

private slots:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("utilisateur")).toUtf8());
        m_python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        QVERIFY2(QFile::exists(glossaryPath(QStringLiteral("SOURCES.md"))), qPrintable(kGlossaries));
    }

    // --- what imports

    void everyTermPairComesInAsTheFileRatesIt_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::newRow("TBX-Basic v2") << "tbxbasic-v2-sample.tbx" << "en" << "fr";
        QTest::newRow("TBX-Basic v3") << "tbxbasic-v3-sample.tbx" << "en" << "fr";
        QTest::newRow("TBX-Basic v3, German") << "tbxbasic-v3-sample.tbx" << "en" << "de";
        QTest::newRow("TBX v3 from a termbase") << "ltac-astronomy-dca-v3.tbx" << "en" << "es";
        QTest::newRow("TBX v3, Zulu and English") << "ltac-astronomy-dca-v3.tbx" << "zu" << "en";
        QTest::newRow("Lokalize, an empty entry") << "lokalize-rawtherapee-en-cs.tbx" << "en" << "cs";
        QTest::newRow("Lokalize, empty terms") << "lokalize-kde-en-nan_TW.tbx" << "en" << "nan";
        QTest::newRow("Lokalize, 349 entries") << "lokalize-disco-elysium-en-cs.tbx" << "en" << "cs";
        QTest::newRow("one-line export") << "ms-terminology-en-ug-trimmed.tbx" << "en" << "ug";
        QTest::newRow("TBX core DTD") << "omegat-oracle-sample.tbx" << "en" << "hu";
        QTest::newRow("Pontoon") << "pontoon-mozilla-terminology-en-pl.tbx" << "en" << "pl";
        QTest::newRow("CSV source, target") << "ms-terms-en-ug.csv" << "" << "";
        QTest::newRow("CSV en, fr, pos, description") << "wordpress-polyglots-fr.csv" << "en" << "fr";
        QTest::newRow("CSV en, fr, es, zh") << "bilan-carbone-glossaire-en-fr.csv" << "en" << "fr";
        QTest::newRow("OmegaT tab-separated") << "omegat-l10n-fr-glossary.txt" << "" << "";
    }
    void everyTermPairComesInAsTheFileRatesIt() {
        QFETCH(QString, file);
        QFETCH(QString, source);
        QFETCH(QString, target);
        if (m_python.isEmpty()) QSKIP("no Python here");
        const QJsonObject expectation = expected(file, source, target);
        const QJsonArray pairs = expectation.value(QStringLiteral("pairs")).toArray();

        const glossary::Glossary read = cardimport::readFile(glossaryPath(file));
        const glossary::Selection selection = glossary::cardsOf(read, {source, target});
        QCOMPARE(qsizetype(selection.cards.size()), pairs.size());
        QCOMPARE(selection.skipped, expectation.value(QStringLiteral("skipped")).toInt());
        if (pairs.isEmpty()) return;

        const QString data = m_dir.filePath(file + QStringLiteral(".dat"));
        QFile::remove(data);
        {
            DataFile file = DataFile::open(data);
            cardimport::apply(file, cardimport::plan(selection.cards, file.recordCount()));
        }
        DataFile stored = DataFile::open(data);
        Module1::FicheRecord fiche;
        for (qsizetype i = 0; i < pairs.size(); ++i) {
            const QJsonArray pair = pairs[i].toArray();
            stored.readSlot(std::int32_t(i) + 1, fiche);
            const CardText card = textOf(fiche);
            QCOMPARE(card[Field::expression], pair[0].toString());
            QCOMPARE(card[Field::traduction], pair[1].toString());
            const QStringList synonyms = pair[2].toVariant().toStringList();
            const QStringList discouraged = pair[3].toVariant().toStringList();
            const QString& misc = card[Field::miscellanea];
            if (!synonyms.isEmpty()) {
                QVERIFY2(misc.contains(QStringLiteral("Synonymes\u00A0: ") + synonyms.join(QStringLiteral(" ; "))),
                         qPrintable(misc));
            }
            if (!discouraged.isEmpty()) {
                QVERIFY2(misc.contains(QStringLiteral("Termes déconseillés\u00A0: ") + discouraged.join(QStringLiteral(" ; "))),
                         qPrintable(misc));
            }
            // No indentation of the file, no separator left by an empty term.
            static const QRegularExpression indentation(QStringLiteral("\t|\n[ ]{2,}"));
            for (const QString& text : card.fields) {
                QVERIFY2(!text.contains(indentation) && !text.endsWith(u';') && !text.startsWith(u';') &&
                             !text.contains(QStringLiteral("; ;")),
                         qPrintable(QStringLiteral("card %1: «%2»").arg(i + 1).arg(text)));
            }
        }
    }

    void termNotesGoToTheMiscellanea_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("card");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("subject field and part of speech")
            << "omegat-oracle-sample.tbx" << 1
            << QStringList{"Domaine\u00A0: manufacturing", "Catégorie grammaticale\u00A0: noun",
                           "A value between 0 and 1 used in ..."};
        QTest::newRow("indentation collapsed") << "tbxbasic-v3-sample.tbx" << 3
                                               << QStringList{"corrective lenses used in eyeglasses to correct presbyopia "
                                                              "and other disorders of accommodation"};
        QTest::newRow("a description column") << "wordpress-polyglots-fr.csv" << 1
                                              << QStringList{"Catégorie grammaticale\u00A0: noun"};
        QTest::newRow("an OmegaT comment") << "omegat-l10n-fr-glossary.txt" << 1
                                           << QStringList{"espace, tabulation, retour à la ligne"};
    }
    void termNotesGoToTheMiscellanea() {
        QFETCH(QString, file);
        QFETCH(int, card);
        QFETCH(QStringList, lines);
        const glossary::Glossary read = cardimport::readFile(glossaryPath(file));
        const glossary::Selection selection = glossary::cardsOf(read, glossary::proposedPair(read));
        const QStringList misc = selection.cards.at(std::size_t(card - 1))[Field::miscellanea].split(QStringLiteral("\r\n"));
        for (const QString& line : lines) {
            QVERIFY2(std::any_of(misc.begin(), misc.end(), [&](const QString& m) { return m.startsWith(line); }),
                     qPrintable(misc.join(u'|')));
        }
    }

    // The languages offered, and the name a card with no reference of its
    // own is given: the file's title (or where it came from), else its name.
    void theFilesOwnLanguagesAreOfferedEnglishToFrenchFirst_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("leftAside");
        QTest::addColumn<QString>("origin");
        QTest::newRow("en fr de") << "tbxbasic-v3-sample.tbx" << QStringList{"en", "fr", "de"} << "en" << "fr"
                                  << QStringList{"de"} << "TBX-Basic Sample File";
        QTest::newRow("en es zu") << "ltac-astronomy-dca-v3.tbx" << QStringList{"en", "es", "zu"} << "en" << "es"
                                  << QStringList{"zu"} << "TBX file, created via MultiTerm Export";
        QTest::newRow("en_US against en-US") << "lokalize-rawtherapee-en-cs.tbx" << QStringList{"en", "cs"} << "en" << "cs"
                                             << QStringList{} << "lokalize-rawtherapee-en-cs.tbx";
        QTest::newRow("named columns, two of them empty")
            << "bilan-carbone-glossaire-en-fr.csv" << QStringList{"en", "fr"} << "en" << "fr"
            << QStringList{} << "bilan-carbone-glossaire-en-fr.csv";  // nothing to leave aside
        QTest::newRow("columns of languages and notes") << "wordpress-polyglots-fr.csv" << QStringList{"en", "fr"} << "en"
                                                        << "fr" << QStringList{} << "wordpress-polyglots-fr.csv";
        QTest::newRow("no languages named") << "ms-terms-en-ug.csv" << QStringList{} << "" << "" << QStringList{}
                                            << "ms-terms-en-ug.csv";
    }
    void theFilesOwnLanguagesAreOfferedEnglishToFrenchFirst() {
        QFETCH(QString, file);
        QFETCH(QStringList, languages);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QStringList, leftAside);
        QFETCH(QString, origin);
        const glossary::Glossary read = cardimport::readFile(glossaryPath(file));
        QCOMPARE(read.languages, languages);
        QCOMPARE(glossary::proposedPair(read).source, source);
        QCOMPARE(glossary::proposedPair(read).target, target);
        QCOMPARE(glossary::cardsOf(read, {source, target}).otherLanguages, leftAside);
        std::vector<CardText> cards(1);
        glossary::referToOrigin(cards, read, glossaryPath(file), QDate(2026, 12, 8));
        QCOMPARE(cards[0][Module1::Field::reference], origin + QStringLiteral(", importé le 08/12/2026"));
    }

    // --- what cannot be used

    void unusableFilesAreRefusedSayingWhy_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("said");
        QTest::newRow("not well-formed") << "tbxbasic-v2-notwellformed.tbx" << "n'est pas un document XML bien formé (ligne";
        QTest::newRow("martifHeader as root") << "sprakradet-308_36-martifHeader-root.tbx" << "«\u00A0martifHeader\u00A0»";
        QTest::newRow("UTF-16") << "omegat-testUTF16LE.txt" << "UTF-16";
        QTest::newRow("a CSV without a header") << "omegat-test-headerless.csv" << "«\u00A0source\u00A0», «\u00A0target\u00A0»";
    }
    void unusableFilesAreRefusedSayingWhy() {
        QFETCH(QString, file);
        QFETCH(QString, said);
        const QString message = failureOf([&] { cardimport::readFile(glossaryPath(file)); });
        QVERIFY2(message.contains(said), qPrintable(message));
        QVERIFY2(message.endsWith(QStringLiteral(" Rien n'a été importé.")) && !message.contains(QStringLiteral(".. ")),
                 qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(TestRealGlossaries)
#include "tst_real_glossaries.moc"
