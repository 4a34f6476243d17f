#include "windows/card/frm_fiche.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

#include "store/data_file.h"
#include "store/field_text.h"
#include "store/number_text.h"
#include "store/store_error.h"
#include "windows/card/card_history_dialog.h"
#include "windows/card/card_printing.h"
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
#include "windows/controls/flex_grid.h"
#include "windows/controls/printer.h"

using Module1::Field;

namespace {

QPushButton* addBrowseButton(QWidget* parent, const char* name, const QString& caption, const QString& tip, int left) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoDefault(false);
    twips::place(button, left, 720, 615, 495);
    return button;
}

}  // namespace

frm_fiche::frm_fiche(MainWindowLink& menu, FlexGrid& grid, QWidget* parent, int numberColumn)
    : QMainWindow(parent),
      m_menu(menu),
      m_grid(grid),
      m_numberColumn(numberColumn),
      m_commonDialog2(new CommonDialog(QStringLiteral("CommonDialog2"), this)),
      m_client(new QWidget(this)),
      m_boxes(m_client) {
    setObjectName(QStringLiteral("frm_fiche"));
    setWindowTitle(QStringLiteral("Scriptoria Digitale - Lexicarium terminologique - Fiche"));
    look::setColours(m_client, Qt::black, look::kLightYellow);
    setCentralWidget(m_client);

    m_txtnumero = new QLineEdit(m_client);
    m_txtnumero->setObjectName(QStringLiteral("txtnumero"));
    m_txtnumero->setFont(look::timesNewRoman(12));
    look::setTypedTextColour(m_txtnumero, look::kDarkBlue);
    m_txtnumero->setAccessibleName(QStringLiteral("Numéro de la fiche"));
    twips::place(m_txtnumero, 8160, 120, 1215, 375);

    m_precedent = addBrowseButton(m_client, "precedent", QStringLiteral("<<"), QStringLiteral("Fiche précédente"), 8160);
    m_suivant = addBrowseButton(m_client, "suivant", QStringLiteral(">>"), QStringLiteral("Fiche suivante"), 8880);
    connect(m_precedent, &QPushButton::clicked, this, &frm_fiche::precedent_Click);
    connect(m_suivant, &QPushButton::clicked, this, &frm_fiche::suivant_Click);

    // The designed tab order: the number, reference, expression, traduction,
    // source entries, context, target entries, miscellanea, then << and >>.
    QWidget* order[] = {m_txtnumero, m_boxes.txtreference(), m_boxes.txtexpression(), m_boxes.txttraduction(),
                        m_boxes.txtdictionnaire(), m_boxes.txtcontexte(), m_boxes.txtdictionnairecible(),
                        m_boxes.txtmiscellanea(), m_precedent, m_suivant};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    QMenu* fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->setObjectName(QStringLiteral("Fichier"));
    QAction* enregistrer = fichier->addAction(QStringLiteral("&Enregistrer"), this, &frm_fiche::Enregistrer_Click);
    enregistrer->setObjectName(QStringLiteral("Enregistrer"));
    enregistrer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    keyboard::pressWith(this, m_precedent, QKeySequence(Qt::ALT | Qt::Key_Left), QStringLiteral("Fiche précédente"));
    keyboard::pressWith(this, m_suivant, QKeySequence(Qt::ALT | Qt::Key_Right), QStringLiteral("Fiche suivante"));
    fichier->addAction(QStringLiteral("&Imprimer"), this, &frm_fiche::imprimer_Click)
        ->setObjectName(QStringLiteral("imprimer"));
    fichier->addAction(QStringLiteral("&Historique..."), this, &frm_fiche::historique_Click)
        ->setObjectName(QStringLiteral("historique"));
    fichier->addSeparator()->setObjectName(QStringLiteral("blanc01"));
    fichier->addAction(QStringLiteral("&Fermer"), this, &frm_fiche::Fermer_Click)->setObjectName(QStringLiteral("Fermer"));
    QMenu* aide = menuBar()->addMenu(QStringLiteral("A&ide"));
    aide->setObjectName(QStringLiteral("aide"));
    aide->addAction(QStringLiteral("&A propos de..."), this, &frm_fiche::about_Click)->setObjectName(QStringLiteral("about"));

    windowframe::addStatusBar(this, QStringLiteral("Scriptoria Digitale - Lexicarium terminologique - Fiche"), 270, 2540);
    windowframe::setClientSize(this, 9765, 7545);
    new FieldLimitWatch(this, m_boxes);
    keyboard::enterPressesButtons(this);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &frm_fiche::Fermer_Click);
}

