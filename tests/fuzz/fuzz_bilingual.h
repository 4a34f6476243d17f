#pragma once

#include <QBuffer>
#include <functional>
#include <memory>

#include "check/check_cards.h"
#include "check/terminology_check.h"
#include "exchange/exchange_error.h"
#include "fuzz_input.h"
#include "store/data_file.h"
#include "support/memory_file_system.h"

// A reader of a bilingual file given any bytes: it reads them or refuses
// them with an ExchangeError, nothing else; what it reads is checked
// against a few cards, as the check of a translation would, both ways.
namespace fuzzbilingual {

using Reader = std::function<bilingual::File(QIODevice&, const QString&)>;

inline termcheck::TermGlossary& glossary(termcheck::Direction direction) {
    static MemoryFileSystem memory;
    static const bool written = [] {
        QByteArray bytes;
        for (const cardfiles::Card& card : checkcards::kCards) {
            const Module1::SlotBytes slot = Module1::toBytes(cardfiles::record(card));
            bytes.append(slot.data(), Module1::kSlotSize);
        }
        memory.files[QStringLiteral("fuzz.dat")] = bytes;
        return true;
    }();
    (void)written;
    const auto read = [](termcheck::Direction direction) {
        FileSystem::setCurrent(&memory);
        DataFile file = DataFile::open(QStringLiteral("fuzz.dat"));
        std::shared_ptr<termcheck::TermGlossary> made =
            termcheck::TermGlossary::read(file, {QStringLiteral("fr"), QStringLiteral("en")}, direction);
        FileSystem::setCurrent(nullptr);
        return made;
    };
    static const std::shared_ptr<termcheck::TermGlossary> expressionsFirst = read(termcheck::Direction::expressionsFirst);
    static const std::shared_ptr<termcheck::TermGlossary> translationsFirst = read(termcheck::Direction::translationsFirst);
    return direction == termcheck::Direction::expressionsFirst ? *expressionsFirst : *translationsFirst;
}

inline void readAndCheck(const std::uint8_t* data, std::size_t size, const Reader& read) {
    fuzzinput::ensureApplication();
    QByteArray bytes = fuzzinput::bytes(data, size);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    bilingual::File file;
    try {
        file = read(in, QStringLiteral("fuzz"));
    } catch (const ExchangeError&) {
        return;
    }
    for (const auto direction : {termcheck::Direction::expressionsFirst, termcheck::Direction::translationsFirst}) {
        termcheck::check(glossary(direction), file, {}, {});
    }
}

}  // namespace fuzzbilingual
