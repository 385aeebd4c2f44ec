// End-to-end test driver for Win32 GUI programs.
//
// Shell scripts start it under Wine (or on Windows) once per command:
//   qm_e2e_driver.exe [--timeout MS] [--hold MS] [--delay MS] [--stamp MS|start] <command> [args...]
// Results go to stdout as UTF-8 lines; the exit code is 0 on success and 1 on
// any failure or timeout, with the reason on stderr. README.md beside this
// file lists the commands and their output formats.
//
// The same file, compiled with QM_E2E_HOOK_DLL defined, is the small hook DLL
// (qm_e2e_hook.dll) that the driver loads into the program under test when it
// cannot read that program's menus from outside (Wine keeps menus private to
// the process that made them, so GetMenuItemInfo fails across processes).

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

namespace qm_e2e {

// ---------------------------------------------------------------------------
// Shared by the driver and the hook DLL: menu trees and their text form.

struct MenuItem {
    int depth = 0;            // 0 for the menu bar, 1 for its popups, ...
    unsigned id = 0;          // command ID (0 for separators and popups)
    bool separator = false;
    bool checked = false;
    bool grayed = false;      // MFS_GRAYED or MFS_DISABLED
    bool submenu = false;
    std::wstring text;        // raw caption, '&' and "\tAccel" included
};

// Names of the kernel objects that carry a menu dump out of the program.
inline std::wstring MappingName(unsigned long driverPid) {
    return L"qm_e2e_menu_map_" + std::to_wstring(driverPid);
}
inline std::wstring DoneEventName(unsigned long driverPid) {
    return L"qm_e2e_menu_done_" + std::to_wstring(driverPid);
}
constexpr wchar_t kHookRequestMessage[] = L"qm_e2e_hook_request";
constexpr DWORD kMappingBytes = 1u << 20;

// What the hook is asked for (the request message's lParam); its wParam is
// the driver's process ID, which names the mapping and the event.
enum HookRequest : LPARAM {
    kRequestMenu = 1,          // the menu bar tree of the message's window
    kRequestTooltipTools = 2,  // the tools of the message's tooltip window
};

// Escapes backslash, tab, CR, LF and other control characters.
inline std::wstring Escape(std::wstring_view s) {
    std::wstring out;
    out.reserve(s.size());
    for (wchar_t c : s) {
        switch (c) {
        case L'\\': out += L"\\\\"; break;
        case L'\t': out += L"\\t"; break;
        case L'\n': out += L"\\n"; break;
        case L'\r': out += L"\\r"; break;
        default:
            if (c < 0x20) {
                wchar_t buf[8];
                swprintf(buf, 8, L"\\x%02X", static_cast<unsigned>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out;
}

inline std::wstring Unescape(std::wstring_view s) {
    std::wstring out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != L'\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        wchar_t n = s[++i];
        if (n == L't') out += L'\t';
        else if (n == L'n') out += L'\n';
        else if (n == L'r') out += L'\r';
        else if (n == L'x' && i + 2 < s.size()) {
            out += static_cast<wchar_t>(std::wcstoul(std::wstring(s.substr(i + 1, 2)).c_str(), nullptr, 16));
            i += 2;
        } else out += n;
    }
    return out;
}

// Reads a menu and all its submenus, in pre-order. False when the menu
// cannot be read from this process.
inline bool ReadMenuTree(HMENU menu, int depth, std::vector<MenuItem>& out) {
    int count = GetMenuItemCount(menu);
    if (count < 0) return false;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mii)) return false;
        MenuItem item;
        item.depth = depth;
        item.separator = (mii.fType & MFT_SEPARATOR) != 0;
        item.checked = (mii.fState & MFS_CHECKED) != 0;
        item.grayed = (mii.fState & (MFS_GRAYED | MFS_DISABLED)) != 0;
        item.submenu = mii.hSubMenu != nullptr;
        item.id = item.submenu ? 0 : mii.wID;
        HMENU sub = mii.hSubMenu;  // the second call below may clear it (Wine does)
        if (!item.separator && mii.cch > 0) {
            std::wstring text(mii.cch + 1, L'\0');
            mii.fMask = MIIM_STRING;
            mii.dwTypeData = text.data();
            mii.cch = static_cast<UINT>(text.size());
            if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mii)) {
                text.resize(mii.cch);
                item.text = std::move(text);
            }
        }
        out.push_back(std::move(item));
        if (sub && !ReadMenuTree(sub, depth + 1, out)) return false;
    }
    return true;
}

inline std::wstring SerializeMenu(const std::vector<MenuItem>& items) {
    std::wstring s;
    for (const MenuItem& m : items) {
        s += std::to_wstring(m.depth) + L'\t' + std::to_wstring(m.id) + L'\t' +
             (m.separator ? L'1' : L'0') + L'\t' + (m.checked ? L'1' : L'0') + L'\t' +
             (m.grayed ? L'1' : L'0') + L'\t' + (m.submenu ? L'1' : L'0') + L'\t' +
             Escape(m.text) + L'\n';
    }
    return s;
}

inline std::vector<MenuItem> ParseMenu(std::wstring_view s) {
    std::vector<MenuItem> items;
    while (!s.empty()) {
        size_t eol = s.find(L'\n');
        std::wstring_view line = s.substr(0, eol);
        s = eol == std::wstring_view::npos ? std::wstring_view{} : s.substr(eol + 1);
        std::vector<std::wstring_view> f;
        for (size_t start = 0;;) {
            size_t tab = line.find(L'\t', start);
            f.push_back(line.substr(start, tab == std::wstring_view::npos ? tab : tab - start));
            if (tab == std::wstring_view::npos) break;
            start = tab + 1;
        }
        if (f.size() != 7) continue;
        MenuItem m;
        m.depth = static_cast<int>(std::wcstol(std::wstring(f[0]).c_str(), nullptr, 10));
        m.id = static_cast<unsigned>(std::wcstoul(std::wstring(f[1]).c_str(), nullptr, 10));
        m.separator = f[2] == L"1";
        m.checked = f[3] == L"1";
        m.grayed = f[4] == L"1";
        m.submenu = f[5] == L"1";
        m.text = Unescape(f[6]);
        items.push_back(std::move(m));
    }
    return items;
}

}  // namespace qm_e2e

#ifdef QM_E2E_HOOK_DLL
// ---------------------------------------------------------------------------
// The hook DLL: runs inside the other program, on the GUI thread that owns
// the window the request was posted to.

#include <commctrl.h>

namespace {

using namespace qm_e2e;

std::wstring MenuText(HWND window) {
    HMENU menu = GetMenu(window);
    if (!menu) return L"!no menu";
    std::vector<MenuItem> items;
    if (!ReadMenuTree(menu, 0, items)) return L"!menu unreadable";
    return SerializeMenu(items);
}

// One line per tool: owner window, rect in the owner's client area, text.
std::wstring TooltipToolsText(HWND tooltip) {
    std::wstring out;
    LRESULT count = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::vector<wchar_t> text(1024, L'\0');
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.lpszText = text.data();
        if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&ti))) continue;
        std::wstring tip;
        if (ti.lpszText == LPSTR_TEXTCALLBACKW) tip = L"(callback)";
        else if (!IS_INTRESOURCE(ti.lpszText)) tip = ti.lpszText;
        wchar_t head[96];
        swprintf(head, 96, L"%lu\t%ld,%ld,%ld,%ld\t", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(ti.hwnd)),
                 ti.rect.left, ti.rect.top, ti.rect.right, ti.rect.bottom);
        out += head + Escape(tip) + L"\n";
    }
    return out;
}

