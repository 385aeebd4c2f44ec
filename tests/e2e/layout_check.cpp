// Compares the live main window (or About window) with its layout table:
// every control's rectangle relative to its parent, its class and caption,
// and the window's outer size. Prints one line per difference.
//
//   qm_layout_check.exe main|about
//   qm_layout_check.exe ids     the controls' ids as shell assignments,
//                               main_<name>[_<index>]=<id>, about_<name>=<id>
//                               and history_<name>=<id>,
//                               so that tests name controls as the tables do
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/display.h"
#include "ui/about_layout.h"
#include "ui/history_layout.h"
#include "ui/main_layout.h"
#include "ui/win32/builder.h"
#include "win32/wide.h"

using namespace qm;
using namespace qm::ui;

namespace {

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND h, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    if (GetDlgCtrlID(h) != s->id) return TRUE;
    s->found = h;
    return FALSE;
}

HWND FindControl(HWND top, int id) {
    Search search{id, nullptr};
    EnumChildWindows(top, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOf(HWND h) {
    // WM_GETTEXT, not GetWindowText: edit controls of another process keep their text themselves.
    wchar_t buffer[512] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &ignored);
    return qm::win32::Narrow(buffer);
}

bool IsValueLabel(const Widget& w) {
    for (int id : kValueLabelIds)
        if (w.id == id) return true;
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"ids") {
        for (const auto& [prefix, layout] : {std::pair{"main", &MainLayout()}, std::pair{"about", &AboutLayout()},
                                             std::pair{"history", &HistoryLayout()}})
            for (const Widget& w : layout->widgets)
                if (w.id > 0 && w.kind != Kind::Timer) {
                    const std::string name(w.name);
                    if (w.index >= 0)
                        std::printf("%s_%s_%d=%d\n", prefix, name.c_str(), w.index, w.id);
                    else
                        std::printf("%s_%s=%d\n", prefix, name.c_str(), w.id);
                }
        return 0;
    }
    const bool about = argc > 1 && std::wstring(argv[1]) == L"about";
    const WindowLayout& layout = about ? AboutLayout() : MainLayout();
    HWND top = nullptr;
    for (int i = 0; i < 200 && !top; ++i) {
        top = FindWindowW(nullptr, qm::win32::Widen(layout.title).c_str());
        if (!top) Sleep(50);
    }
    if (!top) {
        std::printf("window \"%s\" not found\n", std::string(layout.title).c_str());
        return 1;
    }
    const int dpi = qm::ui::win32::DpiOf(top);
    int problems = 0, checked = 0;
    auto problem = [&](const std::string& text) {
        std::printf("DIFF %s\n", text.c_str());
        ++problems;
    };

    if (!about) {
        RECT r;
        GetWindowRect(top, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        const int ew = TwipsToPixels(layout.outerWidth, dpi), eh = TwipsToPixels(layout.outerHeight, dpi);
        if (w != ew || h != eh)
            problem("outer size " + std::to_string(w) + "x" + std::to_string(h) + ", expected " +
                    std::to_string(ew) + "x" + std::to_string(eh));
    } else {
        RECT c;
        GetClientRect(top, &c);
        const int ew = TwipsToPixels(layout.client.width, dpi), eh = TwipsToPixels(layout.client.height, dpi);
        if (c.right != ew || c.bottom != eh)
            problem("client size " + std::to_string(c.right) + "x" + std::to_string(c.bottom) + ", expected " +
                    std::to_string(ew) + "x" + std::to_string(eh));
    }

    for (const Widget& w : layout.widgets) {
        if (w.kind == Kind::Timer) continue;
        std::string name(w.name);
        if (w.index >= 0) name.append("(").append(std::to_string(w.index)).append(")");
        HWND h = FindControl(top, w.id);
        if (!h) {
            problem(name + ": no control with id " + std::to_string(w.id));
            continue;
        }
        ++checked;
        HWND parent = GetParent(h);
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
        const int el = TwipsToPixels(w.rect.left, dpi), et = TwipsToPixels(w.rect.top, dpi);
        const int ew = TwipsToPixels(w.rect.width, dpi), eh = TwipsToPixels(w.rect.height, dpi);
        if (r.left != el || r.top != et || r.right - r.left != ew || r.bottom - r.top != eh)
            problem(name + ": at " + std::to_string(r.left) + "," + std::to_string(r.top) + " size " +
                    std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + ", expected " +
                    std::to_string(el) + "," + std::to_string(et) + " size " + std::to_string(ew) + "x" +
                    std::to_string(eh));
        const int parentId = parent == top ? 0 : GetDlgCtrlID(parent);
        if (parentId != w.parent)
            problem(name + ": parent id " + std::to_string(parentId));
        if (((GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0) != w.visible) problem(name + ": visibility");
        // Value labels show figures, the all-time box its date and the version its number.
        const bool live = IsValueLabel(w) || w.id == main_ids::frmAllStat || w.id == about_ids::lblVersion;
        if (!live && TextOf(h) != w.caption)
            problem(name + ": caption \"" + TextOf(h) + "\", expected \"" + std::string(w.caption) + "\"");
    }
    std::printf("%d controls checked at %d dpi, %d differences\n", checked, dpi, problems);
    return problems == 0 ? 0 : 1;
}
