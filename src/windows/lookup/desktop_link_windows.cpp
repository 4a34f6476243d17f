// The Windows desktop: the shortcut registered with the system, the
// selection asked of the program in front by its copy command, the
// clipboard put back exactly as it was, the focus handed back to that program.
#include <QCoreApplication>
#include <QMetaObject>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string_view>
#include <vector>
#include <windows.h>

#include "windows/lookup/desktop_link.h"

namespace {

constexpr int kHotKeyId = 0x4c58;
constexpr wchar_t kClassName[] = L"LexicariumShortcut";
constexpr int kCopyWait = 500;  // ms the program in front has to answer its copy command
// How long a copy the program in front makes later is still taken back.
constexpr int kLateCopyWatch = 3000;

UINT virtualKeyOf(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return UINT(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return UINT(VK_F1 + key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Space: return VK_SPACE;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_End: return VK_END;
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_Pause: return VK_PAUSE;
        default: return 0;
    }
}

UINT modifiersOf(Qt::KeyboardModifiers modifiers) {
    UINT flags = MOD_NOREPEAT;
    if (modifiers & Qt::ControlModifier) flags |= MOD_CONTROL;
    if (modifiers & Qt::AltModifier) flags |= MOD_ALT;
    if (modifiers & Qt::ShiftModifier) flags |= MOD_SHIFT;
    if (modifiers & Qt::MetaModifier) flags |= MOD_WIN;
    return flags;
}

// The clipboard is another program's for a moment at a time: opening it is tried again briefly.
bool openClipboard(HWND owner) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(10);
    }
    return false;
}

// What the clipboard held, every format, to be put back.
class ClipboardCopy {
public:
    bool take() {
        if (!openClipboard(nullptr)) return false;
        for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
            HANDLE data = GetClipboardData(format);
            if (!data) continue;
            Held held{format, {}, nullptr};
            if (format == CF_BITMAP || format == CF_DSPBITMAP) {
                held.handle = CopyImage(data, IMAGE_BITMAP, 0, 0, 0);
            } else if (format == CF_ENHMETAFILE || format == CF_DSPENHMETAFILE) {
                held.handle = CopyEnhMetaFile(static_cast<HENHMETAFILE>(data), nullptr);
            } else if (format == CF_PALETTE || format == CF_METAFILEPICT || format == CF_DSPMETAFILEPICT ||
                       format == CF_OWNERDISPLAY) {
                continue;  // made again by the system from the formats kept, or the owner's to draw
            } else if (const void* bytes = GlobalLock(data)) {
                const auto* first = static_cast<const char*>(bytes);
                held.bytes.assign(first, first + GlobalSize(data));
                GlobalUnlock(data);
            } else {
                continue;
            }
            m_formats.push_back(std::move(held));
        }
        CloseClipboard();
        return true;
    }

    // Puts back a copy of what was held, so that it can be put back again.
    void putBack(HWND owner) const {
        if (!openClipboard(owner)) return;
        EmptyClipboard();
        for (const Held& held : m_formats) {
            HANDLE data = nullptr;
            if (held.format == CF_BITMAP || held.format == CF_DSPBITMAP) {
                data = CopyImage(held.handle, IMAGE_BITMAP, 0, 0, 0);
            } else if (held.format == CF_ENHMETAFILE || held.format == CF_DSPENHMETAFILE) {
                data = CopyEnhMetaFile(static_cast<HENHMETAFILE>(held.handle), nullptr);
            } else if (HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, held.bytes.size())) {
                if (void* bytes = GlobalLock(global)) {
                    std::copy(held.bytes.begin(), held.bytes.end(), static_cast<char*>(bytes));
                    GlobalUnlock(global);
                }
                data = global;
            }
            // Once set, the data is the system's; what it refused is ours to free.
            if (data && !SetClipboardData(held.format, data)) free(held.format, data);
        }
        CloseClipboard();
    }

    ~ClipboardCopy() {
        for (const Held& held : m_formats) {
            if (held.handle) free(held.format, held.handle);
        }
    }

private:
    static void free(UINT format, HANDLE data) {
        if (format == CF_BITMAP || format == CF_DSPBITMAP) {
            DeleteObject(data);
        } else if (format == CF_ENHMETAFILE || format == CF_DSPENHMETAFILE) {
            DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
        } else {
            GlobalFree(data);
        }
    }

    struct Held {
        UINT format;
        std::vector<char> bytes;
        HANDLE handle;
    };
    std::vector<Held> m_formats;
};

QString clipboardText() {
    QString text;
    if (!openClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = QString::fromWCharArray(chars);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool clipboardChangedSince(DWORD sequence) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kCopyWait) {
        if (GetClipboardSequenceNumber() != sequence) return true;
        QThread::msleep(10);
    }
    return false;
}

