#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "check/accepted_gaps.h"
#include "check/check_cards.h"
#include "check/terminology_check.h"
#include "exchange/exchange_error.h"
#include "forms/dictionaries.h"
#include "store/data_file.h"

using termcheck::GapKind;

// The check of a translation against the cards, with the French and English
// dictionaries installed: which segments say what of which card.
class TestTerminologyCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!dictionaries::languages().contains("fr") || !dictionaries::languages().contains("en")) {
            QSKIP("the French and English dictionaries are not installed (hunspell-fr, hunspell-en-us)");
        }
        cardfiles::write(m_dir.filePath("cartes.dat"), checkcards::kCards);
    }

    // Each row a segment: what is reported of it, "numéro:kind" (m: missing, d: deprecated).
    void eachSegmentUsesTheTermsOrSaysSo_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("gaps");
        QTest::newRow("inflected source and target") << "Serrez les écrous." << "Tighten the nuts." << QStringList{};
        QTest::newRow("the translation missing, in every card's name")
            << "Serrez les écrous." << "Tighten the bolts." << QStringList{"1:m:nut / hex nut"};
        QTest::newRow("a phrase hides its word") << "Vérifiez la mise à la terre." << "Check the grounding." << QStringList{};
        QTest::newRow("the phrase's translation missing, not the word's")
            << "Vérifiez la mise à la terre." << "Check the earth." << QStringList{"2:m:grounding"};
        QTest::newRow("the word alone elsewhere") << "La terre tourne." << "The world turns." << QStringList{"3:m:earth"};
        QTest::newRow("a synonym answers") << "Une vis." << "A bolt." << QStringList{};
        QTest::newRow("a deprecated term") << "La créance est due." << "The credit is due." << QStringList{"5:d:claim"};
        QTest::newRow("capitals and accents aside") << "ECROU" << "NUT" << QStringList{};
        QTest::newRow("a word beginning alike is no term") << "Les écrouelles." << "Scrofula." << QStringList{};
    }
    void eachSegmentUsesTheTermsOrSaysSo() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QStringList, gaps);
        DataFile data = DataFile::open(m_dir.filePath("cartes.dat"));
        auto glossary = termcheck::TermGlossary::read(data, {"fr", "en"}, termcheck::Direction::expressionsFirst);
        bilingual::File file{"fr", "en", {{"1", source, target, true, true}}};
        const auto report = termcheck::check(*glossary, file, {}, {});
        QStringList got;
        for (const termcheck::Gap& gap : report->gaps) {
            got << QStringLiteral("%1:%2:%3").arg(gap.numero, gap.kind == GapKind::missingTranslation ? "m" : "d", gap.expected);
            QCOMPARE(source.mid(gap.sourceBegin, gap.sourceEnd - gap.sourceBegin).isEmpty(), false);
        }
        QCOMPARE(got, gaps);
    }

    // Segments passed over are counted; a file the other way round is
    // checked the other way; one of other languages is refused.
    void aFileIsCheckedInItsDirection() {
        DataFile data = DataFile::open(m_dir.filePath("cartes.dat"));
        const FileLanguages cards{"fr", "en"};
        QCOMPARE(termcheck::directionOf("a.po", "en", "fr", cards), termcheck::Direction::translationsFirst);
        QCOMPARE(termcheck::directionOf("a.po", "", "", cards), termcheck::Direction::expressionsFirst);
        QCOMPARE(termcheck::directionOf("a.po", "", "en", cards), termcheck::Direction::expressionsFirst);
        QCOMPARE(termcheck::directionOf("a.po", "en", "fr", {}), termcheck::Direction::expressionsFirst);
        QString refused;
        try {
            termcheck::directionOf("a.xlf", "de", "es", cards);
        } catch (const ExchangeError& error) {
            refused = error.message();
        }
        QVERIFY2(refused.contains(QStringLiteral("traduit de l'allemand (de) vers l'espagnol (es), et les fiches vont du "
                                                 "français (fr) vers l'anglais (en)")),
                 qPrintable(refused));
        auto reversed = termcheck::TermGlossary::read(data, cards, termcheck::Direction::translationsFirst);
        bilingual::File file{"en", "fr",
                             {{"1", "Tighten the nuts.", "Serrez les boulons.", true, true},
                              {"2", "Tighten the nuts.", "", false, true},
                              {"3", "nut", "nut", true, false}}};
        const auto report = termcheck::check(*reversed, file, {}, {});
        QCOMPARE(report->gaps.size(), std::size_t(1));
        QCOMPARE(report->gaps[0].numero, QStringLiteral("1"));
        QCOMPARE(report->gaps[0].expected, QStringLiteral("écrou"));
        QCOMPARE(report->withoutTarget, std::size_t(1));
        QCOMPARE(report->notToTranslate, std::size_t(1));
    }

    // An accepted gap is not reported again for that segment, wherever it
    // is kept; the segment rewritten is another one.
    void anAcceptedGapIsNotReportedAgain_data() {
        QTest::addColumn<bool>("besideRefused");
        QTest::newRow("kept beside the file") << false;
        QTest::newRow("kept in the user's folder") << true;
    }
    void anAcceptedGapIsNotReportedAgain() {
        QFETCH(bool, besideRefused);
        qputenv("XDG_DATA_HOME", m_dir.filePath("utilisateur").toUtf8());
        const QString checked = m_dir.filePath(besideRefused ? "refus/revue.xlf" : "revue.xlf");
        QDir().mkpath(QFileInfo(checked).absolutePath());
        // Where a folder bears the name, no file can be written there.
        if (besideRefused) QDir().mkpath(checked + ".ecarts-acceptes");
        DataFile data = DataFile::open(m_dir.filePath("cartes.dat"));
        auto glossary = termcheck::TermGlossary::read(data, {"fr", "en"}, termcheck::Direction::expressionsFirst);
        bilingual::File file{"fr", "en",
                             {{"a", "Serrez l'écrou.", "Tighten it.", true, true},
                              {"b", "Serrez l'écrou.", "Tighten it.", true, true}}};
        const auto gapsLeft = [&] {
            const AcceptedGaps accepted = AcceptedGaps::of(checked);
            return termcheck::check(*glossary, file, [&](const auto& segment, const auto& gap) {
                return accepted.contains(segment, gap);
            }, {})->gaps.size();
        };
        QCOMPARE(gapsLeft(), std::size_t(2));
        AcceptedGaps accepted = AcceptedGaps::of(checked);
        accepted.accept(file.segments[0], termcheck::check(*glossary, file, {}, {})->gaps[0]);
        QCOMPARE(gapsLeft(), std::size_t(1));
        QCOMPARE(QFileInfo(accepted.path()).absolutePath() == QFileInfo(checked).absolutePath(), !besideRefused);
        QVERIFY(QFileInfo(accepted.path()).isFile());
        file.segments[0].source = "Serrez bien l'écrou.";
        QCOMPARE(gapsLeft(), std::size_t(2));
        QFile::remove(accepted.path());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestTerminologyCheck)
#include "tst_terminology_check.moc"
