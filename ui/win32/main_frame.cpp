#include "ui/win32/main_frame.h"

#include "core/text.h"
#include "core/identity.h"
#include "ui/main_layout.h"
#include "ui/res/resource.h"
#include "ui/win32/about_box.h"
#include "win32/wide.h"

// The portable tray handler knows the shell's codes by name only.
static_assert(qm::ui::TrayLeftDoubleClick == WM_LBUTTONDBLCLK && qm::ui::TrayRightButtonUp == WM_RBUTTONUP);

namespace qm::ui::win32 {

using qm::win32::Widen;

namespace {
constexpr wchar_t kMainClass[] = L"" QM_MAIN_CLASS;
constexpr UINT kTrayCallbackMessage = WM_LBUTTONDOWN;  // 513: the event code comes in lParam
constexpr UINT kTrayIconId = 1;

// The menu's commands.
constexpr CommandRow<MainWindow> kMenuCommands[] = {
    {main_ids::mnuFileCurReset, 0, "Reset current statistics", [](MainWindow& b, HWND) { b.mnuFileCurReset_Click(); }},
    {main_ids::mnuFileAllReset, 0, "Reset common statistics", [](MainWindow& b, HWND) { b.mnuFileAllReset_Click(); }},
    {main_ids::mnuFileSave, 0, "Save statistics", [](MainWindow& b, HWND) { b.mnuFileSave_Click(); }},
    {main_ids::mnuFileHistory, 0, "History", [](MainWindow& b, HWND) { b.mnuFileHistory_Click(); }},
    {main_ids::mnuFileAutorun, 0, "Run at start", [](MainWindow& b, HWND) { b.mnuFileAutorun_Click(); }},
    {main_ids::mnuFileExit, 0, "Exit", [](MainWindow& b, HWND) { b.mnuFileExit_Click(); }},
    {main_ids::mnuHelpReadme, 0, "Help", [](MainWindow& b, HWND) { b.mnuHelpReadme_Click(); }},
    {main_ids::mnuHelpAbout, 0, "About", [](MainWindow& b, HWND) { b.mnuHelpAbout_Click(); }},
};
}  // namespace

void MainFrame::Attach(MainWindow* behaviour, std::function<void()> onSettingsChange,
                       FailureHandler onFailure) {
    behaviour_ = behaviour;
    onSettingsChange_ = std::move(onSettingsChange);
    SetFailureHandler(std::move(onFailure));
}

void MainFrame::CreateAndShow() {
    const WindowLayout& layout = MainLayout();
    const int dpi = DpiOf(nullptr);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    // A sizable frame and a minimize box, no maximize box: the size is held fixed.
    Create(kMainClass, CS_DBLCLKS, 0, layout.title,
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
           TwipsToPixels(kMainOuterWidthTwips, dpi), TwipsToPixels(kMainOuterHeightTwips, dpi));
    Build(layout);
    for (int i = 0; i < kValueLabelCount; ++i) labels_[static_cast<size_t>(i)] = Control(kValueLabelIds[i]);
    trayIcon_.reset(static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));

    // The monitors before anything that could tick.
    TellMonitors();
    Guard("Loading the window", [&] { behaviour_->Form_Load(); });
    const bool minimized = minimizedWhileHidden_;
    minimizedWhileHidden_ = false;
    ShowWindow(Handle(), minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    SetFocus(Control(main_ids::cmdFocus));
    UpdateWindow(Handle());
    shown_ = true;
    Guard("Activating the window", [&] { behaviour_->Activated(Activation::FirstShowing); });
}

void MainFrame::SetHistorySources(const HistorySources& sources) {
    historySources_ = std::make_unique<HistorySources>(sources);
}

void MainFrame::TellMonitors() {
    if (screens_) Guard("Displays", [&] { behaviour_->DisplayChanged(screens_->Monitors()); });
}

void MainFrame::StartSampler() { SetTimer(Handle(), main_ids::samplerTimer, 60, SamplerProc); }

void CALLBACK MainFrame::SamplerProc(HWND hwnd, UINT, UINT_PTR, DWORD) {
    auto* self = static_cast<MainFrame*>(Bound(hwnd));
    if (self && self->behaviour_) self->Guard("Counting", [&] { self->behaviour_->SamplerTick(); });
}

LRESULT MainFrame::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (!behaviour_) return DefaultProc(msg, wp, lp);
    MainWindow& b = *behaviour_;
    LRESULT result = 0;
    if (LayoutMessage(msg, wp, lp, result)) return result;
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        // Explorer restarted and made a new notification area: the icon comes back.
        Guard("Tray icon", [&] { AddTrayIcon(); });
        return 0;
    }
    switch (msg) {
        case WM_COMMAND:
            if (lp == 0) RunCommand(kMenuCommands, b, wp, lp);
            return 0;
        case WM_QM_LINK_CLICK:
            if (wp == main_ids::txtSite) Guard("Web link", [&] { b.txtSite_Click(); });
            return 0;
        case WM_QM_PANEL_MOUSEDOWN:
            if (wp == main_ids::picTrayHook)
                Guard("Tray icon", [&] { b.picTrayHook_MouseDown(LOWORD(static_cast<DWORD>(lp))); });
            return 0;
        case WM_TIMER:
            if (wp == main_ids::tmrCounter) Guard("Run clock", [&] { b.tmrCounter_Timer(); });
            if (wp == main_ids::tmrSaving) Guard("Saving", [&] { b.tmrSaving_Timer(); });
            return 0;
        case WM_SIZE:
            if (Layout()) Guard("Resizing", [&] { b.Form_Resize(); });
            return 0;
        case WM_ACTIVATE:
            // Only says where the activation came from; the behaviour decides.
            if (shown_ && LOWORD(wp) != WA_INACTIVE) {
                const Activation from = AboutBox::IsAboutWindow(reinterpret_cast<HWND>(lp)) ? Activation::AboutClosed
                                                                                             : Activation::Other;
                Guard("Activating the window", [&] { b.Activated(from); });
            }
            break;
        case WM_CLOSE: {
            bool cancel = true;  // a failing handler must not end the program
            Guard("Closing the window", [&] { b.Form_Unload(cancel); });
            if (!cancel) DestroyWindow(Handle());
            return 0;
        }
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wp) Guard("Saving at the end of the session", [&] { b.EndSession(); });
            return 0;
        case WM_QM_HISTORY_CLOSED:
            if (history_ && !history_->Handle()) history_.reset();
            return 0;
        case WM_DESTROY:
            history_.reset();  // the program's end closes the History window
            KillTimer(Handle(), main_ids::samplerTimer);
            KillTimer(Handle(), main_ids::tmrCounter);
            KillTimer(Handle(), main_ids::tmrSaving);
            PostQuitMessage(0);
            return 0;
        case WM_DISPLAYCHANGE:
            TellMonitors();
            break;
        case WM_SETTINGCHANGE:
            if (onSettingsChange_) Guard("Regional settings", [&] { onSettingsChange_(); });
            break;
    }
    return DefaultProc(msg, wp, lp);
}