// Ctrl+C typed for the user, the keys of the shortcut they still hold let go first.
void typeCopyKeys() {
    std::vector<INPUT> inputs;
    const auto key = [&inputs](WORD virtualKey, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (const WORD held : {WORD(VK_MENU), WORD(VK_SHIFT), WORD(VK_LWIN), WORD(VK_RWIN)}) {
        if (GetAsyncKeyState(held) & 0x8000) key(held, true);
    }
    key(VK_CONTROL, false);
    key('C', false);
    key('C', true);
    key(VK_CONTROL, true);
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A console takes Ctrl+C for "stop": it is never typed there.
bool isConsole(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return std::wstring_view(name) == L"ConsoleWindowClass" || std::wstring_view(name) == L"CASCADIA_HOSTING_WINDOW_CLASS";
}

LRESULT CALLBACK receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class WindowsDesktopLink : public DesktopLink {
public:
    WindowsDesktopLink() {
        // A window of ours receives the shortcut, even while a move or a
        // system dialog runs a loop of its own, and owns the clipboard put back.
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = receive;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassW(&windowClass);
        m_owner = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                                  nullptr);
        if (m_owner) SetWindowLongPtrW(m_owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~WindowsDesktopLink() override {
        release();
        if (m_owner) DestroyWindow(m_owner);
        UnregisterClassW(kClassName, GetModuleHandleW(nullptr));
    }

    void pressed() { emit shortcutPressed(); }

    QString grab(const QKeySequence& shortcut) override {
        const QKeyCombination combination = shortcut[0];
        const UINT virtualKey = virtualKeyOf(combination.key());
        if (shortcut.count() != 1 || virtualKey == 0) return desktoplink::unknownKeyMessage(shortcut);
        release();
        if (!RegisterHotKey(m_owner, kHotKeyId, modifiersOf(combination.keyboardModifiers()), virtualKey)) {
            return desktoplink::takenMessage(shortcut);
        }
        m_registered = true;
        return {};
    }

    void release() override {
        if (m_registered) UnregisterHotKey(m_owner, kHotKeyId);
        m_registered = false;
    }

    QString selectedText() override {
        HWND front = GetForegroundWindow();
        if (!front) return {};
        auto held = std::make_shared<ClipboardCopy>();
        if (!held->take()) return {};
        const DWORD sequence = GetClipboardSequenceNumber();
        DWORD frontProcess = 0;
        GetWindowThreadProcessId(front, &frontProcess);
        // A standard text box copies on being asked; any other program is
        // given the keys a user would type.
        GUITHREADINFO thread{};
        thread.cbSize = sizeof(thread);
        HWND focus = GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &thread) && thread.hwndFocus
                         ? thread.hwndFocus
                         : front;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(focus, WM_COPY, 0, 0, SMTO_ABORTIFHUNG, kCopyWait, &ignored);
        if (GetClipboardSequenceNumber() == sequence && !isConsole(front)) typeCopyKeys();
        QString text;
        if (clipboardChangedSince(sequence)) {
            text = clipboardText();
            held->putBack(m_owner);
        }
        takeBackLateCopies(held, frontProcess);
        return text;
    }

    void rememberFocus() override { m_front = GetForegroundWindow(); }

    void giveFocusBack() override {
        if (m_front && IsWindow(m_front)) SetForegroundWindow(m_front);
    }

    bool isInFront(const QWidget& window) const override {
        const auto own = reinterpret_cast<HWND>(window.winId());
        for (HWND front = GetForegroundWindow(); front; front = GetWindow(front, GW_OWNER)) {
            if (front == own) return true;
        }
        return false;
    }

private:
    // A program slower than the wait may still copy its selection after
    // it: for a while, a copy of that program's is taken back and what the
    // user held put back again. A copy of this program's own (Enter) ends
    // the watch; others' (a clipboard manager's) are left alone.
    void takeBackLateCopies(std::shared_ptr<ClipboardCopy> held, DWORD frontProcess) {
        delete m_lateWatch;
        m_lateWatch = new QTimer(this);
        QElapsedTimer watched;
        watched.start();
        DWORD seen = GetClipboardSequenceNumber();
        connect(m_lateWatch, &QTimer::timeout, this, [this, held, frontProcess, watched, seen]() mutable {
            const DWORD now = GetClipboardSequenceNumber();
            if (now != seen) {
                DWORD process = 0;
                if (HWND owner = GetClipboardOwner()) GetWindowThreadProcessId(owner, &process);
                if (process == GetCurrentProcessId()) {
                    m_lateWatch->deleteLater();
                    m_lateWatch = nullptr;
                    return;
                }
                if (process == frontProcess) held->putBack(m_owner);
                seen = GetClipboardSequenceNumber();
            }
            if (watched.elapsed() > kLateCopyWatch) {
                m_lateWatch->deleteLater();
                m_lateWatch = nullptr;
            }
        });
        m_lateWatch->start(20);
    }

    HWND m_owner = nullptr;
    HWND m_front = nullptr;
    bool m_registered = false;
    QTimer* m_lateWatch = nullptr;
};

LRESULT CALLBACK receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* link = reinterpret_cast<WindowsDesktopLink*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_HOTKEY || wParam != WPARAM(kHotKeyId) || !link) return DefWindowProcW(window, message, wParam, lParam);
    // Worked on from the program's own loop, whatever loop delivered it.
    QMetaObject::invokeMethod(link, &WindowsDesktopLink::pressed, Qt::QueuedConnection);
    return 0;
}

}  // namespace

std::unique_ptr<DesktopLink> DesktopLink::create() { return std::make_unique<WindowsDesktopLink>(); }
