// A Windows program slow to copy: its window holds "chaton" selected, and it
// answers the copy command, or Ctrl+C, only a second later. The Wine check
// of the look-up uses it to show that a late copy does not take the user's
// clipboard.
#include <windows.h>

namespace {

constexpr UINT_PTR kLate = 1;
constexpr wchar_t kText[] = L"chaton";

void copyNow(HWND window) {
    if (!OpenClipboard(window)) return;
    EmptyClipboard();
    if (HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, sizeof kText)) {
        if (void* bytes = GlobalLock(global)) {
            CopyMemory(bytes, kText, sizeof kText);
            GlobalUnlock(global);
        }
        if (!SetClipboardData(CF_UNICODETEXT, global)) GlobalFree(global);
    }
    CloseClipboard();
}

LRESULT CALLBACK receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COPY: SetTimer(window, kLate, 1000, nullptr); return 0;
        case WM_KEYDOWN:
            if (wParam == 'C' && (GetKeyState(VK_CONTROL) & 0x8000)) SetTimer(window, kLate, 1000, nullptr);
            return 0;
        case WM_TIMER:
            KillTimer(window, kLate);
            copyNow(window);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            TextOutW(dc, 10, 10, kText, int(wcslen(kText)));
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = receive;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"CopieTardive";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"CopieTardive", L"Copie tardive", WS_OVERLAPPEDWINDOW, 40, 40, 300, 120, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
