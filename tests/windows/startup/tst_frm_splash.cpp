#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "windows/common/look.h"
#include "windows/common/twips.h"
#include "windows/startup/frm_splash.h"

namespace {

struct Splash {
    int mainWindowsShown = 0;
    QPointer<frmSplash> window;

    Splash() {
        window = new frmSplash([this] { ++mainWindowsShown; });
        window->show();
    }
    ~Splash() { delete window.data(); }

    bool gone() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }
    QWidget* part(const char* name) const { return window->findChild<QWidget*>(QLatin1String(name)); }
    // A point of the window, from twips inside the frame that holds every part.
    QPoint inFrame(int left, int top) const {
        return part("Frame1")->mapTo(window, QPoint(twips::toPixels(left), twips::toPixels(top)));
    }
    // Where a label's text is drawn: the middle of its first line.
    QPoint onText(const char* name) const {
        auto* label = static_cast<QLabel*>(part(name));
        const QRect text = label->fontMetrics().boundingRect(label->contentsRect(), int(label->alignment()),
                                                              label->text());
        return label->mapTo(window, text.center());
    }
    // A click as a user makes one: on the window, landing on whatever is drawn there.
    void clickAt(QPoint point) { QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, point); }
    QString under(QPoint point) const {
        const QWidget* hit = window->childAt(point);
        return hit ? hit->objectName() : QStringLiteral("window");
    }
};

}  // namespace

class TestFrmSplash : public QObject {
    Q_OBJECT
private slots:
    // The fonts the windows are designed in, or those metrically alike, as
    // the program asks for them at its start.
    void initTestCase() { look::installFontSubstitutes(); }

    void theTimerClosesItAfterThreeSeconds() {
        Splash splash;
        auto* timer = splash.window->findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 3000);
        QTest::qWait(2500);
        QCOMPARE(splash.mainWindowsShown, 0);
        QTRY_COMPARE_WITH_TIMEOUT(splash.mainWindowsShown, 1, 2000);
        QVERIFY(splash.gone());
    }

    void aKeyThatGivesACharacterClosesIt_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("letter") << int(Qt::Key_A) << true;
        QTest::newRow("digit") << int(Qt::Key_7) << true;
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("Shift alone") << int(Qt::Key_Shift) << false;
    }
    void aKeyThatGivesACharacterClosesIt() {
        QFETCH(int, key);
        QFETCH(bool, closes);
        Splash splash;
        QTest::keyClick(splash.window, Qt::Key(key));
        QCOMPARE(splash.mainWindowsShown, closes ? 1 : 0);
        QCOMPARE(splash.gone(), closes);
    }

    // Points in twips inside the frame; overlapping parts decide by what lies on top.
    void aClickActsOnWhatLiesUnderThePointer_data() {
        QTest::addColumn<QPoint>("twips");
        QTest::addColumn<QString>("part");
        QTest::addColumn<bool>("closes");
        QTest::newRow("the frame's empty area") << QPoint(6600, 600) << "Frame1" << true;
        QTest::newRow("the shelf") << QPoint(6600, 2800) << "Image1" << true;
        QTest::newRow("the logo") << QPoint(1000, 2000) << "imgLogo" << true;
        QTest::newRow("the version") << QPoint(4300, 2820) << "Label2" << true;
        QTest::newRow("the credit line") << QPoint(3500, 3720) << "Label4" << true;
        QTest::newRow("the family name") << QPoint(3000, 500) << "Label5" << true;
        QTest::newRow("the product name") << QPoint(4200, 1700) << "Label8" << true;
        QTest::newRow("the product name's edge over the logo") << QPoint(2220, 1700) << "Label8" << true;
        QTest::newRow("the systems' line") << QPoint(4000, 3300) << "Label3" << true;
        QTest::newRow("the date's rectangle over the logo") << QPoint(800, 3300) << "Label9" << false;
    }
    void aClickActsOnWhatLiesUnderThePointer() {
        QFETCH(QPoint, twips);
        QFETCH(QString, part);
        QFETCH(bool, closes);
        Splash splash;
        const QPoint point = splash.inFrame(twips.x(), twips.y());
        QCOMPARE(splash.under(point), part);
        splash.clickAt(point);
        QCOMPARE(splash.mainWindowsShown, closes ? 1 : 0);
        QCOMPARE(splash.gone(), closes);
    }

    void theDateIsDrawnWholeAboveTheLogoAndAClickOnItDoesNothing() {
        Splash splash;
        const QPoint date = splash.onText("Label9");
        QCOMPARE(splash.under(date), QStringLiteral("Label9"));
        // Every letter shows in the date's dark blue, none hidden by the logo.
        auto* label = static_cast<QLabel*>(splash.part("Label9"));
        const QRect text = label->fontMetrics().boundingRect(label->contentsRect(), int(label->alignment()), label->text());
        const QImage drawn = splash.window->grab(QRect(label->mapTo(splash.window, text.topLeft()), text.size())).toImage();
        QImage alone(text.size(), QImage::Format_ARGB32);
        alone.fill(Qt::transparent);
        QPainter painter(&alone);
        painter.setFont(label->font());
        painter.setPen(QColor(0, 0, 192));
        painter.drawText(alone.rect(), int(label->alignment()), label->text());
        painter.end();
        int inks = 0;
        int shown = 0;
        for (int y = 0; y < alone.height(); ++y) {
            for (int x = 0; x < alone.width(); ++x) {
                if (alone.pixelColor(x, y) != QColor(0, 0, 192)) continue;
                ++inks;
                if (drawn.pixelColor(x, y) == QColor(0, 0, 192)) ++shown;
            }
        }
        QVERIFY(inks > 50);
        QCOMPARE(shown, inks);

        splash.clickAt(date);
        splash.clickAt(QPoint(2, 2));  // the window's margin, outside the frame
        QCOMPARE(splash.mainWindowsShown, 0);
        QVERIFY(!splash.gone());
        QVERIFY(splash.window->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    }

    void theMainWindowComesOnceOnly() {
        Splash splash;
        QTest::keyClick(splash.window, Qt::Key_A);
        QTest::qWait(3200);
        QCOMPARE(splash.mainWindowsShown, 1);
    }
};

QTEST_MAIN(TestFrmSplash)
#include "tst_frm_splash.moc"
