#pragma once

#include <QString>
#include <benchmark/benchmark.h>
#include <memory>

#include "largest_file.h"
#include "main_window_stand_in.h"
#include "windows/card/frm_fiche.h"
#include "windows/consultation/frm_consultation.h"

// While it lives, dialogs are cancelled and message boxes answered without waiting.
struct Intercepted {
    Intercepted();
    ~Intercepted();
};

// A Consultation window on the largest file, shown on the offscreen screen,
// searching where the « Chercher dans » command named `scope` says (the
// entries when none is named).
struct ConsultationWindow {
    Intercepted intercepted;
    MainWindowStandIn menu;
    Frm_consultation consultation{menu};

    explicit ConsultationWindow(const QString& path = largestfile::dataFile(), const char* scope = nullptr);
    void fullList();
    // A search, with or without regard to accents.
    void search(const QString& text, bool ignoringAccents = false);
    // The Card window on a card halfway down the full list.
    std::unique_ptr<frm_fiche> cardHalfway();
};

// "tion" lies in the source entries of about 12,400 of the 32767 cards and in
// one field or another of nearly all; "zzz" in none.
inline const QString kLarge = QStringLiteral("TION");
inline const QString kNone = QStringLiteral("zzz");

// Searches as a user makes them, the grid keeping its rows between two:
// the large one again and again, the large after the empty one, or the empty
// after the large (only the second of two is timed). Range 0 with regard to
// accents, 1 without.
enum class SearchOrder { repeated, largeAfterNone, noneAfterLarge };
void timeSearches(benchmark::State& state, const char* scope, SearchOrder order);
