#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

#include "every_window.h"
#include "store/fiche_record.h"

namespace {

double luminance(const QColor& colour) {
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette darkPalette() {
    QPalette dark;
    const QColor window(45, 45, 48);
    const QColor base(30, 30, 30);
    const QColor text(230, 230, 230);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        dark.setColor(group, QPalette::Window, window);
        dark.setColor(group, QPalette::WindowText, text);
        dark.setColor(group, QPalette::Base, base);
        dark.setColor(group, QPalette::AlternateBase, window);
        dark.setColor(group, QPalette::Text, text);
        dark.setColor(group, QPalette::Button, window);
        dark.setColor(group, QPalette::ButtonText, text);
        dark.setColor(group, QPalette::Highlight, QColor(42, 130, 218));
        dark.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    return dark;
}

QColor filling(const QWidget* widget) { return widget->palette().color(widget->backgroundRole()); }

// What shows under a widget's text: its own filled background (a button's
// is its face), else that of the nearest filled sibling drawn beneath it
// over its whole area, else its parent's.
QColor backgroundUnder(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow()) return filling(w);
        const QObjectList& siblings = w->parentWidget()->children();
        for (qsizetype i = siblings.indexOf(w) - 1; i >= 0; --i) {
            const auto* below = qobject_cast<const QWidget*>(siblings[i]);
            if (below && !below->isHidden() && below->autoFillBackground() && below->geometry().contains(w->geometry())) {
                return filling(below);
            }
        }
    }
    return {};
}

struct Text {
    QString where;
    QColor colour;
    QColor background;
};

// Each text a window shows, with its colour and what lies under it.
QList<Text> textsOf(QWidget* window) {
    QList<Text> texts;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window)) continue;
        const QPalette& colours = widget->palette();
        const QString where = window->objectName() + " > " + widget->objectName();
        if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget)) {
            texts.append({where, colours.color(QPalette::Text), colours.color(QPalette::Base)});
        } else if (auto* button = qobject_cast<QPushButton*>(widget); button && !button->text().isEmpty()) {
            texts.append({where, colours.color(QPalette::ButtonText), colours.color(QPalette::Button)});
        } else if ((qobject_cast<QLabel*>(widget) && !static_cast<QLabel*>(widget)->text().isEmpty()) ||
                   qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget) ||
                   qobject_cast<QGroupBox*>(widget)) {
            texts.append({where, colours.color(QPalette::WindowText), backgroundUnder(widget)});
        }
    }
    return texts;
}

QList<Text> textsUnder(const QPalette& palette, const QString& window) {
    QApplication::setPalette(palette);
    WindowTestKit kit;
    EveryWindow windows(kit);
    QWidget* shown = windows.open(window);
    EveryWindow::activate(shown);
    return textsOf(shown);
}

// A colour scheme of the desktop's palette tool: 21 colours per group, in
// the order of the palette's roles.
QPalette schemePalette(const QString& path) {
    QSettings scheme(path, QSettings::IniFormat);
    QPalette palette;
    const std::pair<QPalette::ColorGroup, const char*> groups[] = {
        {QPalette::Active, "ColorScheme/active_colors"},
        {QPalette::Inactive, "ColorScheme/inactive_colors"},
        {QPalette::Disabled, "ColorScheme/disabled_colors"}};
    for (const auto& [group, key] : groups) {
        const QStringList colours = scheme.value(QLatin1String(key)).toStringList();
        for (qsizetype role = 0; role < colours.size() && role < QPalette::NColorRoles; ++role) {
            palette.setColor(group, QPalette::ColorRole(role), QColor(colours[role].trimmed()));
        }
    }
    return palette;
}

// The darkest and the lightest luminance inside an option button's disc or
// a check box's box, its outline left out.
std::pair<double, double> insideIndicator(QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    const bool radio = qobject_cast<QRadioButton*>(button);
    const QRect box = button->style()->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator,
                                                      &option, button);
    const QImage picture = button->grab().toImage();
    const QRect inside = box.center().x() - box.left() > 4 ? box.adjusted(3, 3, -3, -3) : box;
    double darkest = 1.0;
    double lightest = 0.0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const double l = luminance(picture.pixelColor(x, y));
            darkest = std::min(darkest, l);
            lightest = std::max(lightest, l);
        }
    }
    return {darkest, lightest};
}

}  // namespace

class TestDarkTheme : public QObject {
    Q_OBJECT
private slots:
    void init() { Module1::recordBuffer() = Module1::FicheRecord{}; }
    void cleanup() {
        QApplication::setPalette(m_designPalette);
        QApplication::setFont(m_designFont);
    }

