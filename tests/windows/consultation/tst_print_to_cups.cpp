#include <QDateTime>
#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>

#include "consultation_driver.h"
#include "support/card_files.h"
#include "windows/card/frm_fiche.h"

// Printing from the windows to a real CUPS queue whose backend writes PDF
// files into $LEXICARIUM_PDF_OUTPUT, as a user prints: the set-up dialog, then the document.
namespace {

const QString kQueue = QStringLiteral("Lexicarium-PDF");

QString outputFolder() { return qEnvironmentVariable("LEXICARIUM_PDF_OUTPUT"); }

// The PDF the queue writes after the given moment, once it is complete.
QString awaitPdf(const QDateTime& after) {
    QString found;
    qint64 lastSize = -1;
    for (int tries = 0; tries < 120; ++tries) {
        QTest::qWait(250);
        const QFileInfoList files = QDir(outputFolder()).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
        if (files.isEmpty() || files.first().lastModified() < after) continue;
        if (files.first().size() > 0 && files.first().size() == lastSize) return files.first().filePath();
        lastSize = files.first().size();
        found = files.first().filePath();
    }
    return found;
}

QStringList pages(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    QStringList all = QString::fromUtf8(process.readAllStandardOutput()).split(u'\f');
    if (!all.isEmpty() && all.last().trimmed().isEmpty()) all.removeLast();
    return all;
}

}  // namespace

class TestPrintToCups : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
#ifdef _WIN32
        QSKIP("reads what a CUPS queue printed: Windows has no CUPS. Under Wine the same jobs do reach the queue, "
              "through Wine's PostScript driver, which draws the letters as pictures that no PDF reader turns "
              "back into text");
#endif
        if (outputFolder().isEmpty() || QPrinterInfo::printerInfo(kQueue).isNull()) {
            QSKIP("No CUPS queue 'Lexicarium-PDF': the CUPS server could not be started or the queue added "
                  "(scripts/test starts cupsd and adds it when it may)");
        }
        CommonDialog::sharedPrinter().setOutputFormat(QPrinter::NativeFormat);
        CommonDialog::sharedPrinter().setPrinterName(kQueue);
        CommonDialog::sharedPrinter().setPageSize(QPageSize(QPageSize::A4));
    }

    void aResultListOfSeventyCardsBreaksAfterTheSixtySeventh() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 70);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
        consultation.window->imprimer_Click();
        QVERIFY(kit.errors().isEmpty());
        const QString pdf = awaitPdf(start);
        QVERIFY2(!pdf.isEmpty(), "the queue wrote no PDF");
        const QStringList printed = pages(pdf);
        QVERIFY(printed.size() >= 2);
        QVERIFY(printed.first().contains(QStringLiteral("N° Fiche")));
        QVERIFY(printed.first().contains(QStringLiteral("Entrées texte source")));
        QVERIFY(printed.first().contains(QString(60, u'-')));
        const QString all = printed.join(u'\f');
        for (int card = 1; card <= 70; ++card) QVERIFY(all.contains(QStringLiteral("source %1\n").arg(card)));
        // Cards 68 to 70 stand alone on the last page, which starts with card 68.
        QVERIFY(printed.last().trimmed().startsWith(QStringLiteral("68")));
        QVERIFY(!printed.last().contains(QStringLiteral("source 67\n")));
        QCOMPARE(printed.join(QString()).count(QString(69, u'_')), 70);
    }

    void aCardPrintsOnOnePage() {
        WindowTestKit kit;
        cardfiles::writeNumbered(kit.path(), 3);
        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        consultation.grid().setRow(2);
        frm_fiche card(consultation.menu, consultation.grid());
        QCOMPARE(card.Form_Load(), QString());
        const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
        card.imprimer_Click();
        QVERIFY(kit.errors().isEmpty());
        const QString pdf = awaitPdf(start);
        QVERIFY2(!pdf.isEmpty(), "the queue wrote no PDF");
        const QStringList printed = pages(pdf);
        QCOMPARE(printed.size(), 1);
        const QString text = printed.first();
        QVERIFY(text.contains(QStringLiteral("Lexicarium terminologique")));
        QVERIFY(text.contains(QStringLiteral("Réference: ref 2")));
        // "fiche" is set with the fi ligature, which the text layer gives back as one glyph.
        QVERIFY(text.contains(QStringLiteral("Traduction: traduction 2")));
        QVERIFY(text.contains(QStringLiteral("Entrées texte cible: cible 2")));
        QVERIFY(text.indexOf(QStringLiteral("Contexte:")) < text.indexOf(QStringLiteral("contexte 2")));
    }
};

QTEST_MAIN(TestPrintToCups)
#include "tst_print_to_cups.moc"
