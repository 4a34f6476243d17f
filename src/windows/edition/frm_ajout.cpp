#include "windows/edition/frm_ajout.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include "store/data_file.h"
#include "store/number_text.h"
#include "store/store_error.h"
#include "windows/card/card_history_dialog.h"
#include "windows/card/field_limits.h"
#include "windows/common/card_number.h"
#include "windows/common/card_saving.h"
#include "windows/common/data_file_failure.h"
#include "windows/common/keyboard.h"
#include "windows/common/look.h"
#include "windows/common/resize_layout.h"
#include "windows/startup/frm_about.h"
#include "windows/common/main_window_link.h"
#include "windows/common/twips.h"
#include "windows/common/window_frame.h"
#include "windows/controls/alert.h"
#include "windows/controls/busy_cursor.h"
#include "windows/controls/common_dialog.h"
#include "windows/edition/duplicate_watch.h"
#include "windows/edition/import_flow.h"
#include "windows/edition/number_watch.h"

namespace {

const QString kDataFileFilter = QStringLiteral("Fichiers de données (*.DAT)|*.DAT");

QPushButton* addButton(QWidget* parent, const char* name, const QString& caption, QRect design) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    twips::place(button, design.x(), design.y(), design.width(), design.height());
    return button;
}

}  // namespace

Frm_ajout::Frm_ajout(MainWindowLink& menu, QWidget* parent)
    : QMainWindow(parent),
      m_menu(menu),
      m_commonDialog1(new CommonDialog(QStringLiteral("CommonDialog1"), this)),
      m_commonDialog3(new CommonDialog(QStringLiteral("CommonDialog3"), this)),
      m_client(new QWidget(this)),
      m_boxes(m_client) {
    setObjectName(QStringLiteral("Frm_ajout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Scriptoria Digitale - Lexicarium terminologique - Edition"));
    setCentralWidget(m_client);
    QWidget* client = m_client;

    m_txtnumero = new QLineEdit(client);
    m_txtnumero->setObjectName(QStringLiteral("txtnumero"));
    m_txtnumero->setFont(look::timesNewRoman(12));
    look::setTypedTextColour(m_txtnumero, look::kBlue);
    m_txtnumero->setAccessibleName(QStringLiteral("Numéro de la fiche"));
    twips::place(m_txtnumero, 8280, 120, 1335, 375);

    m_enregistrer = addButton(client, "Enregistrer", QStringLiteral("&Enregistrer"), {8160, 720, 1575, 495});
    m_new = addButton(client, "new", QStringLiteral("&Nouveau"), {8160, 1320, 1575, 495});
    m_precedent = addButton(client, "precedent", QStringLiteral("<<"), {8280, 1920, 615, 495});
    m_suivant = addButton(client, "suivant", QStringLiteral(">>"), {9000, 1920, 615, 495});
    m_precedent->setAccessibleName(QStringLiteral("Fiche précédente"));
    m_suivant->setAccessibleName(QStringLiteral("Fiche suivante"));
    connect(m_enregistrer, &QPushButton::clicked, this, &Frm_ajout::Enregistrer_Click);
    connect(m_new, &QPushButton::clicked, this, &Frm_ajout::new_Click);
    connect(m_precedent, &QPushButton::clicked, this, &Frm_ajout::precedent_Click);
    connect(m_suivant, &QPushButton::clicked, this, &Frm_ajout::suivant_Click);

    // The designed tab order: Enregistrer, the number, the seven boxes, then Nouveau, << and >>.
    QWidget* order[] = {m_enregistrer, m_txtnumero, m_boxes.txtreference(), m_boxes.txtexpression(),
                        m_boxes.txttraduction(), m_boxes.txtmiscellanea(), m_boxes.txtdictionnaire(),
                        m_boxes.txtdictionnairecible(), m_boxes.txtcontexte(), m_new, m_precedent, m_suivant};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    QMenu* fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->setObjectName(QStringLiteral("Fichier"));
    QAction* enregistrer = fichier->addAction(QStringLiteral("&Enregistrer"), this, &Frm_ajout::mnu_Enregistrer_Click);
    enregistrer->setObjectName(QStringLiteral("mnu_Enregistrer"));
    enregistrer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_enregistrer->setToolTip(keyboard::withKeys(QStringLiteral("Enregistrer la fiche"), enregistrer->shortcut()));
    keyboard::pressWith(this, m_new, QKeySequence(Qt::CTRL | Qt::Key_N), QStringLiteral("Nouvelle fiche"));
    keyboard::pressWith(this, m_precedent, QKeySequence(Qt::ALT | Qt::Key_Left), QStringLiteral("Fiche précédente"));
    keyboard::pressWith(this, m_suivant, QKeySequence(Qt::ALT | Qt::Key_Right), QStringLiteral("Fiche suivante"));
    fichier->addAction(QStringLiteral("&Importer des fiches..."), this, &Frm_ajout::importer_Click)
        ->setObjectName(QStringLiteral("importer"));
    fichier->addAction(QStringLiteral("&Historique..."), this, &Frm_ajout::historique_Click)
        ->setObjectName(QStringLiteral("historique"));
    fichier->addSeparator()->setObjectName(QStringLiteral("blanc01"));
    fichier->addAction(QStringLiteral("&Fermer"), this, &Frm_ajout::Fermer_Click)->setObjectName(QStringLiteral("Fermer"));
    QMenu* aide = menuBar()->addMenu(QStringLiteral("A&ide"));
    aide->setObjectName(QStringLiteral("aide"));
    aide->addAction(QStringLiteral("&A propos de..."), this, &Frm_ajout::about_Click)->setObjectName(QStringLiteral("about"));

    windowframe::addStatusBar(this, QStringLiteral("Scriptoria Digitale - Lexicarium terminologique - Edition"), 330, 2540);
    windowframe::setClientSize(this, 9900, 7635);
    new FieldLimitWatch(this, m_boxes);
    m_numbers = new NumberWatch(this, m_txtnumero, m_boxes, [this] { return m_commonDialog1->FileName(); },
                                [this] { return m_nbfiches; });
    m_duplicates = new DuplicateWatch(this, m_boxes.txtexpression(), m_txtnumero,
                                      [this] { return m_commonDialog1->FileName(); });
    keyboard::enterPressesButtons(this);
}

