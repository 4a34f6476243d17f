#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "windows/lookup/desktop_link.h"
#include "windows/lookup/instance_link.h"
#include "windows/lookup/lookup_settings.h"

class Frm_recherche_rapide;
class QTimer;
class LookupActions;

// Looking a term up from wherever the user works: the shortcut held while
// the program runs, the selection read when it is pressed, the « Recherche
// rapide » window shown for it, and the focus given back when it closes.
class QuickLookupService : public QObject {
    Q_OBJECT
public:
    QuickLookupService(LookupActions& actions, std::unique_ptr<DesktopLink> desktop, LookupSettings settings,
                       QObject* parent = nullptr);
    ~QuickLookupService() override;

    // Takes the shortcut the settings keep; when another program holds it,
    // says so, once for as long as that stays so, and goes on without it.
    void start();

    QKeySequence shortcut() const { return m_settings.shortcut(); }
    // Takes `shortcut` in place of the current one and keeps it. When it
    // cannot be taken, the current one stays and the French reason comes back.
    QString changeShortcut(const QKeySequence& shortcut);

    // The window for the text selected where the user works: in a box of
    // this program, its selection or the word under its cursor.
    void lookUpSelection();
    void lookUp(const QString& text);
    // What a later start of the program asked.
    void handle(const StartRequest& request);

    // The window, once a look-up has shown it.
    Frm_recherche_rapide* window() const;

private:
    // The window to show, within the window shown modal if there is one;
    // none while a box of the window's own waits for an answer.
    Frm_recherche_rapide* windowForNow();
    // While the window is shown: once it has been in front, another window
    // put in front by the user closes it.
    void watchFront();

    LookupActions& m_actions;
    std::unique_ptr<DesktopLink> m_desktop;
    LookupSettings m_settings;
    QPointer<Frm_recherche_rapide> m_window;
    QTimer* m_frontWatch;
    bool m_seenInFront = false;
};