void Answer(HWND window, unsigned long driverPid, LPARAM request) {
    HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, DoneEventName(driverPid).c_str());
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, MappingName(driverPid).c_str());
    if (mapping) {
        if (auto* view = static_cast<wchar_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0))) {
            std::wstring text = request == kRequestMenu           ? MenuText(window)
                                : request == kRequestTooltipTools ? TooltipToolsText(window)
                                                                  : L"!unknown request";
            size_t max = kMappingBytes / sizeof(wchar_t) - 1;
            if (text.size() > max) text.resize(max);
            std::wmemcpy(view, text.c_str(), text.size() + 1);
            UnmapViewOfFile(view);
        }
        CloseHandle(mapping);
    }
    if (done) {
        SetEvent(done);
        CloseHandle(done);
    }
}

}  // namespace

extern "C" __attribute__((dllexport)) LRESULT CALLBACK QmE2eGetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT requestMessage = RegisterWindowMessageW(qm_e2e::kHookRequestMessage);
    if (code == HC_ACTION && wParam == PM_REMOVE && lParam) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (requestMessage != 0 && msg->message == requestMessage) {
            Answer(msg->hwnd, static_cast<unsigned long>(msg->wParam), msg->lParam);
            msg->message = WM_NULL;  // the program itself never sees it
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

#else  // the driver
// ---------------------------------------------------------------------------

#include <psapi.h>

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace {

using namespace qm_e2e;

struct Failure {
    std::wstring message;
};

[[noreturn]] void Fail(std::wstring message) { throw Failure{std::move(message)}; }

struct Settings {
    ULONGLONG timeoutMs = 10000;
    DWORD holdMs = 50;    // how long a key or button stays down
    DWORD delayMs = 100;  // pause after each key for `keys`
    // The time stamp that key and button input carries (INPUT's `time`); 0
    // lets the system stamp it. stampAtStart: the tick count when the
    // command begins, for all of its input.
    DWORD stamp = 0;
    bool stampAtStart = false;
} g_settings;

constexpr DWORD kPollMs = 50;
constexpr UINT kMessageTimeoutMs = 2000;

// --- output ------------------------------------------------------------------

std::string ToUtf8(std::wstring_view w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

void WriteTo(DWORD which, std::wstring_view text) {
    std::string bytes = ToUtf8(text);
    HANDLE h = GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(h, p, static_cast<DWORD>(left), &written, nullptr) || written == 0) return;
        p += written;
        left -= written;
    }
}

void Out(std::wstring_view line) { WriteTo(STD_OUTPUT_HANDLE, std::wstring(line) + L"\n"); }
void Warn(std::wstring_view line) { WriteTo(STD_ERROR_HANDLE, L"driver: warning: " + std::wstring(line) + L"\n"); }

std::wstring Hex(HWND h) {
    wchar_t buf[32];
    swprintf(buf, 32, L"0x%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(h)));
    return buf;
}

std::wstring Quote(std::wstring_view s) { return L"\"" + std::wstring(s) + L"\""; }

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t eol = text.find(L'\n', start);
        if (eol == std::wstring::npos) eol = text.size();
        lines.push_back(text.substr(start, eol - start));
        start = eol + 1;
    }
    return lines;
}

std::vector<std::wstring> SplitTabs(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find(L'\t', start);
        fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos) return fields;
        start = tab + 1;
    }
}

std::wstring RectText(const RECT& r) {
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
           std::to_wstring(r.bottom);
}

// --- arguments ---------------------------------------------------------------

std::optional<long long> ParseInt(std::wstring_view s) {
    bool negative = false;
    if (!s.empty() && (s[0] == L'-' || s[0] == L'+')) {
        negative = s[0] == L'-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == L'0' && (s[1] == L'x' || s[1] == L'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty() || s.size() > 15) return std::nullopt;
    long long v = 0;
    for (wchar_t c : s) {
        int d;
        if (c >= L'0' && c <= L'9') d = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f') d = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F') d = c - L'A' + 10;
        else return std::nullopt;
        v = v * base + d;
    }
    return negative ? -v : v;
}

long long IntArg(const std::wstring& s, const wchar_t* what) {
    auto v = ParseInt(s);
    if (!v) Fail(std::wstring(L"bad ") + what + L": " + Quote(s));
    return *v;
}

// --- polling -----------------------------------------------------------------

template <class T>
bool Truthy(const T& v) {
    return static_cast<bool>(v);
}
template <class T>
bool Truthy(const std::vector<T>& v) {
    return !v.empty();
}

// Calls probe every 50 ms until it returns a true value (a non-empty vector)
// or the timeout ends; returns its last result.
template <class F>
auto Poll(F&& probe, ULONGLONG timeoutMs = g_settings.timeoutMs) {
    ULONGLONG start = GetTickCount64();
    for (;;) {
        auto result = probe();
        if (Truthy(result) || GetTickCount64() - start >= timeoutMs) return result;
        Sleep(kPollMs);
    }
}

// --- windows -----------------------------------------------------------------

std::wstring TitleOf(HWND h) {
    int n = GetWindowTextLengthW(h);
    if (n <= 0) return {};
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(h, s.data(), n + 1);
    s.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return s;
}

std::wstring ClassOf(HWND h) {
    wchar_t buf[256];
    int n = GetClassNameW(h, buf, 256);
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

// WM_GETTEXT with a timeout, so that a hung program cannot hang the driver;
// nothing when the window does not answer.
std::optional<std::wstring> TryControlText(HWND h) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length))
        return std::nullopt;
    std::wstring s(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, &copied))
        return std::nullopt;
    s.resize(copied < s.size() ? copied : s.size() - 1);
    return s;
}

std::wstring ControlText(HWND h) { return TryControlText(h).value_or(L""); }

