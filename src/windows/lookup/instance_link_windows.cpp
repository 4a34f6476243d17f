// Windows: the command line goes to a hidden window of the running program,
// found by a class name of this user's, as a WM_COPYDATA message. Two starts
// at once take turns through a mutex of that name.
#include <QCryptographicHash>
#include <QDir>
#include <QMetaObject>
#include <windows.h>

#include "windows/lookup/instance_link.h"

namespace {

constexpr DWORD kTurnWait = 2000;  // ms a start waits for another one's turn
constexpr ULONG_PTR kArguments = 0x4c58;

LRESULT CALLBACK receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    auto* link = reinterpret_cast<InstanceLink*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!link || data->dwData != kArguments || data->cbData > InstanceLink::kLongestRequest) return FALSE;
    // The message brings the request whole, or nothing that will become one.
    const InstanceLink::Received request =
        InstanceLink::received(QByteArray(static_cast<const char*>(data->lpData), int(data->cbData)));
    if (request.state != InstanceLink::Received::State::whole) return FALSE;
    // Answered at once; the request is worked on once the sender has its answer.
    const QStringList arguments = request.arguments;
    QMetaObject::invokeMethod(link, [link, arguments] { emit link->requested(arguments); }, Qt::QueuedConnection);
    return TRUE;
}

// The turn of one start among those at the same moment, from the look for
// a running program to its own window made.
class Turn {
public:
    explicit Turn(const QString& name)
        : m_mutex(CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(QString(name + QStringLiteral("-tour")).utf16()))) {
        if (!m_mutex) return;
        const DWORD waited = WaitForSingleObject(m_mutex, kTurnWait);
        m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~Turn() {
        if (m_held) ReleaseMutex(m_mutex);
        if (m_mutex) CloseHandle(m_mutex);
    }
    bool held() const { return m_held; }

private:
    HANDLE m_mutex;
    bool m_held = false;
};

}  // namespace

QString InstanceLink::nameForUser() {
    // A window class is seen from the user's own desktop only; the home
    // folder tells apart two users sharing one.
    const QByteArray home = QDir::homePath().toUtf8();
    return QStringLiteral("lexicarium-") +
           QString::fromLatin1(QCryptographicHash::hash(home, QCryptographicHash::Sha1).toHex().left(16));
}

struct InstanceLink::Listening {
    std::wstring className;
    HWND window = nullptr;
    // Tells the installer and the uninstaller, which know no user's hash,
    // that the program runs in this session.
    HANDLE running = CreateMutexW(nullptr, FALSE, L"Lexicarium-en-cours");
    ~Listening() {
        if (running) CloseHandle(running);
        if (window) DestroyWindow(window);
        UnregisterClassW(className.c_str(), GetModuleHandleW(nullptr));
    }
};

InstanceLink::InstanceLink(QString name, std::chrono::milliseconds answerWait, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_answerWait(answerWait) {}

InstanceLink::~InstanceLink() = default;

InstanceLink::HandOver InstanceLink::handOver(const QStringList& arguments) const {
    HWND running = FindWindowExW(HWND_MESSAGE, nullptr, reinterpret_cast<LPCWSTR>(m_name.utf16()), nullptr);
    if (!running) return HandOver::noneRunning;
    // The running program may come to the front: its window is what the user asked for.
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    QByteArray bytes = packed(StartRequest::from(arguments).arguments());
    COPYDATASTRUCT data{kArguments, DWORD(bytes.size()), bytes.data()};
    DWORD_PTR answer = FALSE;
    // Reached: a busy program is waited for, and this start never becomes a second one.
    const bool sent = SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                          SMTO_NORMAL | SMTO_ERRORONEXIT, UINT(m_answerWait.count()), &answer);
    return sent && answer == TRUE ? HandOver::taken : HandOver::unanswered;
}

bool InstanceLink::listen() {
    const Turn turn(m_name);
    if (!turn.held()) return false;
    auto listening = std::make_unique<Listening>();
    listening->className = m_name.toStdWString();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = receive;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = listening->className.c_str();
    if (!RegisterClassW(&windowClass)) return false;
    if (FindWindowExW(HWND_MESSAGE, nullptr, listening->className.c_str(), nullptr)) return false;
    listening->window = CreateWindowExW(0, listening->className.c_str(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        windowClass.hInstance, nullptr);
    if (!listening->window) return false;
    SetWindowLongPtrW(listening->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_listening = std::move(listening);
    return true;
}
