#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "windows/controls/paint_printer.h"

namespace {

QString pdfText(const QString& pdf, int* pages = nullptr) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    if (pages) *pages = int(text.count(u'\f'));
    return text;
}

}  // namespace

class TestPaintPrinter : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QPrinter m_printer{QPrinter::HighResolution};

    QString startPdf(const QString& name) {
        const QString path = m_dir.filePath(name);
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(path);
        m_printer.setPageSize(QPageSize(QPageSize::A4));
        return path;
    }

private slots:
    void initTestCase() {
        // On Windows too where Poppler's pdftotext.exe is on the path; the Wine prefix has none.
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            QSKIP("reads the PDF back with pdftotext (Poppler), which is not installed here");
        }
    }

    void linesFlowDownAndOntoNewPages() {
        const QString pdf = startPdf(QStringLiteral("flow.pdf"));
        {
            PaintPrinter printer(m_printer);
            printer.setFontName(QStringLiteral("verdana"));
            printer.setFontSize(12);
            for (int i = 1; i <= 150; ++i) printer.printLine(QStringLiteral("ligne %1").arg(i));
            printer.endDoc();
        }
        int pages = 0;
        const QString text = pdfText(pdf, &pages);
        QVERIFY(pages >= 2 && pages <= 4);
        QVERIFY(text.contains(QStringLiteral("ligne 1\n")));
        QVERIFY(text.contains(QStringLiteral("ligne 150")));
        // Every line lands once, in order.
        qsizetype from = 0;
        for (int i = 1; i <= 150; ++i) {
            const qsizetype at = text.indexOf(QStringLiteral("ligne %1").arg(i), from);
            QVERIFY2(at >= 0, qPrintable(QString::number(i)));
            from = at;
        }
    }

    void aNewPageJustBeforeTheEndLeavesNoEmptyPage() {
        const QString pdf = startPdf(QStringLiteral("pages.pdf"));
        {
            PaintPrinter printer(m_printer);
            printer.printLine(QStringLiteral("première page"));
            printer.newPage();
            printer.printLine(QStringLiteral("deuxième page"));
            printer.newPage();
            printer.endDoc();
        }
        int pages = 0;
        const QString text = pdfText(pdf, &pages);
        QCOMPARE(pages, 2);
        QVERIFY(text.indexOf(QStringLiteral("première page")) < text.indexOf(u'\f'));
        QVERIFY(text.indexOf(QStringLiteral("deuxième page")) > text.indexOf(u'\f'));
    }

    void textStaysOnTheLineAndStartsAtTheIndent() {
        const QString pdf = startPdf(QStringLiteral("line.pdf"));
        {
            PaintPrinter printer(m_printer);
            printer.setFontName(QStringLiteral("verdana"));
            printer.setFontSize(9);
            printer.print(QStringLiteral("12"));
            printer.setCurrentX(1500);
            printer.printLine(QStringLiteral("source"));
            printer.setCurrentX(1500);
            printer.printLine(QStringLiteral("cible"));
            printer.endDoc();
        }
        const QStringList lines = pdfText(pdf).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 2);
        QVERIFY(lines[0].trimmed().startsWith(QStringLiteral("12")));
        QVERIFY(lines[0].contains(QStringLiteral("source")));
        QCOMPARE(lines[1].indexOf(QStringLiteral("cible")), lines[0].indexOf(QStringLiteral("source")));
    }

    void aLineWiderThanThePageWrapsInsteadOfBeingLost() {
        const QString pdf = startPdf(QStringLiteral("wide.pdf"));
        QStringList words;
        for (int i = 0; i < 60; ++i) words.append(QStringLiteral("mot%1").arg(i));
        {
            PaintPrinter printer(m_printer);
            printer.setFontSize(12);
            printer.printLine(words.join(u' '));
            printer.printLine(QStringLiteral("un\r\ndeux"));
            printer.endDoc();
        }
        const QString text = pdfText(pdf);
        for (const QString& word : words) QVERIFY2(text.contains(word), qPrintable(word));
        QVERIFY(text.split(u'\n', Qt::SkipEmptyParts).size() >= 4);
        QVERIFY(text.contains(QStringLiteral("un\n")));
    }
};

QTEST_MAIN(TestPaintPrinter)
#include "tst_paint_printer.moc"
