#include "ui/win32/window.h"

#include <shellapi.h>

#include <utility>

#include "core/identity.h"
#include "ui/res/resource.h"
#include "ui/win32/builder.h"
#include "win32/handles.h"
#include "win32/wide.h"

namespace qm::ui::win32 {

using qm::win32::Widen;

void RegisterClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style, bool programIcon) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, name, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    // The class keeps its icons for the rest of the program.
    const auto load = [&](int cx, int cy) {
        return qm::win32::UniqueIcon(static_cast<HICON>(LoadImageW(
            instance, MAKEINTRESOURCEW(IDI_QUILLMARK), IMAGE_ICON, GetSystemMetrics(cx), GetSystemMetrics(cy), 0)));
    };
    qm::win32::UniqueIcon icon, smallIcon;
    if (programIcon) {
        icon = load(SM_CXICON, SM_CYICON);
        smallIcon = load(SM_CXSMICON, SM_CYSMICON);
    }
    wc.hIcon = icon.get();
    wc.hIconSm = smallIcon.get();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc)) return;
    icon.release();
    smallIcon.release();
}

Window::Window(HINSTANCE instance, FailureHandler onFailure)
    : instance_(instance), onFailure_(std::move(onFailure)) {}

Window::~Window() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(hwnd_, nullptr));
}

bool Window::Create(const wchar_t* className, UINT classStyle, DWORD exStyle, std::string_view title, DWORD style,
                    int x, int y, int width, int height) {
    RegisterClassOnce(instance_, className, &Window::Proc, classStyle, true);
    // Proc binds the window at WM_NCCREATE, so hwnd_ is already set here.
    return CreateWindowExW(exStyle, className, Widen(title).c_str(), style, x, y, width, height, nullptr, nullptr,
                           instance_, this) != nullptr;
}

BuiltLayout& Window::Build(const WindowLayout& layout) {
    layout_ = std::make_unique<BuiltLayout>(layout, hwnd_, instance_);
    if (!layout.menu.empty()) layout_->CreateMenuBar();
    layout_->Create(DpiOf(hwnd_));
    return *layout_;
}

HWND Window::Control(int id) const { return layout_ ? layout_->Get(id) : nullptr; }

bool Window::LayoutMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    return layout_ && layout_->HandleWindowMessage(msg, wp, lp, result);
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
    return MessageBoxW(owner, Widen(text).c_str(), L"" QM_PRODUCT, flags);
}

void OpenWithShell(HWND owner, const std::string& target) {
    ShellExecuteW(owner, nullptr, Widen(target).c_str(), nullptr, L"C:\\", SW_SHOWNORMAL);
}

}  // namespace qm::ui::win32
