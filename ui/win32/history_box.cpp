#include "ui/win32/history_box.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "ui/history_layout.h"
#include "ui/keyboard_map.h"
#include "ui/keys_chart.h"
#include "ui/programs_chart.h"
#include "ui/screen_picture.h"
#include "win32/handles.h"
#include "win32/picture.h"
#include "win32/wide.h"

namespace qm::ui::win32 {

using qm::win32::Selected;
using qm::win32::Widen;

namespace {

constexpr wchar_t kHistoryClass[] = L"QuillmarkHistory";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// The chart's colours: bars in blue, the current day, month or year (the
// busiest hour) darker, the bar pointed at in orange; gridlines faint.
constexpr COLORREF kBar = RGB(91, 143, 201);
constexpr COLORREF kCurrentBar = RGB(31, 78, 140);
constexpr COLORREF kPointedBar = RGB(232, 136, 32);
constexpr COLORREF kGridline = RGB(222, 226, 232);
constexpr COLORREF kOtherBar = RGB(150, 162, 180);  // the programs beyond the first fifteen, together
constexpr COLORREF kAxisText = RGB(96, 100, 108);

int ChosenIndex(HWND list) { return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)); }

// What the lists and buttons do.
constexpr CommandRow<HistoryWindow> kCommands[] = {
    {history_ids::cboFigure, CBN_SELCHANGE, "Figure",
     [](HistoryWindow& b, HWND list) { b.cboFigure_Click(ChosenIndex(list)); }},
    {history_ids::cboPeriod, CBN_SELCHANGE, "Period",
     [](HistoryWindow& b, HWND list) { b.cboPeriod_Click(ChosenIndex(list)); }},
    {history_ids::cmdCopy, BN_CLICKED, "Copy", [](HistoryWindow& b, HWND) { b.cmdCopy_Click(); }},
    {history_ids::cmdOpen, BN_CLICKED, "Open file", [](HistoryWindow& b, HWND) { b.cmdOpen_Click(); }},
    {history_ids::cboHoursFigure, CBN_SELCHANGE, "Figure",
     [](HistoryWindow& b, HWND list) { b.Hours().cboFigure_Click(ChosenIndex(list)); }},
    {history_ids::cboHoursPeriod, CBN_SELCHANGE, "Period",
     [](HistoryWindow& b, HWND list) { b.Hours().cboPeriod_Click(ChosenIndex(list)); }},
    {history_ids::cmdHoursCopy, BN_CLICKED, "Copy", [](HistoryWindow& b, HWND) { b.Hours().cmdCopy_Click(); }},
    {history_ids::cboKeysPeriod, CBN_SELCHANGE, "Period",
     [](HistoryWindow& b, HWND list) { b.Keys().cboPeriod_Click(ChosenIndex(list)); }},
    {history_ids::cmdKeysCopy, BN_CLICKED, "Copy", [](HistoryWindow& b, HWND) { b.Keys().cmdCopy_Click(); }},
    {history_ids::cboProgramsFigure, CBN_SELCHANGE, "Figure",
     [](HistoryWindow& b, HWND list) { b.Programs().cboProgramsFigure_Click(ChosenIndex(list)); }},
    {history_ids::cboProgramsPeriod, CBN_SELCHANGE, "Period",
     [](HistoryWindow& b, HWND list) { b.Programs().cboProgramsPeriod_Click(ChosenIndex(list)); }},
    {history_ids::cmdProgramsCopy, BN_CLICKED, "Copy",
     [](HistoryWindow& b, HWND) { b.Programs().cmdProgramsCopy_Click(); }},
    {history_ids::cboScreenWhat, CBN_SELCHANGE, "Show",
     [](HistoryWindow& b, HWND list) { b.Screen().cboScreenWhat_Click(ChosenIndex(list)); }},
    {history_ids::cboScreenPeriod, CBN_SELCHANGE, "Period",
     [](HistoryWindow& b, HWND list) { b.Screen().cboScreenPeriod_Click(ChosenIndex(list)); }},
    {history_ids::cmdScreenCopy, BN_CLICKED, "Copy", [](HistoryWindow& b, HWND) { b.Screen().cmdScreenCopy_Click(); }},
    {history_ids::cmdScreenSave, BN_CLICKED, "Save picture",
     [](HistoryWindow& b, HWND) { b.Screen().cmdScreenSave_Click(); }},
};

// The Screen tab: monitors framed in a mid grey on the window's ground.
constexpr COLORREF kMonitorFrame = RGB(128, 134, 144);

HistorySources WithKeyboard(HistorySources sources, const KeyboardLayout& keyboard) {
    sources.keyboard = &keyboard;
    return sources;
}

COLORREF ColourRef(Rgb c) { return RGB(c.r, c.g, c.b); }

