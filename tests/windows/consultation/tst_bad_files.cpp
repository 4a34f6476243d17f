#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include "consultation_driver.h"
#include "support/card_files.h"
#include "windows/card/frm_fiche.h"
#include "windows/edition/frm_ajout.h"

// Files that are not card files open in every window without harm: their
// slots show what they hold, and nothing is written unless the user saves.
namespace {

QByteArray picture() {
    QImage image(200, 150, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QPainter(&image).drawEllipse(20, 20, 100, 80);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray randomBytes(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(1252);
    for (char& byte : bytes) byte = char(random.bounded(256));
    return bytes;
}

}  // namespace

class TestBadFiles : public QObject {
    Q_OBJECT
private slots:
    void everyWindowReadsItWithoutWriting_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a picture") << picture();
        QTest::newRow("random bytes") << randomBytes(20 * 2799 + 123);
        QByteArray cards;
        {
            WindowTestKit kit;
            cardfiles::writeNumbered(kit.path(), 4);
            cards = cardfiles::contents(kit.path());
        }
        QTest::newRow("a truncated card file") << cards.left(2 * 2799 + 1000);
        QTest::newRow("a partial last slot") << cards.left(3 * 2799 + 1500);
        QTest::newRow("a single byte") << QByteArray("\xE9");
        QTest::newRow("over 32767 slots") << cards + QByteArray(32766 * 2799, '\x81') + randomBytes(2799 * 2);
    }
    void everyWindowReadsItWithoutWriting() {
        QFETCH(QByteArray, bytes);
        WindowTestKit kit;
        {
            QFile file(kit.path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);

        Consultation consultation(kit.path());
        consultation.window->Liste_complete_Click();
        const int rows = consultation.grid().Rows() - 1;
        QCOMPARE(rows, int((qint64(bytes.size()) + 1399) / 2799));
        consultation.search(QStringLiteral("a"));
        consultation.search(QStringLiteral("é"), true);
        consultation.window->Liste_complete_Click();
        consultation.click("triref");
        consultation.click("tridictionnaire");
        consultation.click("tridictionnairecible");
        for (int row : {1, rows}) {
            if (row < 1) continue;
            consultation.grid().setRow(row);
            consultation.grid().setCol(1);
            frm_fiche card(consultation.menu, consultation.grid());
            if (card.Form_Load().isEmpty()) {
                card.precedent_Click();
                card.suivant_Click();
            }
        }

        FakeMainWindow menu;
        menu.path = kit.path();
        Frm_ajout edition(menu);
        QVERIFY(edition.Form_Load());
        edition.precedent_Click();
        edition.precedent_Click();
        edition.suivant_Click();

        QCOMPARE(QCryptographicHash::hash(cardfiles::contents(kit.path()), QCryptographicHash::Sha256), hash);
        // A card number read from such a file may name no slot (zero,
        // negative): the windows say so about that card, and nothing else.
        for (const QString& error : kit.errors()) QVERIFY2(error.contains(QStringLiteral("fiche")), qPrintable(error));
    }
};

QTEST_MAIN(TestBadFiles)
#include "tst_bad_files.moc"
