#include "windows/lookup/instance_link.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

namespace {
const QString kLookUp = QStringLiteral("--chercher");
constexpr qsizetype kLengthBytes = 4;
}  // namespace

QByteArray InstanceLink::packed(const QStringList& arguments) {
    QByteArray request;
    QDataStream stream(&request, QIODevice::WriteOnly);
    stream << arguments;
    QByteArray bytes(kLengthBytes, '\0');
    qToBigEndian(quint32(request.size()), bytes.data());
    return bytes + request;
}

InstanceLink::Received InstanceLink::received(const QByteArray& bytes) {
    using State = Received::State;
    if (bytes.size() < kLengthBytes) return {};
    const quint32 length = qFromBigEndian<quint32>(bytes.constData());
    // Whoever sends it, a request claiming more than a start sends, or
    // strings its bytes could not hold, is refused before anything is set
    // aside for it.
    if (length > quint32(kLongestRequest - kLengthBytes) || length < 4) return {State::refused, {}};
    if (bytes.size() < kLengthBytes + qsizetype(length)) return {};
    if (bytes.size() > kLengthBytes + qsizetype(length)) return {State::refused, {}};
    const QByteArray request = bytes.mid(kLengthBytes);
    QDataStream stream(request);
    quint32 count = 0;
    stream >> count;
    if (count > length / 4) return {State::refused, {}};
    stream.device()->seek(0);
    QStringList arguments;
    stream >> arguments;
    if (stream.status() != QDataStream::Ok || !stream.atEnd()) return {State::refused, {}};
    return {State::whole, arguments};
}

QString InstanceLink::unansweredMessage() {
    return QStringLiteral("Lexicarium est déjà ouvert, mais il n'a pas répondu en %1 secondes\u00A0: il termine sans "
                          "doute un long travail. Réessayez quand il l'aura fini.")
        .arg(kAnswerWait.count() / 1000);
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

QStringList StartRequest::arguments() const {
    const QString program = QStringLiteral("lexicarium");
    switch (kind) {
        case Kind::show: return {program};
        case Kind::lookUpSelection: return {program, kLookUp};
        case Kind::lookUpText: break;
    }
    // A character split in two at the cut would be no character.
    qsizetype kept = std::min(text.size(), kLongestText);
    if (kept > 0 && kept < text.size() && text[kept - 1].isHighSurrogate()) --kept;
    return {program, kLookUp, text.left(kept)};
}
