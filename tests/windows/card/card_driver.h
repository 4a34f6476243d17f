#pragma once

#include <memory>

#include "consultation_driver.h"
#include "support/card_form_controls.h"
#include "windows/card/frm_fiche.h"

// A Card window opened on a row of a Consultation window's grid.
struct CardWindow : CardFormControls {
    std::unique_ptr<frm_fiche> window;

    CardWindow(Consultation& consultation, int row) {
        consultation.grid().setRow(row);
        consultation.grid().setCol(1);
        window = std::make_unique<frm_fiche>(consultation.menu, consultation.grid());
        form = window.get();
    }
};
