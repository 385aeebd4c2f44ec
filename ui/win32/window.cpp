#include "ui/win32/window.h"

#include <shellapi.h>

#include <utility>

#include "app/startup.h"
#include "ui/win32/builder.h"
#include "win32/wide.h"

namespace qm::ui::win32 {

using qm::win32::Widen;

Window::~Window() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(hwnd_, nullptr));
}

bool Window::Create(HINSTANCE instance, const wchar_t* className, UINT classStyle, DWORD exStyle,
                    const std::wstring& title, DWORD style, int x, int y, int width, int height, HWND owner) {
    RegisterWindowClass(instance, className, &Window::Proc, classStyle);
    // Proc binds the window at WM_NCCREATE, so hwnd_ is already set here.
    return CreateWindowExW(exStyle, className, title.c_str(), style, x, y, width, height, owner, nullptr, instance,
                           this) != nullptr;
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (self) self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    const LRESULT result = self->HandleMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

int ShowMessageBox(HWND owner, const std::string& text, UINT flags) {
    return MessageBoxW(owner, Widen(text).c_str(), Widen(kProgramTitle).c_str(), flags);
}

void OpenWithShell(HWND owner, const std::string& target) {
    ShellExecuteW(owner, nullptr, Widen(target).c_str(), nullptr, L"C:\\", SW_SHOWNORMAL);
}

}  // namespace qm::ui::win32
