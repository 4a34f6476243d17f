#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "check/check_cards.h"
#include "consultation_driver.h"
#include "exchange/client_run.h"
#include "forms/dictionaries.h"
#include "forms/file_languages.h"
#include "store/file_places.h"
#include "windows/common/status_panel.h"
#include "windows/controls/progress.h"
#include "windows/controls/recording_printer.h"
#include "windows/verification/frm_verification.h"

// A reviewer's check of a translation, from the Consultation window's
// command to the gaps worked one by one.
namespace {

const QByteArray kReview = R"(<?xml version="1.0" encoding="UTF-8"?>
<xliff version="1.2" xmlns="urn:oasis:names:tc:xliff:document:1.2">
 <file original="notice" source-language="fr" target-language="en" datatype="plaintext">
  <body>
   <trans-unit id="serrage"><source>Serrez les écrous.</source><target>Tighten the nuts.</target></trans-unit>
   <trans-unit id="boulons"><source>Serrez bien les écrous.</source><target>Tighten the bolts.</target></trans-unit>
   <trans-unit id="dette"><source>La créance est due.</source><target>The credit is due.</target></trans-unit>
   <trans-unit id="vide"><source>La terre.</source></trans-unit>
  </body>
 </file>
</xliff>
)";

const QString kScript = QStringLiteral(CLIENT_SCRIPTS "/clients.py");

using Column = Frm_verification::Column;

}  // namespace

class TestFrmVerification : public QObject {
    Q_OBJECT
private:
    // The cards and the translation in the kit's folder; the window the
    // Consultation window's command opens on it.
    struct Review {
        WindowTestKit kit;
        std::unique_ptr<Consultation> consultation;
        QString checked;

        Review() {
            cardfiles::write(kit.path(), checkcards::kCards);
            FileLanguagesSettings(fileplaces::settingsFile()).keep(kit.path(), {"fr", "en"});
            checked = kit.path("notice.xlf");
            QFile file(checked);
            if (file.open(QIODevice::WriteOnly)) file.write(kReview);
            consultation = std::make_unique<Consultation>(kit.path());
        }
        Frm_verification* open() {
            kit.answers.append(CommonDialog::Choice(checked));
            consultation->window->findChild<QAction*>("verifier")->trigger();
            return qobject_cast<Frm_verification*>(shownWindow("Frm_verification"));
        }
        static QStringList column(Frm_verification* window, int col) {
            QStringList texts;
            for (int row = 1; row < window->Grille01()->Rows(); ++row) texts << window->Grille01()->TextMatrix(row, col);
            return texts;
        }
        static QString summary(Frm_verification* window) {
            return window->findChild<StatusPanel*>(QStringLiteral("Compte"))->text();
        }
    };

private slots:
    void initTestCase() {
        if (!dictionaries::languages().contains("fr") || !dictionaries::languages().contains("en")) {
            QSKIP("the French and English dictionaries are not installed (hunspell-fr, hunspell-en-us)");
        }
    }

