#include "forms/dictionaries.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <map>
#include <mutex>

#include "forms/hunspell_lemmatizer.h"

namespace dictionaries {
namespace {

struct State {
    std::mutex turn;
    QStringList replacedFolders;
    QHash<QString, std::shared_ptr<const Lemmatizer>> opened;
};

State& state() {
    static State shared;
    return shared;
}

// "fr_FR", "fr-BE", "en_US" or "fr": its primary language.
QString languageOfName(const QString& baseName) { return baseName.section(u'_', 0, 0).section(u'-', 0, 0).toLower(); }

}  // namespace

QStringList folders() {
    {
        const std::lock_guard<std::mutex> lock(state().turn);
        if (!state().replacedFolders.isEmpty()) return state().replacedFolders;
    }
    QStringList found;
    if (QCoreApplication::instance()) found.append(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("dictionnaires")));
    found << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/share/myspell/dicts")
          << QStringLiteral("/usr/share/myspell");
    return found;
}

void setFolders(const QStringList& replacement) {
    const std::lock_guard<std::mutex> lock(state().turn);
    state().replacedFolders = replacement;
    state().opened.clear();
}

std::vector<Installed> installed() {
    std::map<QString, Installed> byLanguage;
    for (const QString& folder : folders()) {
        const QDir dir(folder);
        // "fr.dic" before "fr_BE.dic": the language's own before its regions'.
        QStringList names = dir.entryList({QStringLiteral("*.dic")}, QDir::Files, QDir::Name);
        std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.size() < b.size(); });
        for (const QString& name : names) {
            const QString base = QFileInfo(name).completeBaseName();
            const QString affix = dir.filePath(base + QStringLiteral(".aff"));
            if (!QFileInfo::exists(affix) || base.startsWith(QLatin1String("hyph"))) continue;
            const QString language = languageOfName(base);
            if (language.size() < 2 || language.size() > 3 || byLanguage.count(language)) continue;
            byLanguage.emplace(language, Installed{language, affix, dir.filePath(name)});
        }
    }
    std::vector<Installed> list;
    for (auto& [language, dictionary] : byLanguage) list.push_back(dictionary);
    return list;
}

QStringList languages() {
    QStringList codes;
    for (const Installed& dictionary : installed()) codes.append(dictionary.language);
    return codes;
}

std::shared_ptr<const Lemmatizer> lemmatizerFor(const QString& language) {
    {
        const std::lock_guard<std::mutex> lock(state().turn);
        if (const auto known = state().opened.find(language); known != state().opened.end()) return *known;
    }
    std::shared_ptr<const Lemmatizer> made;
    for (const Installed& dictionary : installed()) {
        if (dictionary.language != language) continue;
        auto opened = std::make_shared<HunspellLemmatizer>(language, dictionary.affixFile, dictionary.dictionaryFile);
        if (opened->ready()) made = opened;
        break;
    }
    const std::lock_guard<std::mutex> lock(state().turn);
    state().opened.insert(language, made);
    return made;
}

}  // namespace dictionaries
