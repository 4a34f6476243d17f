#include "windows/main/menu.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "windows/common/fitting.h"
#include "windows/common/keyboard.h"
#include "windows/common/look.h"
#include "windows/common/resize_layout.h"
#include "windows/startup/frm_about.h"
#include "windows/common/twips.h"
#include "windows/common/window_frame.h"
#include "windows/consultation/frm_consultation.h"
#include "windows/controls/common_dialog.h"
#include "windows/main/copies_dialog.h"
#include "windows/edition/frm_ajout.h"
#include "windows/lookup/quick_lookup_service.h"
#include "windows/lookup/shortcut_dialog.h"
#include "windows/controls/alert.h"

namespace {

constexpr int kClientWidth = 4995;

QPushButton* addButton(QWidget* parent, const char* name, const QString& caption, int top) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setFont(look::timesNewRoman(14.25));
    button->setAutoDefault(false);
    twips::place(button, 1680, top, 1935, 495);
    return button;
}

}  // namespace

Menu::Menu(const QString& defaultPath)
    : m_defaultPath(defaultPath), m_commonDialog1(new CommonDialog(QStringLiteral("CommonDialog1"), this)) {
    setObjectName(QStringLiteral("Menu"));
    setWindowTitle(QStringLiteral("Scriptoria Digitale - Menu"));
    auto* client = new QWidget(this);
    look::setColours(client, Qt::black, look::kLightYellow);
    setCentralWidget(client);

    // The frame lies under the buttons and the check box, which stand within its area.
    auto* frame = new QGroupBox(QStringLiteral("Menu :"), client);
    frame->setObjectName(QStringLiteral("Menu"));
    frame->setFont(look::timesNewRoman(12));
    look::setColours(frame, look::kBlue, look::kLightYellow);
    twips::place(frame, 1080, 240, 3135, 2415);

    auto* ajout = addButton(client, "Ajout", QStringLiteral("&Edition"), 840);
    auto* consultation = addButton(client, "Consultation", QStringLiteral("&Consultation"), 1560);
    connect(ajout, &QPushButton::clicked, this, &Menu::Ajout_Click);
    connect(consultation, &QPushButton::clicked, this, &Menu::Consultation_Click);

    m_nomfichier = new QLineEdit(m_defaultPath, client);
    m_nomfichier->setObjectName(QStringLiteral("nomfichier"));
    twips::place(m_nomfichier, 960, 0, 3495, 285);
    // A window of its own that is never shown: hidden, the path box stays
    // out of what assistive tools list of this window.
    m_nomfichier->setWindowFlag(Qt::Window);
    m_nomfichier->hide();

    m_check1 = new QCheckBox(QStringLiteral("&Lexicarium par défaut"), client);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->setChecked(true);
    look::setColours(m_check1, look::kDarkBlue, look::kLightYellow);
    twips::place(m_check1, 1800, 2160, 2295, 375);
    fitting::roomForCaption(m_check1, kClientWidth);
    connect(m_check1, &QCheckBox::clicked, this, &Menu::Check1_Click);
    // Where the data is: the file in use, named in full.
    const auto tellFileInUse = [this](const QString& path) {
        m_check1->setToolTip(path.isEmpty() ? QStringLiteral("Aucun fichier de données choisi\u00A0: les fenêtres le demanderont.")
                                            : QStringLiteral("Fichier de données\u00A0: %1").arg(QDir::toNativeSeparators(path)));
    };
    connect(m_nomfichier, &QLineEdit::textChanged, this, tellFileInUse);
    tellFileInUse(m_defaultPath);

    setTabOrder(ajout, consultation);
    setTabOrder(consultation, m_check1);

    QMenu* fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->setObjectName(QStringLiteral("Fichier"));
    fichier->addAction(QStringLiteral("&Copies du fichier de données..."), this, &Menu::copies_Click)
        ->setObjectName(QStringLiteral("copies"));
    m_raccourci = fichier->addAction(QStringLiteral("&Raccourci de recherche..."), this, &Menu::raccourci_Click);
    m_raccourci->setObjectName(QStringLiteral("raccourci"));
    m_raccourci->setEnabled(false);
    fichier->addAction(QStringLiteral("&Quitter"), this, &Menu::Quitter_Click)->setObjectName(QStringLiteral("Quitter"));
    QMenu* aide = menuBar()->addMenu(QStringLiteral("A&ide"));
    aide->setObjectName(QStringLiteral("aide"));
    aide->addAction(QStringLiteral("&A propos de..."), this, &Menu::about_Click)->setObjectName(QStringLiteral("about"));

    windowframe::addStatusBar(this, QStringLiteral("Scriptoria Digitale - Lexicarium terminologique"), 255, 0);
    windowframe::setClientSize(this, kClientWidth, 3210);
    keyboard::enterPressesButtons(this);
}