BOOL CALLBACK CollectWindow(HWND h, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(h);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

// Every descendant, depth first (children follow their parent).
std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> all;
    EnumChildWindows(top, CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

// "hwnd:0x1234" names a window by its handle instead of its title.
std::optional<HWND> HandleFromArg(const std::wstring& title) {
    if (title.rfind(L"hwnd:", 0) != 0) return std::nullopt;
    auto v = ParseInt(title.substr(5));
    if (!v) Fail(L"bad window handle: " + Quote(title));
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(*v));
}

// Top-level windows with exactly this title (and class, when given),
// visible ones first.
std::vector<HWND> FindTopLevel(const std::wstring& title, bool visibleOnly, const wchar_t* className = nullptr) {
    if (auto h = HandleFromArg(title)) {
        if (IsWindow(*h) && (!visibleOnly || IsWindowVisible(*h))) return {*h};
        return {};
    }
    std::vector<HWND> visible, hidden;
    for (HWND h : TopLevelWindows()) {
        if (TitleOf(h) != title) continue;
        if (className && ClassOf(h) != className) continue;
        (IsWindowVisible(h) ? visible : hidden).push_back(h);
    }
    if (!visibleOnly) visible.insert(visible.end(), hidden.begin(), hidden.end());
    return visible;
}

// Waits for a top-level window with that title, visible or not (a visible
// one is preferred).
HWND WaitWindow(const std::wstring& title, bool visibleOnly = false) {
    auto found = Poll([&] { return FindTopLevel(title, visibleOnly); });
    if (found.empty())
        Fail(std::wstring(L"no ") + (visibleOnly ? L"visible " : L"") + L"top-level window titled " + Quote(title) +
             L" within " + std::to_wstring(g_settings.timeoutMs) + L" ms");
    return found.front();
}

// A message box or other dialog (class #32770) with that title. Among several,
// the enabled one is taken: the others are disabled by its modal loop.
HWND WaitDialog(const std::wstring& title) {
    HWND dialog = Poll([&]() -> HWND {
        HWND fallback = nullptr;
        for (HWND h : FindTopLevel(title, true, L"#32770")) {
            if (IsWindowEnabled(h)) return h;
            if (!fallback) fallback = h;
        }
        return fallback;
    });
    if (!dialog)
        Fail(L"no dialog (class #32770) titled " + Quote(title) + L" within " +
             std::to_wstring(g_settings.timeoutMs) + L" ms");
    return dialog;
}

int ControlId(HWND h) { return GetDlgCtrlID(h); }

// The control with that ID anywhere below the window; IDs compare on their
// low 16 bits too, so 65535 finds a control made with ID -1.
HWND FindControl(HWND top, long long id) {
    for (HWND h : Descendants(top)) {
        int own = ControlId(h);
        if (own == id || (static_cast<unsigned>(own) & 0xFFFFu) == (static_cast<unsigned long long>(id) & 0xFFFFu))
            return h;
    }
    return nullptr;
}

HWND WaitControl(const std::wstring& title, long long id) {
    HWND control = Poll([&]() -> HWND {
        for (HWND top : FindTopLevel(title, false))
            if (HWND c = FindControl(top, id)) return c;
        return nullptr;
    });
    if (!control)
        Fail(L"no control with ID " + std::to_wstring(id) + L" in a window titled " + Quote(title) + L" within " +
             std::to_wstring(g_settings.timeoutMs) + L" ms");
    return control;
}

std::wstring StripMnemonic(std::wstring_view s) {
    std::wstring out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'&') {
            if (i + 1 < s.size() && s[i + 1] == L'&') out += L'&', ++i;
            continue;
        }
        out += s[i];
    }
    return out;
}

// --- DPI ---------------------------------------------------------------------

void BecomeDpiAware() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using ContextFn = BOOL(WINAPI*)(HANDLE);
    if (auto setContext = reinterpret_cast<ContextFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))) {
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, then _PER_MONITOR_AWARE
        if (setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))) ||
            setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3))))
            return;
    }
    using AwareFn = BOOL(WINAPI*)();
    if (auto setAware = reinterpret_cast<AwareFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware"))))
        setAware();
}

UINT DpiOf(HWND h) {
    using DpiFn = UINT(WINAPI*)(HWND);
    if (auto getDpi = reinterpret_cast<DpiFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")))) {
        if (UINT dpi = getDpi(h)) return dpi;
    }
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return static_cast<UINT>(dpi);
}

// --- menus -------------------------------------------------------------------

std::wstring DirectoryOfThisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

struct Handle {
    HANDLE h = nullptr;
    explicit Handle(HANDLE handle) : h(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (h) CloseHandle(h);
    }
};

// Asks qm_e2e_hook.dll, loaded into the window's program through a
// WH_GETMESSAGE hook on the window's thread, for something that cannot be
// read from outside; returns its text answer.
std::wstring AskInsideProgram(HWND window, HookRequest request, const wchar_t* what) {
    std::wstring dllPath = DirectoryOfThisProgram() + L"\\qm_e2e_hook.dll";
    HMODULE dll = LoadLibraryW(dllPath.c_str());
    if (!dll)
        Fail(std::wstring(what) + L" cannot be read from outside the program and " + dllPath + L" does not load");
    auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "QmE2eGetMsgProc@12")));
    if (!proc) proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "QmE2eGetMsgProc")));
    if (!proc) Fail(L"QmE2eGetMsgProc is missing from " + dllPath);

    DWORD pid = GetCurrentProcessId();
    Handle done(CreateEventW(nullptr, TRUE, FALSE, DoneEventName(pid).c_str()));
    Handle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMappingBytes,
                                      MappingName(pid).c_str()));
    if (!done.h || !mapping.h) Fail(L"cannot create the event or file mapping for the hook");

    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, proc, dll, thread);
    if (!hook) Fail(L"SetWindowsHookEx failed with error " + std::to_wstring(GetLastError()));
    UINT message = RegisterWindowMessageW(kHookRequestMessage);
    bool posted = PostMessageW(window, message, pid, request) != FALSE;
    DWORD waited = posted ? WaitForSingleObject(done.h, static_cast<DWORD>(g_settings.timeoutMs)) : WAIT_FAILED;
    UnhookWindowsHookEx(hook);
    if (!posted) Fail(L"cannot post to the window " + Hex(window));
    if (waited != WAIT_OBJECT_0)
        Fail(std::wstring(L"no answer from inside the program for ") + what +
             L" (is its message loop running? is it a 32-bit program?)");

    auto* view = static_cast<const wchar_t*>(MapViewOfFile(mapping.h, FILE_MAP_READ, 0, 0, 0));
    if (!view) Fail(L"cannot map the hook's answer");
    std::wstring text(view, wcsnlen(view, kMappingBytes / sizeof(wchar_t)));
    UnmapViewOfFile(view);
    if (text.rfind(L"!", 0) == 0) Fail(L"hook: " + text.substr(1));
    return text;
}

std::vector<MenuItem> ReadWindowMenu(HWND window) {
    HMENU menu = GetMenu(window);
    if (!menu) Fail(L"window " + Hex(window) + L" has no menu bar");
    std::vector<MenuItem> items;
    if (ReadMenuTree(menu, 0, items)) return items;
    return ParseMenu(AskInsideProgram(window, kRequestMenu, L"the menu"));
}

// Caption without '&' and without the accelerator part after a tab.
bool CaptionMatches(const std::wstring& raw, const std::wstring& wanted) {
    std::wstring want = StripMnemonic(wanted);
    std::wstring full = StripMnemonic(raw);
    if (full == want) return true;
    std::wstring shortText = full.substr(0, full.find(L'\t'));
    while (!shortText.empty() && shortText.back() == L' ') shortText.pop_back();
    return shortText == want;
}

// Index of the item at that path of captions; the grayed flag collects the
// items on the way.
size_t FindMenuItem(const std::vector<MenuItem>& items, const std::vector<std::wstring>& path, bool& grayedOnWay) {
    size_t begin = 0, end = items.size();
    int depth = 0;
    grayedOnWay = false;
    size_t found = items.size();
    for (size_t level = 0; level < path.size(); ++level, ++depth) {
        found = items.size();
        for (size_t i = begin; i < end; ++i) {
            if (items[i].depth != depth || items[i].separator) continue;
            if (CaptionMatches(items[i].text, path[level])) {
                found = i;
                break;
            }
        }
        if (found == items.size()) {
            std::wstring choices;
            for (size_t i = begin; i < end; ++i)
                if (items[i].depth == depth && !items[i].separator)
                    choices += (choices.empty() ? L"" : L", ") + Quote(Escape(StripMnemonic(items[i].text)));
            Fail(L"no menu item " + Quote(path[level]) + L" at level " + std::to_wstring(level + 1) +
                 L"; there are: " + choices);
        }
        grayedOnWay = grayedOnWay || items[found].grayed;
        if (level + 1 < path.size()) {
            if (!items[found].submenu) Fail(L"menu item " + Quote(path[level]) + L" has no submenu");
            begin = found + 1;
            end = begin;
            while (end < items.size() && items[end].depth > depth) ++end;
        }
    }
    return found;
}

