#include "windows/consultation/language_pair_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

#include "exchange/languages.h"
#include "windows/controls/modal_run.h"

namespace {

LanguagePairDialog::Pair& remembered() {
    static LanguagePairDialog::Pair pair{QStringLiteral("en"), QStringLiteral("fr")};
    return pair;
}

QComboBox* languageList(QWidget* parent, const char* name, const QString& selected) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    for (const languages::Language& language : languages::all()) {
        list->addItem(QStringLiteral("%1 \u2014 %2").arg(language.code, language.name), language.code);
    }
    list->setCurrentIndex(std::max(0, list->findData(selected)));
    return list;
}

}  // namespace

LanguagePairDialog::LanguagePairDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("langues"));
    setWindowTitle(QStringLiteral("Langues du glossaire"));
    m_source = languageList(this, "langueSource", remembered().source);
    m_target = languageList(this, "langueCible", remembered().target);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Langue des &expressions\u00A0:"), m_source);
    form->addRow(QStringLiteral("Langue des &traductions\u00A0:"), m_target);
    form->addRow(buttons);
}

std::optional<LanguagePairDialog::Pair> LanguagePairDialog::ask(QWidget* parent) {
    LanguagePairDialog dialog(parent);
    ModalRun::exec(&dialog);
    if (dialog.result() != QDialog::Accepted) return std::nullopt;
    remembered() = {dialog.m_source->currentData().toString(), dialog.m_target->currentData().toString()};
    return remembered();
}
