#include "consultation_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>

#include "windows/controls/alert.h"
#include "windows/controls/common_dialog.h"
#include "windows/controls/flex_grid.h"

Intercepted::Intercepted() {
    Alert::setInterceptor([](const Alert::Shown&) { return false; });
    CommonDialog::setAnswerer([](const CommonDialog::Request&) { return std::optional<CommonDialog::Choice>(); });
}

Intercepted::~Intercepted() {
    Alert::setInterceptor({});
    CommonDialog::setAnswerer({});
}

ConsultationWindow::ConsultationWindow(const QString& path, const char* scope) {
    menu.path = path;
    consultation.Form_Load();
    consultation.show();
    if (scope) consultation.findChild<QAction*>(QLatin1String(scope))->trigger();
    QCoreApplication::processEvents();
}

void ConsultationWindow::fullList() {
    consultation.Liste_complete_Click();
    QCoreApplication::processEvents();
}

void ConsultationWindow::search(const QString& text, bool ignoringAccents) {
    consultation.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(text);
    consultation.findChild<QAction*>(QStringLiteral("sansaccents"))->setChecked(ignoringAccents);
    consultation.Command1_Click();
    QCoreApplication::processEvents();
}

std::unique_ptr<frm_fiche> ConsultationWindow::cardHalfway() {
    fullList();
    consultation.Grille01()->setRow(16384);
    auto card = std::make_unique<frm_fiche>(menu, *consultation.Grille01());
    card->Form_Load();
    return card;
}

void timeSearches(benchmark::State& state, const char* scope, SearchOrder order) {
    ConsultationWindow window(largestfile::dataFile(), scope);
    const bool ignoringAccents = state.range(0) == 1;
    const QString& timed = order == SearchOrder::noneAfterLarge ? kNone : kLarge;
    for (auto _ : state) {
        if (order != SearchOrder::repeated) {
            state.PauseTiming();
            window.search(order == SearchOrder::largeAfterNone ? kNone : kLarge, ignoringAccents);
            state.ResumeTiming();
        }
        window.search(timed, ignoringAccents);
    }
    if (order != SearchOrder::noneAfterLarge) state.counters["rows"] = window.consultation.Grille01()->Rows() - 1;
}
