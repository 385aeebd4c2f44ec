// The Windows program: the platform services, the one AppState, start-up and
// the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/debug_log.h"
#include "app/startup.h"
#include "ui/main_window.h"
#include "ui/win32/main_frame.h"
#include "win32/clock.h"
#include "win32/dll_search.h"
#include "win32/files.h"
#include "win32/handles.h"
#include "win32/foreground.h"
#include "win32/input_devices.h"
#include "win32/number_format.h"
#include "win32/path_names.h"
#include "win32/program.h"
#include "win32/registry.h"
#include "win32/screens.h"
#include "win32/single_copy.h"
#include "win32/wide.h"

#include <cstdlib>
#include <exception>

// What the runtime does with an exception nothing caught: its default
// handler writes the exception's type, demangled, to a console that this
// program never has, and brings the whole C++ demangler (some 46 KB) into
// the exe for it. Defined here, the runtime's own is never linked: such an
// exception ends the program as the default handler does after its
// message, by abort().
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {

using namespace qm;

class Win32Host : public StartupHost {
public:
    explicit Win32Host(ui::win32::MainFrame& frame) : frame_(frame) {}

    CopyLocks& Locks() override { return locks_; }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        UINT flags = MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
        ui::win32::ShowMessageBox(nullptr, text, flags);
    }
    void InitCommonControls() override {
        INITCOMMONCONTROLSEX init{};
        init.dwSize = sizeof init;
        init.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
        InitCommonControlsEx(&init);
    }
    void ShowMainWindow() override { frame_.CreateAndShow(); }
    void StartSampler() override { frame_.StartSampler(); }

private:
    ui::win32::MainFrame& frame_;
    win32::Win32CopyLocks locks_;  // held until the program ends
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    win32::RestrictDllSearchToSystem();
    win32::Win32FileSystem files;
    win32::Win32Calendar calendar;
    win32::Win32Counter counter;
    CounterTimeSource clock(counter);
    win32::Win32Registry registry;
    win32::Win32PathNames paths;
    win32::Win32NumberFormat numbers;
    win32::Win32DateFormat dates;
    win32::Win32Input input;
    win32::Win32Foreground foreground;
    win32::Win32Screens screens;
    Platform platform{files, calendar, clock, registry, paths, numbers, win32::ProgramPath()};

    AppState app;
    FailureLog failures(platform.log);
    ui::win32::MainFrame frame(instance);
    frame.SetHistorySources({app, platform.folder, calendar, numbers, dates});
    frame.SetProgramFinder(foreground);
    frame.SetScreens(screens);
    Display display(frame, numbers);
    ui::MainWindow behaviour(app, platform, frame, display, input, foreground, failures,
                             win32::Narrow(commandLine ? commandLine : L""));
    frame.Attach(
        &behaviour,
        [&] {
            numbers.Reload();
            display.Invalidate();
        },
        [&](const char* what, const std::exception& e) { failures.Failed(what, e.what()); });
    // The behaviour goes before the frame: a window still open then (start-up
    // failed after it was made) must not reach it in its last messages.
    struct Detach {
        ui::win32::MainFrame& frame;
        ~Detach() { frame.Attach(nullptr, {}, {}); }
    } detach{frame};

    Win32Host host(frame);
    switch (Main(app, platform, host)) {
        case StartResult::Refused: return 0;
        case StartResult::Failed: return 1;
        case StartResult::Running: break;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (frame.PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
