#include "windows/card/card_history_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

#include "store/field_text.h"
#include "store/store_error.h"
#include "windows/common/card_boxes.h"
#include "windows/common/card_number.h"
#include "windows/controls/busy_cursor.h"
#include "windows/controls/modal_run.h"

using Module1::Field;

namespace {

Module1::FicheRecord cardOf(const cardhistory::Version& version) {
    Module1::FicheRecord fiche = Module1::emptyCard(version.number);
    if (version.slot) Module1::fromBytes(version.slot->data(), fiche);
    return fiche;
}

QString lineOf(const cardhistory::Version& version) {
    const QString expression = version.slot ? fieldtext::read(cardOf(version).expression).simplified()
                                            : QStringLiteral("(pas encore de fiche)");
    return QStringLiteral("%1 \u2014 %2 \u2014 %3")
        .arg(QLocale(QLocale::French, QLocale::France).toString(version.when.toLocalTime(), QStringLiteral("dd/MM/yyyy HH:mm:ss")),
             cardhistory::describe(version.action), expression);
}

}  // namespace

CardHistoryDialog::CardHistoryDialog(QWidget* parent, std::int32_t number, std::vector<cardhistory::Version> versions)
    : QDialog(parent), m_versions(std::move(versions)) {
    setObjectName(QStringLiteral("versions"));
    setWindowTitle(QStringLiteral("Historique de la fiche n° %1").arg(number));
    m_liste = new QListWidget(this);
    m_liste->setObjectName(QStringLiteral("liste"));
    m_liste->setAccessibleName(QStringLiteral("Versions antérieures"));
    for (const auto& version : m_versions) m_liste->addItem(lineOf(version));
    auto* none = new QLabel(QStringLiteral("Aucune version antérieure de cette fiche n'a été gardée."), this);
    none->setObjectName(QStringLiteral("aucune"));
    none->setVisible(m_versions.empty());

    auto* fields = new QFormLayout;
    // The fields under the windows' own labels, in the windows' order.
    const auto& order = CardBoxes::shownOrder();
    for (std::size_t i = 0; i < order.size(); ++i) {
        auto* box = new QPlainTextEdit(this);
        box->setReadOnly(true);
        box->setAccessibleName(CardBoxes::caption(order[i]));
        box->setMaximumHeight(order[i] == Field::contexte ? 120 : 60);
        fields->addRow(CardBoxes::caption(order[i]) + QStringLiteral("\u00A0:"), box);
        m_fields[i] = box;
    }

    auto* buttons = new QDialogButtonBox(this);
    m_retablir = buttons->addButton(QStringLiteral("&Rétablir"), QDialogButtonBox::AcceptRole);
    m_retablir->setObjectName(QStringLiteral("Retablir"));
    m_retablir->setEnabled(false);
    auto* fermer = buttons->addButton(QStringLiteral("&Fermer"), QDialogButtonBox::RejectRole);
    fermer->setObjectName(QStringLiteral("Fermer"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_liste, &QListWidget::currentRowChanged, this, &CardHistoryDialog::showVersion);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("&Versions, de la plus récente à la plus ancienne\u00A0:"), this));
    qobject_cast<QLabel*>(left->itemAt(0)->widget())->setBuddy(m_liste);
    left->addWidget(m_liste);
    left->addWidget(none);
    columns->addLayout(left, 3);
    columns->addLayout(fields, 2);
    auto* all = new QVBoxLayout(this);
    all->addLayout(columns);
    all->addWidget(buttons);
    resize(1040, 540);
    if (!m_versions.empty()) m_liste->setCurrentRow(0);
}

void CardHistoryDialog::showVersion(int row) {
    const bool shown = row >= 0 && row < int(m_versions.size());
    const Module1::FicheRecord fiche = shown ? cardOf(m_versions[std::size_t(row)]) : Module1::FicheRecord{};
    const auto& order = CardBoxes::shownOrder();
    for (std::size_t i = 0; i < order.size(); ++i) {
        m_fields[i]->setPlainText(shown ? fieldtext::read(Module1::field(fiche, order[i])) : QString());
    }
    m_retablir->setEnabled(shown);
}

std::optional<Module1::FicheRecord> CardHistoryDialog::chosen() const {
    const int row = m_liste->currentRow();
    if (result() != QDialog::Accepted || row < 0 || row >= int(m_versions.size())) return std::nullopt;
    return cardOf(m_versions[std::size_t(row)]);
}

QString CardHistoryDialog::showFor(QWidget* parent, const QString& dataFile, const QString& numberText,
                                   CardBoxes& boxes) {
    QString failure;
    const auto number = cardnumber::forSaving(numberText, failure);
    if (!number) return failure;
    std::vector<cardhistory::Version> versions;
    failure = busyWhile(parent, [&] {
        try {
            versions = cardhistory::versionsOf(FileSystem::current(), dataFile, number->slot);
        } catch (const StoreError& error) {
            return error.message();
        }
        return QString();
    });
    if (!failure.isEmpty()) return failure;
    CardHistoryDialog dialog(parent, number->slot, std::move(versions));
    ModalRun::exec(&dialog);
    if (const auto card = dialog.chosen()) boxes.show(*card);
    return {};
}
