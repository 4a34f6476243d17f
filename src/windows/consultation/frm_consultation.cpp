#include "windows/consultation/frm_consultation.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QShortcut>
#include <QMenuBar>
#include <QStatusBar>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <utility>

#include "search/duplicates.h"
#include "search/result_summary.h"
#include "search/search_alternatives.h"
#include "store/store_error.h"
#include "windows/card/frm_fiche.h"
#include "windows/common/data_file_failure.h"
#include "windows/common/fitting.h"
#include "windows/common/keyboard.h"
#include "windows/common/look.h"
#include "windows/common/resize_layout.h"
#include "windows/startup/frm_about.h"
#include "windows/common/main_window_link.h"
#include "windows/common/notice_bar.h"
#include "windows/common/pictures.h"
#include "windows/common/twips.h"
#include "windows/common/window_frame.h"
#include "windows/consultation/result_export.h"
#include "windows/consultation/result_list_printing.h"
#include "windows/consultation/search_options_menu.h"
#include "windows/consultation/search_scope_menu.h"
#include "windows/consultation/word_forms_search.h"
#include "windows/controls/alert.h"
#include "windows/controls/busy_cursor.h"
#include "windows/controls/common_dialog.h"
#include "windows/controls/flex_grid.h"
#include "windows/controls/modal_run.h"
#include "windows/controls/printer.h"
#include "windows/verification/frm_verification.h"

namespace {

const QString kDataFileFilter = QStringLiteral("Fichiers de données (*.DAT)|*.DAT");
const QString kTranslationFilter = QStringLiteral(
    "Traductions (*.xlf, *.xliff, *.tmx, *.po, *.csv, *.xlsx, *.ods)|*.xlf;*.xliff;*.tmx;*.po;*.csv;*.xlsx;*.ods|"
    "XLIFF (*.xlf, *.xliff)|*.xlf;*.xliff|TMX (*.tmx)|*.tmx|PO (*.po)|*.po|"
    "Tableaux (*.csv, *.xlsx, *.ods)|*.csv;*.xlsx;*.ods");
const QColor kCardNumberColour(0, 0, 192);
constexpr int kCentredTop = 3;
constexpr int kFrame1Width = 5775;

QGroupBox* addFrame(QWidget* parent, const char* name, const QString& caption, const QColor& colour, QRect design) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFont(look::timesNewRoman(9.75, true, true));
    look::setColours(frame, colour, look::kLightYellow);
    twips::place(frame, design.x(), design.y(), design.width(), design.height());
    return frame;
}

QPushButton* addSortButton(QWidget* frame, const char* name, const QString& caption, const QString& spoken,
                           QRect design) {
    auto* button = new QPushButton(caption, frame);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(spoken);
    button->setFont(look::msSansSerif(8.25));
    button->setAutoDefault(false);
    twips::place(button, design.x(), design.y(), design.width(), design.height());
    return button;
}

QRadioButton* addOption(QWidget* frame, const char* name, const QString& caption, QRect design) {
    auto* option = new QRadioButton(caption, frame);
    option->setObjectName(QLatin1String(name));
    option->setFont(look::msSansSerif(8.25));
    look::setColours(option, look::kDarkBlue, look::kLightYellow);
    twips::place(option, design.x(), design.y(), design.width(), design.height());
    fitting::roomForCaption(option, kFrame1Width);
    return option;
}

}  // namespace

