#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "windows/common/screen_placement.h"
#include "windows/controls/alert.h"

// Where the program's boxes open: centred over the window they belong to,
// wholly on the screen, whatever size they settle at as they are shown.
class TestScreenPlacement : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { screenplacement::install(); }

    void aBoxOpensCentredOverItsWindow_data() {
        QTest::addColumn<QPoint>("windowAt");  // the window's top left, from the screen's
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("centred");      // false: pushed in from the screen's edge
        QTest::newRow("a short message") << QPoint(100, 80) << QStringLiteral("L'enregistrement est terminé.") << true;
        QTest::newRow("a long message")
            << QPoint(100, 80) << QStringLiteral("Le fichier de données ne peut pas être lu. ").repeated(8) << true;
        QTest::newRow("a window at the screen's edge") << QPoint(-250, 80) << QStringLiteral("Aucune fiche.") << false;
    }
    void aBoxOpensCentredOverItsWindow() {
        QFETCH(QPoint, windowAt);
        QFETCH(QString, text);
        QFETCH(bool, centred);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget window;
        window.setGeometry(QRect(screen.topLeft() + windowAt, QSize(500, 400)));
        window.show();
        QRect box;
        QTimer::singleShot(0, &window, [&box] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!shown) return;
            box = shown->frameGeometry();
            shown->accept();
        });
        Alert::information(&window, text);
        QVERIFY(box.isValid());
        QVERIFY2(screen.contains(box), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())));
        if (centred) {
            QVERIFY2((box.center() - window.frameGeometry().center()).manhattanLength() <= 4,
                     qPrintable(QStringLiteral("box %1,%2 window %3,%4").arg(box.center().x()).arg(box.center().y())
                                    .arg(window.frameGeometry().center().x()).arg(window.frameGeometry().center().y())));
        }
    }
};

QTEST_MAIN(TestScreenPlacement)
#include "tst_screen_placement.moc"
