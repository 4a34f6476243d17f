#include "support/card_files.h"

#include <QFile>

#include "store/card_history.h"
#include "store/cp1252.h"
#include "store/field_text.h"

namespace cardfiles {

Module1::FicheRecord record(const Card& card) {
    using Module1::Field;
    Module1::FicheRecord fiche = Module1::emptyCard(card.numero);
    fieldtext::store(fiche.expression, card.expression);
    fieldtext::store(fiche.traduction, card.traduction);
    fieldtext::store(fiche.dictionnaire, card.dictionnaire);
    fieldtext::store(fiche.dictionnairecible, card.dictionnairecible);
    fieldtext::store(fiche.reference, card.reference);
    fieldtext::store(fiche.miscellanea, card.miscellanea);
    fieldtext::store(fiche.contexte, card.contexte);
    return fiche;
}

void write(const QString& path, const QList<Card>& cards) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
    for (const Card& card : cards) {
        const auto bytes = Module1::toBytes(record(card));
        file.write(bytes.data(), Module1::kSlotSize);
    }
}

void writeNumbered(const QString& path, int n) {
    QList<Card> cards;
    for (int i = 1; i <= n; ++i) {
        const QString s = QString::number(i);
        cards.append({i, "fiche " + s, "traduction " + s, "source " + s, "cible " + s, "ref " + s, "misc " + s,
                      "contexte " + s});
    }
    write(path, cards);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void restore(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    QFile::remove(cardhistory::besidePath(FileSystem::native(), path));
    QFile::remove(cardhistory::fallbackPath(FileSystem::native(), path));
}

QByteArray slot(const QString& path, int n) { return contents(path).mid((n - 1) * Module1::kSlotSize, Module1::kSlotSize); }

QString fieldOf(const QString& path, int n, Module1::Field field) {
    const QByteArray bytes = slot(path, n);
    if (bytes.size() != Module1::kSlotSize) return QStringLiteral("<no slot>");
    Module1::FicheRecord fiche;
    Module1::fromBytes(bytes.constData(), fiche);
    return fieldtext::read(Module1::field(fiche, field));
}

void writeFirstVersionRecoveryFile(const QString& dataFile) {
    // The magic, the old length, the start and the count of bytes kept, the
    // bytes, then an FNV-1a checksum of all that.
    QByteArray journal("LXJ1", 4);
    for (quint64 value : {quint64(2799), quint64(0), quint64(3)}) {
        for (int i = 0; i < 8; ++i) journal.append(char((value >> (8 * i)) & 0xFF));
    }
    journal.append("abc");
    quint64 hash = 0xcbf29ce484222325ULL;
    for (char byte : journal) hash = (hash ^ static_cast<unsigned char>(byte)) * 0x100000001b3ULL;
    for (int i = 0; i < 8; ++i) journal.append(char((hash >> (8 * i)) & 0xFF));
    QFile file(dataFile + QStringLiteral(".sauvegarde-en-cours"));
    if (!file.open(QIODevice::WriteOnly) || file.write(journal) != journal.size()) qFatal("cannot write a recovery file");
}

}  // namespace cardfiles