// --- input -------------------------------------------------------------------

void Send(std::vector<INPUT> inputs) {
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) Fail(L"SendInput failed with error " + std::to_wstring(GetLastError()));
}

// 0..65535 over the virtual screen, aimed at the pixel's centre.
LONG Normalise(int pos, int origin, int size) {
    if (size <= 0) size = 1;
    long long v = ((2LL * (pos - origin) + 1) * 32768) / size;
    return static_cast<LONG>(v < 0 ? 0 : v > 65535 ? 65535 : v);
}

POINT CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

std::wstring PointText(POINT p) { return std::to_wstring(p.x) + L"," + std::to_wstring(p.y); }

void SendMove(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = Normalise(x, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    in.mi.dy = Normalise(y, GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    Send({in});
}

bool CursorAt(int x, int y) {
    POINT p = CursorPos();
    return p.x == x && p.y == y;
}

// Moves and checks that the cursor got there and stayed.
//
// Under Wine in Xvfb, many moves are followed by an X crossing event
// (apparently from the pointer grab Wine takes around its warp) that carries
// the position from before the move, and puts the cursor back there for
// ~20 ms. After 100 ms
// GetCursorPos asks X and sees the right place again, while Wine's server may
// still hold the old one, so that clicks would go to the old place. Sending
// the same move once more fixes it: the X pointer is already there, so no
// further crossing event comes.
void MoveTo(int x, int y) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        SendMove(x, y);
        if (!Poll([&] { return CursorAt(x, y); }, 1000)) continue;
        bool stayed = true;
        for (int i = 0; i < 16 && stayed; ++i) {  // ~80 ms
            Sleep(5);
            stayed = CursorAt(x, y);
        }
        SendMove(x, y);
        for (int i = 0; i < 6 && stayed; ++i) {
            Sleep(5);
            stayed = CursorAt(x, y);
        }
        if (stayed) return;
    }
    Fail(L"the cursor went to " + PointText(CursorPos()) + L" instead of " + std::to_wstring(x) + L"," +
         std::to_wstring(y));
}

enum class Button { Left, Right, Middle, X1, X2 };

void SendButton(Button button, bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    switch (button) {
    case Button::Left: in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP; break;
    case Button::Right: in.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP; break;
    case Button::Middle: in.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP; break;
    case Button::X1:
    case Button::X2:
        in.mi.dwFlags = down ? MOUSEEVENTF_XDOWN : MOUSEEVENTF_XUP;
        in.mi.mouseData = button == Button::X1 ? XBUTTON1 : XBUTTON2;
        break;
    }
    in.mi.time = g_settings.stamp;
    Send({in});
}

// The mouse button behind a virtual-key code 1, 2, 4, 5 or 6.
std::optional<Button> ButtonOfKey(WORD vk) {
    switch (vk) {
    case VK_LBUTTON: return Button::Left;
    case VK_RBUTTON: return Button::Right;
    case VK_MBUTTON: return Button::Middle;
    case VK_XBUTTON1: return Button::X1;
    case VK_XBUTTON2: return Button::X2;
    default: return std::nullopt;
    }
}

bool IsExtendedKey(WORD vk) {
    switch (vk) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_NUMLOCK: case VK_DIVIDE:
    case VK_RCONTROL: case VK_RMENU: case VK_LWIN: case VK_RWIN: case VK_APPS: case VK_SNAPSHOT:
        return true;
    default:
        return false;
    }
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    in.ki.time = g_settings.stamp;
    return in;
}

// Presses a key (with Shift when asked), holds it, releases it.
void PressKey(WORD vk, bool shift) {
    if (shift) Send({KeyInput(VK_SHIFT, false)});
    Send({KeyInput(vk, false)});
    Sleep(g_settings.holdMs);
    Send({KeyInput(vk, true)});
    if (shift) Send({KeyInput(VK_SHIFT, true)});
}

void PressUnicode(wchar_t c) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = c;
    in.ki.dwFlags = KEYEVENTF_UNICODE;
    in.ki.time = g_settings.stamp;
    Send({in});
    Sleep(g_settings.holdMs);
    in.ki.dwFlags |= KEYEVENTF_KEYUP;
    Send({in});
}

