// The base of the program's top-level windows: one window procedure that
// finds the object behind a window and hands it every message.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace qm::ui::win32 {

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The window, or null before it is created and once it is gone.
    HWND Handle() const { return hwnd_; }

protected:
    Window() = default;
    // A window still open here is unbound first, so that its last messages
    // go to the default procedure and not to a half-destroyed object; a
    // class that answers WM_DESTROY destroys its window in its own destructor.
    virtual ~Window();

    // Registers the class (once per name, with the program's icon) and
    // creates the window; its messages reach HandleMessage from WM_NCCREATE
    // on, WM_NCDESTROY included. False when no window was made.
    bool Create(HINSTANCE instance, const wchar_t* className, UINT classStyle, DWORD exStyle,
                const std::wstring& title, DWORD style, int x, int y, int width, int height, HWND owner = nullptr);

    // The object behind a window made by Create (null once it is gone), for
    // callbacks that get only the window, such as a timer's.
    static Window* Bound(HWND hwnd) { return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;  // owned: destroyed by the destructor if still open
};

// What a window does with a failure that escapes one of its handlers.
using FailureHandler = std::function<void(const char*, const std::exception&)>;

// Runs a handler; a failure that escapes it goes to onFailure (which logs
// it), never into Windows, through whose callbacks nothing may unwind.
template <typename F>
void Guarded(const FailureHandler& onFailure, const char* what, F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        if (onFailure) onFailure(what, e);
    } catch (...) {
        if (onFailure) onFailure(what, std::runtime_error("unknown failure"));
    }
}

// A message box titled with the program's name; returns the button pressed.
int ShowMessageBox(HWND owner, const std::string& text, UINT flags);

// Opens a document, folder or address with the program the shell has for it.
void OpenWithShell(HWND owner, const std::string& target);

}  // namespace qm::ui::win32