bool Frm_ajout::Form_Load() { return nouvellefiche(); }

void Frm_ajout::new_Click() { nouvellefiche(); }

// The path every action of this window opens; asks for a file with the
// Save dialog when the main window holds none.
QString Frm_ajout::takeDataFilePath() {
    const QString path = m_menu.dataFilePath();
    if (!path.isEmpty()) {
        m_commonDialog1->setFileName(path);
        return {};
    }
    m_commonDialog1->setFilter(kDataFileFilter);
    m_commonDialog1->ShowSave(this);
    m_menu.setDataFilePath(m_commonDialog1->FileName());
    if (!m_commonDialog1->FileName().isEmpty()) return {};
    return QStringLiteral("Aucun fichier de données n'a été choisi.");
}

bool Frm_ajout::nouvellefiche() {
    std::int32_t count = 0;
    const QString failure = busyWhile(this, [&] {
        if (QString refused = takeDataFilePath(); !refused.isEmpty()) return refused;
        try {
            DataFile file = DataFile::open(m_commonDialog1->FileName());
            count = file.recordCount();
            file.close();
        } catch (const StoreError& error) {
            return failureMessage(error, m_menu);
        }
        return QString();
    });
    if (!failure.isEmpty()) {
        Alert::error(this, failure);
        return false;
    }
    m_nbfiches = count;
    m_boxes.clear();
    m_txtnumero->setText(QString::number(std::int64_t(m_nbfiches) + 1));
    m_precedent->setEnabled(m_nbfiches + 1 != 1);
    m_suivant->setEnabled(false);
    m_numbers->check();
    return true;
}

