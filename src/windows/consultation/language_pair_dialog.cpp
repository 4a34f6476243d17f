#include "windows/consultation/language_pair_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "windows/controls/modal_run.h"

namespace {

// What an export chose last in this run.
std::optional<LanguagePairDialog::Pair>& remembered() {
    static std::optional<LanguagePairDialog::Pair> pair;
    return pair;
}

QComboBox* languageList(QWidget* parent, const char* name, const QList<languages::Language>& offered,
                        const QString& selected) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    for (const languages::Language& language : offered) {
        list->addItem(language.name.isEmpty() ? language.code
                                              : QStringLiteral("%1 \u2014 %2").arg(language.code, language.name),
                      language.code);
    }
    list->setCurrentIndex(std::max(0, list->findData(selected)));
    return list;
}

}  // namespace

LanguagePairDialog::LanguagePairDialog(QWidget* parent, const QList<languages::Language>& offered, const Pair& selected)
    : QDialog(parent) {
    setObjectName(QStringLiteral("langues"));
    setWindowTitle(QStringLiteral("Langues du glossaire"));
    m_source = languageList(this, "langueSource", offered, selected.source);
    m_target = languageList(this, "langueCible", offered, selected.target);
    m_same = new QLabel(QStringLiteral("Choisissez deux langues différentes."), this);
    m_same->setObjectName(QStringLiteral("memeLangue"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_source, &QComboBox::currentIndexChanged, this, &LanguagePairDialog::checkDifferent);
    connect(m_target, &QComboBox::currentIndexChanged, this, &LanguagePairDialog::checkDifferent);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Langue des &expressions\u00A0:"), m_source);
    form->addRow(QStringLiteral("Langue des &traductions\u00A0:"), m_target);
    form->addRow(m_same);
    form->addRow(buttons);
    checkDifferent();
}

// A glossary whose two sides are one language would give the same term twice.
void LanguagePairDialog::checkDifferent() {
    const bool same = m_source->currentData() == m_target->currentData();
    m_ok->setEnabled(!same);
    m_same->setVisible(same);
}

std::optional<LanguagePairDialog::Pair> LanguagePairDialog::run() {
    ModalRun::exec(this);
    if (result() != QDialog::Accepted || m_source->currentData() == m_target->currentData()) return std::nullopt;
    return Pair{m_source->currentData().toString(), m_target->currentData().toString()};
}

std::optional<LanguagePairDialog::Pair> LanguagePairDialog::ask(QWidget* parent, const Pair& proposed) {
    const Pair usual{QStringLiteral("en"), QStringLiteral("fr")};
    const Pair first = remembered() ? *remembered() : !proposed.source.isEmpty() && !proposed.target.isEmpty() ? proposed : usual;
    LanguagePairDialog dialog(parent, languages::all(), first);
    const auto chosen = dialog.run();
    if (chosen) remembered() = *chosen;
    return chosen;
}

std::optional<LanguagePairDialog::Pair> LanguagePairDialog::chooseForCards(QWidget* parent, const QStringList& offered,
                                                                           const Pair& current) {
    QList<languages::Language> listed;
    for (const QString& code : offered) listed.append({code, languages::nameOf(code)});
    LanguagePairDialog dialog(parent, listed, current);
    dialog.setObjectName(QStringLiteral("langues_fiches"));
    dialog.setWindowTitle(QStringLiteral("Langues des fiches"));
    return dialog.run();
}

std::optional<LanguagePairDialog::Pair> LanguagePairDialog::choose(QWidget* parent, const QStringList& offered,
                                                                   const Pair& proposed) {
    QList<languages::Language> listed;
    for (const QString& code : offered) listed.append({code, languages::nameOf(code)});
    LanguagePairDialog dialog(parent, listed, proposed);
    return dialog.run();
}
