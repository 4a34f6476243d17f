#include "windows/common/card_saving.h"

#include "store/data_file.h"
#include "store/store_error.h"
#include "windows/common/card_boxes.h"
#include "windows/common/card_number.h"
#include "windows/common/data_file_failure.h"

QString saveCard(const QString& dataFile, const QString& numberText, const CardBoxes& boxes,
                 const MainWindowLink& menu, cardhistory::Action action) {
    QString error;
    const auto number = cardnumber::forSaving(numberText, error);
    if (!number) return error;
    Module1::FicheRecord fiche = Module1::recordBuffer();
    fiche.numero = number->numero;
    boxes.fill(fiche);
    try {
        DataFile file = DataFile::open(dataFile);
        file.writeSlot(number->slot, fiche, action);
        file.close();
    } catch (const StoreError& failure) {
        return failureMessage(failure, menu);
    }
    Module1::recordBuffer() = fiche;
    return {};
}
