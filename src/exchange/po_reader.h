#pragma once

#include <QIODevice>
#include <QString>

#include "exchange/bilingual_file.h"

// A gettext PO file: each message a segment, msgid its source and msgstr
// its target (the first form of a plural), the header's « Language » the
// target's language; an empty msgstr is a segment without target, and the
// header and obsolete messages are none.
namespace bilingual {
File readPo(QIODevice& in, const QString& path);
}
