#include "windows/lookup/frm_recherche_rapide.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "forms/form_phrases.h"
#include "store/field_text.h"
#include "store/store_error.h"
#include "windows/common/card_boxes.h"
#include "windows/controls/alert.h"
#include "windows/controls/busy_cursor.h"
#include "windows/lookup/lookup_actions.h"

// The rows found, as the list shows them.
class LookupRowsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void reset(std::vector<quicklookup::Row> rows) {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    const std::vector<quicklookup::Row>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 4; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
        const quicklookup::Row& row = m_rows[std::size_t(index.row())];
        switch (index.column()) {
            case 0: return row.numero.trimmed();
            case 1: return oneLine(row.expression);
            case 2: return oneLine(row.traduction);
            default: return row.label;
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        const QString headers[] = {QStringLiteral("N°"), QStringLiteral("Expression"), QStringLiteral("Traduction"),
                                   QStringLiteral("Trouvée")};
        return headers[section];
    }

private:
    static QString oneLine(const QString& text) { return text.simplified(); }
    std::vector<quicklookup::Row> m_rows;
};

namespace {

constexpr int kTypingPause = 200;  // ms after the last key before the text is looked up anew
const QSize kSize(560, 440);
const QPoint kBesidePointer(12, 16);

// A field's text as rich text, each place of the text marked.
QString marked(const QString& field, const QString& text) {
    QString html;
    qsizetype done = 0;
    for (const auto& [first, length] : quicklookup::places(field, text)) {
        html += field.mid(done, first - done).toHtmlEscaped();
        html += QStringLiteral("<span style='background-color:#ffd84d;color:#000000'><b>%1</b></span>")
                    .arg(field.mid(first, length).toHtmlEscaped());
        done = first + length;
    }
    html += field.mid(done).toHtmlEscaped();
    return html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>")).replace(u'\n', QStringLiteral("<br>"));
}

}  // namespace

