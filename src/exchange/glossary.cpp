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

}  // namespace glossary
