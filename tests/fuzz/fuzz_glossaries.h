#pragma once

#include <QBuffer>
#include <functional>

#include "exchange/exchange_error.h"
#include "exchange/glossary.h"
#include "exchange/glossary_cards.h"
#include "fuzz_input.h"

// A reader of a glossary given any bytes: it reads them or refuses them
// with an ExchangeError, nothing else; what it reads makes cards as an
// import would, in every pair of its languages.
namespace fuzzglossary {

using Reader = std::function<glossary::Glossary(QIODevice&, const QString&, std::int32_t)>;

inline void readAndMakeCards(const std::uint8_t* data, std::size_t size, const Reader& read) {
    fuzzinput::ensureApplication();
    QByteArray bytes = fuzzinput::bytes(data, size);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    glossary::Glossary found;
    try {
        found = read(in, QStringLiteral("fuzz"), 500);
    } catch (const ExchangeError&) {
        return;
    }
    if (found.languages.isEmpty()) {
        glossary::cardsOf(found, glossary::proposedPair(found));
        return;
    }
    for (const QString& source : found.languages) {
        for (const QString& target : found.languages) {
            if (source != target) glossary::cardsOf(found, {source, target});
        }
    }
}

}  // namespace fuzzglossary
