#pragma once

#include <QIODevice>
#include <QString>

#include "exchange/bilingual_file.h"

// XLIFF 1.2 (file, trans-unit, source, target) and XLIFF 2.x (xliff
// srcLang/trgLang, unit, segment): every segment in the file's order, its
// inline codes left out of its text; a unit marked translate="no" as such.
namespace bilingual {
File readXliff(QIODevice& in, const QString& path);
}
