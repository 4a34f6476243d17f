#include "windows/lookup/quick_lookup_service.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include "forms/form_phrases.h"
#include "windows/lookup/lookup_actions.h"
#include "windows/controls/alert.h"
#include "windows/lookup/frm_recherche_rapide.h"

namespace {

// How often the window in front is asked for while the look-up is shown.
constexpr int kFrontWatch = 200;

// The selection of a box of this program, or the word under its cursor.
template <typename Box>
QString textAtCursor(Box* box) {
    QTextCursor cursor = box->textCursor();
    if (!cursor.hasSelection()) cursor.select(QTextCursor::WordUnderCursor);
    return cursor.selectedText();
}

QString textAtCursor(QWidget* focused) {
    if (auto* line = qobject_cast<QLineEdit*>(focused)) {
        if (line->hasSelectedText()) return line->selectedText();
        // The word the cursor stands in or just after.
        const QString text = line->text();
        qsizetype begin = line->cursorPosition();
        qsizetype end = begin;
        while (begin > 0 && text[begin - 1].isLetterOrNumber()) --begin;
        while (end < text.size() && text[end].isLetterOrNumber()) ++end;
        return text.mid(begin, end - begin);
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focused)) return textAtCursor(plain);
    if (auto* rich = qobject_cast<QTextEdit*>(focused)) return textAtCursor(rich);
    return {};
}

}  // namespace

QuickLookupService::QuickLookupService(LookupActions& actions, std::unique_ptr<DesktopLink> desktop,
                                       LookupSettings settings, QObject* parent)
    : QObject(parent),
      m_actions(actions),
      m_desktop(std::move(desktop)),
      m_settings(std::move(settings)),
      m_frontWatch(new QTimer(this)) {
    connect(m_desktop.get(), &DesktopLink::shortcutPressed, this, &QuickLookupService::lookUpSelection);
    m_frontWatch->setInterval(kFrontWatch);
    connect(m_frontWatch, &QTimer::timeout, this, [this] {
        if (!m_window || !m_window->isVisible()) {
            m_frontWatch->stop();
        } else if (m_desktop->isInFront(*m_window)) {
            m_seenInFront = true;
        } else if (m_seenInFront) {
            m_frontWatch->stop();
            m_window->userWentElsewhere();
        }
    });
}

QuickLookupService::~QuickLookupService() {
    m_desktop->release();
    delete m_window;
}

void QuickLookupService::start() {
    // The forms of the data file's words, ready by the first look-up.
    formphrases::prepare(m_actions.dataFilePath());
    // Said once, not at every start: the user knows, and may have bound
    // the command to a key of the desktop's instead.
    const QString refused = m_desktop->grab(m_settings.shortcut());
    if (refused == m_settings.toldRefusal()) return;
    m_settings.setToldRefusal(refused);
    if (!refused.isEmpty()) Alert::information(nullptr, refused);
}

QString QuickLookupService::changeShortcut(const QKeySequence& shortcut) {
    const QKeySequence current = m_settings.shortcut();
    const QString refused = m_desktop->grab(shortcut);
    if (!refused.isEmpty()) {
        m_desktop->grab(current);
        return refused;
    }
    m_settings.setShortcut(shortcut);
    return {};
}

void QuickLookupService::lookUpSelection() {
    // Pressed again, or held down, over the window: it stays as it is.
    if (m_window && m_window->isActiveWindow()) return;
    QWidget* focused = QApplication::activeWindow() ? QApplication::focusWidget() : nullptr;
    m_desktop->rememberFocus();
    const QString own = focused ? textAtCursor(focused) : QString();
    lookUp(own.isEmpty() ? m_desktop->selectedText() : own);
}

void QuickLookupService::lookUp(const QString& text) {
    if (Frm_recherche_rapide* window = windowForNow()) {
        window->showFor(text, QCursor::pos());
        watchFront();
    }
}

void QuickLookupService::watchFront() {
    m_seenInFront = false;
    m_frontWatch->start();
}

void QuickLookupService::handle(const StartRequest& request) {
    switch (request.kind) {
        case StartRequest::Kind::lookUpSelection: lookUpSelection(); return;
        case StartRequest::Kind::lookUpText:
            m_desktop->rememberFocus();
            lookUp(request.text);
            return;
        case StartRequest::Kind::show: break;
    }
    // The window the user works in comes to the front.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window == m_window || window->windowType() == Qt::ToolTip) continue;
        window->raise();
        window->activateWindow();
    }
}

Frm_recherche_rapide* QuickLookupService::window() const { return m_window; }

Frm_recherche_rapide* QuickLookupService::windowForNow() {
    // A window shown modal takes every click but its own windows': the
    // look-up opens within it then.
    QWidget* modal = QApplication::activeModalWidget();
    if (m_window && modal && m_window->isAncestorOf(modal)) {
        modal->raise();
        modal->activateWindow();
        return nullptr;
    }
    if (m_window && m_window->parentWidget() != modal) {
        m_window->hide();
        m_window->deleteLater();
        m_window = nullptr;
    }
    if (!m_window) {
        m_window = new Frm_recherche_rapide(m_actions, modal);
        // In front as soon as the program is told so, however short a while.
        connect(m_window, &Frm_recherche_rapide::cameToFront, this, [this] { m_seenInFront = true; });
        connect(m_window, &Frm_recherche_rapide::finished, this, [this](bool giveFocusBack) {
            if (giveFocusBack) m_desktop->giveFocusBack();
        });
    }
    return m_window;
}
