#pragma once

#include <QIODevice>
#include <QString>

#include "exchange/bilingual_file.h"

// TMX 1.4: each translation unit (tu) a segment, its source the variant
// (tuv) in the header's source language, its target the first in another
// language; the languages read from each variant's xml:lang.
namespace bilingual {
File readTmx(QIODevice& in, const QString& path);
}