void TypeChar(wchar_t c) {
    if (c == L' ') return PressKey(VK_SPACE, false);
    if (c == L'\n') return PressKey(VK_RETURN, false);
    if (c == L'\t') return PressKey(VK_TAB, false);
    if ((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9'))
        return PressKey(static_cast<WORD>(std::towupper(c)), false);
    if (c >= L'A' && c <= L'Z') return PressKey(static_cast<WORD>(c), true);
    SHORT scan = VkKeyScanW(c);
    if (scan != -1 && (HIBYTE(scan) & ~1) == 0) return PressKey(LOBYTE(scan), (HIBYTE(scan) & 1) != 0);
    PressUnicode(c);  // no plain key for it on this layout
}

// --- commands ----------------------------------------------------------------

using Args = std::vector<std::wstring>;

void Need(const Args& a, size_t min, size_t max, const wchar_t* usage) {
    if (a.size() < min || a.size() > max) Fail(std::wstring(L"usage: ") + usage);
}

void CmdWaitWindow(const Args& a, bool visibleOnly) {
    Need(a, 1, 1, visibleOnly ? L"wait-window TITLE" : L"wait-window-any TITLE");
    Out(Hex(WaitWindow(a[0], visibleOnly)));
}

void CmdWaitGone(const Args& a) {
    Need(a, 1, 1, L"wait-gone TITLE");
    auto remaining = Poll([&] { return FindTopLevel(a[0], false).empty(); });
    if (!remaining) Fail(L"a window titled " + Quote(a[0]) + L" is still there after " +
                         std::to_wstring(g_settings.timeoutMs) + L" ms");
    Out(L"gone");
}

void CmdWindowInfo(const Args& a) {
    Need(a, 1, 1, L"window-info TITLE");
    HWND h = WaitWindow(a[0]);
    RECT r{}, c{};
    GetWindowRect(h, &r);
    GetClientRect(h, &c);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    Out(L"visible=" + std::to_wstring(IsWindowVisible(h) ? 1 : 0) + L" iconic=" +
        std::to_wstring(IsIconic(h) ? 1 : 0) + L" outer=" + std::to_wstring(r.right - r.left) + L"," +
        std::to_wstring(r.bottom - r.top) + L" rect=" + RectText(r) + L" client=" +
        std::to_wstring(c.right - c.left) + L"," + std::to_wstring(c.bottom - c.top) + L" dpi=" +
        std::to_wstring(DpiOf(h)) + L" origin=" + PointText(origin));
}

void CmdControls(const Args& a) {
    Need(a, 1, 1, L"controls TITLE");
    HWND top = WaitWindow(a[0]);
    std::map<HWND, std::wstring> paths{{top, L""}};
    std::map<HWND, int> childCount;
    for (HWND h : Descendants(top)) {
        HWND parent = GetAncestor(h, GA_PARENT);
        auto parentPath = paths.find(parent);
        std::wstring prefix = parentPath == paths.end() ? L"?" : parentPath->second;
        std::wstring path = (prefix.empty() ? L"" : prefix + L".") + std::to_wstring(childCount[parent]++);
        paths[h] = path;

        RECT r{};
        GetWindowRect(h, &r);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
        int parentId = parent == top ? 0 : ControlId(parent);
        bool visible = (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0;
        Out(path + L"\t" + std::to_wstring(ControlId(h)) + L"\t" + ClassOf(h) + L"\t" + std::to_wstring(parentId) +
            L"\t" + RectText(r) + L"\t" + (visible ? L"1" : L"0") + L"\t" + Escape(ControlText(h)));
    }
}

void CmdText(const Args& a) {
    Need(a, 2, 2, L"text TITLE CONTROL_ID");
    HWND control = WaitControl(a[0], IntArg(a[1], L"control ID"));
    auto text = TryControlText(control);
    if (!text) Fail(L"control " + Hex(control) + L" did not answer WM_GETTEXT");
    Out(*text);
}

void CmdWaitText(const Args& a) {
    Need(a, 3, 3, L"wait-text TITLE CONTROL_ID TEXT");
    long long id = IntArg(a[1], L"control ID");
    std::wstring last;
    bool ok = Poll([&] {
        for (HWND top : FindTopLevel(a[0], false))
            if (HWND c = FindControl(top, id)) {
                last = ControlText(c);
                return last == a[2];
            }
        return false;
    });
    if (!ok) Fail(L"control " + std::to_wstring(id) + L" shows " + Quote(Escape(last)) + L", not " +
                  Quote(Escape(a[2])) + L", after " + std::to_wstring(g_settings.timeoutMs) + L" ms");
    Out(last);
}

void PrintMenuItem(const MenuItem& m) {
    Out(std::to_wstring(m.depth) + L"\t" + Escape(m.text) + L"\t" + std::to_wstring(m.id) + L"\tsep=" +
        (m.separator ? L"1" : L"0") + L"\tchecked=" + (m.checked ? L"1" : L"0") + L"\tgrayed=" +
        (m.grayed ? L"1" : L"0") + L"\tsubmenu=" + (m.submenu ? L"1" : L"0"));
}

void CmdMenu(const Args& a) {
    Need(a, 1, 1, L"menu TITLE");
    for (const MenuItem& m : ReadWindowMenu(WaitWindow(a[0]))) PrintMenuItem(m);
}

void CmdMenuItem(const Args& a) {
    Need(a, 2, 64, L"menu-item TITLE CAPTION [CAPTION...]");
    auto items = ReadWindowMenu(WaitWindow(a[0]));
    bool grayedOnWay = false;
    PrintMenuItem(items[FindMenuItem(items, Args(a.begin() + 1, a.end()), grayedOnWay)]);
}

void CmdChoose(const Args& a) {
    Need(a, 2, 64, L"choose TITLE CAPTION [CAPTION...]");
    HWND window = WaitWindow(a[0]);
    auto items = ReadWindowMenu(window);
    bool grayedOnWay = false;
    const MenuItem& item = items[FindMenuItem(items, Args(a.begin() + 1, a.end()), grayedOnWay)];
    if (item.submenu) Fail(L"menu item " + Quote(a.back()) + L" opens a submenu; it has no command");
    // Programs often update the state in WM_INITMENUPOPUP, so it may be stale here.
    if (grayedOnWay) Warn(L"menu item " + Quote(a.back()) + L" (or a menu above it) is grayed");
    if (!PostMessageW(window, WM_COMMAND, MAKEWPARAM(item.id, 0), 0))
        Fail(L"PostMessage failed with error " + std::to_wstring(GetLastError()));
    Out(std::to_wstring(item.id));
}

struct DialogContents {
    std::wstring message;
    std::vector<std::pair<HWND, std::wstring>> buttons;  // visible ones, caption without '&'
};

DialogContents ReadDialog(HWND dialog) {
    DialogContents d;
    std::wstring firstStatic;
    bool haveMessage = false;
    for (HWND h : Descendants(dialog)) {
        if (GetAncestor(h, GA_PARENT) != dialog) continue;
        std::wstring cls = ClassOf(h);
        if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            if (IsWindowVisible(h)) d.buttons.emplace_back(h, StripMnemonic(ControlText(h)));
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            if ((static_cast<unsigned>(ControlId(h)) & 0xFFFFu) == 0xFFFFu && !haveMessage) {
                std::wstring t = ControlText(h);
                if (!t.empty()) {
                    d.message = t;
                    haveMessage = true;
                }
            } else if (firstStatic.empty()) {
                firstStatic = ControlText(h);
            }
        }
    }
    if (!haveMessage) d.message = firstStatic;
    return d;
}

void CmdMsgbox(const Args& a) {
    Need(a, 1, 1, L"msgbox TITLE");
    DialogContents d = ReadDialog(WaitDialog(a[0]));
    Out(L"text\t" + Escape(d.message));
    for (auto& [h, caption] : d.buttons) Out(L"button\t" + std::to_wstring(ControlId(h)) + L"\t" + Escape(caption));
}

void CmdAnswer(const Args& a) {
    Need(a, 2, 2, L"answer TITLE BUTTONTEXT");
    HWND dialog = WaitDialog(a[0]);
    DialogContents d = ReadDialog(dialog);
    Out(L"text\t" + Escape(d.message));
    std::wstring wanted = StripMnemonic(a[1]);
    HWND button = nullptr;
    std::wstring captions;
    for (auto& [h, caption] : d.buttons) {
        if (caption == wanted && !button) button = h;
        captions += (captions.empty() ? L"" : L", ") + Quote(caption);
    }
    if (!button) Fail(L"the dialog has no button " + Quote(wanted) + L"; it has " + captions);
    if (!IsWindowEnabled(button)) Fail(L"the button " + Quote(wanted) + L" is disabled");
    int id = ControlId(button);
    // Posted, so that whatever the program does next (another modal box)
    // cannot block the driver.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    bool closed = Poll([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
    if (!closed) Fail(L"the dialog is still open after clicking " + Quote(wanted));
    Out(L"clicked\t" + std::to_wstring(id) + L"\t" + Escape(wanted));
}

void CmdClose(const Args& a) {
    Need(a, 1, 1, L"close TITLE");
    HWND h = WaitWindow(a[0]);
    if (!PostMessageW(h, WM_CLOSE, 0, 0)) Fail(L"PostMessage failed with error " + std::to_wstring(GetLastError()));
    Out(Hex(h));
}

void CmdSyscommand(const Args& a) {
    Need(a, 2, 2, L"syscommand TITLE restore|minimize|maximize|close");
    static const std::map<std::wstring, WPARAM> commands{
        {L"restore", SC_RESTORE}, {L"minimize", SC_MINIMIZE}, {L"maximize", SC_MAXIMIZE}, {L"close", SC_CLOSE}};
    auto c = commands.find(a[1]);
    if (c == commands.end()) Fail(L"unknown system command " + Quote(a[1]));
    HWND h = WaitWindow(a[0]);
    if (!PostMessageW(h, WM_SYSCOMMAND, c->second, 0))
        Fail(L"PostMessage failed with error " + std::to_wstring(GetLastError()));
    Out(Hex(h));
}

void CmdActivate(const Args& a) {
    Need(a, 1, 1, L"activate TITLE");
    HWND h = WaitWindow(a[0], true);
    SetForegroundWindow(h);
    bool ok = Poll([&] { return GetForegroundWindow() == h; }, 2000);
    if (!ok) Fail(L"window " + Hex(h) + L" did not come to the foreground");
    Out(Hex(h));
}

// The control that has the keyboard focus in the window's thread, once it is
// the one with that ID (GetGUIThreadInfo sees across processes).
void CmdWaitFocus(const Args& a) {
    Need(a, 2, 2, L"wait-focus TITLE CONTROL_ID");
    HWND h = WaitWindow(a[0], true);
    long long id = IntArg(a[1], L"control ID");
    HWND focus = nullptr;
    bool ok = Poll([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        focus = GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &info) ? info.hwndFocus : nullptr;
        return focus && (GetAncestor(focus, GA_ROOT) == h) && (GetDlgCtrlID(focus) & 0xFFFF) == (id & 0xFFFF);
    });
    if (!ok) Fail(L"control " + std::to_wstring(id) + L" has no focus; " +
                  (focus ? L"control " + std::to_wstring(GetDlgCtrlID(focus)) + L" has" : std::wstring(L"nothing has")));
    Out(Hex(focus));
}

void CmdMove(const Args& a) {
    Need(a, 2, 2, L"move X Y");
    MoveTo(static_cast<int>(IntArg(a[0], L"X")), static_cast<int>(IntArg(a[1], L"Y")));
    Out(PointText(CursorPos()));
}

void CmdPath(const Args& a) {
    Need(a, 6, 6, L"path X1 Y1 X2 Y2 STEPS DELAY_MS");
    long long x1 = IntArg(a[0], L"X1"), y1 = IntArg(a[1], L"Y1"), x2 = IntArg(a[2], L"X2"), y2 = IntArg(a[3], L"Y2");
    long long steps = IntArg(a[4], L"STEPS"), delay = IntArg(a[5], L"DELAY_MS");
    if (steps < 1 || delay < 0) Fail(L"STEPS must be at least 1 and DELAY_MS not negative");
    MoveTo(static_cast<int>(x1), static_cast<int>(y1));
    for (long long i = 1; i <= steps; ++i) {
        Sleep(static_cast<DWORD>(delay));
        SendMove(static_cast<int>(x1 + (x2 - x1) * i / steps), static_cast<int>(y1 + (y2 - y1) * i / steps));
    }
    MoveTo(static_cast<int>(x2), static_cast<int>(y2));
    Out(PointText(CursorPos()));
}

void Click(int x, int y, bool right, bool twice) {
    MoveTo(x, y);
    Sleep(30);
    for (int n = 0; n < (twice ? 2 : 1); ++n) {
        if (n) Sleep(60);
        SendButton(right ? Button::Right : Button::Left, true);
        Sleep(twice ? 30 : g_settings.holdMs);
        SendButton(right ? Button::Right : Button::Left, false);
    }
}

// The [left|right] [double] options of the click commands, from argument `first` on.
void ClickOptions(const Args& a, size_t first, bool& right, bool& twice) {
    right = twice = false;
    for (size_t i = first; i < a.size(); ++i) {
        if (a[i] == L"left") right = false;
        else if (a[i] == L"right") right = true;
        else if (a[i] == L"double") twice = true;
        else Fail(L"unknown click option " + Quote(a[i]));
    }
}

void CmdClick(const Args& a) {
    Need(a, 2, 4, L"click X Y [left|right] [double]");
    bool right, twice;
    ClickOptions(a, 2, right, twice);
    Click(static_cast<int>(IntArg(a[0], L"X")), static_cast<int>(IntArg(a[1], L"Y")), right, twice);
    Out(PointText(CursorPos()));
}

// Clicks the middle of a control, found by its id in the window with that title.
void CmdClickControl(const Args& a) {
    Need(a, 2, 4, L"click-control TITLE CONTROL_ID [left|right] [double]");
    bool right, twice;
    ClickOptions(a, 2, right, twice);
    HWND control = WaitControl(a[0], IntArg(a[1], L"control ID"));
    RECT r{};
    GetWindowRect(control, &r);
    Click((r.left + r.right) / 2, (r.top + r.bottom) / 2, right, twice);
    Out(PointText(CursorPos()));
}

void CmdType(const Args& a) {
    Need(a, 1, 2, L"type TEXT [DELAY_MS]");
    long long delay = a.size() > 1 ? IntArg(a[1], L"DELAY_MS") : 100;
    if (delay < 0) Fail(L"DELAY_MS must not be negative");
    for (size_t i = 0; i < a[0].size(); ++i) {
        if (i) Sleep(static_cast<DWORD>(delay));
        TypeChar(a[0][i]);
    }
    Out(std::to_wstring(a[0].size()));
}

void CmdKeys(const Args& a) {
    Need(a, 1, 1000, L"keys VK[+VK...] [VK...]");
    // Each argument is a key, or a chord: the keys before the last held down
    // around it (0x11+0x43 is Ctrl+C).
    std::vector<std::vector<WORD>> keys;
    for (const auto& s : a) {
        std::vector<WORD> chord;
        size_t start = 0;
        for (;;) {
            const size_t plus = s.find(L'+', start);
            const std::wstring part = s.substr(start, plus == std::wstring::npos ? std::wstring::npos : plus - start);
            long long vk = IntArg(part, L"virtual-key code");
            if (vk < 1 || vk > 254) Fail(L"virtual-key code out of range: " + part);
            chord.push_back(static_cast<WORD>(vk));
            if (plus == std::wstring::npos) break;
            start = plus + 1;
        }
        keys.push_back(chord);
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        if (i) Sleep(g_settings.delayMs);
        const std::vector<WORD>& chord = keys[i];
        for (size_t k = 0; k + 1 < chord.size(); ++k) Send({KeyInput(chord[k], false)});
        if (auto button = ButtonOfKey(chord.back())) {  // a click where the cursor is
            SendButton(*button, true);
            Sleep(g_settings.holdMs);
            SendButton(*button, false);
        } else {
            PressKey(chord.back(), false);
        }
        for (size_t k = chord.size() - 1; k-- > 0;) Send({KeyInput(chord[k], true)});
    }
    Out(std::to_wstring(keys.size()));
}

// The clipboard's text, raw; fails when it holds none.
void CmdClipboard(const Args& a) {
    Need(a, 0, 0, L"clipboard");
    std::wstring text;
    bool got = Poll([&] {
        if (!OpenClipboard(nullptr)) return false;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = chars;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return true;
    }, 2000);
    if (!got) Fail(L"the clipboard could not be opened");
    Out(text);
}

// Outer size once it has stopped changing.
RECT SettledRect(HWND h) {
    RECT last{};
    GetWindowRect(h, &last);
    int same = 0;
    for (int i = 0; i < 40 && same < 4; ++i) {
        Sleep(kPollMs);
        RECT r{};
        GetWindowRect(h, &r);
        same = EqualRect(&r, &last) ? same + 1 : 0;
        last = r;
    }
    return last;
}

void CmdDragFrame(const Args& a) {
    Need(a, 3, 3, L"drag-frame TITLE DX DY");
    HWND h = WaitWindow(a[0], true);
    int dx = static_cast<int>(IntArg(a[1], L"DX")), dy = static_cast<int>(IntArg(a[2], L"DY"));
    RECT r{};
    GetWindowRect(h, &r);
    int x = r.right - 3, y = r.bottom - 3;
    DWORD_PTR hit = 0;
    if (SendMessageTimeoutW(h, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, kMessageTimeoutMs, &hit) &&
        hit != HTBOTTOMRIGHT)
        Warn(L"the corner " + std::to_wstring(x) + L"," + std::to_wstring(y) + L" hit-tests as " +
             std::to_wstring(static_cast<long>(hit)) + L", not HTBOTTOMRIGHT");
    HWND under = WindowFromPoint(POINT{x, y});
    if (under != h && GetAncestor(under, GA_ROOT) != h)
        Warn(L"another window " + Hex(under) + L" covers the corner");
    MoveTo(x, y);
    Sleep(100);
    SendButton(Button::Left, true);
    Sleep(150);
    constexpr int kSteps = 10;
    for (int i = 1; i <= kSteps; ++i) {
        SendMove(x + dx * i / kSteps, y + dy * i / kSteps);
        Sleep(30);
    }
    Sleep(150);
    SendButton(Button::Left, false);
    RECT after = SettledRect(h);
    Out(L"outer=" + std::to_wstring(after.right - after.left) + L"," + std::to_wstring(after.bottom - after.top));
}

std::wstring WindowLine(HWND h, bool withText) {
    RECT r{};
    GetWindowRect(h, &r);
    return Hex(h) + L"\t" + ClassOf(h) + L"\t" + RectText(r) + L"\t" + (IsWindowVisible(h) ? L"1" : L"0") + L"\t" +
           Escape(withText ? ControlText(h) : TitleOf(h));
}

void CmdTrayIcons(const Args& a) {
    Need(a, 0, 0, L"tray-icons");
    auto trays = Poll([] {
        std::vector<HWND> found;
        for (HWND h : TopLevelWindows())
            if (ClassOf(h) == L"Shell_TrayWnd") found.push_back(h);
        return found;
    });
    if (trays.empty()) Fail(L"no window of class Shell_TrayWnd (is the program running in a Wine desktop?)");
    for (HWND tray : trays) {
        Out(L"tray\t" + WindowLine(tray, false));
        for (HWND h : Descendants(tray)) Out(L"child\t" + WindowLine(h, true));
        // Wine draws the icons on the tray window itself; each has a tool in
        // a tooltip window of the same thread, with its tip text and place.
        DWORD trayThread = GetWindowThreadProcessId(tray, nullptr);
        for (HWND tip : TopLevelWindows()) {
            if (ClassOf(tip) != L"tooltips_class32" || GetWindowThreadProcessId(tip, nullptr) != trayThread) continue;
            std::wstring tools;
            try {
                tools = AskInsideProgram(tip, kRequestTooltipTools, L"the tray's tooltips");
            } catch (const Failure& f) {
                Warn(L"cannot list the icons: " + f.message);
                continue;
            }
            for (const std::wstring& line : SplitLines(tools)) {
                auto f = SplitTabs(line);
                if (f.size() != 3) continue;
                HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoul(f[0].c_str(), nullptr, 10)));
                if (owner != tray && !IsChild(tray, owner)) continue;
                RECT r{};
                if (swscanf(f[1].c_str(), L"%ld,%ld,%ld,%ld", &r.left, &r.top, &r.right, &r.bottom) != 4) continue;
                MapWindowPoints(owner, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
                Out(L"icon\t" + f[2] + L"\t" + RectText(r) + L"\t" + std::to_wstring((r.left + r.right) / 2) + L"," +
                    std::to_wstring((r.top + r.bottom) / 2));
            }
        }
    }
}

