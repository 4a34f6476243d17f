#pragma once

#include <QApplication>
#include <QStatusBar>

#include "support/card_form_controls.h"
#include "support/window_test_kit.h"
#include "windows/common/status_panel.h"
#include "windows/edition/frm_ajout.h"

// An Edition window loaded, shown and active, so that its boxes take and
// lose the focus and its status bar shows what it has to say.
struct ShownEdition : CardFormControls {
    FakeMainWindow menu;
    Frm_ajout* window;

    explicit ShownEdition(const QString& path) : window(new Frm_ajout(menu)) {
        form = window;
        menu.path = path;
        window->Form_Load();
        window->show();
        QApplication::setActiveWindow(window);
    }
    ~ShownEdition() { delete window; }
    ShownEdition(const ShownEdition&) = delete;
    ShownEdition& operator=(const ShownEdition&) = delete;

    // The status bar's notice of that name; empty when none stands.
    QString notice(const char* name) const {
        auto* panel = window->statusBar()->findChild<StatusPanel*>(QLatin1String(name));
        return panel && panel->isVisible() ? panel->text() : QString();
    }
    bool captionShown() const { return window->statusBar()->findChild<QWidget*>(QStringLiteral("Panel1"))->isVisible(); }
};
