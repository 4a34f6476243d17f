#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "store/fiche_record.h"

// Data files for tests, written byte for byte.
namespace cardfiles {

struct Card {
    int numero;
    QString expression;
    QString traduction;
    QString dictionnaire;
    QString dictionnairecible;
    QString reference;
    QString miscellanea;
    QString contexte;
};

Module1::FicheRecord record(const Card& card);
// Writes the cards in slots 1, 2, ... whatever their numbers.
void write(const QString& path, const QList<Card>& cards);
// Cards numbered 1..n, expression "fiche i", dictionnaire "source i", etc.
void writeNumbered(const QString& path, int n);
QByteArray contents(const QString& path);
// The data file made these bytes again, with no card history, as before a test's first save.
void restore(const QString& path, const QByteArray& bytes);
// The slot's bytes as the file holds them now.
QByteArray slot(const QString& path, int n);
// The text of one field of slot n, trailing spaces removed.
QString fieldOf(const QString& path, int n, Module1::Field field);

// Beside the data file, a complete recovery file in the form of the first
// version, which names no file and so is never applied.
void writeFirstVersionRecoveryFile(const QString& dataFile);

}  // namespace cardfiles