Frm_consultation::Frm_consultation(MainWindowLink& menu, QWidget* parent)
    : QMainWindow(parent),
      m_menu(menu),
      m_commonDialog1(new CommonDialog(QStringLiteral("CommonDialog1"), this)),
      m_commonDialog2(new CommonDialog(QStringLiteral("CommonDialog2"), this)),
      m_commonDialog3(new CommonDialog(QStringLiteral("CommonDialog3"), this)),
      m_commonDialog4(new CommonDialog(QStringLiteral("CommonDialog4"), this)) {
    setObjectName(QStringLiteral("Frm_consultation"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Scriptoria Digitale - Lexicarium terminologique - Consultation"));
    auto* client = new QWidget(this);
    look::setColours(client, Qt::black, look::kLightYellow);
    setCentralWidget(client);

    QGroupBox* frame1 = addFrame(client, "Frame1", QStringLiteral("Critère de recherche : "), look::kDarkRed,
                                 {360, 120, kFrame1Width, 1215});
    m_option1 = addOption(frame1, "Option1", QStringLiteral("Entrées texte &source"), {240, 840, 1815, 195});
    m_option2 = addOption(frame1, "Option2", QStringLiteral("Entrées texte &cible"), {2280, 840, 2055, 195});
    m_option1->setChecked(true);
    m_text1 = new QLineEdit(frame1);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setFont(look::msSansSerif(8.25));
    m_text1->setAccessibleName(QStringLiteral("Texte recherché"));
    twips::place(m_text1, 120, 360, 4215, 285);
    auto* command1 = new QPushButton(frame1);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setAutoDefault(false);
    command1->setAccessibleName(QStringLiteral("Rechercher"));
    command1->setIcon(pictures::icon(pictures::Picture::searchButtonFace));
    command1->setIconSize(QSize(76, 38));
    command1->setToolTip(QStringLiteral("Recherche"));
    look::setButtonFace(command1, look::kLightYellow);
    twips::place(command1, 4440, 240, 1215, 615);
    connect(command1, &QPushButton::clicked, this, &Frm_consultation::Command1_Click);
    connect(m_text1, &QLineEdit::returnPressed, this, &Frm_consultation::Command1_Click);
    // Ctrl+F: back to the search box from the grid or a button, its text selected to type over.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this, [this] {
        m_text1->setFocus(Qt::ShortcutFocusReason);
        m_text1->selectAll();
    });
    m_text1->setToolTip(keyboard::withKeys(QStringLiteral("Texte cherché"), QKeySequence(Qt::CTRL | Qt::Key_F)));

    QGroupBox* frame2 = addFrame(client, "Frame2", QStringLiteral("Tri : "), look::kDarkBlue, {6240, 120, 3615, 1215});
    auto* triref = addSortButton(frame2, "triref", QStringLiteral("&Références"), QStringLiteral("Trier par références"),
                                 {1080, 240, 1335, 375});
    auto* tridictionnaire = addSortButton(frame2, "tridictionnaire", QStringLiteral("Entrées texte s&ource"),
                                          QStringLiteral("Trier par entrées texte source"), {120, 720, 1695, 375});
    auto* tridictionnairecible =
        addSortButton(frame2, "tridictionnairecible", QStringLiteral("Entrées texte ci&ble"),
                      QStringLiteral("Trier par entrées texte cible"), {1920, 720, 1575, 375});
    connect(triref, &QPushButton::clicked, this, &Frm_consultation::triref_Click);
    connect(tridictionnaire, &QPushButton::clicked, this, &Frm_consultation::tridictionnaire_Click);
    connect(tridictionnairecible, &QPushButton::clicked, this, &Frm_consultation::tridictionnairecible_Click);

    m_grille01 = new FlexGrid(client);
    m_grille01->setObjectName(QStringLiteral("Grille01"));
    m_grille01->setAccessibleName(QStringLiteral("Résultats"));
    twips::place(m_grille01, 120, 1440, 9735, 5655);
    fitting::onWholeDevicePixels(m_grille01);
    m_grille01->setCols(4);
    m_grille01->setRows(1);
    connect(m_grille01, &FlexGrid::DblClick, this, &Frm_consultation::Grille01_DblClick);

    QMenu* fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->setObjectName(QStringLiteral("Fichier"));
    fichier->addAction(QStringLiteral("&Imprimer les résultats"), this, &Frm_consultation::imprimer_Click)
        ->setObjectName(QStringLiteral("imprimer"));
    fichier->addAction(QStringLiteral("&Exporter les résultats..."), this, &Frm_consultation::exporter_Click)
        ->setObjectName(QStringLiteral("exporter"));
    fichier->addAction(QStringLiteral("&Vérifier une traduction..."), this, &Frm_consultation::verifier_Click)
        ->setObjectName(QStringLiteral("verifier"));
    fichier->addSeparator()->setObjectName(QStringLiteral("blanc01"));
    fichier->addAction(QStringLiteral("&Fermer"), this, &Frm_consultation::Fermer_Click)
        ->setObjectName(QStringLiteral("Fermer"));
    QMenu* affichage = menuBar()->addMenu(QStringLiteral("&Affichage"));
    affichage->setObjectName(QStringLiteral("Affichage"));
    affichage->addAction(QStringLiteral("&Le lexicarium complet"), this, &Frm_consultation::Liste_complete_Click)
        ->setObjectName(QStringLiteral("Liste_complete"));
    affichage->addAction(QStringLiteral("&Doublons"), this, &Frm_consultation::doublons_Click)
        ->setObjectName(QStringLiteral("doublons"));
    m_scope = new SearchScopeMenu(affichage, {m_option1, m_option2});
    // The search frame has no room for check boxes that move nothing: the
    // choices are commands.
    m_searchOptions = new SearchOptionsMenu(affichage);
    m_wordForms = new WordFormsSearch(this, m_searchOptions->wordForms(), [this] { return m_menu.dataFilePath(); });
    affichage->addSeparator();
    affichage->addAction(QStringLiteral("La&ngues des fiches..."), m_wordForms, &WordFormsSearch::chooseLanguages)
        ->setObjectName(QStringLiteral("languesfiches"));
    QMenu* aide = menuBar()->addMenu(QStringLiteral("A&ide"));
    aide->setObjectName(QStringLiteral("aide"));
    aide->addAction(QStringLiteral("&A propos de..."), this, &Frm_consultation::about_Click)
        ->setObjectName(QStringLiteral("about"));

    windowframe::addStatusBar(this, QStringLiteral("Scriptoria Digitale - Lexicarium terminologique - Consultation"),
                              300, 2540);
    windowframe::setClientSize(this, 9945, 7470);
    keyboard::enterPressesButtons(this);
    // No tab order is designed here: the work starts with the searched text.
    m_text1->setFocus();
}

