#include "windows/lookup/instance_link.h"

#include <QDataStream>
#include <QIODevice>

namespace {
const QString kLookUp = QStringLiteral("--chercher");
}  // namespace

QByteArray InstanceLink::packed(const QStringList& arguments) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << arguments;
    return bytes;
}

std::optional<QStringList> InstanceLink::unpacked(const QByteArray& bytes) {
    // Whoever sends it, a list claiming more strings than its bytes could
    // hold is refused before anything is set aside for them.
    QDataStream stream(bytes);
    quint32 count = 0;
    stream >> count;
    if (bytes.size() > kLongestRequest || count > quint32(bytes.size() / 4)) return std::nullopt;
    stream.device()->seek(0);
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
