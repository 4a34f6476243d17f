#include "windows/consultation/word_forms_search.h"

#include <QAction>
#include <QWidget>

#include "exchange/languages.h"
#include "forms/dictionaries.h"
#include "forms/form_phrases.h"
#include "forms/vocabulary_cache.h"
#include "store/file_places.h"
#include "windows/consultation/language_pair_dialog.h"
#include "windows/controls/alert.h"
#include "windows/controls/progress.h"

namespace {

QString languageNamed(const QString& code) {
    const QString name = languages::nameOf(code);
    return name.isEmpty() ? code : QStringLiteral("%1 (%2)").arg(name, code);
}

}  // namespace

WordFormsSearch::WordFormsSearch(QWidget* window, QAction* option, std::function<QString()> dataFile)
    : QObject(window), m_window(window), m_option(option), m_dataFile(std::move(dataFile)) {
    connect(option, &QAction::toggled, this, [this](bool ticked) {
        if (ticked) prepare();
    });
}

FileLanguages WordFormsSearch::languages() const {
    const QString path = m_dataFile();
    if (path.isEmpty()) return {};
    FileLanguagesSettings settings(fileplaces::settingsFile());
    return filelanguages::of(path, settings);
}

// The vocabulary begins to be read as soon as the window opens or the
// option is ticked: the user has a search to type meanwhile.
void WordFormsSearch::prepare() { formphrases::prepare(m_dataFile()); }

WordFormsSearch::Forms WordFormsSearch::formsOf(const QString& text, const cardsearch::Query& query) {
    if (!m_option->isChecked() || text.trimmed().isEmpty()) return {};
    const QString path = m_dataFile();
    if (path.isEmpty()) return {};
    const FileLanguages chosen = languages();
    QStringList without;
    for (const QString& language : {chosen.source, chosen.target}) {
        if (!language.isEmpty() && !dictionaries::lemmatizerFor(language) && !without.contains(language)) {
            without.append(languageNamed(language));
        }
    }
    const bool any = (!chosen.source.isEmpty() && dictionaries::lemmatizerFor(chosen.source)) ||
                     (!chosen.target.isEmpty() && dictionaries::lemmatizerFor(chosen.target));
    Forms forms;
    if (!without.isEmpty()) {
        forms.said = QStringLiteral("aucun dictionnaire n'est installé pour %1").arg(without.join(QStringLiteral(" ni ")));
    } else if (!any) {
        forms.said = QStringLiteral("les langues des fiches ne sont pas connues (Affichage > Langues des fiches)");
    }
    if (!any) {
        forms.said = QStringLiteral("Formes fléchies\u00A0: %1, la recherche se fait telle que tapée").arg(forms.said);
        return forms;
    }
    Progress progress(m_window, QStringLiteral("Préparation des formes fléchies..."), Progress::kUnknown);
    QString failure;
    const auto vocabulary =
        VocabularyCache::shared().wait(path, chosen, [&progress] { return progress.update(0); }, failure);
    if (!failure.isEmpty()) {
        forms.said = QStringLiteral("Formes fléchies\u00A0: %1").arg(failure);
        return forms;
    }
    if (!vocabulary) {
        forms.said = QStringLiteral("Formes fléchies\u00A0: la préparation a été annulée, la recherche se fait telle que tapée");
        return forms;
    }
    forms.phrases = std::make_shared<cardsearch::FormPhrases>(formphrases::of(
        text, *vocabulary, query.options.wildcards, query.accents == cardsearch::Accents::ignored));
    if (!without.isEmpty()) forms.said = QStringLiteral("Formes fléchies\u00A0: %1").arg(forms.said);
    return forms;
}

std::shared_ptr<const cardsearch::FormPhrases> WordFormsSearch::suggestedFormsOf(const cardsearch::Query& query) {
    const QString path = m_dataFile();
    if (path.isEmpty() || query.text.trimmed().isEmpty()) return nullptr;
    const FileLanguages chosen = languages();
    const bool any = (!chosen.source.isEmpty() && dictionaries::lemmatizerFor(chosen.source)) ||
                     (!chosen.target.isEmpty() && dictionaries::lemmatizerFor(chosen.target));
    if (!any) return nullptr;
    // Prepared since the window opened: most often ready, else soon.
    Progress progress(m_window, QStringLiteral("Préparation des formes fléchies..."), Progress::kUnknown);
    QString failure;
    const auto vocabulary =
        VocabularyCache::shared().wait(path, chosen, [&progress] { return progress.update(0); }, failure);
    if (!vocabulary) return nullptr;
    return std::make_shared<cardsearch::FormPhrases>(formphrases::of(
        query.text, *vocabulary, query.options.wildcards, query.accents == cardsearch::Accents::ignored));
}

void WordFormsSearch::chooseLanguages() {
    const QString path = m_dataFile();
    const QStringList offered = dictionaries::languages();
    if (path.isEmpty()) return;
    if (offered.size() < 2) {
        Alert::information(m_window, QStringLiteral("Il faut des dictionnaires de deux langues pour choisir celles des "
                                                    "fiches\u00A0; %1 installé.")
                                         .arg(offered.isEmpty() ? QStringLiteral("aucun n'est")
                                                                : QStringLiteral("seul celui du %1 est").arg(languageNamed(offered.front()))));
        return;
    }
    const FileLanguages current = languages();
    const auto chosen = LanguagePairDialog::chooseForCards(m_window, offered, {current.source, current.target});
    if (!chosen) return;
    FileLanguagesSettings settings(fileplaces::settingsFile());
    settings.keep(path, {chosen->source, chosen->target});
    if (m_option->isChecked()) prepare();
}
