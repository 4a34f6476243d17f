#include "exchange/glossary.h"

namespace glossary {

QString primaryLanguage(const QString& code) {
    return code.trimmed().section(u'-', 0, 0).section(u'_', 0, 0).toLower();
}

}  // namespace glossary
