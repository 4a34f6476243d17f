#include "windows/verification/frm_verification.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

#include "check/gap_report.h"
#include "exchange/exchange_error.h"
#include "windows/card/frm_fiche.h"
#include "windows/common/notice_bar.h"
#include "windows/common/twips.h"
#include "windows/common/window_frame.h"
#include "windows/controls/alert.h"
#include "windows/controls/busy_cursor.h"
#include "windows/controls/common_dialog.h"
#include "windows/controls/flex_grid.h"
#include "windows/controls/modal_run.h"
#include "windows/controls/printer.h"
#include "windows/verification/gap_list_printing.h"
#include "windows/verification/verification_run.h"

namespace {

const QString kReportFilter =
    QStringLiteral("Tableau CSV (*.csv)|*.csv|Classeur Excel (*.xlsx)|*.xlsx|Classeur OpenDocument (*.ods)|*.ods");
const char* const kReportExtensions[] = {"csv", "xlsx", "ods"};
constexpr int kNarrowestText = 2400;  // twips

// A text on one line of a cell, each line break a space: the marked part
// stays where it was.
QString oneLine(QString text) {
    for (QChar& c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t') c = u' ';
    }
    return text;
}

QPushButton* addButton(QBoxLayout* row, const char* name, const QString& text, const QString& tip) {
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    row->addWidget(button);
    return button;
}

}  // namespace

Frm_verification::Frm_verification(MainWindowLink& menu, QWidget* parent)
    : QMainWindow(parent),
      m_menu(menu),
      m_reportDialog(new CommonDialog(QStringLiteral("CommonDialog1"), this)),
      m_printDialog(new CommonDialog(QStringLiteral("CommonDialog2"), this)),
      m_grille01(new FlexGrid) {
    setObjectName(QStringLiteral("Frm_verification"));
    setWindowFlag(Qt::Window);
    m_grille01->setObjectName(QStringLiteral("Grille01"));
    m_grille01->setAccessibleName(QStringLiteral("Écarts"));

    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    auto* buttons = new QHBoxLayout;
    QPushButton* accepter = addButton(buttons, "accepter", QStringLiteral("&Accepter"),
                                      QStringLiteral("Ne plus signaler cet écart pour ce segment et cette fiche"));
    QPushButton* exporter = addButton(buttons, "exporter", QStringLiteral("&Exporter le rapport..."),
                                      QStringLiteral("Écrire les écarts dans un tableau CSV, Excel ou OpenDocument"));
    QPushButton* imprimer = addButton(buttons, "imprimer", QStringLiteral("&Imprimer"), QStringLiteral("Imprimer la liste"));
    buttons->addStretch();
    QPushButton* fermer = addButton(buttons, "Fermer", QStringLiteral("&Fermer"), QStringLiteral("Fermer la fenêtre"));
    column->addLayout(buttons);
    column->addWidget(m_grille01);
    setCentralWidget(client);
    connect(accepter, &QPushButton::clicked, this, &Frm_verification::accepter_Click);
    connect(exporter, &QPushButton::clicked, this, &Frm_verification::exporter_Click);
    connect(imprimer, &QPushButton::clicked, this, &Frm_verification::imprimer_Click);
    connect(fermer, &QPushButton::clicked, this, &Frm_verification::Fermer_Click);
    connect(m_grille01, &FlexGrid::DblClick, this, &Frm_verification::Grille01_DblClick);
    m_grille01->viewport()->installEventFilter(this);

    // The grid sorts as the others do, on one column's texts; the file's order comes back.
    QMenu* trier = menuBar()->addMenu(QStringLiteral("&Trier"));
    trier->setObjectName(QStringLiteral("Trier"));
    const auto sortBy = [this](int col) {
        BusyCursor busy(this);
        m_grille01->setRow(1);
        m_grille01->setCol(col);
        m_grille01->setColSel(col);
        m_grille01->Sort(1);
    };
    trier->addAction(QStringLiteral("Par &terme"), this, [sortBy] { sortBy(termColumn); })
        ->setObjectName(QStringLiteral("triterme"));
    trier->addAction(QStringLiteral("Par n° de &fiche"), this, [sortBy] { sortBy(numberColumn); })
        ->setObjectName(QStringLiteral("trifiche"));
    trier->addAction(QStringLiteral("Par &écart"), this, [sortBy] { sortBy(gapColumn); })
        ->setObjectName(QStringLiteral("triecart"));
    trier->addAction(QStringLiteral("Dans l'&ordre du fichier"), this, [this] {
             std::vector<std::size_t> gaps = listed();
             std::sort(gaps.begin(), gaps.end());
             fill(gaps);
         })->setObjectName(QStringLiteral("triordre"));

    windowframe::addStatusBar(this, QStringLiteral("Vérification terminologique"), 300, 0);
    resize(1000, 560);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &Frm_verification::Fermer_Click);
}

