#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QFile>
#include <cmath>
#include <cstring>

#include "every_window.h"
#include "store/fiche_record.h"

namespace {

QRect indicatorOf(QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool radio = qobject_cast<QRadioButton*>(button);
    return button->style()->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator,
                                           &option, button);
}

// The device-pixel row at which a box's edge shows, scanning a column of
// the window's picture from outside the box inwards: the first pixel that
// is not the background around the box.
int edgeRow(const QImage& picture, int x, int from, int step) {
    const QRgb outside = picture.pixel(x, from);
    int row = from;
    while (row >= 0 && row < picture.height() && picture.pixel(x, row) == outside) row += step;
    return row;
}

}  // namespace

// Run once per display scale: `--scale 1.5` sets the platform's factor.
class TestDisplayScale : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }

    void theFactorIsTheOneAsked() { QVERIFY(qApp->devicePixelRatio() > 1.0); }

    // At 150 % and more, the working windows' designed sizes are taller
    // than the screen.
    void everyWindowLiesWithinTheScreen_data() {
        QTest::addColumn<QString>("window");
        for (const QString& name : EveryWindow::names()) QTest::newRow(qPrintable(name)) << name;
    }
    void everyWindowLiesWithinTheScreen() {
        QFETCH(QString, window);
        WindowTestKit kit;
        EveryWindow windows(kit);
        QWidget* shown = windows.open(window);
        QVERIFY(EveryWindow::activate(shown));
        const QRect area = shown->screen()->availableGeometry();
        QVERIFY2(area.contains(shown->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(shown->frameGeometry().x()).arg(shown->frameGeometry().y())
                                .arg(shown->frameGeometry().width()).arg(shown->frameGeometry().height())));
        // The large control refits to what the window could have.
        if (auto* grid = shown->findChild<QWidget*>("MSFlexGrid1")) QVERIFY(shown->rect().contains(grid->geometry()));
        if (auto* context = shown->findChild<QWidget*>("txtcontexte")) {
            QVERIFY(shown->rect().contains(context->geometry()));
        }
    }

    void indicatorsLieInsideTheirControls_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::newRow("Menu: Check1") << "Menu" << "Check1";
        QTest::newRow("Consultation: Option1") << "Frm_consultation" << "Option1";
        QTest::newRow("Consultation: Option2") << "Frm_consultation" << "Option2";
    }
    void indicatorsLieInsideTheirControls() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        WindowTestKit kit;
        EveryWindow windows(kit);
        auto* button = windows.open(window)->findChild<QAbstractButton*>(control);
        const QRect indicator = indicatorOf(button);
        QVERIFY2(button->rect().contains(indicator),
                 qPrintable(QStringLiteral("indicator %1,%2 %3x%4 in %5x%6")
                                .arg(indicator.x()).arg(indicator.y()).arg(indicator.width())
                                .arg(indicator.height()).arg(button->width()).arg(button->height())));
        QVERIFY(button->height() >= button->sizeHint().height());
    }

    void multiLineBoxesKeepBothBorders_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("Edition") << "Frm_ajout";
        QTest::newRow("Card") << "frm_fiche";
    }
    void multiLineBoxesKeepBothBorders() {
        QFETCH(QString, window);
        WindowTestKit kit;
        EveryWindow windows(kit);
        QWidget* shown = windows.open(window);
        QVERIFY(EveryWindow::activate(shown));
        const QPixmap grabbed = shown->grab();
        const qreal ratio = grabbed.devicePixelRatio();
        QCOMPARE(ratio, qApp->devicePixelRatio());
        const QImage picture = grabbed.toImage();
        QStringList faults;
        for (auto* box : shown->findChildren<QPlainTextEdit*>()) {
            const QRect area(box->mapTo(shown, QPoint(0, 0)), box->size());
            const int x = int(std::lround((area.left() + area.width() / 3) * ratio));
            const QRgb base = box->palette().color(QPalette::Base).rgb();
            const int top = edgeRow(picture, x, int(std::floor(area.top() * ratio)) - 2, +1);
            const int bottom = edgeRow(picture, x, int(std::ceil((area.bottom() + 1) * ratio)) + 1, -1);
            if (picture.pixel(x, top) == base) faults.append(box->objectName() + " has lost its top border");
            if (picture.pixel(x, bottom) == base) faults.append(box->objectName() + " has lost its bottom border");
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void picturesAreDrawnAtTheDisplaysResolution_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("picture");
        QTest::newRow("splash logo") << "frmSplash" << "imgLogo";
        QTest::newRow("book shelf") << "frmSplash" << "Image1";
        QTest::newRow("About logo") << "frmAbout" << "picIcon";
    }
    void picturesAreDrawnAtTheDisplaysResolution() {
        QFETCH(QString, window);
        QFETCH(QString, picture);
        WindowTestKit kit;
        EveryWindow windows(kit);
        auto* label = windows.open(window)->findChild<QLabel*>(picture);
        const QPixmap shown = label->pixmap();
        const qreal ratio = qApp->devicePixelRatio();
        QCOMPARE(shown.devicePixelRatio(), ratio);
        QCOMPARE(shown.size(), (QSizeF(label->size()) * ratio).toSize());
        QVERIFY(!label->hasScaledContents());
    }

    // As when its window has moved from a screen of another scale.
    void aPictureDrawnForAnotherScaleIsDrawnAgainWhenShown() {
        WindowTestKit kit;
        EveryWindow windows(kit);
        QWidget* about = windows.open("frmAbout");
        QVERIFY(EveryWindow::activate(about));
        auto* label = about->findChild<QLabel*>("picIcon");
        label->setPixmap(QPixmap(label->size()));
        label->repaint();
        QCOMPARE(label->pixmap().devicePixelRatio(), qApp->devicePixelRatio());
        QCOMPARE(label->pixmap().size(), (QSizeF(label->size()) * qApp->devicePixelRatio()).toSize());
    }

    void theSearchButtonsFaceIsDrawnAtTheDisplaysResolution() {
        WindowTestKit kit;
        EveryWindow windows(kit);
        auto* command1 = windows.consultation().child<QPushButton>("Command1");
        const qreal ratio = qApp->devicePixelRatio();
        const QPixmap face = command1->icon().pixmap(command1->iconSize(), ratio);
        QCOMPARE(face.size(), (QSizeF(command1->iconSize()) * ratio).toSize());
    }
};

int main(int argc, char** argv) {
    QByteArray scale = "2";
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            scale = argv[++i];
        } else {
            args.push_back(argv[i]);
        }
    }
    qputenv("QT_SCALE_FACTOR", scale);
    // The smallest laptop screen in use: 1280 x 800 pixels. Named relative
    // to the working folder, as the platform's arguments are split at colons
    // (a drive letter's included), and closed before the platform reads it.
    const QString screens = QStringLiteral("display-scale-screens.json");
    {
        QFile file(screens);
        if (!file.open(QIODevice::WriteOnly)) return 1;
        file.write(R"({"screens": [{"name": "laptop", "width": 1280, "height": 800}]})");
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.toLocal8Bit());
    int count = int(args.size());
    QApplication app(count, args.data());
    TestDisplayScale test;
    const int failed = QTest::qExec(&test, count, args.data());
    QFile::remove(screens);
    return failed;
}

#include "tst_display_scale.moc"
