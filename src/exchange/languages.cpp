#include "exchange/languages.h"

#include <algorithm>

#include <QHash>
#include <QLocale>

namespace languages {

const QList<Language>& all() {
    static const QList<Language> list = {
        {QStringLiteral("en"), QStringLiteral("anglais")},
        {QStringLiteral("en-GB"), QStringLiteral("anglais (Royaume-Uni)")},
        {QStringLiteral("en-US"), QStringLiteral("anglais (États-Unis)")},
        {QStringLiteral("fr"), QStringLiteral("français")},
        {QStringLiteral("fr-FR"), QStringLiteral("français (France)")},
        {QStringLiteral("fr-BE"), QStringLiteral("français (Belgique)")},
        {QStringLiteral("fr-CA"), QStringLiteral("français (Canada)")},
        {QStringLiteral("fr-CH"), QStringLiteral("français (Suisse)")},
        {QStringLiteral("de"), QStringLiteral("allemand")},
        {QStringLiteral("es"), QStringLiteral("espagnol")},
        {QStringLiteral("it"), QStringLiteral("italien")},
        {QStringLiteral("pt"), QStringLiteral("portugais")},
        {QStringLiteral("pt-BR"), QStringLiteral("portugais (Brésil)")},
        {QStringLiteral("nl"), QStringLiteral("néerlandais")},
        {QStringLiteral("ca"), QStringLiteral("catalan")},
        {QStringLiteral("la"), QStringLiteral("latin")},
        {QStringLiteral("el"), QStringLiteral("grec")},
        {QStringLiteral("da"), QStringLiteral("danois")},
        {QStringLiteral("sv"), QStringLiteral("suédois")},
        {QStringLiteral("nb"), QStringLiteral("norvégien")},
        {QStringLiteral("fi"), QStringLiteral("finnois")},
        {QStringLiteral("pl"), QStringLiteral("polonais")},
        {QStringLiteral("cs"), QStringLiteral("tchèque")},
        {QStringLiteral("hu"), QStringLiteral("hongrois")},
        {QStringLiteral("ro"), QStringLiteral("roumain")},
        {QStringLiteral("ru"), QStringLiteral("russe")},
        {QStringLiteral("tr"), QStringLiteral("turc")},
        {QStringLiteral("ar"), QStringLiteral("arabe")},
        {QStringLiteral("he"), QStringLiteral("hébreu")},
        {QStringLiteral("zh"), QStringLiteral("chinois")},
        {QStringLiteral("ja"), QStringLiteral("japonais")},
    };
    return list;
}

namespace {

// A name as compared: lower case, without accents, letters only.
QString bare(const QString& name) {
    QString out;
    for (const QChar ch : name.normalized(QString::NormalizationForm_D)) {
        if (ch.isLetter()) out += ch.toLower();
    }
    return out;
}

bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Two or three letters: "en", "fra". (Read by hand: these run on the
// check's threads, where a regular expression's per-thread stack is better
// not made.)
bool isBareCode(QStringView text) {
    return (text.size() == 2 || text.size() == 3) && std::all_of(text.begin(), text.end(), isAsciiLetter);
}

// A bare code, then parts of one to eight letters or digits after "-" or
// "_": "en-US", "nan_TW", "zh-Hant-TW".
bool isCodeWithRegion(QStringView text) {
    qsizetype at = 0;
    while (at < text.size() && text[at] != u'-' && text[at] != u'_') ++at;
    if (at == text.size() || !isBareCode(text.left(at))) return false;
    while (at < text.size()) {
        const qsizetype begin = ++at;  // past the separator
        while (at < text.size() && (isAsciiLetter(text[at]) || isAsciiDigit(text[at]))) ++at;
        if (at - begin < 1 || at - begin > 8) return false;
        if (at < text.size() && text[at] != u'-' && text[at] != u'_') return false;
    }
    return true;
}

}  // namespace

QString codeOfName(const QString& name) {
    static const QHash<QString, QString> codes = [] {
        QHash<QString, QString> byName;
        for (const Language& language : all()) {
            if (language.code.contains(u'-')) continue;
            const QLocale locale(language.code);
            byName.insert(bare(language.name), language.code);
            byName.insert(bare(QLocale::languageToString(locale.language())), language.code);
            byName.insert(bare(locale.nativeLanguageName()), language.code);
        }
        return byName;
    }();
    // A code with its region ("en-US", "nan_TW") is one whatever its
    // language; a bare one must be a language's ("pos" and "ref" are not),
    // and "ID" and "No" head other columns more often than Indonesian and
    // Norwegian ones.
    const QString trimmed = name.trimmed();
    if (isCodeWithRegion(trimmed)) return trimmed.section(u'-', 0, 0).section(u'_', 0, 0).toLower();
    const QString lower = trimmed.toLower();
    if (isBareCode(trimmed) && lower != QLatin1String("id") && lower != QLatin1String("no")) {
        // Two letters of ISO 639-1, or three of ISO 639-2 ("fra", as "fr").
        const QLocale::Language language =
            QLocale::codeToLanguage(lower, lower.size() == 2 ? QLocale::ISO639Part1 : QLocale::ISO639Part2);
        if (language != QLocale::AnyLanguage) {
            const QString shortest = QLocale::languageToCode(language, QLocale::ISO639Part1);
            return shortest.isEmpty() ? lower : shortest;
        }
    }
    return codes.value(bare(trimmed));
}

QString nameOf(const QString& code) {
    for (const Language& language : all()) {
        if (language.code.compare(code, Qt::CaseInsensitive) == 0) return language.name;
    }
    return {};
}

}  // namespace languages