Frm_recherche_rapide::Frm_recherche_rapide(LookupActions& actions, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_actions(actions) {
    setObjectName(QStringLiteral("recherche_rapide"));
    setWindowTitle(QStringLiteral("Recherche rapide - Lexicarium"));

    m_texte = new QLineEdit(this);
    m_texte->setObjectName(QStringLiteral("texte"));
    m_texte->setAccessibleName(QStringLiteral("Texte cherché"));
    m_texte->setClearButtonEnabled(true);

    m_compte = new QLabel(this);
    m_compte->setObjectName(QStringLiteral("compte"));
    m_compte->setWordWrap(true);
    m_compte->setTextFormat(Qt::PlainText);  // it quotes the selection, whatever it holds
    m_nouvelle = new QPushButton(QStringLiteral("&Nouvelle fiche"), this);
    m_nouvelle->setObjectName(QStringLiteral("nouvelle"));
    m_nouvelle->setAutoDefault(false);
    m_nouvelle->hide();
    connect(m_nouvelle, &QPushButton::clicked, this, &Frm_recherche_rapide::nouvelle_Click);
    auto* countLine = new QHBoxLayout;
    countLine->addWidget(m_compte, 1);
    countLine->addWidget(m_nouvelle);

    m_rows = new LookupRowsModel(this);
    m_fiches = new QTreeView(this);
    m_fiches->setObjectName(QStringLiteral("fiches"));
    m_fiches->setAccessibleName(QStringLiteral("Fiches trouvées"));
    m_fiches->setModel(m_rows);
    m_fiches->setRootIsDecorated(false);
    m_fiches->setUniformRowHeights(true);
    m_fiches->setAllColumnsShowFocus(true);
    m_fiches->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fiches->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fiches->header()->setStretchLastSection(true);
    m_fiches->header()->resizeSection(0, 60);
    m_fiches->header()->resizeSection(1, 230);
    // The chosen card stands out while the typed text has the focus.
    QPalette chosenShows = m_fiches->palette();
    chosenShows.setBrush(QPalette::Inactive, QPalette::Highlight, chosenShows.brush(QPalette::Active, QPalette::Highlight));
    chosenShows.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                         chosenShows.brush(QPalette::Active, QPalette::HighlightedText));
    m_fiches->setPalette(chosenShows);
    connect(m_fiches->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Frm_recherche_rapide::showChosen);
    connect(m_fiches, &QTreeView::doubleClicked, this, &Frm_recherche_rapide::copier);

    m_detail = new QTextBrowser(this);
    m_detail->setObjectName(QStringLiteral("detail"));
    m_detail->setAccessibleName(QStringLiteral("Fiche choisie"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_texte);
    layout->addLayout(countLine);
    layout->addWidget(m_fiches, 3);
    layout->addWidget(m_detail, 2);
    m_touches = new QLabel(this);
    m_touches->setObjectName(QStringLiteral("touches"));
    m_touches->setWordWrap(true);
    layout->addWidget(m_touches);
    sayKeys(false);

    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(kTypingPause);
    connect(m_typing, &QTimer::timeout, this, [this] { lookUp(m_texte->text()); });
    connect(m_texte, &QLineEdit::textEdited, m_typing, qOverload<>(&QTimer::start));

    for (QWidget* watched : {static_cast<QWidget*>(m_texte), static_cast<QWidget*>(m_fiches),
                             static_cast<QWidget*>(m_detail)}) {
        watched->installEventFilter(this);
    }
    resize(kSize);
}

void Frm_recherche_rapide::showFor(const QString& text, const QPoint& pointer) {
    m_texte->setText(quicklookup::lookedUpText(text));
    lookUp(m_texte->text());
    // Beside the pointer, on its screen; the screen placement moves the
    // whole frame in.
    const QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    QRect wanted(pointer + kBesidePointer, size().boundedTo(area.size()));
    if (wanted.right() > area.right()) wanted.moveRight(pointer.x() - kBesidePointer.x());
    if (wanted.bottom() > area.bottom()) wanted.moveBottom(pointer.y() - kBesidePointer.y());
    setGeometry(wanted);
    // Minimised since it was last used: it comes back all the same.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    m_texte->setFocus(Qt::ActiveWindowFocusReason);
    m_texte->selectAll();
}

void Frm_recherche_rapide::lookUp(const QString& text) {
    m_typing->stop();
    m_lookedUp = quicklookup::lookedUpText(text);
    std::vector<quicklookup::Row> rows;
    QString failure;
    const QString path = m_actions.dataFilePath();
    if (path.isEmpty()) {
        failure = QStringLiteral("Aucun fichier de données n'est choisi\u00A0: choisissez-en un dans la fenêtre principale.");
    } else if (!m_lookedUp.isEmpty()) {
        BusyCursor busy(this);
        try {
            DataFile file = DataFile::open(path);
            const auto forms = formphrases::ofReadyFile(path, m_lookedUp);
            rows = quicklookup::find(file, m_lookedUp, forms.get());
            file.close();
        } catch (const StoreError& error) {
            failure = error.message();
        }
    }
    const std::size_t count = rows.size();
    m_rows->reset(std::move(rows));
    m_nouvelle->setVisible(failure.isEmpty() && count == 0 && !m_lookedUp.isEmpty());
    if (!failure.isEmpty()) {
        m_compte->setText(failure);
    } else if (m_lookedUp.isEmpty()) {
        m_compte->setText(QStringLiteral("Aucun texte sélectionné\u00A0: tapez le terme cherché."));
    } else if (count == 0) {
        m_compte->setText(QStringLiteral("Aucune fiche ne contient «\u00A0%1\u00A0»").arg(m_lookedUp));
    } else {
        m_compte->setText((count == 1 ? QStringLiteral("%1 fiche") : QStringLiteral("%1 fiches")).arg(count));
    }
    // Read out with the typed text, as the window opens.
    m_texte->setAccessibleDescription(m_compte->text());
    if (count > 0) {
        m_fiches->setCurrentIndex(m_rows->index(0, 0));
    } else {
        m_detail->clear();
    }
}

std::optional<quicklookup::Row> Frm_recherche_rapide::chosen() const {
    const QModelIndex current = m_fiches->currentIndex();
    if (!current.isValid()) return std::nullopt;
    return m_rows->rows()[std::size_t(current.row())];
}

void Frm_recherche_rapide::showChosen() {
    const auto row = chosen();
    sayKeys(row && row->onTranslation);
    if (!row) return;
    Module1::FicheRecord fiche;
    try {
        DataFile file = DataFile::open(m_actions.dataFilePath());
        file.readSlot(row->slot, fiche);
        file.close();
    } catch (const StoreError& error) {
        m_detail->setPlainText(error.message());
        return;
    }
    QString html;
    for (const Module1::Field field : CardBoxes::shownOrder()) {
        html += QStringLiteral("<p><b>%1</b><br>%2</p>")
                    .arg(CardBoxes::caption(field).toHtmlEscaped(),
                         marked(fieldtext::read(Module1::field(fiche, field)), m_lookedUp));
    }
    m_detail->setHtml(html);
}

// The card's other side: its translation, or its expression where the
// text was found on the translation's side (a French word selected, for a
// card from English to French).
void Frm_recherche_rapide::copier() {
    const auto row = chosen();
    if (!row) return;
    const QString side = row->onTranslation ? row->expression : row->traduction;
    QGuiApplication::clipboard()->setText(QString(side).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    finish(true);
}

void Frm_recherche_rapide::sayKeys(bool copiesExpression) {
    m_touches->setText(QStringLiteral("Entrée\u00A0: copier %1 · Ctrl+Entrée\u00A0: ouvrir la fiche · Échap\u00A0: fermer")
                           .arg(copiesExpression ? QStringLiteral("l'expression") : QStringLiteral("la traduction")));
}

void Frm_recherche_rapide::ouvrir() {
    const auto row = chosen();
    if (!row) return;
    const QString refused = m_actions.openCard(m_lookedUp, row->numero);
    if (!refused.isEmpty()) {
        Alert::information(this, refused);
        return;
    }
    finish(false);
}

void Frm_recherche_rapide::nouvelle_Click() {
    const QString refused = m_actions.newCard(m_lookedUp);
    if (!refused.isEmpty()) {
        Alert::information(this, refused);
        return;
    }
    finish(false);
}

void Frm_recherche_rapide::finish(bool giveFocusBack) {
    if (!isVisible()) return;
    hide();
    emit finished(giveFocusBack);
}

void Frm_recherche_rapide::userWentElsewhere() { finish(false); }

void Frm_recherche_rapide::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) emit cameToFront();
}

bool Frm_recherche_rapide::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (watched == m_texte && m_typing->isActive()) lookUp(m_texte->text());
            if (key->modifiers() & Qt::ControlModifier) {
                ouvrir();
            } else {
                copier();
            }
            return true;
        case Qt::Key_Escape:
            finish(true);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // The arrows move through the cards from the typed text as well.
            if (watched == m_texte) {
                QCoreApplication::sendEvent(m_fiches, event);
                return true;
            }
            break;
        default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void Frm_recherche_rapide::closeEvent(QCloseEvent* event) {
    // Closed from its frame: the user goes back where they were.
    event->accept();
    emit finished(true);
}
