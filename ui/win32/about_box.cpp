#include "ui/win32/about_box.h"

#include <cwchar>
#include <iterator>

#include "ui/about_layout.h"
#include "ui/res/resource.h"
#include "win32/wide.h"

namespace qm::ui::win32 {

using qm::win32::Widen;

namespace {
constexpr wchar_t kAboutClass[] = L"QuillmarkAbout";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // fixed single border, close box only
}  // namespace

void AboutBox::ShowModal(HINSTANCE instance, HWND mainWindow) {
    AboutBox box(instance);
    box.mainWindow_ = mainWindow;
    if (!box.Create(kAboutClass, 0, WS_EX_DLGMODALFRAME, AboutLayout().title, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    100, 100))
        return;
    box.Build(AboutLayout());

    // The client area the layout asks for, centred on the screen.
    SIZE client = box.Layout()->ClientSize(DpiOf(box.Handle()));
    RECT r{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&r, kStyle, FALSE, WS_EX_DLGMODALFRAME);
    const int width = r.right - r.left, height = r.bottom - r.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(box.Handle(), nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    box.behaviour_.Form_Load();
    if (mainWindow) EnableWindow(mainWindow, FALSE);
    ShowWindow(box.Handle(), SW_SHOWNORMAL);
    box.FocusBack();

    MSG msg;
    bool quit = false;
    while (!box.closed_) {
        int got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        // The dialog manager's keyboard: Enter and Space click the focused
        // "Back", Tab moves among the controls. Its Escape (IDCANCEL) stays
        // unanswered, as "Back" is not the window's cancel button.
        if (box.Handle() && IsDialogMessageW(box.Handle(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // Activation goes back to the main window before this one disappears
    // with the box.
    if (mainWindow) {
        EnableWindow(mainWindow, TRUE);
        if (IsWindowVisible(mainWindow)) SetActiveWindow(mainWindow);
    }
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
}

bool AboutBox::IsAboutWindow(HWND window) {
    if (!window) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return false;
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return wcscmp(name, kAboutClass) == 0;
}

LRESULT AboutBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (LayoutMessage(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == about_ids::cmdBack && HIWORD(wp) == BN_CLICKED) behaviour_.cmdBack_Click();
            // Enter: this is no dialog, so no button is its default, and the
            // dialog manager asks for IDOK; with the focus on "Back" that is
            // a click.
            if (LOWORD(wp) == IDOK && Layout() && GetFocus() == Control(about_ids::cmdBack))
                behaviour_.cmdBack_Click();
            return 0;
        case WM_QM_LINK_CLICK:
            if (wp == about_ids::txtSite) behaviour_.txtSite_Click();
            if (wp == about_ids::txtMail) behaviour_.txtMail_Click();
            if (wp == about_ids::txtICQ) behaviour_.txtICQ_Click();
            return 0;
        case WM_ACTIVATE:
            // Whenever the window becomes active again, "Back" has the focus,
            // so that Enter and Space reach it; Windows would give it to the
            // window itself.
            if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp) && FocusBack()) return 0;
            break;
        case WM_SETFOCUS:
            if (FocusBack()) return 0;
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_NCDESTROY:
            closed_ = true;
            break;
    }
    return DefaultProc(msg, wp, lp);
}

bool AboutBox::FocusBack() {
    HWND back = Control(about_ids::cmdBack);
    if (!back) return false;
    SetFocus(back);
    return true;
}

void AboutBox::SetVersionText(const std::string& text) {
    SetWindowTextW(Control(about_ids::lblVersion), Widen(text).c_str());
}

void AboutBox::ShellOpen(const std::string& target) {
    // The links' owner window is the window's group box.
    OpenWithShell(Control(about_ids::frmMain), target);
}

void AboutBox::Close() { closed_ = true; }

}  // namespace qm::ui::win32
