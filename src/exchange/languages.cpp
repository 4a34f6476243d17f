#include "exchange/languages.h"

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

QString nameOf(const QString& code) {
    for (const Language& language : all()) {
        if (language.code.compare(code, Qt::CaseInsensitive) == 0) return language.name;
    }
    return {};
}

}  // namespace languages