void Frm_ajout::mnu_Enregistrer_Click() {
    if (!fieldlimits::confirmSaving(this, m_boxes)) return;
    if (!m_numbers->confirmSaving(this)) return;
    const QString failure =
        busyWhile(this, [&] {
            return saveCard(m_commonDialog1->FileName(), m_txtnumero->text(), m_boxes, m_menu, cardhistory::Action::edition);
        });
    if (!failure.isEmpty()) {
        Alert::error(this, failure);
        return;
    }
    m_duplicates->check();
    m_numbers->check();
    Alert::information(this, QStringLiteral("L'enregistrement est terminé."));
}

// The same as the menu command, whose save runs under the hourglass.
void Frm_ajout::Enregistrer_Click() { mnu_Enregistrer_Click(); }

void Frm_ajout::importer_Click() {
    if (const QString refused = takeDataFilePath(); !refused.isEmpty()) {
        Alert::error(this, refused);
        return;
    }
    const auto imported = importCards(this, m_commonDialog1->FileName(), *m_commonDialog3, m_menu);
    if (!imported) return;
    // The text in the boxes stays: a new card being typed takes the number
    // after the imported ones, a card being corrected keeps its own.
    bool isNumber = false;
    const bool typingANewCard = m_txtnumero->text().trimmed().toLongLong(&isNumber) >= imported->first && isNumber;
    m_nbfiches = imported->last;
    if (typingANewCard) m_txtnumero->setText(QString::number(std::int64_t(m_nbfiches) + 1));
    m_precedent->setEnabled(true);
    m_suivant->setEnabled(!typingANewCard);
    m_numbers->check();
}

// Earlier versions of the card the number box names, a card typed over by
// mistake among them; one chosen goes into the boxes, to be saved as usual.
void Frm_ajout::historique_Click() {
    QString failure = takeDataFilePath();
    if (failure.isEmpty()) failure = CardHistoryDialog::showFor(this, m_commonDialog1->FileName(), m_txtnumero->text(), m_boxes);
    if (!failure.isEmpty()) Alert::error(this, failure);
}

void Frm_ajout::precedent_Click() { browse(-1); }

void Frm_ajout::suivant_Click() { browse(+1); }

void Frm_ajout::browse(int delta) {
    const QString failure = busyWhile(this, [&] {
        QString error;
        const auto target = cardnumber::browseTarget(m_txtnumero->text(), delta, error);
        if (!target) return error;
        if (QString refused = takeDataFilePath(); !refused.isEmpty()) return refused;
        try {
            DataFile file = DataFile::open(m_commonDialog1->FileName());
            file.readSlot(*target, Module1::recordBuffer());
            file.close();
        } catch (const StoreError& storeError) {
            return failureMessage(storeError, m_menu);
        }
        const Module1::FicheRecord& fiche = Module1::recordBuffer();
        m_txtnumero->setText(numbertext::fromNumero(fiche.numero));
        m_boxes.show(fiche);
        m_precedent->setEnabled(true);
        m_suivant->setEnabled(true);
        const auto shown = numbertext::toNumber(m_txtnumero->text(), QLocale::c());
        if (shown == 1.0) m_precedent->setEnabled(false);
        if (shown == double(m_nbfiches)) m_suivant->setEnabled(false);
        return QString();
    });
    if (!failure.isEmpty()) Alert::error(this, failure);
}

void Frm_ajout::Fermer_Click() { close(); }

void Frm_ajout::about_Click() { frmAbout::showModeless(); }

void Frm_ajout::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Frm_ajout::Form_Unload() { m_menu.showMainWindow(); }

void Frm_ajout::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Frm_ajout::setExpression(const QString& expression) {
    m_boxes.setText(Module1::Field::expression, expression);
    m_boxes.txttraduction()->setFocus();
}

void Frm_ajout::Form_Resize() { resizelayout::refit(*this, *m_boxes.txtcontexte(), statusBar()->height(), {1650, 4900}); }
