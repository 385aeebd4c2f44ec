#include "ui/win32/builder.h"

#include <commctrl.h>

#include "ui/res/resource.h"
#include "ui/win32/window.h"
#include "win32/picture.h"
#include "win32/wide.h"

namespace qm::ui::win32 {

using qm::win32::Widen;

namespace {

constexpr wchar_t kPanelClass[] = L"QuillmarkPanel";

// Owned by its panel from WM_NCCREATE to WM_NCDESTROY.
struct PanelData {
    HBRUSH background = nullptr;  // the layout's
    qm::win32::UniqueIcon icon;   // Image::TrayIcon
    qm::win32::UniqueGdi bitmap;  // Image::Logo
    int id = 0;
};

HWND RootOf(HWND hwnd) { return GetAncestor(hwnd, GA_ROOT); }

void PaintPicture(HWND hwnd, HDC dc, const PanelData& data) {
    RECT r;
    GetClientRect(hwnd, &r);
    if (data.icon) {
        DrawIconEx(dc, 0, 0, data.icon.get(), r.right, r.bottom, 0, nullptr, DI_NORMAL);
    } else if (data.bitmap) {
        BITMAP bm{};
        GetObjectW(data.bitmap.get(), sizeof bm, &bm);
        qm::win32::UniqueDc memory(CreateCompatibleDC(dc));
        HGDIOBJ old = SelectObject(memory.get(), data.bitmap.get());
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, r.right, r.bottom, memory.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        SelectObject(memory.get(), old);  // the bitmap is not deleted with the memory DC
    }
}

// Picture boxes: a background, maybe a picture, and the notifications of the
// controls inside passed on to the top-level window.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* data = reinterpret_cast<PanelData*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_NCCREATE: {
            // The panel takes its data over from the creator (lpParam: the data's owner).
            void* param = reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams;
            auto* owner = static_cast<std::unique_ptr<PanelData>*>(param);
            if (owner) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner->release()));
            break;
        }
        case WM_ERASEBKGND:
            if (data && data->background) {
                RECT r;
                GetClientRect(hwnd, &r);
                FillRect(reinterpret_cast<HDC>(wp), &r, data->background);
                return 1;
            }
            break;
        case WM_PAINT:
            if (data && (data->icon || data->bitmap)) {
                qm::win32::PaintDc paint(hwnd);
                PaintPicture(hwnd, paint.get(), *data);
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_COMMAND:
            return SendMessageW(RootOf(hwnd), msg, wp, lp);
        case WM_LBUTTONDOWN:
            // Also the tray icon's callback message, with the event in lParam.
            if (data) PostMessageW(RootOf(hwnd), WM_QM_PANEL_MOUSEDOWN, static_cast<WPARAM>(data->id), lp);
            return 0;
        case WM_NCDESTROY:
            if (data) {
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
                std::unique_ptr<PanelData> owned(data);  // freed here, with its picture
            }
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// Link boxes: text that cannot be selected or changed, a hand cursor, and a
// click (refData: the link's LinkClick).
LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR refData) {
    auto* click = reinterpret_cast<LinkClick*>(refData);
    switch (msg) {
        case WM_SETCURSOR: {
            static HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_LINK));
            SetCursor(hand ? hand : LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // Captured, so that the release reaches the link wherever it happens.
            SetCapture(hwnd);
            click->Pressed(msg == WM_LBUTTONDBLCLK);
            return 0;
        case WM_LBUTTONUP: {
            RECT client;
            GetClientRect(hwnd, &client);
            const POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            const bool open = click->Released(PtInRect(&client, at) != FALSE);
            if (GetCapture() == hwnd) ReleaseCapture();
            if (open) PostMessageW(RootOf(hwnd), WM_QM_LINK_CLICK, static_cast<WPARAM>(GetDlgCtrlID(hwnd)), 0);
            return 0;
        }
        case WM_CAPTURECHANGED:
            click->Cancelled();
            return 0;
        case WM_MOUSEMOVE:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
        case WM_SETFOCUS:
            return 0;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

COLORREF ColourOf(const Colour& c, COLORREF fallback) {
    switch (c.type) {
        case Colour::Type::Default: return fallback;
        case Colour::Type::Rgb: return RGB(c.r, c.g, c.b);
        case Colour::Type::ButtonFace: return GetSysColor(COLOR_BTNFACE);
        case Colour::Type::Window: return GetSysColor(COLOR_WINDOW);
        case Colour::Type::CaptionText: return GetSysColor(COLOR_CAPTIONTEXT);
    }
    return fallback;
}

}  // namespace

int DpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (window && getDpiForWindow) {
        UINT dpi = getDpiForWindow(window);
        if (dpi) return static_cast<int>(dpi);
    }
    const qm::win32::WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    return dpi > 0 ? dpi : 96;
}