QString Menu::dataFilePath() const { return m_nomfichier->text(); }

void Menu::setDataFilePath(const QString& path) { m_nomfichier->setText(path); }

bool Menu::usesDefaultDataFile() const { return m_check1->isChecked(); }

void Menu::showMainWindow() { show(); }

void Menu::showInstead(QWidget* window) {
    m_working = window;
    window->show();
    hide();
}

Frm_ajout* Menu::openEdition() {
    auto* edition = new Frm_ajout(*this);
    if (!edition->Form_Load()) {
        delete edition;
        return nullptr;
    }
    showInstead(edition);
    return edition;
}

void Menu::Ajout_Click() { openEdition(); }

QString Menu::workingWindowInTheWay() const {
    if (!m_working || !m_working->isVisible()) return {};
    const QString name = qobject_cast<Frm_ajout*>(m_working.data()) ? QStringLiteral("Edition")
                                                                      : QStringLiteral("Consultation");
    return QStringLiteral("La fenêtre « %1 » est ouverte : fermez-la d'abord.").arg(name);
}

QString Menu::openCard(const QString& text, const QString& numero) {
    const QString inTheWay = workingWindowInTheWay();
    if (!inTheWay.isEmpty()) return inTheWay;
    auto* consultation = new Frm_consultation(*this);
    consultation->Form_Load();
    showInstead(consultation);
    // The card opens over the window once the look-up has closed.
    QTimer::singleShot(0, consultation, [consultation, text, numero] { consultation->showCard(text, numero); });
    return {};
}

QString Menu::newCard(const QString& expression) {
    const QString inTheWay = workingWindowInTheWay();
    if (!inTheWay.isEmpty()) return inTheWay;
    if (Frm_ajout* edition = openEdition()) edition->setExpression(expression);
    return {};
}

void Menu::setQuickLookup(QuickLookupService* lookup) {
    m_lookup = lookup;
    m_raccourci->setEnabled(lookup != nullptr);
}

void Menu::raccourci_Click() {
    if (!m_lookup) return;
    const auto chosen = ShortcutDialog::choose(this, m_lookup->shortcut());
    if (!chosen) return;
    const QString refused = m_lookup->changeShortcut(*chosen);
    if (!refused.isEmpty()) Alert::error(this, refused);
}

void Menu::Consultation_Click() {
    auto* consultation = new Frm_consultation(*this);
    consultation->Form_Load();
    showInstead(consultation);
}

void Menu::Check1_Click() { m_nomfichier->setText(m_check1->isChecked() ? m_defaultPath : QString()); }

// The copies of the data file the working windows would open; with no file
// chosen yet, asks for one as the Consultation window does.
void Menu::copies_Click() {
    if (dataFilePath().isEmpty()) {
        m_commonDialog1->setFilter(QStringLiteral("Fichiers de données (*.DAT)|*.DAT"));
        m_commonDialog1->ShowOpen(this);
        setDataFilePath(m_commonDialog1->FileName());
    }
    if (!dataFilePath().isEmpty()) CopiesDialog::showFor(this, dataFilePath());
}

void Menu::Quitter_Click() { QCoreApplication::exit(0); }

void Menu::about_Click() { frmAbout::showModeless(); }

void Menu::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Menu::Form_Resize() {
    const QRect outer = frameGeometry();
    const auto cap = resizelayout::mainWindowCap(float(twips::fromPixels(outer.width())),
                                                  float(twips::fromPixels(outer.height())));
    if (!cap) return;
    // The cap is on the outer size; the frame's own share stays as it is.
    resize(twips::toPixels(int(cap->width)) - (outer.width() - width()),
           twips::toPixels(int(cap->height)) - (outer.height() - height()));
}