// A notice over the upper part of a chart, on a ground of its own so that no
// gridline or cap crosses it.
void DrawNotice(HDC dc, RECT box, const std::string& notice, HBRUSH frame, int margin) {
    const std::wstring wide = Widen(notice);
    RECT text = box;
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    const int shift = (box.right - box.left - (text.right - text.left)) / 2;
    OffsetRect(&text, shift, 0);
    text.right += 2;  // the measured width, drawn again, may lose its last glyph to rounding
    RECT ground = text;
    InflateRect(&ground, margin / 2, margin / 2);
    FillRect(dc, &ground, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &ground, frame);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
}

RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

void DrawTextIn(HDC dc, const std::string& text, RECT r, UINT format) {
    std::wstring wide = Widen(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, format | DT_NOPREFIX);
}

}  // namespace

HistoryBox::HistoryBox(HINSTANCE instance, const HistorySources& sources, const qm::win32::Win32Foreground* programs,
                       HWND opener, FailureHandler onFailure)
    : Window(instance, std::move(onFailure)), numbers_(sources.numbers), opener_(opener), programs_(programs),
      behaviour_(WithKeyboard(sources, keyboard_), *this) {}

bool HistoryBox::Open() {
    RegisterClassOnce(Instance(), kChartClass, ChartProc);  // no background brush: the chart paints every pixel
    if (!Create(kHistoryClass, 0, 0, HistoryLayout().title, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100))
        return false;
    Build(HistoryLayout());
    Place();
    Guard("Reading the history", [&] { behaviour_.Form_Load(); });
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetFocus(Control(history_ids::cboFigure));
    return true;
}

void HistoryBox::Place() {
    // The client area the layout asks for, beside the opener when it is on
    // screen and there is room, else centred on the work area.
    const int dpi = Layout()->Dpi();
    SIZE client = Layout()->ClientSize(dpi);
    RECT r{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&r, kStyle, FALSE, 0);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // A screen too small for the layout at this dpi gets a smaller window;
    // the chart gives up the room.
    const int width = static_cast<int>(std::min(r.right - r.left, work.right - work.left));
    const int height = static_cast<int>(std::min(r.bottom - r.top, work.bottom - work.top));
    int x = work.left + (work.right - work.left - width) / 2;
    int y = work.top + (work.bottom - work.top - height) / 2;
    RECT main{};
    if (opener_ && IsWindowVisible(opener_) && !IsIconic(opener_) && GetWindowRect(opener_, &main)) {
        const int gap = MulDiv(8, dpi, 96);
        if (main.right + gap + width <= work.right)
            x = main.right + gap;
        else if (main.left - gap - width >= work.left)
            x = main.left - gap - width;
        y = std::max(static_cast<int>(work.top), std::min(static_cast<int>(main.top), static_cast<int>(work.bottom) - height));
    }
    SetWindowPos(Handle(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void HistoryBox::BringToFront() {
    if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
    SetForegroundWindow(Handle());
}

bool HistoryBox::PreTranslate(MSG& msg) {
    if (!Handle() || !Layout() || (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd))) return false;
    const bool ctrl = msg.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
    if (ctrl && msg.wParam == VK_TAB) {
        Guard("Choosing a tab", [&] { behaviour_.NextTab(GetKeyState(VK_SHIFT) < 0); });
        return true;
    }
    if (ctrl && msg.wParam == 'C') {
        // Ctrl+C copies the chart, unless it copies a selection of the detail line.
        DWORD start = 0, end = 0;
        if (msg.hwnd == Control(history_ids::txtDetail) || msg.hwnd == Control(history_ids::txtHoursDetail) ||
            msg.hwnd == Control(history_ids::txtKeysDetail) || msg.hwnd == Control(history_ids::txtProgramsDetail) ||
            msg.hwnd == Control(history_ids::txtScreenDetail))
            SendMessageW(msg.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (start == end) {
            Guard("Copy", [&] { behaviour_.CopyChart(); });
            return true;
        }
    }
    return IsDialogMessageW(Handle(), &msg) != FALSE;
}

void HistoryBox::RedrawChart() {
    if (HWND chart = Control(history_ids::picChart)) InvalidateRect(chart, nullptr, FALSE);
}

void HistoryBox::SetDetailText(const std::string& text) {
    if (HWND detail = Control(history_ids::txtDetail)) SetWindowTextW(detail, Widen(text).c_str());
}

void HistoryBox::SelectChoices(int figure, int period) {
    if (!Layout()) return;
    SendMessageW(Control(history_ids::cboFigure), CB_SETCURSEL, static_cast<WPARAM>(figure), 0);
    SendMessageW(Control(history_ids::cboPeriod), CB_SETCURSEL, static_cast<WPARAM>(period), 0);
}

bool HistoryBox::SetClipboardText(const std::string& text) {
    const std::wstring wide = Widen(text);
    qm::win32::UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t)));
    if (!memory) return false;
    void* bytes = GlobalLock(memory.get());
    if (!bytes) return false;
    std::memcpy(bytes, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory.get());
    if (!OpenClipboard(Handle())) return false;
    bool done = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory.get());
    if (done) memory.release();  // the clipboard's now
    CloseClipboard();
    return done;
}