void CmdFindWindowClass(const Args& a) {
    Need(a, 1, 1, L"find-window-class CLASS");
    auto found = Poll([&] {
        std::vector<HWND> v;
        for (HWND h : TopLevelWindows())
            if (ClassOf(h) == a[0]) v.push_back(h);
        return v;
    });
    if (found.empty()) Fail(L"no top-level window of class " + Quote(a[0]));
    for (HWND h : found) Out(Hex(h) + L"\t" + (IsWindowVisible(h) ? L"1" : L"0") + L"\t" + Escape(TitleOf(h)));
}

void CmdListWindows(const Args& a) {
    Need(a, 0, 0, L"list-windows");
    for (HWND h : TopLevelWindows()) Out(WindowLine(h, false));
}

// When the session's last input came, as GetLastInputInfo tells it, beside
// the tick count now.
void CmdLastInput(const Args& a) {
    Need(a, 0, 0, L"last-input");
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    if (!GetLastInputInfo(&info))
        Fail(L"GetLastInputInfo failed with error " + std::to_wstring(GetLastError()));
    const DWORD now = GetTickCount();
    Out(L"last_input=" + std::to_wstring(info.dwTime) + L" now=" + std::to_wstring(now));
}

void CmdSleep(const Args& a) {
    Need(a, 1, 1, L"sleep MS");
    long long ms = IntArg(a[0], L"MS");
    if (ms < 0) Fail(L"MS must not be negative");
    Sleep(static_cast<DWORD>(ms));
}

