#pragma once

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <memory>

#include "card_driver.h"
#include "support/card_files.h"
#include "windows/edition/frm_ajout.h"
#include "windows/main/menu.h"
#include "windows/startup/frm_about.h"
#include "windows/startup/frm_splash.h"
#include "windows/verification/frm_verification.h"

// Every window of the program, each opened on demand over one small data
// file, as a user reaches it: the Card window on the second row of the
// full list.
class EveryWindow {
public:
    static QStringList names() {
        return {"Menu", "Frm_ajout", "Frm_consultation", "frm_fiche", "Frm_verification", "frmAbout", "frmSplash"};
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
        if (name == "Frm_verification") return verification();
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

    // The gaps of a small translation: « un » not translated « one ».
    Frm_verification* verification() {
        if (!m_verification) {
            const QString po = m_kit.path("traduction.po");
            QFile file(po);
            if (!file.open(QIODevice::WriteOnly)) return nullptr;
            file.write("msgid \"un chat\"\nmsgstr \"a cat\"\n\nmsgid \"deux chiens\"\nmsgstr \"two dogs\"\n");
            file.close();
            m_verificationLink.path = m_kit.path();
            m_verification = std::make_unique<Frm_verification>(m_verificationLink);
            if (!m_verification->Form_Load(po)) return nullptr;
        }
        return m_verification.get();
    }

private:
    WindowTestKit& m_kit;
    std::unique_ptr<Menu> m_menu;
    FakeMainWindow m_editionLink;
    std::unique_ptr<Frm_ajout> m_edition;
    std::unique_ptr<Consultation> m_consultation;
    std::unique_ptr<CardWindow> m_card;
    FakeMainWindow m_verificationLink;
    std::unique_ptr<Frm_verification> m_verification;
    QPointer<frmSplash> m_splash;
};
