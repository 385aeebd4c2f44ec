// Turns a window layout into Win32 controls, scaled by the display's dpi.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/layout.h"
#include "ui/link_click.h"
#include "win32/handles.h"

namespace qm::ui::win32 {

// Messages the controls send to their top-level window.
inline constexpr UINT WM_QM_LINK_CLICK = WM_APP + 1;  // wParam: control id
inline constexpr UINT WM_QM_PANEL_MOUSEDOWN = WM_APP + 2;  // wParam: control id, lParam: as received

// The class of a Kind::Chart control; the window that has one registers it.
inline constexpr wchar_t kChartClass[] = L"QuillmarkChart";

// The dpi of a window (of the system before it exists).
int DpiOf(HWND window);

class BuiltLayout {
public:
    BuiltLayout(const WindowLayout& layout, HWND window, HINSTANCE instance);
    BuiltLayout(const BuiltLayout&) = delete;
    BuiltLayout& operator=(const BuiltLayout&) = delete;
    ~BuiltLayout();

    // Creates every control and timer of the layout at this dpi.
    void Create(int dpi);
    // Fonts and rectangles for a new dpi.
    void Relayout(int dpi);
    // A sizable window's client area is now this many pixels: the anchored
    // controls follow its edges.
    void Resize(int clientWidth, int clientHeight);
    // Shows the rows of tab `tab` (Widget::tab) and hides those of the others.
    void ShowTab(int tab);
    // The window's own font at the current dpi.
    HFONT WindowFont() { return FontFor(layout_.font); }
    int Dpi() const { return dpi_; }

    // The control of a row of the table, by its id.
    HWND Get(int id) const;
    // WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT / WM_CTLCOLORBTN of any control of the layout.
    LRESULT ControlColour(HDC dc, HWND control);
    // The background brush of the window itself.
    HBRUSH WindowBrush();

    // The messages every window of a layout answers alike: the controls'
    // colours, the background, and a new dpi. True when handled.
    bool HandleWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    // The menu bar (attached to the window, which then owns it) and the
    // pop-up menus by id, including those not on the bar.
    HMENU CreateMenuBar();
    HMENU Menu(int id) const;

    // Client size in pixels the layout asks for at this dpi.
    SIZE ClientSize(int dpi) const;

private:
    struct Control {
        const Widget* widget;
        HWND hwnd;
    };
    HFONT FontFor(const Font& font);
    HBRUSH BrushFor(const Colour& colour, COLORREF fallback);
    HWND ParentOf(const Widget& w) const;
    // The colour of the tab control's page, as the control draws it.
    COLORREF PageColour();
    void Place(const Control& c);
    void StackControls();

    const WindowLayout& layout_;
    HWND window_;
    HINSTANCE instance_;
    int dpi_ = 96;
    int growX_ = 0, growY_ = 0;  // pixels the client area has over the layout's size
    std::vector<Control> controls_;
    std::map<std::string, qm::win32::UniqueGdi> fonts_;
    std::map<COLORREF, qm::win32::UniqueGdi> brushes_;
    std::optional<COLORREF> pageColour_;
    std::map<int, HMENU> menus_;
    std::vector<qm::win32::UniqueMenu> detachedMenus_;  // menus no window owns
    std::vector<std::unique_ptr<LinkClick>> linkClicks_;  // one per link box, for its subclass
};

}  // namespace qm::ui::win32
