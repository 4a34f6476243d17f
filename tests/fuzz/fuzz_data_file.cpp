#include <QCoreApplication>
#include <cstddef>
#include <cstdint>

#include "store/data_file.h"
#include "store/field_text.h"
#include "store/number_text.h"
#include "store/store_error.h"
#include "support/memory_file_system.h"
#include "windows/common/card_number.h"
#include "search/card_search.h"
#include "search/duplicates.h"
#include "windows/controls/grid_model.h"
#include "windows/controls/grid_sort.h"

// Any bytes, taken for a data file: opened, listed, searched in every
// field, its duplicates listed, shown in the grid's cells and sorted, each
// slot read as the Card window reads it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    MemoryFileSystem memory;
    const QString path = QStringLiteral("fuzz.dat");
    memory.files[path] = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    FileSystem::setCurrent(&memory);
    try {
        DataFile file = DataFile::open(path);
        const std::vector<ResultRow> rows = cardsearch::fullList(file);
        cardsearch::search(file, {QStringLiteral("é "), cardsearch::Scope::entries,
                                  cardsearch::SearchedField::dictionnaire, cardsearch::Accents::kept, {}, {}});
        cardsearch::search(file, {QString(), cardsearch::Scope::entries, cardsearch::SearchedField::dictionnairecible,
                                  cardsearch::Accents::kept, {}, {}});
        cardsearch::search(file, {QStringLiteral("oe "), cardsearch::Scope::everyField,
                                  cardsearch::SearchedField::dictionnaire, cardsearch::Accents::ignored, {}, {}});
        cardsearch::search(file, {QStringLiteral("?œu*r e"), cardsearch::Scope::everyField,
                                  cardsearch::SearchedField::dictionnaire, cardsearch::Accents::ignored,
                                  {.wildcards = true, .wholeWord = true, .approximate = true}, {}});
        duplicates::list(file);

        GridModel grid;
        grid.setCols(4);
        grid.setRows(1 + int(rows.size()));
        std::vector<std::vector<QString>> keys;
        for (int r = 0; r < int(rows.size()); ++r) {
            const ResultRow& row = rows[std::size_t(r)];
            grid.setText(r + 1, 0, row.numero);
            grid.setText(r + 1, 1, row.dictionnaire);
            grid.setText(r + 1, 2, row.dictionnairecible);
            grid.setText(r + 1, 3, row.reference);
            keys.push_back({row.dictionnaire, row.dictionnairecible, row.reference});

            QString error;
            if (const auto slot = cardnumber::slotOf(row.numero, error)) {
                Module1::FicheRecord card;
                file.readSlot(*slot, card);
                for (auto field : {Module1::Field::expression, Module1::Field::traduction, Module1::Field::miscellanea,
                                   Module1::Field::contexte}) {
                    fieldtext::read(Module1::field(card, field));
                }
                numbertext::fromNumero(card.numero);
            }
        }
        grid.reorderRows(1, gridsort::ascendingOrder(keys));
        grid.publish();
        file.close();
    } catch (const StoreError&) {
        // A refused card number or slot is an answer, not a fault.
    }
    FileSystem::setCurrent(nullptr);
    return 0;
}
