#include <QTest>
#include <cmath>

#include "fixed_metrics.h"
#include "windows/common/convert.h"
#include "windows/common/resize_layout.h"

using resizelayout::Margins;

class TestResizeLayout : public QObject {
    Q_OBJECT
private slots:
    // --- PixelsToTwips

    void factorsAreRoundedHalfToEven_data() {
        QTest::addColumn<float>("factor");
        QTest::addColumn<int>("twips");
        QTest::newRow("12.5 as 12") << 12.5f << 120;
        QTest::newRow("11.5 as 12") << 11.5f << 120;
        QTest::newRow("13.5 as 14") << 13.5f << 140;
        QTest::newRow("15") << 15.0f << 150;
    }
    void factorsAreRoundedHalfToEven() {
        QFETCH(float, factor);
        QFETCH(int, twips);
        FixedMetrics screen;
        screen.factorX = screen.factorY = factor;
        std::int16_t x = 10;
        std::int16_t y = 10;
        convert::PixelsToTwips(x, y, screen);
        QCOMPARE(int(x), twips);
        QCOMPARE(int(y), twips);
    }

    void anOverflowingProductLeavesWhatItDidNotConvert() {
        FixedMetrics screen;
        std::int16_t x = 2185;
        std::int16_t y = 8;
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, convert::PixelsToTwips(x, y, screen));
        QCOMPARE(int(x), 2185);
        QCOMPARE(int(y), 8);
        x = 8;
        y = 2185;
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, convert::PixelsToTwips(x, y, screen));
        QCOMPARE(int(x), 120);
        QCOMPARE(int(y), 2185);
    }

    // --- fitting the large control

    void theWorkingWindowsFitTheirControl_data() {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<float>("statusBar");
        QTest::addColumn<int>("marginA");
        QTest::addColumn<int>("marginB");
        QTest::addColumn<float>("controlWidth");
        QTest::addColumn<float>("controlHeight");
        QTest::newRow("Edition") << 10020.f << 8325.f << 330.f << 1650 << 4900 << 8250.f << 2405.f;
        QTest::newRow("Consultation") << 10065.f << 8160.f << 300.f << 240 << 1650 << 9705.f << 5520.f;
    }
    void theWorkingWindowsFitTheirControl() {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(float, statusBar);
        QFETCH(int, marginA);
        QFETCH(int, marginB);
        QFETCH(float, controlWidth);
        QFETCH(float, controlHeight);
        const auto fit = resizelayout::fit(width, height, statusBar, FixedMetrics(), Margins{marginA, marginB});
        QCOMPARE(fit.width.value(), controlWidth);
        QCOMPARE(fit.height.value(), controlHeight);
    }

    void aTinyWindowKeepsTheControlsSizeWithoutComplaint() {
        const auto fit = resizelayout::fit(1000, 3000, 330, FixedMetrics(), Margins{1650, 4900});
        QVERIFY(!fit.width);
        QVERIFY(!fit.height);
        const auto narrow = resizelayout::fit(1000, 9000, 330, FixedMetrics(), Margins{1650, 4900});
        QVERIFY(!narrow.width);
        QCOMPARE(narrow.height.value(), 9000.f - 330 - 690 - 4900);
    }

    void failingAllowancesAreSkipped() {
        FixedMetrics huge;
        huge.frameX = 20000;  // 2 x 20000 does not fit 16 bits: the allowance stays 0
        huge.frameY = 1100;   // 2238 pixels fit, but not once in twips: it stays in pixels
        const auto fit = resizelayout::fit(10020, 8325, 330, huge, Margins{1650, 4900});
        QCOMPARE(fit.width.value(), 10020.f - 0 - 1650);
        QCOMPARE(fit.height.value(), 8325.f - 330 - 2238 - 4900);
        huge.frameY = 4;
        huge.caption = 3000;  // 3027 pixels overflow in twips: vertical stays in pixels, horizontal converted
        huge.frameX = 4;
        const auto partial = resizelayout::fit(10020, 8325, 330, huge, Margins{1650, 4900});
        QCOMPARE(partial.width.value(), 10020.f - 120 - 1650);
        QCOMPARE(partial.height.value(), 8325.f - 330 - 3027 - 4900);
    }

    // --- system metrics at any display scaling

    // The system gives its metrics in physical pixels, scaled with the display;
    // the twips factor counts device-independent pixels. Brought to those, the
    // allowances and the large control are the same at every scaling.
    void systemMetricsAreCountedInTheTwipsFactorsPixels_data() {
        QTest::addColumn<double>("scale");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("125 %") << 1.25;
        QTest::newRow("150 %") << 1.5;
        QTest::newRow("200 %") << 2.0;
    }
    void systemMetricsAreCountedInTheTwipsFactorsPixels() {
        QFETCH(double, scale);
        // Frame 4, caption 19 and menu bar 19 pixels at 96 DPI, scaled as Windows scales them.
        struct ScalingSystem : PhysicalMetrics {
            int at(int index, unsigned dpi) const override {
                const FixedMetrics at96;
                return int(std::lround(at96.GetSystemMetrics(index) * dpi / 96.0));
            }
        } system;
        const unsigned dpi = unsigned(std::lround(96 * scale));
        QCOMPARE(system.at(PlatformMetrics::SM_CYCAPTION, dpi), int(std::lround(19 * scale)));
        const ScaledMetrics metrics(system, dpi, scale, 15.0f);
        QCOMPARE(metrics.GetSystemMetrics(PlatformMetrics::SM_CXFRAME), 4);
        QCOMPARE(metrics.GetSystemMetrics(PlatformMetrics::SM_CYCAPTION), 19);
        QCOMPARE(metrics.GetSystemMetrics(PlatformMetrics::SM_CYMENU), 19);
        const auto fit = resizelayout::fit(10020, 8325, 330, metrics, Margins{1650, 4900});
        QCOMPARE(fit.width.value(), 8250.f);
        QCOMPARE(fit.height.value(), 2405.f);
    }

    // --- the main window's cap

    void theMainWindowIsCapped_data() {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<bool>("capped");
        QTest::newRow("5116 x 3901 stays") << 5116.f << 3901.f << false;
        QTest::newRow("5117 x 2000 capped, height too") << 5117.f << 2000.f << true;
        QTest::newRow("3000 x 3902 capped") << 3000.f << 3902.f << true;
        QTest::newRow("3000 x 2000 stays") << 3000.f << 2000.f << false;
    }
    void theMainWindowIsCapped() {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(bool, capped);
        const auto cap = resizelayout::mainWindowCap(width, height);
        QCOMPARE(bool(cap), capped);
        if (cap) {
            QCOMPARE(cap->width, 5115.f);
            QCOMPARE(cap->height, 3900.f);
        }
    }
};

QTEST_MAIN(TestResizeLayout)
#include "tst_resize_layout.moc"
