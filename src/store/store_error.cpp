#include "store/store_error.h"

#include <QDir>

#include <cerrno>

QString describeSystemError(int error) {
    switch (error) {
        case ENOENT: return QStringLiteral("le dossier qui doit le contenir n'existe pas");
        case EACCES:
        case EPERM: return QStringLiteral("l'accès est refusé");
        case EISDIR: return QStringLiteral("ce nom désigne un dossier, pas un fichier");
        case ENOTDIR: return QStringLiteral("une partie du chemin n'est pas un dossier");
        case ENOSPC: return QStringLiteral("le disque est plein");
#ifdef EDQUOT
        case EDQUOT: return QStringLiteral("le quota du disque est atteint");
#endif
        case EFBIG: return QStringLiteral("le fichier a atteint la taille maximale permise");
        case EROFS: return QStringLiteral("le support est en lecture seule");
        case EIO: return QStringLiteral("erreur d'entrée-sortie sur le disque");
        case ENAMETOOLONG: return QStringLiteral("le chemin est trop long");
        case EMFILE:
        case ENFILE: return QStringLiteral("trop de fichiers sont déjà ouverts");
        case EBADF: return QStringLiteral("le fichier n'est pas ouvert en écriture");
        case EINVAL: return QStringLiteral("opération refusée par le système de fichiers");
        default: return QStringLiteral("erreur système n° %1").arg(error);
    }
}

QString quotedPath(const QString& path) {
    return QStringLiteral("«\u00A0%1\u00A0»").arg(QDir::toNativeSeparators(path));
}