BuiltLayout::BuiltLayout(const WindowLayout& layout, HWND window, HINSTANCE instance)
    : layout_(layout), window_(window), instance_(instance) {
    RegisterClassOnce(instance, kPanelClass, PanelProc);
}

BuiltLayout::~BuiltLayout() {
    for (const Control& c : controls_)
        if (c.widget->kind == Kind::LinkBox) RemoveWindowSubclass(c.hwnd, LinkProc, 1);
}

HFONT BuiltLayout::FontFor(const Font& f) {
    const std::string key = std::string(f.face) + "|" + std::to_string(f.points) + "|" + std::to_string(f.bold) +
                            std::to_string(f.italic) + std::to_string(f.underline) + "|" + std::to_string(dpi_);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return static_cast<HFONT>(it->second.get());
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(static_cast<int>(f.points * 100 + 0.5), dpi_, 7200);
    lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = f.italic;
    lf.lfUnderline = f.underline;
    lf.lfCharSet = static_cast<BYTE>(f.charset);
    lf.lfQuality = DEFAULT_QUALITY;
    std::wstring face = Widen(f.face);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    fonts_.emplace(key, qm::win32::UniqueGdi(font));
    return font;
}

HBRUSH BuiltLayout::BrushFor(const Colour& colour, COLORREF fallback) {
    COLORREF rgb = ColourOf(colour, fallback);
    auto it = brushes_.find(rgb);
    if (it != brushes_.end()) return static_cast<HBRUSH>(it->second.get());
    HBRUSH brush = CreateSolidBrush(rgb);
    brushes_.emplace(rgb, qm::win32::UniqueGdi(brush));
    return brush;
}

COLORREF BuiltLayout::PageColour() {
    if (pageColour_) return *pageColour_;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    HWND tab = nullptr;
    for (const Control& c : controls_)
        if (c.widget->kind == Kind::Tab) tab = c.hwnd;
    RECT area{};
    if (!tab || !GetClientRect(tab, &area) || area.right <= 0 || area.bottom <= 0) return face;
    // A themed tab control's page is not the dialog's face (white under
    // Windows 10's theme): what lies on it takes the colour it is drawn in.
    HDC screen = GetDC(tab);
    qm::win32::UniqueDc dc(CreateCompatibleDC(screen));
    qm::win32::UniqueGdi bitmap(CreateCompatibleBitmap(screen, area.right, area.bottom));
    ReleaseDC(tab, screen);
    if (!dc || !bitmap) return face;
    qm::win32::Selected use(dc.get(), bitmap.get());
    FillRect(dc.get(), &area, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
    RECT page = area;
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    const COLORREF sampled = GetPixel(dc.get(), (page.left + page.right) / 2, (page.top + page.bottom) / 2);
    pageColour_ = sampled == CLR_INVALID ? face : sampled;
    return *pageColour_;
}

HBRUSH BuiltLayout::WindowBrush() { return BrushFor(layout_.back, GetSysColor(COLOR_BTNFACE)); }

bool BuiltLayout::HandleWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            result = ControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
            return true;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(window_, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, WindowBrush());
            result = 1;
            return true;
        }
        case WM_THEMECHANGED:
        case WM_SYSCOLORCHANGE:
            pageColour_.reset();  // measured again at the next paint
            return false;
        case WM_DPICHANGED: {
            Relayout(HIWORD(wp));
            const RECT* suggested = reinterpret_cast<const RECT*>(lp);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            result = 0;
            return true;
        }
    }
    return false;
}

HWND BuiltLayout::Get(int id) const {
    for (const Control& c : controls_)
        if (c.widget->id == id) return c.hwnd;
    return nullptr;
}

HWND BuiltLayout::ParentOf(const Widget& w) const {
    HWND parent = w.parent ? Get(w.parent) : nullptr;
    return parent ? parent : window_;
}

SIZE BuiltLayout::ClientSize(int dpi) const {
    return {TwipsToPixels(layout_.client.width, dpi), TwipsToPixels(layout_.client.height, dpi)};
}