bool Frm_verification::Form_Load(const QString& checkedFile) {
    m_checkedFile = checkedFile;
    setWindowTitle(QStringLiteral("Vérification terminologique - %1").arg(QFileInfo(checkedFile).fileName()));
    try {
        m_accepted = AcceptedGaps::of(checkedFile);
    } catch (const ExchangeError& error) {
        Alert::error(this, error.message());
        return false;
    }
    VerificationOutcome outcome = runVerification(this, checkedFile, m_menu, *m_accepted);
    if (!outcome.failure.isEmpty()) {
        Alert::error(this, outcome.failure);
        return false;
    }
    if (!outcome.result) return false;
    m_result = std::move(*outcome.result);
    std::vector<std::size_t> all(m_result.report.gaps.size());
    std::iota(all.begin(), all.end(), std::size_t(0));
    fill(all);
    return true;
}

void Frm_verification::fill(const std::vector<std::size_t>& gaps) {
    FlexGrid& grid = *m_grille01;
    GridModel& model = grid.model();
    grid.Clear();
    grid.setCols(7);
    grid.setRows(int(gaps.size()) + 1);
    const QStringList titles = gapreport::titles();
    for (int col = 0; col < 7; ++col) model.setText(0, col, titles[col]);
    fitColumns();
    int row = 1;
    for (const std::size_t index : gaps) {
        const termcheck::Gap& gap = m_result.report.gaps[index];
        const bilingual::Segment& segment = m_result.file.segments[gap.segment];
        model.setText(row, segmentColumn, segment.id);
        model.setRowToolTip(row, int(index));
        model.setText(row, sourceColumn, oneLine(segment.source));
        model.setMark(row, sourceColumn, int(gap.sourceBegin), int(gap.sourceEnd - gap.sourceBegin));
        model.setText(row, termColumn, gap.term);
        model.setText(row, expectedColumn, gap.expected);
        model.setText(row, targetColumn, oneLine(segment.target));
        if (gap.targetBegin >= 0) model.setMark(row, targetColumn, int(gap.targetBegin), int(gap.targetEnd - gap.targetBegin));
        model.setText(row, numberColumn, gap.numero);
        model.setText(row, gapColumn,
                      gap.deprecated.isEmpty() ? termcheck::nameOf(gap.kind)
                                               : QStringLiteral("%1\u00A0: %2").arg(termcheck::nameOf(gap.kind), gap.deprecated));
        ++row;
    }
    // Each row's tool tip gives both texts in full, as the cells cut them.
    auto kept = std::make_shared<const verification::Result>(m_result);
    model.setToolTips([kept](int key) {
        const termcheck::Gap& gap = kept->report.gaps[std::size_t(key)];
        const bilingual::Segment& segment = kept->file.segments[gap.segment];
        return QStringLiteral("Segment %1\nSource\u00A0: %2\nCible\u00A0: %3").arg(segment.id, segment.source, segment.target);
    });
    if (grid.Rows() > 1) {
        grid.setRow(1);
        grid.setCol(sourceColumn);
    }
    grid.showFirstRows();
    NoticeBar::of(this).set(QStringLiteral("Compte"), gapreport::summaryOf(listedGaps(), m_result.report), QColor());
}

void Frm_verification::fitColumns() {
    const int widths[] = {900, 0, 1300, 1700, 0, 800, 2100};
    int others = 0;  // the fixed first column stands beside the viewport
    for (int col = 0; col < 7; ++col) {
        if (widths[col] > 0) m_grille01->setColWidth(col, widths[col]);
        if (col > 0) others += widths[col];
    }
    const int room = twips::fromPixels(m_grille01->viewport()->width()) - others;
    const int text = std::max(kNarrowestText, room / 2 - 30);
    m_grille01->setColWidth(sourceColumn, text);
    m_grille01->setColWidth(targetColumn, text);
}

bool Frm_verification::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grille01->viewport() && event->type() == QEvent::Resize) fitColumns();
    return QMainWindow::eventFilter(watched, event);
}

