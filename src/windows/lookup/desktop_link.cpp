#include "windows/lookup/desktop_link.h"

namespace desktoplink {

QString takenMessage(const QKeySequence& shortcut) {
    return QStringLiteral("Le raccourci %1 est déjà pris par un autre programme. La recherche rapide reste possible "
                          "par la commande «\u00A0lexicarium --chercher\u00A0», ou choisissez un autre raccourci "
                          "dans le menu «\u00A0Fichier\u00A0» de la fenêtre principale.")
        .arg(shortcut.toString(QKeySequence::NativeText));
}

QString unknownKeyMessage(const QKeySequence& shortcut) {
    return QStringLiteral("Le raccourci %1 ne peut pas être pris hors du programme\u00A0: choisissez une lettre, "
                          "un chiffre ou une touche de fonction, avec Ctrl, Alt, Maj ou la touche Windows.")
        .arg(shortcut.toString(QKeySequence::NativeText));
}

}  // namespace desktoplink
