#include "windows/edition/sheet_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "windows/controls/modal_run.h"

SheetDialog::SheetDialog(QWidget* parent, const QString& file, const std::vector<cardimport::SheetChoice>& sheets)
    : QDialog(parent) {
    setObjectName(QStringLiteral("feuille"));
    setWindowTitle(QStringLiteral("Feuille à importer"));
    auto* label = new QLabel(QStringLiteral("Le classeur «\u00A0%1\u00A0» a plusieurs feuilles. Laquelle importer\u00A0?")
                                 .arg(QDir::toNativeSeparators(file)),
                             this);
    label->setWordWrap(true);
    m_sheets = new QListWidget(this);
    m_sheets->setObjectName(QStringLiteral("feuilles"));
    m_sheets->setAccessibleName(QStringLiteral("Feuilles du classeur"));
    label->setBuddy(m_sheets);
    for (const cardimport::SheetChoice& sheet : sheets) {
        // French counts none in the singular, as one.
        const QString rows = (sheet.rows <= 1 ? QStringLiteral("%1 ligne") : QStringLiteral("%1 lignes")).arg(sheet.rows);
        m_sheets->addItem(sheet.hidden ? QStringLiteral("%1 (%2, masquée)").arg(sheet.name, rows)
                                       : QStringLiteral("%1 (%2)").arg(sheet.name, rows));
    }
    m_sheets->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_sheets, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_sheets);
    layout->addWidget(buttons);
}

std::optional<std::size_t> SheetDialog::choose(QWidget* parent, const QString& file,
                                               const std::vector<cardimport::SheetChoice>& sheets) {
    SheetDialog dialog(parent, file, sheets);
    ModalRun::exec(&dialog);
    if (dialog.result() != QDialog::Accepted || dialog.m_sheets->currentRow() < 0) return std::nullopt;
    return std::size_t(dialog.m_sheets->currentRow());
}
