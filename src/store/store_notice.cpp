#include "store/store_notice.h"

#include <QtGlobal>

namespace storenotice {
namespace {

Listener& listener() {
    static Listener current;
    return current;
}

}  // namespace

void setListener(Listener replacement) { listener() = std::move(replacement); }

void tell(const QString& message) {
    if (listener()) {
        listener()(message);
    } else {
        qWarning("%s", qUtf8Printable(message));
    }
}

}  // namespace storenotice