// Holds a file open the way a spreadsheet does (read and write, no sharing)
// until the second file is gone, so that no other program may read, write,
// replace or delete it meanwhile.
void CmdHoldFile(const Args& a) {
    Need(a, 2, 2, L"hold-file PATH WHILE_PATH");
    Handle file{CreateFileW(a[0].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) {
        file.h = nullptr;
        Fail(L"cannot open " + Quote(a[0]) + L": error " + std::to_wstring(GetLastError()));
    }
    Out(L"holding");
    const ULONGLONG deadline = GetTickCount64() + g_settings.timeoutMs;
    while (GetFileAttributesW(a[1].c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() > deadline) Fail(L"timed out: " + Quote(a[1]) + L" is still there; the file is let go");
        Sleep(50);
    }
    Out(L"released");
}

// A command line argument, quoted the way CommandLineToArgvW reads it back.
std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

// Starts the program under exactly the path given (\\?\..., another drive
// letter, a link), in its own folder, without waiting; prints its process id.
void CmdLaunch(const Args& a) {
    Need(a, 1, 64, L"launch PROGRAM [ARGS...]");
    const std::wstring& program = a[0];
    const std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
    std::wstring commandLine = QuoteArgument(program);
    for (size_t i = 1; i < a.size(); ++i) commandLine += L" " + QuoteArgument(a[i]);
    // No standard handles: a pipe the script reads this driver's output
    // through would otherwise stay open as long as the program runs.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info))
        Fail(L"cannot start " + Quote(program) + L": error " + std::to_wstring(GetLastError()));
    Handle process(info.hProcess), thread(info.hThread);
    Out(std::to_wstring(info.dwProcessId));
}

// A visible top-level window of that process with exactly that title.
bool ProcessShowsWindow(DWORD pid, const std::wstring& title) {
    for (HWND h : TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid && IsWindowVisible(h) && TitleOf(h) == title) return true;
    }
    return false;
}

