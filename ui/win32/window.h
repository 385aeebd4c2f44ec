// The base of the program's top-level windows: one window procedure that
// finds the object behind a window and hands it every message; the window,
// its class and its controls, owned here; and the guard around handlers.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "ui/layout.h"

namespace qm::ui::win32 {

class BuiltLayout;

// What a window does with a failure that escapes one of its handlers.
using FailureHandler = std::function<void(const char*, const std::exception&)>;

// Registers a window class, once per name: an arrow cursor, no background
// brush (the windows paint their own), and the program's icon where asked.
void RegisterClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style = 0,
                       bool programIcon = false);

// A row of a window's command table: the id of the menu item or control,
// the notification that runs it (0 for a menu item, BN_CLICKED, CBN_SELCHANGE
// and the like), the name a failure is logged under, and what it does.
template <typename Target>
struct CommandRow {
    int id;
    int code;
    const char* what;
    void (*run)(Target& target, HWND control);
};

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The window, or null before it is created and once it is gone.
    HWND Handle() const { return hwnd_; }

protected:
    explicit Window(HINSTANCE instance, FailureHandler onFailure = {});
    // The one place where a window still open is destroyed. It is unbound
    // first, so that its last messages go to the default procedure and not
    // to a half-destroyed object; its controls' fonts and brushes go after it.
    virtual ~Window();

    // Registers the class (once per name, with the program's icon) and
    // creates the window; its messages reach HandleMessage from WM_NCCREATE
    // on, WM_NCDESTROY included. False when no window was made.
    bool Create(const wchar_t* className, UINT classStyle, DWORD exStyle, std::string_view title, DWORD style, int x,
                int y, int width, int height);
    // The layout's menu bar, where it has one, and its controls at the window's dpi.
    BuiltLayout& Build(const WindowLayout& layout);
    // The controls; null before Build.
    BuiltLayout* Layout() const { return layout_.get(); }
    // The control of a row of the layout; null before Build.
    HWND Control(int id) const;
    // The messages every window of a layout answers alike (the controls'
    // colours, the background, a new dpi); true when answered.
    bool LayoutMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    HINSTANCE Instance() const { return instance_; }
    void SetFailureHandler(FailureHandler onFailure) { onFailure_ = std::move(onFailure); }
    const FailureHandler& OnFailure() const { return onFailure_; }

    // Runs a handler; a failure that escapes it goes to the failure handler
    // (which logs it), never into Windows, through whose callbacks nothing
    // may unwind.
    template <typename F>
    void Guard(const char* what, F&& handler) {
        try {
            handler();
        } catch (const std::exception& e) {
            if (onFailure_) onFailure_(what, e);
        } catch (...) {
            if (onFailure_) onFailure_(what, std::runtime_error("unknown failure"));
        }
    }

    // The row of the table that a WM_COMMAND names, run guarded; false when no row names it.
    template <typename Target, std::size_t N>
    bool RunCommand(const CommandRow<Target> (&table)[N], Target& target, WPARAM wp, LPARAM lp) {
        for (const CommandRow<Target>& row : table)
            if (row.id == LOWORD(wp) && row.code == HIWORD(wp)) {
                Guard(row.what, [&] { row.run(target, reinterpret_cast<HWND>(lp)); });
                return true;
            }
        return false;
    }

    // The object behind a window made by Create (null once it is gone), for
    // callbacks that get only the window, such as a timer's.
    static Window* Bound(HWND hwnd) { return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HINSTANCE instance_;
    FailureHandler onFailure_;
    std::unique_ptr<BuiltLayout> layout_;
    HWND hwnd_ = nullptr;  // owned: destroyed by the destructor if still open
};

// A message box titled with the program's name; returns the button pressed.
int ShowMessageBox(HWND owner, const std::string& text, UINT flags);

// Opens a document, folder or address with the program the shell has for it.
void OpenWithShell(HWND owner, const std::string& target);

}  // namespace qm::ui::win32
