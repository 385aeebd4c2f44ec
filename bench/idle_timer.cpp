// The yardstick for Quillmark's CPU time: the least a Windows program can do
// that counts input the same way. One plain window and a 60 ms timer whose
// callback asks GetAsyncKeyState for codes 1 to 255 and GetCursorPos, and
// nothing else: no counting, no texts, no other timers.
#include <windows.h>

namespace {

// Keeps the compiler from dropping the polls.
volatile unsigned g_seen = 0;

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    unsigned seen = 0;
    for (int code = 1; code <= 255; ++code)
        if (GetAsyncKeyState(code) & 1) ++seen;
    POINT cursor{};
    GetCursorPos(&cursor);
    g_seen = g_seen + seen + static_cast<unsigned>(cursor.x + cursor.y);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"QuillmarkIdleTimer";
    RegisterClassW(&windowClass);
    HWND hwnd = CreateWindowExW(0, windowClass.lpszClassName, L"Idle timer", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 562, 366, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    SetTimer(hwnd, 1, 60, Poll);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