    // A dark theme must not take away what the light one the windows were
    // designed under gives: 4.5:1 at least, or the design's own contrast
    // where the designed colours themselves give less.
    void everyTextKeepsItsContrastUnderADarkPalette_data() {
        QTest::addColumn<QString>("window");
        for (const QString& name : EveryWindow::names()) QTest::newRow(name.toUtf8()) << name;
    }
    void everyTextKeepsItsContrastUnderADarkPalette() {
        QFETCH(QString, window);
        const QList<Text> designed = textsUnder(m_designPalette, window);
        const QList<Text> dark = textsUnder(darkPalette(), window);
        QCOMPARE(dark.size(), designed.size());
        QVERIFY(!dark.isEmpty());
        QStringList faults;
        for (qsizetype i = 0; i < dark.size(); ++i) {
            const double wanted = std::min(4.5, contrast(designed[i].colour, designed[i].background));
            const double got = contrast(dark[i].colour, dark[i].background);
            if (got < wanted - 0.01) {
                faults.append(QStringLiteral("%1: %2 on %3, %4:1 where the design gives %5:1")
                                  .arg(dark[i].where, dark[i].colour.name(), dark[i].background.name())
                                  .arg(got, 0, 'f', 2)
                                  .arg(wanted, 0, 'f', 2));
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // Card numbers are drawn in the fixed column in the designed dark blue.
    void theGridsFixedCellsKeepTheirDesignedBackground() {
        QApplication::setPalette(darkPalette());
        WindowTestKit kit;
        EveryWindow windows(kit);
        Consultation& consultation = windows.consultation();
        consultation.window->Liste_complete_Click();
        QApplication::processEvents();
        QAbstractItemModel* model = &consultation.grid().model();
        for (auto orientation : {Qt::Horizontal, Qt::Vertical}) {
            const QColor text = model->headerData(0, orientation, Qt::ForegroundRole).value<QColor>();
            const QColor under = model->headerData(0, orientation, Qt::BackgroundRole).value<QColor>();
            QVERIFY(contrast(text, under) >= 4.5);
        }
    }

    // Unticked, the box is light throughout; ticked, its mark is dark: as
    // the light theme draws them, whatever the palette.
    void optionButtonsShowTheirStateInEveryPalette_data() {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QStringList schemes = {"light", "dark"};
        for (const QFileInfo& file : QDir(QStringLiteral("/usr/share/qt6ct/colors")).entryInfoList({"*.conf"})) {
            schemes.append(file.absoluteFilePath());
        }
        for (const QString& scheme : schemes) {
            const QByteArray name = QFileInfo(scheme).baseName().toUtf8();
            QTest::newRow(name + ": Check1") << scheme << "Menu" << "Check1";
            QTest::newRow(name + ": Option2") << scheme << "Frm_consultation" << "Option2";
        }
    }
    void optionButtonsShowTheirStateInEveryPalette() {
        QFETCH(QString, scheme);
        QFETCH(QString, window);
        QFETCH(QString, control);
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(scheme == "light" ? m_designPalette
                                 : scheme == "dark" ? darkPalette()
                                                    : schemePalette(scheme));
        WindowTestKit kit;
        EveryWindow windows(kit);
        auto* button = windows.open(window)->findChild<QAbstractButton*>(control);
        button->setChecked(false);
        const auto [darkestUnticked, lightestUnticked] = insideIndicator(button);
        button->setChecked(true);
        const auto [darkestTicked, lightestTicked] = insideIndicator(button);
        QVERIFY2(darkestUnticked > 0.5 && darkestTicked < 0.2 && lightestTicked > 0.5,
                 qPrintable(QStringLiteral("unticked %1..%2, ticked %3..%4")
                                .arg(darkestUnticked).arg(lightestUnticked).arg(darkestTicked).arg(lightestTicked)));
    }

    void aLargerThemeFontCutsNoCaption_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::newRow("Menu: Check1") << "Menu" << "Check1";
        QTest::newRow("Consultation: Option1") << "Frm_consultation" << "Option1";
        QTest::newRow("Consultation: Option2") << "Frm_consultation" << "Option2";
    }
    void aLargerThemeFontCutsNoCaption() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFont larger = m_designFont;
        larger.setPointSizeF(m_designFont.pointSizeF() * 1.5);
        QApplication::setFont(larger);
        WindowTestKit kit;
        EveryWindow windows(kit);
        auto* button = windows.open(window)->findChild<QAbstractButton*>(control);
        const QSize needed = button->sizeHint();
        QVERIFY2(button->width() >= needed.width() && button->height() >= needed.height(),
                 qPrintable(QStringLiteral("%1x%2 for %3x%4")
                                .arg(button->width()).arg(button->height()).arg(needed.width()).arg(needed.height())));
    }

private:
    const QPalette m_designPalette = QApplication::palette();
    const QFont m_designFont = QApplication::font();
};

QTEST_MAIN(TestDarkTheme)
#include "tst_dark_theme.moc"