QString frm_fiche::Form_Load() {
    const QString failure = showRow(m_grid.RowSel());
    if (failure.isEmpty()) setBrowseButtons();
    return failure;
}

QString frm_fiche::showRow(int row) {
    const QString numfiche = fieldtext::withoutTrailingSpaces(m_grid.TextMatrix(row, m_numberColumn));
    if (QString failure = lirefiche(numfiche); !failure.isEmpty()) return failure;
    m_ligne = row;
    m_numfiche = numfiche;
    m_grid.setRow(row);
    m_grid.setCol(m_numberColumn);
    return {};
}

QString frm_fiche::lirefiche(const QString& numfiche) {
    QString error;
    const auto slot = cardnumber::slotOf(numfiche, error);
    if (!slot) return error;
    try {
        DataFile file = DataFile::open(m_menu.dataFilePath());
        file.readSlot(*slot, Module1::recordBuffer());
        file.close();
    } catch (const StoreError& failure) {
        return failureMessage(failure, m_menu);
    }
    const Module1::FicheRecord& fiche = Module1::recordBuffer();
    m_txtnumero->setText(numbertext::fromNumero(fiche.numero));
    m_boxes.show(fiche);
    return {};
}

void frm_fiche::setBrowseButtons() {
    m_precedent->setEnabled(m_ligne != 1);
    m_suivant->setEnabled(m_ligne != m_grid.Rows() - 1);
}

void frm_fiche::browse(int row) {
    if (const QString failure = showRow(row); !failure.isEmpty()) {
        Alert::error(this, failure);
        return;
    }
    setBrowseButtons();
}

void frm_fiche::precedent_Click() { browse(m_ligne - 1); }

void frm_fiche::suivant_Click() { browse(m_ligne + 1); }

void frm_fiche::Enregistrer_Click() {
    if (!fieldlimits::confirmSaving(this, m_boxes)) return;
    // The path as the main window holds it now.
    const QString failure =
        busyWhile(this, [&] {
            return saveCard(m_menu.dataFilePath(), m_txtnumero->text(), m_boxes, m_menu, cardhistory::Action::correction);
        });
    if (!failure.isEmpty()) {
        Alert::error(this, failure);
        return;
    }
    Alert::information(this, QStringLiteral("L'enregistrement est terminé."));
}

void frm_fiche::imprimer_Click() {
    m_commonDialog2->setFlags(CommonDialog::kPrintSetup);
    m_commonDialog2->ShowPrinter(this);
    const PrintedCard card = {m_boxes.text(Field::reference),    m_boxes.text(Field::expression),
                              m_boxes.text(Field::traduction),   m_boxes.text(Field::miscellanea),
                              m_boxes.text(Field::dictionnaire), m_boxes.text(Field::dictionnairecible),
                              m_boxes.text(Field::contexte)};
    try {
        BusyCursor busy(this);
        auto printer = Printer::open(QStringLiteral("Lexicarium - fiche"));
        printCard(*printer, card);
    } catch (const PrinterError& error) {
        Alert::error(this, error.message());
    }
}

void frm_fiche::Fermer_Click() { close(); }

// Earlier versions of the card shown; one chosen goes into the boxes, to be saved as usual.
void frm_fiche::historique_Click() {
    const QString failure = CardHistoryDialog::showFor(this, m_menu.dataFilePath(), m_txtnumero->text(), m_boxes);
    if (!failure.isEmpty()) Alert::error(this, failure);
}

void frm_fiche::about_Click() { frmAbout::showModal(this); }

void frm_fiche::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frm_fiche::Form_Resize() { resizelayout::refit(*this, *m_boxes.txtcontexte(), statusBar()->height(), {1650, 4900}); }