void BuiltLayout::Place(const Control& c) {
    const Rect& r = c.widget->rect;
    const bool topLevel = c.widget->parent == 0;
    PixelBox box = Anchored({TwipsToPixels(r.left, dpi_), TwipsToPixels(r.top, dpi_), TwipsToPixels(r.width, dpi_),
                             TwipsToPixels(r.height, dpi_)},
                            c.widget->anchors, topLevel ? growX_ : 0, topLevel ? growY_ : 0);
    // A drop-down list's height is that of the list when it opens; one
    // filled at run time has room for a dozen items.
    if (c.widget->kind == Kind::ComboBox)
        box.height *= 1 + static_cast<int>(c.widget->items.empty() ? 12 : c.widget->items.size());
    SetWindowPos(c.hwnd, nullptr, box.left, box.top, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.widget->font)), TRUE);
}

void BuiltLayout::Create(int dpi) {
    dpi_ = dpi;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(layout_.font)), FALSE);
    for (const Widget& w : layout_.widgets) {
        if (w.kind == Kind::Timer) {
            SetTimer(window_, static_cast<UINT_PTR>(w.id), static_cast<UINT>(w.intervalMs), nullptr);
            continue;
        }
        // The rows of a tab show while it is chosen, the first to begin with.
        const bool shown = w.visible && w.tab <= 0;
        DWORD style = WS_CHILD | (shown ? WS_VISIBLE : 0) | (w.tabStop ? WS_TABSTOP : 0);
        DWORD exStyle = 0;
        const wchar_t* cls = L"STATIC";
        void* param = nullptr;
        std::unique_ptr<PanelData> panel;  // handed to the panel when it is created
        const DWORD align = w.align == Align::Center ? 1u : w.align == Align::Right ? 2u : 0u;
        switch (w.kind) {
            case Kind::Button:
                cls = L"BUTTON";
                style |= BS_PUSHBUTTON;
                break;
            case Kind::GroupBox:
                cls = L"BUTTON";
                style |= BS_GROUPBOX;
                break;
            case Kind::LinkBox:
                cls = L"EDIT";
                style |= ES_READONLY | ES_AUTOHSCROLL |
                         (align == 1 ? ES_CENTER : align == 2 ? ES_RIGHT : ES_LEFT);
                break;
            case Kind::Label:
                // A caption wider than its label is cut at the edge, never broken into lines.
                style |= SS_NOPREFIX | (align == 1 ? SS_CENTER : align == 2 ? SS_RIGHT : SS_LEFTNOWORDWRAP);
                if (!w.transparent) style |= WS_CLIPSIBLINGS;
                break;
            case Kind::Panel:
            case Kind::Picture: {
                cls = kPanelClass;
                panel = std::make_unique<PanelData>();
                panel->background = BrushFor(w.back, GetSysColor(COLOR_BTNFACE));
                panel->id = w.id;
                if (w.image == Image::TrayIcon)
                    panel->icon.reset(static_cast<HICON>(
                        LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON, 16, 16, 0)));
                else if (w.image == Image::Logo)
                    // Where the PNG cannot be decoded the box shows its background alone.
                    panel->bitmap = qm::win32::LoadPictureResource(instance_, IDB_LOGO);
                param = &panel;
                break;
            }
            case Kind::ComboBox:
                cls = L"COMBOBOX";
                style |= CBS_DROPDOWNLIST | WS_VSCROLL;
                break;
            case Kind::TextBox:
                cls = L"EDIT";
                style |= ES_READONLY | ES_AUTOHSCROLL;
                break;
            case Kind::Chart:
                cls = kChartClass;
                break;
            case Kind::Tab:
                // Its page is drawn around the rows of the tabs, which lie over it.
                cls = WC_TABCONTROLW;
                style |= WS_CLIPSIBLINGS;
                break;
            case Kind::Timer:
                break;
        }
        HWND hwnd = CreateWindowExW(exStyle, cls, Widen(w.caption).c_str(), style, 0, 0, 0, 0, ParentOf(w),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(w.id)), instance_, param);
        if (!hwnd) continue;
        if (w.kind == Kind::LinkBox) {
            linkClicks_.push_back(std::make_unique<LinkClick>());
            SetWindowSubclass(hwnd, LinkProc, 1, reinterpret_cast<DWORD_PTR>(linkClicks_.back().get()));
        }
        for (const char* item : w.items) {
            std::wstring text = Widen(item);
            if (w.kind == Kind::Tab) {
                TCITEMW tab{};
                tab.mask = TCIF_TEXT;
                tab.pszText = text.data();
                SendMessageW(hwnd, TCM_INSERTITEMW, SendMessageW(hwnd, TCM_GETITEMCOUNT, 0, 0),
                             reinterpret_cast<LPARAM>(&tab));
            } else {
                SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            }
        }
        controls_.push_back({&w, hwnd});
        Place(controls_.back());
    }
    StackControls();
}

