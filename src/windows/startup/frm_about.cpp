#include "windows/startup/frm_about.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "windows/common/look.h"
#include "windows/common/pictures.h"
#include "windows/common/twips.h"
#include "windows/controls/alert.h"
#include "windows/controls/modal_run.h"
#include "windows/startup/registry.h"
#include "windows/startup/system_information.h"

namespace {

QPointer<frmAbout> g_window;
Registry* g_registry = nullptr;

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, double points, QRect design,
                 const QColor& colour, const QColor& background = QColor(), bool italic = false,
                 Qt::Alignment alignment = Qt::AlignLeft) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(look::timesNewRoman(points, true, italic));
    look::setColours(label, colour, background);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setIndent(0);
    twips::place(label, design.x(), design.y(), design.width(), design.height());
    return label;
}

// One of the decorative lines under the title and above the credits.
void addLine(QWidget* parent, int index, int y, int width, const QColor& colour) {
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("Line1"));
    line->setProperty("index", index);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    line->setGeometry(twips::toPixels(2400), twips::toPixels(y), twips::toPixels(7440 - 2400), width);
}

}  // namespace

frmAbout::frmAbout() : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    // OK, Escape, Enter and the close box all end this window.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
    setWindowTitle(QStringLiteral("Projet Scriptoria Digitale - A propos de"));
    setFixedSize(twips::toPixels(7740), twips::toPixels(4365));
    look::setColours(this, Qt::black, look::kLightYellow);

    const QString product = QStringLiteral("Lexicarium terminologique");
    addLabel(this, "Label1", product, 24, {240, 120, 7215, 615}, Qt::white, look::kLavender, false, Qt::AlignHCenter);
    addLabel(this, "Label2", product, 24, {240, 120, 7215, 615}, palette().color(QPalette::WindowText), QColor(), false,
             Qt::AlignHCenter)
        ->setFrameShape(QFrame::Box);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    look::setColours(icon, Qt::black, look::kLightYellow);
    twips::place(icon, 240, 1080, 1935, 2130);
    pictures::show(icon, pictures::Picture::logo);

    addLabel(this, "lblVersion", QStringLiteral("Version 1.0"), 14.25, {3480, 1080, 2805, 375}, look::kBlue,
             look::kLightOrange, true, Qt::AlignHCenter)
        ->setFrameShape(QFrame::Box);

    addLine(this, 1, 960, 1, Qt::gray);
    addLine(this, 0, 960 + 15, 2, Qt::white);
    addLine(this, 4, 1560, 1, Qt::gray);
    addLine(this, 3, 1560 + 15, 2, Qt::white);
    addLine(this, 2, 1560 + 45, 2, Qt::gray);

    auto* credits = new QGroupBox(QStringLiteral("Crédits"), this);
    credits->setObjectName(QStringLiteral("Frame1"));
    credits->setFont(look::timesNewRoman(9.75, true, true));
    look::setColours(credits, look::kRed, look::kLightOrange);
    twips::place(credits, 2400, 1680, 4815, 2175);
    const struct {
        const char* name;
        const char* text;
        QRect design;
        QColor colour;
        bool italic;
    } creditLabels[] = {
        {"Label4", "Responsable: ", {120, 360, 1095, 225}, Qt::black, false},
        {"Label5", "Équipe Lexicarium", {1320, 360, 1815, 225}, look::kRed, true},
        {"Label3", "Réalisation :", {120, 600, 1215, 225}, Qt::black, false},
        {"Label6", "L'atelier", {1320, 600, 1455, 225}, look::kRed, true},
        {"Label7", "Service informatique des lettres", {360, 840, 2895, 255}, look::kDarkBlue, false},
        {"Label8", "Faculté des lettres et des langues", {360, 1080, 2895, 225}, look::kDarkBlue, false},
        {"Label9", "Université de Val-Lumière, Val-Lumière", {360, 1320, 4335, 225}, look::kDarkBlue, false},
        {"Label10", "Courriel:", {120, 1560, 975, 225}, Qt::black, false},
        {"Label11", "fiches@example.org", {1320, 1560, 1935, 225}, look::kRed, true},
        {"Label12", "Site:", {120, 1800, 735, 225}, Qt::black, false},
        {"Label13", "https://lexicarium.example.org", {600, 1800, 4095, 225}, look::kRed, true},
    };
    for (const auto& credit : creditLabels) {
        addLabel(credits, credit.name, QString::fromUtf8(credit.text), 9.75, credit.design, credit.colour, QColor(),
                 credit.italic);
    }

    auto* disclaimer = new QLabel(this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    twips::place(disclaimer, 5640, 4200, 1215, 345);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setFont(look::msSansSerif(8.25));
    twips::place(ok, 3120, 3960, 1260, 345);
    auto* sysInfo = new QPushButton(QStringLiteral("&Infos système..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    sysInfo->setFont(look::msSansSerif(8.25));
    twips::place(sysInfo, 4800, 3960, 1245, 345);
    setTabOrder(ok, sysInfo);
    connect(ok, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    ok->setFocus();
}

frmAbout& frmAbout::instance() {
    if (!g_window) g_window = new frmAbout;
    return *g_window;
}

frmAbout* frmAbout::current() { return g_window.data(); }

void frmAbout::showModeless() {
    frmAbout& about = instance();
    about.show();
    about.raise();
    about.activateWindow();
}

void frmAbout::showModal(QWidget* over) {
    frmAbout& about = instance();
    if (about.isVisible()) {
        // Already open from another window: bring it forward rather than fail.
        about.raise();
        about.activateWindow();
        return;
    }
    if (over) about.move(over->geometry().center() - about.rect().center());
    ModalRun::exec(&about);
}

void frmAbout::cmdOK_Click() { close(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
    SystemInformation information(g_registry ? *g_registry : Registry::system());
    if (!information.start()) {
        Alert::information(this, QStringLiteral("Les informations système ne sont pas disponibles actuellement"));
    }
}

void frmAbout::setRegistry(Registry* registry) { g_registry = registry; }
