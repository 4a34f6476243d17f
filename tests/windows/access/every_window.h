#pragma once

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <memory>

#include "card_driver.h"
#include "support/card_files.h"
#include "windows/edition/frm_ajout.h"
#include "windows/main/menu.h"
#include "windows/startup/frm_about.h"
#include "windows/startup/frm_splash.h"

// Every window of the program, each opened on demand over one small data
// file, as a user reaches it: the Card window on the second row of the
// full list.
class EveryWindow {
public:
    static QStringList names() {
        return {"Menu", "Frm_ajout", "Frm_consultation", "frm_fiche", "frmAbout", "frmSplash"};
    }

    explicit EveryWindow(WindowTestKit& kit) : m_kit(kit) {
        cardfiles::write(kit.path(), {{1, "un", "one", "chat", "cat", "Zola", "", ""},
                                      {2, "deux", "two", "chien", "dog", "Hugo", "", ""},
                                      {3, "trois", "three", "cheval", "horse", "Balzac", "", ""}});
    }
    ~EveryWindow() {
        if (frmAbout* about = frmAbout::current()) delete about;
        if (m_splash) delete m_splash;
    }

    QWidget* open(const QString& name) {
        if (name == "Menu") return menu();
        if (name == "Frm_ajout") return edition();
        if (name == "Frm_consultation") return consultation().window;
        if (name == "frm_fiche") return card();
        if (name == "frmAbout") {
            frmAbout::showModeless();
            return frmAbout::current();
        }
        if (!m_splash) m_splash = new frmSplash([] {});
        return m_splash;
    }

    // Shows a window and gives it the keyboard.
    static bool activate(QWidget* window) {
        window->show();
        QApplication::setActiveWindow(window);
        return QTest::qWaitForWindowActive(window);
    }

    Menu* menu() {
        if (!m_menu) m_menu = std::make_unique<Menu>(m_kit.path());
        return m_menu.get();
    }
    Frm_ajout* edition() {
        if (!m_edition) {
            m_editionLink.path = m_kit.path();
            m_edition = std::make_unique<Frm_ajout>(m_editionLink);
            m_edition->setAttribute(Qt::WA_DeleteOnClose, false);
            m_edition->Form_Load();
        }
        return m_edition.get();
    }
    Consultation& consultation() {
        if (!m_consultation) {
            m_consultation = std::make_unique<Consultation>(m_kit.path());
            m_consultation->window->setAttribute(Qt::WA_DeleteOnClose, false);
        }
        return *m_consultation;
    }
    frm_fiche* card() {
        if (!m_card) {
            consultation().window->Liste_complete_Click();
            m_card = std::make_unique<CardWindow>(consultation(), 2);
            m_card->window->Form_Load();
        }
        return m_card->window.get();
    }

private:
    WindowTestKit& m_kit;
    std::unique_ptr<Menu> m_menu;
    FakeMainWindow m_editionLink;
    std::unique_ptr<Frm_ajout> m_edition;
    std::unique_ptr<Consultation> m_consultation;
    std::unique_ptr<CardWindow> m_card;
    QPointer<frmSplash> m_splash;
};
