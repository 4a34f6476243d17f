// The X11 desktop: the shortcut grabbed on the root window through xcb, the
// primary selection read as every X program offers it, the focus handed back
// through the window manager. Without X11 (Wayland), no shortcut can be taken.
#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QApplication>
#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

#include "windows/lookup/desktop_link.h"

namespace {

constexpr std::array<std::uint16_t, 4> kLockStates = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                       XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

// The X key symbol of a Qt key: Latin-1 keys are their own lower-case code.
xcb_keysym_t keySymbolOf(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return xcb_keysym_t(key - Qt::Key_A + 'a');
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) return xcb_keysym_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) return xcb_keysym_t(0xffbe + key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Insert: return 0xff63;
        case Qt::Key_Home: return 0xff50;
        case Qt::Key_End: return 0xff57;
        case Qt::Key_PageUp: return 0xff55;
        case Qt::Key_PageDown: return 0xff56;
        case Qt::Key_Pause: return 0xff13;
        case Qt::Key_Print: return 0xff61;
        default: return 0;
    }
}

std::uint16_t modifierStateOf(Qt::KeyboardModifiers modifiers) {
    std::uint16_t state = 0;
    if (modifiers & Qt::ControlModifier) state |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier) state |= XCB_MOD_MASK_1;
    if (modifiers & Qt::ShiftModifier) state |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::MetaModifier) state |= XCB_MOD_MASK_4;
    return state;
}

class X11DesktopLink : public DesktopLink, public QAbstractNativeEventFilter {
public:
    X11DesktopLink() {
        // Platforms without a display (offscreen) offer the interface with no
        // connection behind it: a desktop without the shortcut, as Wayland.
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11 || !x11->connection()) return;
        m_connection = x11->connection();
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~X11DesktopLink() override { release(); }

    QString grab(const QKeySequence& shortcut) override {
        if (!m_connection) {
            return QStringLiteral("Ce bureau ne laisse pas un programme prendre le raccourci %1\u00A0: associez-y la "
                                  "commande «\u00A0lexicarium --chercher\u00A0» dans les réglages du clavier.")
                .arg(shortcut.toString(QKeySequence::NativeText));
        }
        const QKeyCombination combination = shortcut[0];
        const xcb_keycode_t keycode = keyCodeOf(keySymbolOf(combination.key()));
        if (shortcut.count() != 1 || keycode == 0) return desktoplink::unknownKeyMessage(shortcut);
        const std::uint16_t state = modifierStateOf(combination.keyboardModifiers());
        release();
        // Caps Lock and Num Lock change the state the key comes with: the
        // shortcut is taken under each.
        std::vector<xcb_void_cookie_t> cookies;
        for (const std::uint16_t lock : kLockStates) {
            cookies.push_back(xcb_grab_key_checked(m_connection, 1, m_root, state | lock, keycode,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
        bool taken = false;
        for (const xcb_void_cookie_t cookie : cookies) {
            if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
                taken = true;
                std::free(error);
            }
        }
        m_keycode = keycode;
        m_state = state;
        if (taken) {
            release();
            return desktoplink::takenMessage(shortcut);
        }
        return {};
    }

    void release() override {
        if (!m_connection || m_keycode == 0) return;
        for (const std::uint16_t lock : kLockStates) xcb_ungrab_key(m_connection, m_keycode, m_root, m_state | lock);
        xcb_flush(m_connection);
        m_keycode = 0;
    }

    QString selectedText() override { return QGuiApplication::clipboard()->text(QClipboard::Selection); }

    void rememberFocus() override {
        if (!m_connection) return;
        m_focused = activeWindow().value_or(XCB_WINDOW_NONE);
    }

    bool isInFront(const QWidget& window) const override {
        // Without a window manager that says which window is in front, the
        // program's own activation is all there is to go by.
        const std::optional<xcb_window_t> active = m_connection ? activeWindow() : std::nullopt;
        if (!active) return window.isActiveWindow();
        for (const QWidget* shown : QApplication::topLevelWidgets()) {
            if (!shown->isVisible() || shown->winId() != *active) continue;
            for (const QWidget* owner = shown; owner; owner = owner->parentWidget()) {
                if (owner == &window) return true;
            }
        }
        return false;
    }

    void giveFocusBack() override {
        if (!m_connection || m_focused == XCB_WINDOW_NONE) return;
        // Asked of the window manager as a pager would, which it grants.
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = m_focused;
        event.type = atom("_NET_ACTIVE_WINDOW");
        event.data.data32[0] = 2;
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(m_connection);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (m_keycode == 0 || eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
        if (key->detail != m_keycode || (key->state & ~(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2)) != m_state) return false;
        emit shortcutPressed();
        return true;
    }

private:
    // The window the window manager says is active, none where it says none.
    // The window the window manager says is in front (none: the desktop's
    // own); nothing where no manager publishes it.
    std::optional<xcb_window_t> activeWindow() const {
        const xcb_atom_t active = atom("_NET_ACTIVE_WINDOW");
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, active, XCB_ATOM_WINDOW, 0, 1), nullptr);
        if (!reply) return std::nullopt;
        std::optional<xcb_window_t> found;
        if (reply->type == XCB_ATOM_WINDOW) {
            found = xcb_get_property_value_length(reply) >= int(sizeof(xcb_window_t))
                        ? *static_cast<xcb_window_t*>(xcb_get_property_value(reply))
                        : xcb_window_t(XCB_WINDOW_NONE);
        }
        std::free(reply);
        return found;
    }

    xcb_keycode_t keyCodeOf(xcb_keysym_t symbol) const {
        if (symbol == 0) return 0;
        const xcb_setup_t* setup = xcb_get_setup(m_connection);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
            m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, std::uint8_t(count)), nullptr);
        if (!mapping) return 0;
        const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping);
        const int perCode = mapping->keysyms_per_keycode;
        xcb_keycode_t found = 0;
        for (int code = 0; code < count && found == 0; ++code) {
            for (int level = 0; level < perCode; ++level) {
                if (symbols[code * perCode + level] == symbol) {
                    found = xcb_keycode_t(setup->min_keycode + code);
                    break;
                }
            }
        }
        std::free(mapping);
        return found;
    }

    xcb_atom_t atom(const char* name) const {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, std::uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return found;
    }

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_window_t m_focused = XCB_WINDOW_NONE;
    xcb_keycode_t m_keycode = 0;
    std::uint16_t m_state = 0;
};

}  // namespace

std::unique_ptr<DesktopLink> DesktopLink::create() { return std::make_unique<X11DesktopLink>(); }