    void theGapsAreListedWithTheirTermsMarked() {
        Review review;
        Frm_verification* window = review.open();
        QVERIFY(window);
        QCOMPARE(review.kit.dialogs.value(0).kind, CommonDialog::Kind::open);
        QVERIFY(review.kit.dialogs.value(0).filter.contains("*.xlf *.xliff *.tmx *.po *.csv *.xlsx *.ods"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Vérification terminologique - notice.xlf"));
        QCOMPARE(Review::column(window, Column::segmentColumn), (QStringList{"boulons", "dette"}));
        QCOMPARE(Review::column(window, Column::expectedColumn), (QStringList{"nut / hex nut", "claim"}));
        QCOMPARE(Review::column(window, Column::gapColumn),
                 (QStringList{"traduction absente", "terme déconseillé\u00A0: credit"}));
        QCOMPARE(Review::column(window, Column::numberColumn), (QStringList{"1", "5"}));
        const GridModel& model = window->Grille01()->model();
        const auto marked = [&](int row, int col) {
            const GridModel::Cell& cell = model.cell(row, col);
            return cell.text.mid(cell.markBegin, cell.markLength);
        };
        QCOMPARE(marked(1, Column::sourceColumn), QStringLiteral("écrous"));
        QCOMPARE(marked(2, Column::sourceColumn), QStringLiteral("créance"));
        QCOMPARE(marked(2, Column::targetColumn), QStringLiteral("credit"));
        QCOMPARE(Review::summary(window), QStringLiteral("2 écarts dans 2 segments sur 4 (1 segment sans traduction)"));
        window->findChild<QAction*>("triecart")->trigger();
        QCOMPARE(Review::column(window, Column::segmentColumn), (QStringList{"dette", "boulons"}));
        window->findChild<QAction*>("triordre")->trigger();
        QCOMPARE(Review::column(window, Column::segmentColumn), (QStringList{"boulons", "dette"}));
        window->close();
    }

    void enterOpensTheCardOfTheGap() {
        Review review;
        Frm_verification* window = review.open();
        QVERIFY(window);
        window->Grille01()->setFocus();
        window->Grille01()->setRow(2);
        window->Grille01()->setCol(Column::sourceColumn);
        QString shown;
        review.kit.onModal = [&](QWidget* card) {
            shown = card->findChild<QPlainTextEdit*>(QStringLiteral("txtexpression"))->toPlainText();
        };
        QTest::keyClick(window->Grille01(), Qt::Key_Return);
        QCOMPARE(shown, QStringLiteral("créance"));
        window->close();
    }

    // Accepted, a gap leaves the list, and stays away when the file is checked again.
    void anAcceptedGapIsGoneForGood() {
        Review review;
        Frm_verification* window = review.open();
        QVERIFY(window);
        window->Grille01()->setRow(1);
        QTest::mouseClick(window->findChild<QPushButton*>("accepter"), Qt::LeftButton);
        QCOMPARE(Review::column(window, Column::segmentColumn), QStringList{"dette"});
        QCOMPARE(Review::summary(window), QStringLiteral("1 écart dans 1 segment sur 4 (1 segment sans traduction)"));
        window->close();
        Frm_verification* again = review.open();
        QVERIFY(again);
        QCOMPARE(Review::column(again, Column::segmentColumn), QStringList{"dette"});
        QVERIFY(QFile::exists(review.checked + ".ecarts-acceptes"));
        again->close();
    }

    void theListIsExportedAndPrinted_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::newRow("csv by the filter") << "rapport" << 1 << "rapport.csv";
        QTest::newRow("xlsx by its name") << "rapport.xlsx" << 1 << "rapport.xlsx";
        QTest::newRow("ods by the filter") << "rapport" << 3 << "rapport.ods";
    }
    void theListIsExportedAndPrinted() {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, written);
        Review review;
        Frm_verification* window = review.open();
        QVERIFY(window);
        review.kit.answers.append(CommonDialog::Choice(review.kit.path(typed), filter));
        QTest::mouseClick(window->findChild<QPushButton*>("exporter"), Qt::LeftButton);
        QCOMPARE(review.kit.messageTexts().value(0),
                 QStringLiteral("2 écarts exportés dans «\u00A0%1\u00A0».").arg(QDir::toNativeSeparators(review.kit.path(written))));
        // As Python's csv module, openpyxl and odfpy read it.
        const bool csv = written.endsWith(".csv");
        const ClientRun read = runClient("/usr/bin/python3", {kScript, csv ? "read-csv" : "read-workbook",
                                                              review.kit.path(written), ","});
        if (read.exitCode != 0) QSKIP(qPrintable("Python could not read it: " + QString::fromUtf8(read.err)));
        const QJsonArray rows = QJsonDocument::fromJson(read.out).array();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].toArray()[2].toString(), QStringLiteral("Terme"));
        QCOMPARE(rows[2].toArray()[7].toString(), QStringLiteral("credit"));

        QStringList record;
        Printer::setFactory([&] { return std::make_unique<RecordingPrinter>(&record); });
        QTest::mouseClick(window->findChild<QPushButton*>("imprimer"), Qt::LeftButton);
        Printer::setFactory({});
        QVERIFY(record.contains("line Vérification terminologique - notice.xlf"));
        QVERIFY(record.contains("line Segment dette — fiche n° 5 — terme déconseillé\u00A0: credit"));
        QVERIFY(record.contains("line La créance est due."));
        QCOMPARE(record.last(), QStringLiteral("end"));
        window->close();
    }

    // A check cancelled or refused shows no window, and says why it was refused.
    void aCheckThatDoesNotEndShowsNoWindow() {
        Review review;
        Progress::setObserver([](int, int) { return false; });
        QVERIFY(!review.open());
        Progress::setObserver({});
        QVERIFY(review.kit.messages.isEmpty());
        review.checked = review.kit.path("absente.po");
        QVERIFY(!review.open());
        QVERIFY2(review.kit.errors().value(0).contains("absente.po"), qPrintable(review.kit.errors().value(0)));
    }
};

QTEST_MAIN(TestFrmVerification)
#include "tst_frm_verification.moc"