void Frm_consultation::Form_Load() {
    choix_fichier();
    entete_grille();
    // The forms of the file's words are ready by the time a search may suggest them.
    m_wordForms->prepare();
}

void Frm_consultation::choix_fichier() {
    const QString path = m_menu.dataFilePath();
    if (!path.isEmpty()) {
        m_commonDialog1->setFileName(path);
        return;
    }
    m_commonDialog1->setFilter(kDataFileFilter);
    m_commonDialog1->ShowOpen(this);
    m_menu.setDataFilePath(m_commonDialog1->FileName());
}

void Frm_consultation::entete_grille() {
    FlexGrid& grid = *m_grille01;
    const QString headers[] = {QStringLiteral("Numero fiche"), QStringLiteral("Entrées texte source"),
                               QStringLiteral("Entrées texte cible"), QStringLiteral("Référence")};
    const int widths[] = {1050, 3000, 3000, 2500};
    grid.setRow(0);
    for (int col = 0; col < 4; ++col) {
        grid.setCol(col);
        grid.setText(headers[col]);
        grid.setColWidth(col, widths[col]);
    }
    grid.setRows(1);
}

bool Frm_consultation::haveDataFilePath() {
    if (m_menu.dataFilePath().isEmpty()) choix_fichier();
    return !m_menu.dataFilePath().isEmpty();
}

// The row is already in the grid; its texts move there.
void Frm_consultation::fillRow(int row, ResultRow& card) {
    FlexGrid& grid = *m_grille01;
    grid.setRow(row);
    grid.setCol(0);
    grid.setText(std::move(card.numero));
    grid.setCellForeColor(kCardNumberColour);
    grid.setCellAlignment(kCentredTop);
    grid.setCol(1);
    grid.setText(std::move(card.dictionnaire));
    grid.setCol(2);
    grid.setText(std::move(card.dictionnairecible));
    grid.setCol(3);
    grid.setText(std::move(card.reference));
}

void Frm_consultation::listInGrid(const std::function<std::vector<ResultRow>(DataFile&)>& read,
                                  const std::function<QString(std::size_t)>& summary) {
    if (!haveDataFilePath()) return;
    const QString failure = busyWhile(this, [&] {
        std::vector<ResultRow> cards;
        try {
            DataFile file = DataFile::open(m_commonDialog1->FileName());
            cards = read(file);
            file.close();
        } catch (const StoreError& error) {
            return failureMessage(error, m_menu);
        }
        FlexGrid& grid = *m_grille01;
        grid.Clear();
        entete_grille();
        grid.setRows(2);
        grid.setCols(4);
        // Every row at once, and the spare last one as filling row by row left it.
        grid.setRows(int(cards.size()) + 2);
        int row = 1;
        bool anyToolTip = false;
        for (ResultRow& card : cards) {
            if (!card.toolTip.isEmpty()) {
                grid.model().setRowToolTip(row, row - 1);
                anyToolTip = true;
            }
            fillRow(row++, card);
        }
        grid.setRows(grid.Rows() - 1);
        // The current cell is left on the last row, but the view shows
        // where the list begins.
        grid.showFirstRows();
        NoticeBar::of(this).set(QStringLiteral("Compte"), summary(cards.size()), QColor());
        // The rows keep what their tool tips say; the texts are made on hovering.
        if (anyToolTip) {
            auto kept = std::make_shared<const std::vector<ResultRow>>(std::move(cards));
            grid.model().setToolTips([kept](int key) { return (*kept)[std::size_t(key)].toolTip.text(); });
        }
        return QString();
    });
    if (!failure.isEmpty()) Alert::error(this, failure);
}