void CmdStartTimed(const Args& a) {
    Need(a, 2, 64, L"start-timed TITLE PROGRAM [ARGS...]");
    wchar_t full[MAX_PATH];
    DWORD length = GetFullPathNameW(a[1].c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) Fail(L"bad program path " + Quote(a[1]));
    std::wstring program = full;
    std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
    std::wstring commandLine = QuoteArgument(program);
    for (size_t i = 2; i < a.size(); ++i) commandLine += L" " + QuoteArgument(a[i]);

    LARGE_INTEGER frequency{}, started{}, now{};
    QueryPerformanceFrequency(&frequency);
    auto elapsedMs = [&] {
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - started.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    };
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    QueryPerformanceCounter(&started);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info))
        Fail(L"cannot start " + Quote(program) + L": error " + std::to_wstring(GetLastError()));
    Handle process(info.hProcess), thread(info.hThread);

    // Polled often, so the figure is a few milliseconds exact, and seldom
    // enough to leave the machine to the program that is starting.
    double visibleMs = -1;
    while (elapsedMs() < static_cast<double>(g_settings.timeoutMs)) {
        if (ProcessShowsWindow(info.dwProcessId, a[0])) {
            visibleMs = elapsedMs();
            break;
        }
        if (WaitForSingleObject(process.h, 5) == WAIT_OBJECT_0) break;
    }
    double idleMs = -1;
    if (visibleMs >= 0) {
        DWORD left = static_cast<DWORD>(static_cast<double>(g_settings.timeoutMs) - visibleMs);
        if (WaitForInputIdle(process.h, left) == 0) idleMs = elapsedMs();
    }
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.h, &exitCode);
    TerminateProcess(process.h, 0);
    WaitForSingleObject(process.h, 5000);
    if (visibleMs < 0)
        Fail(exitCode != STILL_ACTIVE ? L"the program ended with code " + std::to_wstring(exitCode) +
                                            L" before a window titled " + Quote(a[0]) + L" was visible"
                                      : L"no visible window titled " + Quote(a[0]) + L" within " +
                                            std::to_wstring(g_settings.timeoutMs) + L" ms");
    wchar_t line[96];
    swprintf(line, 96, L"visible_ms=%.1f idle_ms=%.1f", visibleMs, idleMs);
    Out(line);
}

void CmdProcessMemory(const Args& a) {
    Need(a, 1, 1, L"process-memory TITLE");
    HWND h = WaitWindow(a[0]);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process.h) Fail(L"cannot open process " + std::to_wstring(pid) + L": error " + std::to_wstring(GetLastError()));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process.h, &counters, sizeof counters))
        Fail(L"GetProcessMemoryInfo failed with error " + std::to_wstring(GetLastError()));
    auto kb = [](SIZE_T bytes) { return std::to_wstring(bytes / 1024); };
    Out(L"peak_working_set_kb=" + kb(counters.PeakWorkingSetSize) + L" working_set_kb=" +
        kb(counters.WorkingSetSize) + L" peak_pagefile_kb=" + kb(counters.PeakPagefileUsage) + L" pagefile_kb=" +
        kb(counters.PagefileUsage) + L" pid=" + std::to_wstring(pid));
}

const std::map<std::wstring, std::function<void(const Args&)>>& Commands() {
    static const std::map<std::wstring, std::function<void(const Args&)>> commands{
        {L"wait-window", [](const Args& a) { CmdWaitWindow(a, true); }},
        {L"wait-window-any", [](const Args& a) { CmdWaitWindow(a, false); }},
        {L"wait-gone", CmdWaitGone},
        {L"window-info", CmdWindowInfo},
        {L"controls", CmdControls},
        {L"text", CmdText},
        {L"wait-text", CmdWaitText},
        {L"menu", CmdMenu},
        {L"menu-item", CmdMenuItem},
        {L"choose", CmdChoose},
        {L"msgbox", CmdMsgbox},
        {L"answer", CmdAnswer},
        {L"close", CmdClose},
        {L"syscommand", CmdSyscommand},
        {L"activate", CmdActivate},
        {L"wait-focus", CmdWaitFocus},
        {L"clipboard", CmdClipboard},
        {L"move", CmdMove},
        {L"path", CmdPath},
        {L"click", CmdClick},
        {L"tray-click", CmdClick},
        {L"click-control", CmdClickControl},
        {L"type", CmdType},
        {L"keys", CmdKeys},
        {L"drag-frame", CmdDragFrame},
        {L"tray-icons", CmdTrayIcons},
        {L"find-window-class", CmdFindWindowClass},
        {L"list-windows", CmdListWindows},
        {L"last-input", CmdLastInput},
        {L"sleep", CmdSleep},
        {L"hold-file", CmdHoldFile},
        {L"start-timed", CmdStartTimed},
        {L"launch", CmdLaunch},
        {L"process-memory", CmdProcessMemory},
    };
    return commands;
}

int Run(int argc, wchar_t** argv) {
    Args args;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        std::wstring s = argv[i];
        if (options && s == L"--") {
            options = false;
            continue;
        }
        if (options && (s == L"--timeout" || s == L"--hold" || s == L"--delay")) {
            if (i + 1 >= argc) Fail(s + L" needs a value in milliseconds");
            long long v = IntArg(argv[++i], s.c_str());
            if (v < 0) Fail(s + L" must not be negative");
            if (s == L"--timeout") g_settings.timeoutMs = static_cast<ULONGLONG>(v);
            else if (s == L"--hold") g_settings.holdMs = static_cast<DWORD>(v);
            else g_settings.delayMs = static_cast<DWORD>(v);
            continue;
        }
        if (options && s == L"--stamp") {
            if (i + 1 >= argc) Fail(L"--stamp needs a tick count or \"start\"");
            std::wstring v = argv[++i];
            if (v == L"start") {
                g_settings.stampAtStart = true;
            } else {
                long long t = IntArg(v, L"--stamp");
                if (t < 1 || t > 0xFFFFFFFFLL) Fail(L"--stamp must be a tick count from 1 to 4294967295");
                g_settings.stamp = static_cast<DWORD>(t);
            }
            continue;
        }
        args.push_back(std::move(s));
    }
    if (g_settings.stampAtStart) g_settings.stamp = GetTickCount();
    if (args.empty()) {
        std::wstring names;
        for (auto& [name, fn] : Commands()) names += L" " + name;
        Fail(L"usage: qm_e2e_driver [--timeout MS] [--hold MS] [--delay MS] [--stamp MS|start] COMMAND [ARGS...];"
             L" commands:" + names);
    }
    auto command = Commands().find(args[0]);
    if (command == Commands().end()) Fail(L"unknown command " + Quote(args[0]));
    command->second(Args(args.begin() + 1, args.end()));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    BecomeDpiAware();
    try {
        return Run(argc, argv);
    } catch (const Failure& f) {
        WriteTo(STD_ERROR_HANDLE, L"driver: " + f.message + L"\n");
    } catch (const std::exception& e) {
        WriteTo(STD_ERROR_HANDLE, L"driver: internal error: ");
        WriteTo(STD_ERROR_HANDLE, std::wstring(e.what(), e.what() + std::strlen(e.what())) + L"\n");
    }
    return 1;
}

#endif  // QM_E2E_HOOK_DLL
