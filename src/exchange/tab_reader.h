#pragma once

#include <QString>
#include <cstdint>

#include "exchange/glossary.h"

class QIODevice;

// Reads a glossary of the tab-separated form translation memories keep
// beside their projects (".txt", ".tab", ".utf8"): UTF-8, no line of titles,
// lines beginning with "#" left out, and on each line the source term, the
// target term and a comment, separated by tabs, with no quoting. Throws
// ExchangeError naming the line for a file not in UTF-8 or more lines
// holding a term than `room`.
glossary::Glossary readTab(QIODevice& in, const QString& fileName, std::int32_t room);
