#include "windows/lookup/instance_link.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>

namespace {
const QString kLookUp = QStringLiteral("--chercher");
}  // namespace

QString InstanceLink::nameForUser() {
    // The home folder tells users apart on every system; hashed, it makes a
    // short name a socket path can hold.
    const QByteArray home = QDir::homePath().toUtf8();
    return QStringLiteral("lexicarium-") +
           QString::fromLatin1(QCryptographicHash::hash(home, QCryptographicHash::Sha1).toHex().left(16));
}

QByteArray InstanceLink::packed(const QStringList& arguments) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << arguments;
    return bytes;
}

std::optional<QStringList> InstanceLink::unpacked(const QByteArray& bytes) {
    QDataStream stream(bytes);
    QStringList arguments;
    stream >> arguments;
    if (stream.status() != QDataStream::Ok) return std::nullopt;
    return arguments;
}

StartRequest StartRequest::from(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.startsWith(kLookUp + u'=')) return {Kind::lookUpText, argument.mid(kLookUp.size() + 1)};
        if (argument != kLookUp) continue;
        if (i + 1 < arguments.size()) return {Kind::lookUpText, arguments[i + 1]};
        return {Kind::lookUpSelection, {}};
    }
    return {};
}