void BuiltLayout::StackControls() {
    // Labels lie beneath every other control but a tab control, and among
    // themselves a later one lies over an earlier one: a value label is not
    // covered by the caption that overlaps its first pixel, and no label
    // covers a link box. A tab control lies beneath all the rows on its page.
    std::map<HWND, std::vector<HWND>> stacks;  // per parent, top first
    for (const Control& c : controls_)
        if (c.widget->kind != Kind::Label && c.widget->kind != Kind::Tab) stacks[GetParent(c.hwnd)].push_back(c.hwnd);
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (it->widget->kind == Kind::Label) stacks[GetParent(it->hwnd)].push_back(it->hwnd);
    for (const Control& c : controls_)
        if (c.widget->kind == Kind::Tab) stacks[GetParent(c.hwnd)].push_back(c.hwnd);
    for (auto& [parent, stack] : stacks) {
        HWND above = HWND_TOP;
        for (HWND h : stack) {
            SetWindowPos(h, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            above = h;
        }
    }
}

void BuiltLayout::Resize(int clientWidth, int clientHeight) {
    const SIZE designed = ClientSize(dpi_);
    if (clientWidth - designed.cx == growX_ && clientHeight - designed.cy == growY_) return;
    growX_ = clientWidth - designed.cx;
    growY_ = clientHeight - designed.cy;
    for (const Control& c : controls_)
        if (c.widget->anchors != kAnchorTopLeft) Place(c);
}

void BuiltLayout::ShowTab(int tab) {
    for (const Control& c : controls_)
        if (c.widget->tab >= 0) ShowWindow(c.hwnd, c.widget->visible && c.widget->tab == tab ? SW_SHOWNA : SW_HIDE);
}

void BuiltLayout::Relayout(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    growX_ = growY_ = 0;  // the WM_SIZE of the new dpi's window size comes next
    // The old fonts go only once every control has its new one.
    std::map<std::string, qm::win32::UniqueGdi> oldFonts = std::move(fonts_);
    fonts_.clear();
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(layout_.font)), FALSE);
    for (const Control& c : controls_) Place(c);
    InvalidateRect(window_, nullptr, TRUE);
}

LRESULT BuiltLayout::ControlColour(HDC dc, HWND control) {
    const Widget* w = nullptr;
    for (const Control& c : controls_)
        if (c.hwnd == control) w = c.widget;
    if (!w) return reinterpret_cast<LRESULT>(WindowBrush());
    SetTextColor(dc, ColourOf(w->fore, GetSysColor(COLOR_BTNTEXT)));
    if (w->transparent) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    // Without a colour of its own a control takes its parent's background.
    Colour back = w->back;
    if (back.type == Colour::Type::Default) {
        const Widget* parent = nullptr;
        for (const Control& c : controls_)
            if (c.hwnd == GetParent(control)) parent = c.widget;
        back = parent ? parent->back : layout_.back;
        if (!parent && w->tab >= 0) {
            const COLORREF page = PageColour();
            back = Colour::Rgb(GetRValue(page), GetGValue(page), GetBValue(page));
        }
    }
    SetBkColor(dc, ColourOf(back, GetSysColor(COLOR_BTNFACE)));
    return reinterpret_cast<LRESULT>(BrushFor(back, GetSysColor(COLOR_BTNFACE)));
}

HMENU BuiltLayout::CreateMenuBar() {
    qm::win32::UniqueMenu bar(CreateMenu());
    for (const MenuItem& top : layout_.menu) {
        if (top.parent != 0) continue;
        qm::win32::UniqueMenu popup(CreatePopupMenu());
        menus_[top.id] = popup.get();
        for (const MenuItem& item : layout_.menu) {
            if (item.parent != top.id) continue;
            if (item.caption == "-")
                AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
            else
                AppendMenuW(popup.get(), MF_STRING, static_cast<UINT_PTR>(item.id), Widen(item.caption).c_str());
        }
        if (!top.hidden && AppendMenuW(bar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup.get()),
                                       Widen(top.caption).c_str()))
            popup.release();  // the bar's now
        else
            detachedMenus_.push_back(std::move(popup));  // hidden: defined, never shown
    }
    // Once attached, the bar and its pop-ups go with the window.
    HMENU handle = bar.get();
    if (SetMenu(window_, handle))
        bar.release();
    else
        detachedMenus_.push_back(std::move(bar));
    return handle;
}

HMENU BuiltLayout::Menu(int id) const {
    auto it = menus_.find(id);
    return it == menus_.end() ? nullptr : it->second;
}

}  // namespace qm::ui::win32