void MainFrame::SetLabelText(ValueLabel label, const std::string& text) {
    HWND hwnd = labels_[static_cast<size_t>(label)];
    if (hwnd) SetWindowTextW(hwnd, Widen(text).c_str());
}

bool MainFrame::IsMinimized() { return IsIconic(Handle()) || (!IsWindowVisible(Handle()) && minimizedWhileHidden_); }

void MainFrame::Minimize() {
    // A window that is not on screen only remembers the state for its next showing.
    if (IsWindowVisible(Handle()))
        ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
    else
        minimizedWhileHidden_ = true;
}

void MainFrame::Restore() {
    minimizedWhileHidden_ = false;
    if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
}

void MainFrame::SetVisible(bool visible) { ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE); }

void MainFrame::BringToFront() {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    BringWindowToTop(Handle());
}

int MainFrame::OuterWidth() {
    RECT r;
    GetWindowRect(Handle(), &r);
    return r.right - r.left;
}

int MainFrame::OuterHeight() {
    RECT r;
    GetWindowRect(Handle(), &r);
    return r.bottom - r.top;
}

void MainFrame::SetOuterSize(int width, int height) {
    SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainFrame::Dpi() { return DpiOf(Handle()); }

void MainFrame::ReleaseLeftButton() {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

bool MainFrame::AutorunChecked() {
    return (GetMenuState(GetMenu(Handle()), main_ids::mnuFileAutorun, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void MainFrame::SetAutorunChecked(bool checked) {
    CheckMenuItem(GetMenu(Handle()), main_ids::mnuFileAutorun, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainFrame::SetAllStatCaption(const std::string& caption) {
    SetWindowTextW(Control(main_ids::frmAllStat), Widen(caption).c_str());
}

void MainFrame::AddTrayIcon() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Control(main_ids::picTrayHook);
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = trayIcon_.get();
    wcsncpy(data.szTip, L"" QM_PRODUCT, ARRAYSIZE(data.szTip) - 1);
    Shell_NotifyIconW(NIM_ADD, &data);
}

void MainFrame::RemoveTrayIcon() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Control(main_ids::picTrayHook);
    data.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void MainFrame::PopupFileMenu() {
    POINT at{};
    GetCursorPos(&at);
    // Without this the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(Handle());
    TrackPopupMenu(Layout()->Menu(main_ids::mnuFile), 0, at.x, at.y, 0, Handle(), nullptr);
    PostMessageW(Handle(), WM_NULL, 0, 0);
}

void MainFrame::ShellOpen(const std::string& target) {
    OpenWithShell(Handle(), target);
}

Answer MainFrame::Ask(const std::string& text, MessageIcon icon, bool withCancel) {
    UINT flags = withCancel ? MB_OKCANCEL : MB_OK;
    flags |= icon == MessageIcon::Question ? MB_ICONQUESTION
             : icon == MessageIcon::Error  ? MB_ICONERROR
                                           : MB_ICONINFORMATION;
    return ShowMessageBox(Handle(), text, flags) == IDOK ? Answer::Ok : Answer::Cancel;
}

void MainFrame::ShowAbout() { AboutBox::ShowModal(Instance(), Handle()); }

void MainFrame::Destroy() { DestroyWindow(Handle()); }

void MainFrame::ShowHistory() {
    if (history_ && history_->Handle()) {
        history_->BringToFront();
        return;
    }
    if (!historySources_) return;
    history_ = std::make_unique<HistoryBox>(Instance(), *historySources_, programs_, Handle(), OnFailure());
    if (!history_->Open()) history_.reset();
}

}  // namespace qm::ui::win32
