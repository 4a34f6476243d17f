#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "check/terminology_check.h"

// The gaps of a check as a report: a table of them, by the name typed
// (.csv, .xlsx or .ods), or one line each for a script.
namespace gapreport {

enum class Format { csv, xlsx, ods };

// The format the name's extension asks for; none for another.
std::optional<Format> formatOf(const QString& path);

// « Segment », « Texte source », « Terme », « Traduction attendue »,
// « Texte cible », « N° fiche », « Écart », « Terme déconseillé ».
QStringList titles();
// One gap under those titles.
QStringList rowOf(const bilingual::File& file, const termcheck::Gap& gap);

// The table of the gaps at path, complete or not at all (a file of that
// name stays as it was on failure). Throws ExchangeError in French.
void write(const QString& path, const bilingual::File& file, const std::vector<termcheck::Gap>& gaps);

// « 3 écarts dans 3 segments sur 6 (2 segments sans traduction) »: the
// gaps left, of a check that counted `counts`' segments.
QString summaryOf(const std::vector<termcheck::Gap>& gaps, const termcheck::Report& counts);

// segment, card number, expression, expected translation, gap and the
// deprecated term where there is one, tab between them, on one line.
QString lineOf(const bilingual::File& file, const termcheck::Gap& gap);

}  // namespace gapreport