std::vector<std::size_t> Frm_verification::listed() const {
    std::vector<std::size_t> gaps;
    for (int row = 1; row < m_grille01->Rows(); ++row) {
        gaps.push_back(std::size_t(m_grille01->model().cell(row, 0).toolTipKey));
    }
    return gaps;
}

std::vector<termcheck::Gap> Frm_verification::listedGaps() const {
    std::vector<termcheck::Gap> gaps;
    for (const std::size_t index : listed()) gaps.push_back(m_result.report.gaps[index]);
    return gaps;
}

std::optional<std::size_t> Frm_verification::currentGap() const {
    const int row = m_grille01->Row();
    if (row < 1 || row >= m_grille01->Rows()) return std::nullopt;
    return std::size_t(m_grille01->model().cell(row, 0).toolTipKey);
}

void Frm_verification::Grille01_DblClick() {
    if (!currentGap()) return;
    const QString failure = busyWhile(this, [&] {
        frm_fiche card(m_menu, *m_grille01, this, numberColumn);
        const QString unreadable = card.Form_Load();
        if (unreadable.isEmpty()) ModalRun::exec(&card);
        return unreadable;
    });
    if (!failure.isEmpty()) Alert::error(this, failure);
}

void Frm_verification::accepter_Click() {
    const auto gap = currentGap();
    if (!gap) {
        Alert::information(this, QStringLiteral("Choisissez d'abord dans la liste l'écart à accepter."));
        return;
    }
    const termcheck::Gap& accepted = m_result.report.gaps[*gap];
    try {
        m_accepted->accept(m_result.file.segments[accepted.segment], accepted);
    } catch (const ExchangeError& error) {
        Alert::error(this, error.message());
        return;
    }
    const int row = m_grille01->Row();
    std::vector<std::size_t> left = listed();
    left.erase(std::find(left.begin(), left.end(), *gap));
    fill(left);
    // The next gap is ready to be read, or accepted in turn.
    if (m_grille01->Rows() > 1) m_grille01->setRow(std::min(row, m_grille01->Rows() - 1));
}

void Frm_verification::exporter_Click() {
    if (m_grille01->Rows() <= 1) {
        Alert::information(this, QStringLiteral("Il n'y a aucun écart à exporter."));
        return;
    }
    m_reportDialog->setFilter(kReportFilter);
    m_reportDialog->setFlags(CommonDialog::kOverwritePrompt);
    if (!m_reportDialog->ShowSave(this)) return;
    QString path = m_reportDialog->FileName();
    if (!gapreport::formatOf(path)) {
        const int index = std::clamp(m_reportDialog->FilterIndex(), 1, int(std::size(kReportExtensions)));
        path += u'.' + QLatin1String(kReportExtensions[index - 1]);
        // The dialog asked about the name as typed; the extension may make it another file's.
        if (QFileInfo::exists(path) &&
            !Alert::question(this, QStringLiteral("Le fichier «\u00A0%1\u00A0» existe déjà. Voulez-vous le remplacer\u00A0?")
                                       .arg(QDir::toNativeSeparators(path)))) {
            return;
        }
    }
    const std::vector<termcheck::Gap> gaps = listedGaps();
    const QString failure = busyWhile(this, [&] {
        try {
            gapreport::write(path, m_result.file, gaps);
        } catch (const ExchangeError& error) {
            return error.message();
        }
        return QString();
    });
    if (!failure.isEmpty()) {
        Alert::error(this, failure);
        return;
    }
    Alert::information(this, QStringLiteral("%1 dans «\u00A0%2\u00A0».")
                                  .arg(gaps.size() == 1 ? QStringLiteral("1 écart exporté")
                                                        : QStringLiteral("%1 écarts exportés").arg(gaps.size()),
                                       QDir::toNativeSeparators(path)));
}

void Frm_verification::imprimer_Click() {
    m_printDialog->setFlags(CommonDialog::kPrintSetup);
    m_printDialog->ShowPrinter(this);
    try {
        BusyCursor busy(this);
        auto printer = Printer::open(QStringLiteral("Lexicarium - vérification"));
        printGapList(*printer, windowTitle(), gapreport::summaryOf(listedGaps(), m_result.report), *m_grille01);
    } catch (const PrinterError& error) {
        Alert::error(this, error.message());
    }
}

void Frm_verification::Fermer_Click() { close(); }
