#include "exchange/glossary.h"

#include "store/fiche_record.h"

namespace glossary {

QString primaryLanguage(const QString& code) {
    return code.trimmed().section(u'-', 0, 0).section(u'_', 0, 0).toLower();
}

QString pastTheRoom(std::int32_t room) {
    if (room <= 0) {
        return QStringLiteral("a des termes, et le fichier de données compte déjà %1 fiches, le plus qu'il puisse "
                              "contenir")
            .arg(Module1::kHighestCardNumber);
    }
    return QStringLiteral("a plus de %1 entrées portant des termes\u00A0: le fichier de données ne peut plus en "
                          "recevoir que %1")
        .arg(room);
}

namespace {
const QString kSourceEntries = QStringLiteral("Entrées texte source\u00A0: ");
const QString kTargetEntries = QStringLiteral("Entrées texte cible\u00A0: ");
}  // namespace

QString labelledEntries(const QString& entries, bool source) { return (source ? kSourceEntries : kTargetEntries) + entries; }

std::optional<QString> entriesOfNote(const QString& note) {
    for (const QString& label : {kSourceEntries, kTargetEntries}) {
        // A colon after a plain space counts too: the label as typed by hand.
        QString typed = label;
        typed.replace(u'\u00A0', u' ');
        for (const QString& form : {label, typed}) {
            if (note.startsWith(form)) return note.mid(form.size());
        }
    }
    return std::nullopt;
}

}  // namespace glossary
