#include <QTest>
#include <QTimer>

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
    void click(const char* name) {
        QWidget* part = window->findChild<QWidget*>(QLatin1String(name));
        QVERIFY2(part, name);
        QTest::mouseClick(part, Qt::LeftButton, {}, QPoint(2, 2));
    }
};

}  // namespace

class TestFrmSplash : public QObject {
    Q_OBJECT
private slots:
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

    void eachActivePartClosesIt_data() {
        QTest::addColumn<QString>("part");
        for (const char* name : {"Frame1", "Image1", "imgLogo", "Label2", "Label3", "Label4", "Label5", "Label8"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void eachActivePartClosesIt() {
        QFETCH(QString, part);
        Splash splash;
        splash.click(qPrintable(part));
        QCOMPARE(splash.mainWindowsShown, 1);
        QVERIFY(splash.gone());
    }

    void theDateAndTheMarginDoNothingAndTheTimerStillRuns() {
        Splash splash;
        splash.click("Label9");
        QTest::mouseClick(splash.window, Qt::LeftButton, {}, QPoint(2, 2));
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