void Frm_consultation::Command1_Click() {
    cardsearch::Query query;
    query.text = m_text1->text();
    query.scope = m_scope->scope();
    query.entries = m_option1->isChecked() ? cardsearch::SearchedField::dictionnaire
                                           : cardsearch::SearchedField::dictionnairecible;
    query.accents = m_searchOptions->accents();
    query.options = m_searchOptions->options();
    const WordFormsSearch::Forms forms = m_wordForms->formsOf(query.text, query);
    query.forms = forms.phrases;
    // Where nothing is found, what would find cards is said: worked out in the same opening of the file.
    std::vector<cardsearch::Alternative> alternatives;
    listInGrid(
        [&](DataFile& file) {
            std::vector<ResultRow> rows = cardsearch::search(file, query);
            if (rows.empty() && !query.text.isEmpty()) {
                alternatives = cardsearch::alternativesTo(file, query, m_wordForms->suggestedFormsOf(query));
            }
            return rows;
        },
        [&](std::size_t count) {
            const QString summary = resultsummary::afterSearch(count, query, alternatives);
            return forms.said.isEmpty() ? summary : summary + QStringLiteral(" \u2014 ") + forms.said;
        });
}

void Frm_consultation::showCard(const QString& text, const QString& numero) {
    m_text1->setText(text);
    m_scope->choose(cardsearch::Scope::everyField);
    m_searchOptions->setAccents(cardsearch::Accents::ignored);
    Command1_Click();
    for (int row = 1; row < m_grille01->Rows(); ++row) {
        if (m_grille01->TextMatrix(row, 0).trimmed() != numero.trimmed()) continue;
        m_grille01->setRow(row);
        Grille01_DblClick();
        return;
    }
}

void Frm_consultation::Liste_complete_Click() { listInGrid(cardsearch::fullList, resultsummary::count); }

void Frm_consultation::doublons_Click() { listInGrid(duplicates::list, resultsummary::count); }

void Frm_consultation::sortFrom(int colSel) {
    BusyCursor busy(this);
    m_grille01->setColSel(colSel);
    m_grille01->Sort(1);
}

void Frm_consultation::tridictionnaire_Click() { sortFrom(1); }

void Frm_consultation::tridictionnairecible_Click() { sortFrom(2); }

void Frm_consultation::triref_Click() { sortFrom(3); }

void Frm_consultation::Grille01_DblClick() {
    // The hourglass stays while the card is open over this window.
    const QString failure = busyWhile(this, [&] {
        if (m_grille01->Rows() <= 1) return QString();
        frm_fiche card(m_menu, *m_grille01, this);
        const QString unreadable = card.Form_Load();
        if (unreadable.isEmpty()) ModalRun::exec(&card);
        return unreadable;
    });
    if (!failure.isEmpty()) Alert::error(this, failure);
}

void Frm_consultation::imprimer_Click() {
    m_commonDialog2->setFlags(CommonDialog::kPrintSetup);
    m_commonDialog2->ShowPrinter(this);
    try {
        BusyCursor busy(this);
        auto printer = Printer::open(QStringLiteral("Lexicarium - résultats"));
        printResultList(*printer, *m_grille01);
    } catch (const PrinterError& error) {
        Alert::error(this, error.message());
    }
}

void Frm_consultation::exporter_Click() {
    exportResults(this, *m_grille01, m_commonDialog1->FileName(), *m_commonDialog3, m_menu);
}

void Frm_consultation::verifier_Click() {
    if (!haveDataFilePath()) return;
    m_commonDialog4->setFilter(kTranslationFilter);
    if (!m_commonDialog4->ShowOpen(this)) return;
    auto* window = new Frm_verification(m_menu, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->Form_Load(m_commonDialog4->FileName())) {
        delete window;
        return;
    }
    window->show();
}

void Frm_consultation::Fermer_Click() { close(); }

void Frm_consultation::about_Click() { frmAbout::showModeless(); }

void Frm_consultation::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Frm_consultation::Form_Unload() { m_menu.showMainWindow(); }

void Frm_consultation::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Frm_consultation::Form_Resize() { resizelayout::refit(*this, *m_grille01, statusBar()->height(), {240, 1650}); }