void HistoryBox::ShellOpen(const std::string& path) { OpenWithShell(Handle(), path); }

void HistoryBox::ShowTab(int tab) {
    if (!Layout()) return;
    HWND strip = Control(history_ids::tabView);
    if (SendMessageW(strip, TCM_GETCURSEL, 0, 0) != tab) SendMessageW(strip, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    Layout()->ShowTab(tab);
    // A control of the tab now hidden gives the focus to the tabs.
    HWND focus = GetFocus();
    if (!focus || !IsWindowVisible(focus)) SetFocus(strip);
}

void HistoryBox::RedrawHoursChart() {
    if (HWND chart = Control(history_ids::picHours)) InvalidateRect(chart, nullptr, FALSE);
}

void HistoryBox::SetHoursDetailText(const std::string& text) {
    if (HWND detail = Control(history_ids::txtHoursDetail)) SetWindowTextW(detail, Widen(text).c_str());
}

void HistoryBox::RedrawKeys() {
    if (HWND chart = Control(history_ids::picKeys)) InvalidateRect(chart, nullptr, FALSE);
}

void HistoryBox::SetKeysDetailText(const std::string& text) {
    if (HWND detail = Control(history_ids::txtKeysDetail)) SetWindowTextW(detail, Widen(text).c_str());
}

void HistoryBox::SelectKeysPeriod(int period) {
    if (Layout()) SendMessageW(Control(history_ids::cboKeysPeriod), CB_SETCURSEL, static_cast<WPARAM>(period), 0);
}

void HistoryBox::RedrawPrograms() {
    if (HWND chart = Control(history_ids::picPrograms)) InvalidateRect(chart, nullptr, FALSE);
}

void HistoryBox::SetProgramsDetailText(const std::string& text) {
    if (HWND detail = Control(history_ids::txtProgramsDetail)) SetWindowTextW(detail, Widen(text).c_str());
}

void HistoryBox::SelectProgramsPeriod(int period) {
    if (Layout()) SendMessageW(Control(history_ids::cboProgramsPeriod), CB_SETCURSEL, static_cast<WPARAM>(period), 0);
}

void HistoryBox::SelectProgramsFigure(int figure) {
    if (Layout()) SendMessageW(Control(history_ids::cboProgramsFigure), CB_SETCURSEL, static_cast<WPARAM>(figure), 0);
}

void HistoryBox::SelectHoursChoices(int figure, int period) {
    if (!Layout()) return;
    SendMessageW(Control(history_ids::cboHoursFigure), CB_SETCURSEL, static_cast<WPARAM>(figure), 0);
    SendMessageW(Control(history_ids::cboHoursPeriod), CB_SETCURSEL, static_cast<WPARAM>(period), 0);
}

void HistoryBox::RedrawScreen() {
    if (HWND chart = Control(history_ids::picScreen)) InvalidateRect(chart, nullptr, FALSE);
}

void HistoryBox::SetScreenDetailText(const std::string& text) {
    if (HWND detail = Control(history_ids::txtScreenDetail)) SetWindowTextW(detail, Widen(text).c_str());
}

void HistoryBox::SelectScreenWhat(int what) {
    if (Layout()) SendMessageW(Control(history_ids::cboScreenWhat), CB_SETCURSEL, static_cast<WPARAM>(what), 0);
}

void HistoryBox::SetScreenPeriods(const std::vector<std::string>& names, int chosen) {
    HWND list = Layout() ? Control(history_ids::cboScreenPeriod) : nullptr;
    if (!list) return;
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

std::string HistoryBox::AskPictureFile(const std::string& suggested) {
    std::wstring file = Widen(suggested);
    file.resize(std::max<size_t>(file.size() + 1, 32768), L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = L"PNG pictures (*.png)\0*.png\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = L"Save picture";
    dialog.lpstrDefExt = L"png";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) return "";
    return qm::win32::Narrow(file.c_str());
}

std::string HistoryBox::SavePicture(const std::string& path, const ScreenPicture& picture) {
    // The whole arrangement at its full size, a band of rows at a time.
    HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const std::string failure = qm::win32::EncodePng(
        Widen(path), static_cast<UINT>(picture.width), static_cast<UINT>(picture.height),
        [&](UINT first, UINT count, BYTE* out, UINT stride) {
            picture.Rows(picture.width, picture.height, static_cast<int32_t>(first), static_cast<int32_t>(count), out,
                         stride);
        });
    SetCursor(before);
    return failure;
}

bool HistoryBox::SetClipboardPicture(const ScreenPicture& picture, PictureSize size) {
    if (size.width <= 0 || size.height <= 0) return true;
    // A bottom-up 24-bit DIB, as every program reads one.
    const size_t stride = (static_cast<size_t>(size.width) * 3 + 3) & ~size_t{3};
    const size_t bytes = sizeof(BITMAPINFOHEADER) + stride * static_cast<size_t>(size.height);
    qm::win32::UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    auto* base = static_cast<BYTE*>(GlobalLock(memory.get()));
    if (!base) return false;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = size.width;
    header.biHeight = size.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * static_cast<size_t>(size.height));
    std::memcpy(base, &header, sizeof header);
    BYTE* pixels = base + sizeof header;
    const int32_t band = 64;
    std::vector<BYTE> rows(stride * band);
    for (int32_t first = 0; first < size.height; first += band) {
        const int32_t count = std::min(band, size.height - first);
        picture.Rows(size.width, size.height, first, count, rows.data(), stride);
        for (int32_t i = 0; i < count; ++i)
            std::memcpy(pixels + stride * static_cast<size_t>(size.height - 1 - (first + i)), rows.data() + stride * i,
                        stride);
    }
    GlobalUnlock(memory.get());
    if (!OpenClipboard(Handle())) return false;
    const bool done = EmptyClipboard() && SetClipboardData(CF_DIB, memory.get());
    if (done) memory.release();  // the clipboard's now
    CloseClipboard();
    return done;
}

void HistoryBox::Tell(const std::string& text) { ShowMessageBox(Handle(), text, MB_OK | MB_ICONINFORMATION); }

LRESULT HistoryBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (LayoutMessage(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_COMMAND:
            if (!RunCommand(kCommands, behaviour_, wp, lp) && LOWORD(wp) == IDCANCEL)  // Escape
                DestroyWindow(Handle());
            return 0;
        case WM_NOTIFY: {
            const auto* note = reinterpret_cast<const NMHDR*>(lp);
            if (note->idFrom == history_ids::tabView && note->code == TCN_SELCHANGE) {
                const int tab = static_cast<int>(SendMessageW(note->hwndFrom, TCM_GETCURSEL, 0, 0));
                Guard("Choosing a tab", [&] { behaviour_.tabView_Click(tab); });
            }
            return 0;
        }
        case WM_TIMER:
            if (wp == history_ids::tmrFollow) Guard("Following the figures", [&] { behaviour_.tmrFollow_Timer(); });
            return 0;
        case WM_SIZE:
            if (Layout() && wp != SIZE_MINIMIZED) Layout()->Resize(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_GETMINMAXINFO:
            if (Layout()) {
                const WindowLayout& layout = HistoryLayout();
                RECT r{0, 0, TwipsToPixels(layout.minClientWidth, Layout()->Dpi()),
                       TwipsToPixels(layout.minClientHeight, Layout()->Dpi())};
                AdjustWindowRectEx(&r, kStyle, FALSE, 0);
                auto* info = reinterpret_cast<MINMAXINFO*>(lp);
                info->ptMinTrackSize = {r.right - r.left, r.bottom - r.top};
                return 0;
            }
            break;
        case WM_ACTIVATE:
            // The focus goes back to where it was when the window was left.
            if (LOWORD(wp) == WA_INACTIVE) {
                focus_ = GetFocus();
            } else if (focus_ && IsChild(Handle(), focus_)) {
                SetFocus(focus_);
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            // Over the window itself, off every chart: a leave the system did
            // not send (Wine, for a window that opened under the pointer).
            if (HWND chart = pointedChart_) SendMessageW(chart, WM_MOUSELEAVE, 0, 0);
            break;
        case WM_CLOSE:
            DestroyWindow(Handle());
            return 0;
        case WM_NCDESTROY:
            if (opener_) PostMessageW(opener_, WM_QM_HISTORY_CLOSED, 0, 0);
            break;
    }
    return DefaultProc(msg, wp, lp);
}

LRESULT CALLBACK HistoryBox::ChartProc(HWND chart, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<HistoryBox*>(Bound(GetAncestor(chart, GA_ROOT)));
    if (!self || !self->Layout()) return DefWindowProcW(chart, msg, wp, lp);
    return self->ChartMessage(chart, msg, wp, lp);
}

LRESULT HistoryBox::ChartMessage(HWND chart, UINT msg, WPARAM wp, LPARAM lp) {
    const int id = GetDlgCtrlID(chart);
    const bool hours = id == history_ids::picHours, keys = id == history_ids::picKeys,
               programs = id == history_ids::picPrograms, screen = id == history_ids::picScreen;
    // What the pointer or an arrow key lands on, for whichever chart has it.
    const auto point = [&](int at) {
        if (programs)
            behaviour_.Programs().PointAt(at);
        else if (keys)
            behaviour_.Keys().PointAt(at);
        else if (hours)
            behaviour_.Hours().PointAt(at);
        else
            behaviour_.PointAt(at);
    };
    switch (msg) {
        case WM_PAINT: {
            qm::win32::PaintDc dc(chart);
            Guard("Drawing the chart", [&] { PaintChart(chart, dc.get()); });
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel: no flicker
        case WM_SIZE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(chart, nullptr, FALSE);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_LBUTTONDOWN:
            SetFocus(chart);
            return 0;
        case WM_MOUSEMOVE: {
            if (!trackingMouse_) {
                TRACKMOUSEEVENT track{};
                track.cbSize = sizeof track;
                track.dwFlags = TME_LEAVE;
                track.hwndTrack = chart;
                trackingMouse_ = TrackMouseEvent(&track) != FALSE;
            }
            pointedChart_ = chart;
            const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
            if (screen) {
                Guard("Pointing", [&] { behaviour_.Screen().PointAt(x, y); });
                return 0;
            }
            const int at = programs ? ProgramRowAt(programsPaint_, x, y)
                           : keys   ? CapAt(keysPaint_, x, y)
                                    : BarAt(hours ? hoursPaint_ : paint_, x, y);
            Guard("Pointing", [&] { point(at); });
            return 0;
        }
        case WM_MOUSELEAVE:
            trackingMouse_ = false;
            // Once told (by the window, when the system's leave was late), a
            // leave that comes after must not undo what the keys chose since.
            if (pointedChart_ != chart) return 0;
            pointedChart_ = nullptr;
            Guard("Pointing", [&] { screen ? behaviour_.Screen().PointAt(-1, -1) : point(-1); });
            return 0;
        case WM_KEYDOWN: {
            ChartKey key;
            switch (wp) {
                case VK_LEFT: key = ChartKey::Left; break;
                case VK_RIGHT: key = ChartKey::Right; break;
                case VK_HOME: key = ChartKey::Home; break;
                case VK_END: key = ChartKey::End; break;
                case VK_UP: key = ChartKey::Up; break;
                case VK_DOWN: key = ChartKey::Down; break;
                default: return DefWindowProcW(chart, msg, wp, lp);
            }
            if (screen) return 0;  // the maps have no bars to walk
            Guard("Moving along the bars", [&] {
                if (programs)
                    behaviour_.Programs().ChartKeyDown(key);
                else if (keys)
                    behaviour_.Keys().ChartKeyDown(key);
                else if (hours)
                    behaviour_.Hours().ChartKeyDown(key);
                else
                    behaviour_.ChartKeyDown(key);
            });
            return 0;
        }
    }
    return DefWindowProcW(chart, msg, wp, lp);
}

void HistoryBox::PaintChart(HWND chart, HDC target) {
    RECT area{};
    GetClientRect(chart, &area);
    const int width = area.right, height = area.bottom;
    if (width <= 0 || height <= 0) return;
    // Drawn off screen first, then copied in one step: no flicker.
    qm::win32::UniqueDc dc(CreateCompatibleDC(target));
    qm::win32::UniqueGdi bitmap(CreateCompatibleBitmap(target, width, height));
    if (!dc || !bitmap) return;
    Selected useBitmap(dc.get(), bitmap.get());
    Selected useFont(dc.get(), Layout()->WindowFont());
    FillRect(dc.get(), &area, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc.get(), TRANSPARENT);
    if (GetDlgCtrlID(chart) == history_ids::picKeys)
        PaintKeys(dc.get(), area);
    else if (GetDlgCtrlID(chart) == history_ids::picPrograms)
        PaintPrograms(dc.get(), area);
    else if (GetDlgCtrlID(chart) == history_ids::picScreen)
        PaintScreen(dc.get(), area);
    else
        PaintBars(chart, dc.get(), area);
    if (GetFocus() == chart) {
        RECT focus = area;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc.get(), &focus);
    }
    BitBlt(target, 0, 0, width, height, dc.get(), 0, 0, SRCCOPY);
}

void HistoryBox::PaintKeys(HDC dc, const RECT& area) {
    const KeysView& view = behaviour_.Keys();
    const KeysChart& chart = view.Chart();
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int line = metrics.tmHeight, margin = MulDiv(8, Layout()->Dpi(), 96);
    // The keyboard above two lines: the keys it has no cap for, and why the
    // generic ones are there.
    const int keyboardHeight = std::max(0, static_cast<int>(area.bottom) - 2 * line - 2 * margin);
    keysPaint_ = LayOutKeyboard(chart.iso, area.right, keyboardHeight);
    qm::win32::UniqueGdi pointedPen(CreatePen(PS_SOLID, std::max(2, margin / 3), kPointedBar));
    // The caps' texts a size smaller than the window's, so that "PgUp" fits a cap.
    LOGFONTW small{};
    GetObjectW(Layout()->WindowFont(), sizeof small, &small);
    small.lfHeight = small.lfHeight * 7 / 8;
    qm::win32::UniqueGdi capFont(CreateFontIndirectW(&small));
    std::optional<Selected> useCapFont;
    if (capFont) useCapFont.emplace(dc, capFont.get());
    TEXTMETRICW capMetrics{};
    GetTextMetricsW(dc, &capMetrics);
    for (size_t i = 0; i < keysPaint_.caps.size() && i < chart.caps.size(); ++i) {
        const PixelRect& place = keysPaint_.caps[i];
        if (place.Width() <= 0 || place.Height() <= 0) continue;
        const Rgb back = CapColour(chart, static_cast<int>(i));
        RECT cap = ToRect(place);
        qm::win32::UniqueGdi brush(CreateSolidBrush(ColourRef(back)));
        FillRect(dc, &cap, static_cast<HBRUSH>(brush.get()));
        if (static_cast<int>(i) == view.PointedCap()) {
            Selected pen(dc, pointedPen.get());
            Selected hollow(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, cap.left, cap.top, cap.right, cap.bottom);
        }
        // The cap's name at the top, its count under it where both fit.
        SetTextColor(dc, ColourRef(TextColour(back)));
        RECT inner = cap;
        InflateRect(&inner, -1, -1);
        DrawTextIn(dc, chart.caps[i].label, inner, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS);
        if (chart.caps[i].count > 0 && inner.bottom - inner.top >= 2 * capMetrics.tmHeight)
            DrawTextIn(dc, ShortCount(chart.caps[i].count), inner, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    }
    useCapFont.reset();
    std::string unplaced = chart.unplaced.empty() ? "Every key counted has a cap." : "Not on the keyboard:";
    for (const UnplacedKey& key : chart.unplaced)
        unplaced += " " + key.name + " " + numbers_.Format(static_cast<double>(key.count), 0) + ";";
    if (!chart.unplaced.empty()) unplaced.back() = '.';
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT list{margin, keyboardHeight + margin / 2, area.right - margin, keyboardHeight + margin / 2 + line};
    DrawTextIn(dc, unplaced, list, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
    const bool generic = std::any_of(chart.unplaced.begin(), chart.unplaced.end(),
                                     [](const UnplacedKey& k) { return k.code >= 0x10 && k.code <= 0x12; });
    if (generic) {
        SetTextColor(dc, kAxisText);
        RECT note = list;
        OffsetRect(&note, 0, line);
        DrawTextIn(dc, kUnplacedNote, note, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    if (!view.Notice().empty()) {
        qm::win32::UniqueGdi frame(CreateSolidBrush(kGridline));
        RECT box{margin * 2, margin * 2, area.right - margin * 2, keyboardHeight};
        DrawNotice(dc, box, view.Notice(), static_cast<HBRUSH>(frame.get()), margin);
    }
}

HICON HistoryBox::IconOf(const std::string& program, int size) {
    auto it = icons_.find(program);
    if (it == icons_.end() || it->second.size != size) {
        ProgramIcon found;
        found.size = size;
        if (programs_) found.icon = qm::win32::ProgramIcon(programs_->PathOf(program), size);
        it = icons_.insert_or_assign(program, std::move(found)).first;
    }
    // A program whose executable is gone, or that has none, has the system's.
    return it->second.icon ? it->second.icon.get() : LoadIconW(nullptr, IDI_APPLICATION);
}

void HistoryBox::PaintPrograms(HDC dc, const RECT& area) {
    const ProgramsView& view = behaviour_.Programs();
    const ProgramsChart& chart = view.Chart();
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int dpi = Layout()->Dpi(), margin = MulDiv(8, dpi, 96), iconSize = MulDiv(16, dpi, 96);
    const auto textWidth = [&](const std::string& text) {
        const std::wstring wide = Widen(text);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    std::vector<double> fractions;
    std::vector<std::string> values;
    int widestName = 0, widestValue = 0;
    for (size_t i = 0; i < chart.bars.size(); ++i) {
        fractions.push_back(chart.bars[i].fraction);
        values.push_back(ProgramsBarText(chart, static_cast<int>(i), numbers_));
        widestName = std::max(widestName, textWidth(chart.bars[i].name));
        widestValue = std::max(widestValue, textWidth(values.back()));
    }
    programsPaint_ = LayOutProgramRows(fractions, area.right, area.bottom, metrics.tmHeight, iconSize, margin,
                                       widestName, widestValue);
    qm::win32::UniqueGdi barBrush(CreateSolidBrush(kBar)), otherBrush(CreateSolidBrush(kOtherBar)),
        pointedBrush(CreateSolidBrush(kPointedBar));
    for (size_t i = 0; i < programsPaint_.size(); ++i) {
        const ProgramRowPlace& place = programsPaint_[i];
        const ProgramBar& bar = chart.bars[i];
        const bool pointed = static_cast<int>(i) == view.PointedBar();
        if (!bar.other)
            DrawIconEx(dc, place.icon.left, place.icon.top, IconOf(bar.program, place.icon.Width()),
                       place.icon.Width(), place.icon.Height(), 0, nullptr, DI_NORMAL);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextIn(dc, bar.name, ToRect(place.name), DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
        RECT filled = ToRect(place.bar);
        if (pointed && filled.right == filled.left) filled.right = filled.left + 2;  // a row of 0 pointed at still shows
        FillRect(dc, &filled,
                 static_cast<HBRUSH>(pointed ? pointedBrush.get() : bar.other ? otherBrush.get() : barBrush.get()));
        SetTextColor(dc, kAxisText);
        DrawTextIn(dc, values[i], ToRect(place.value), DT_LEFT | DT_SINGLELINE);
    }
    const std::string notice = !view.Notice().empty() ? view.Notice()
                               : chart.bars.empty()   ? std::string(kNoProgramsText)
                                                      : std::string();
    if (!notice.empty()) {
        qm::win32::UniqueGdi frame(CreateSolidBrush(kGridline));
        RECT box{margin * 2, margin * 2, area.right - margin * 2, area.bottom - margin * 2};
        DrawNotice(dc, box, notice, static_cast<HBRUSH>(frame.get()), margin);
    }
}

void HistoryBox::PaintBars(HWND chart, HDC dc, const RECT& area) {
    const int width = area.right, height = area.bottom;
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const auto textWidth = [&](const std::string& text) {
        const std::wstring wide = Widen(text);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    // The Days chart marks the current day, month or year; the Hours chart the busiest hour.
    const bool hours = GetDlgCtrlID(chart) == history_ids::picHours;
    const HistoryChart& days = behaviour_.Chart();
    const HoursChart& hourly = behaviour_.Hours().Chart();
    ChartPaint& paint = hours ? hoursPaint_ : paint_;
    paint = hours ? LayOutChart(hourly, width, height, Layout()->Dpi(), metrics.tmHeight, textWidth, numbers_)
                  : LayOutChart(days, width, height, Layout()->Dpi(), metrics.tmHeight, textWidth, numbers_);
    const auto marked = [&](size_t bar) { return hours ? static_cast<int>(bar) == hourly.busiest : days.bars[bar].current; };
    const int pointedBar = hours ? behaviour_.Hours().PointedHour() : behaviour_.PointedBar();
    const std::string& notice = hours ? behaviour_.Hours().Notice() : behaviour_.Notice();

    SetTextColor(dc, kAxisText);
    qm::win32::UniqueGdi gridBrush(CreateSolidBrush(kGridline));
    for (const Gridline& line : paint.gridlines) {
        RECT rule{paint.plot.left, line.y, paint.plot.right, line.y + 1};
        FillRect(dc, &rule, static_cast<HBRUSH>(gridBrush.get()));
        DrawTextIn(dc, line.label.text, ToRect(line.label.rect), DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
    }
    qm::win32::UniqueGdi barBrush(CreateSolidBrush(kBar)), currentBrush(CreateSolidBrush(kCurrentBar)),
        pointedBrush(CreateSolidBrush(kPointedBar));
    for (size_t i = 0; i < paint.bars.size(); ++i) {
        const bool pointed = static_cast<int>(i) == pointedBar;
        HGDIOBJ brush = pointed ? pointedBrush.get() : marked(i) ? currentBrush.get() : barBrush.get();
        RECT bar = ToRect(paint.bars[i].bar);
        if (pointed && bar.top == bar.bottom) bar.top = bar.bottom - 2;  // an empty day pointed at still shows
        FillRect(dc, &bar, static_cast<HBRUSH>(brush));
    }
    for (const PeriodLabel& label : paint.labels) {
        SetTextColor(dc, marked(static_cast<size_t>(label.bar)) ? GetSysColor(COLOR_WINDOWTEXT) : kAxisText);
        DrawTextIn(dc, label.label.text, ToRect(label.label.rect), DT_CENTER | DT_SINGLELINE);
    }
    if (!notice.empty()) {
        // Over the upper part of the plot.
        const int margin = MulDiv(12, Layout()->Dpi(), 96);
        RECT box{paint.plot.left + margin, paint.plot.top + margin, paint.plot.right - margin, paint.plot.bottom};
        if (box.right <= box.left) box = area;
        DrawNotice(dc, box, notice, static_cast<HBRUSH>(gridBrush.get()), margin);
    }
}

}  // namespace qm::ui::win32

namespace qm::ui::win32 {

void HistoryBox::PaintScreen(HDC dc, const RECT& area) {
    ScreenView& view = behaviour_.Screen();
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int dpi = Layout()->Dpi(), line = metrics.tmHeight, margin = MulDiv(8, dpi, 96);
    // Under the maps, the legend: its colour bar and the counts under it.
    const int barHeight = std::max(6, line * 2 / 3), legendHeight = barHeight + line + margin;
    view.SetArea(area.right, area.bottom, margin, legendHeight);
    const ScreenPaint& paint = view.Paint();
    const auto textWidth = [&](const std::string& text) {
        const std::wstring wide = Widen(text);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    qm::win32::UniqueGdi frame(CreateSolidBrush(kMonitorFrame));
    SetBrushOrgEx(dc, 0, 0, nullptr);
    // Each monitor as the view fitted it to its place: stretched, each cell a sharp square.
    SetStretchBltMode(dc, COLORONCOLOR);
    for (size_t i = 0; i < paint.monitors.size() && i < view.Images().size(); ++i) {
        const PixelRect& place = paint.monitors[i];
        const MonitorImage& image = view.Images()[i];
        if (place.Width() <= 0 || place.Height() <= 0 || image.columns <= 0 || image.rows <= 0) continue;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = image.columns;
        info.bmiHeader.biHeight = -image.rows;  // top-down, as the cells are
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        StretchDIBits(dc, place.left, place.top, place.Width(), place.Height(), 0, 0, image.columns, image.rows,
                      image.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
        RECT outline{place.left - 1, place.top - 1, place.right + 1, place.bottom + 1};
        FrameRect(dc, &outline, static_cast<HBRUSH>(frame.get()));
        // The monitor's number, as the detail line names it, in its top left corner.
        if (paint.monitors.size() > 1 && place.Height() > 2 * line) {
            SetTextColor(dc, RGB(200, 204, 212));
            RECT name{place.left + margin / 2, place.top + margin / 4, place.right, place.top + margin / 4 + line};
            DrawTextIn(dc, std::to_string(i + 1), name, DT_LEFT | DT_SINGLELINE);
        }
    }

    const ScreenCounts& counts = view.Counts();
    const std::vector<LegendMark> marks = LegendMarks(counts.highest);
    const int legendTop = area.bottom - margin - line - barHeight;
    SetTextColor(dc, kAxisText);
    if (marks.empty()) {
        RECT text{margin, legendTop, area.right - margin, area.bottom - margin};
        DrawTextIn(dc, "Nothing has been counted here in this period.", text, DT_CENTER | DT_SINGLELINE);
    } else {
        static constexpr const char* kUnits[] = {"Passes a cell:", "Clicks a cell:", "Left clicks a cell:",
                                                 "Right clicks a cell:", "Middle clicks a cell:"};
        const std::string unit = kUnits[static_cast<int>(view.What())];
        const int unitWidth = textWidth(unit);
        const int width = area.right;
        const int barWidth = std::max(0, std::min(width - 4 * margin - unitWidth, MulDiv(360, dpi, 96)));
        const int barLeft = (width - barWidth + unitWidth + margin) / 2;
        RECT unitBox{barLeft - margin - unitWidth, legendTop - line / 4, barLeft - margin / 2,
                     legendTop + barHeight + line};
        DrawTextIn(dc, unit, unitBox, DT_RIGHT | DT_SINGLELINE);
        if (barWidth > 0) {
            std::vector<uint32_t> strip(static_cast<size_t>(barWidth));
            for (int x = 0; x < barWidth; ++x) {
                const Rgb c = ScaleColour(barWidth > 1 ? static_cast<double>(x) / (barWidth - 1) : 1.0);
                strip[static_cast<size_t>(x)] = static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b);
            }
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = barWidth;
            info.bmiHeader.biHeight = 1;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            StretchDIBits(dc, barLeft, legendTop, barWidth, barHeight, 0, 0, barWidth, 1, strip.data(), &info,
                          DIB_RGB_COLORS, SRCCOPY);
            RECT outline{barLeft - 1, legendTop - 1, barLeft + barWidth + 1, legendTop + barHeight + 1};
            FrameRect(dc, &outline, static_cast<HBRUSH>(frame.get()));
            // Each mark's count under its point of the bar, kept within the chart.
            for (const LegendMark& mark : marks) {
                const std::string text = numbers_.Format(mark.count, 0);
                const int textSize = textWidth(text);
                const int centre = barLeft + static_cast<int>(mark.fraction * (barWidth - 1));
                const int left = std::clamp(centre - textSize / 2, margin, std::max(margin, width - margin - textSize));
                RECT box{left, legendTop + barHeight + 2, left + textSize + 2, legendTop + barHeight + 2 + line};
                DrawTextIn(dc, text, box, DT_LEFT | DT_SINGLELINE);
            }
        }
    }
    if (!view.Notice().empty()) {
        RECT box{margin * 2, margin * 2, area.right - margin * 2, std::max(margin * 3, legendTop - margin)};
        DrawNotice(dc, box, view.Notice(), static_cast<HBRUSH>(frame.get()), margin);
    }
}

}  // namespace qm::ui::win32
