// One tick of the 60 ms sampler as the window's timer runs it: the key scan
// of codes 1 to 255, the cursor, the refresh of the twelve value labels and
// the failure bookkeeping around it. The real code throughout; only the
// devices, the labels and the window are stand-ins in memory.
#include <array>
#include <optional>

#include "bench/bench_support.h"
#include "ui/main_window.h"

namespace qm::bench {
namespace {

// How far the cursor goes at a tick of a user at work.
enum class Travel {
    Short,           // 5 pixels (back and forth, so it stays on the screen)
    AcrossA4kScreen  // from one corner of a 3840 x 2160 screen to the other, and back at the next
};

// The keyboard and the mouse of a user at work: at every tick one letter key
// has been pressed and the cursor has moved. An idle user presses nothing
// and keeps still.
class User : public InputDevices {
public:
    explicit User(bool working, Travel travel = Travel::Short) : working_(working), travel_(travel) {}

    uint16_t GetAsyncKeyState(int code) override { return working_ && code == key_ ? 1 : 0; }
    std::optional<Point> GetCursorPos() override { return cursor_; }
    std::optional<uint32_t> LastInputMs() override { return lastInput_; }
    uint32_t NowMs() override { return now_; }

    void NextTick() {
        now_ += 60;
        if (!working_) return;
        lastInput_ = now_ - 30;
        key_ = key_ == 'Z' ? 'A' : key_ + 1;
        if (travel_ == Travel::AcrossA4kScreen) {
            cursor_ = cursor_ == Point{0, 0} ? Point{3839, 2159} : Point{0, 0};
            return;
        }
        if (++steps_ == 100) {
            steps_ = 0;
            direction_ = -direction_;
        }
        cursor_.x += 3 * direction_;
        cursor_.y += 4 * direction_;
    }

private:
    bool working_;
    Travel travel_;
    int key_ = 'A';
    int steps_ = 0;
    int direction_ = 1;
    Point cursor_{400, 300};
    uint32_t now_ = 1000000;
    uint32_t lastInput_ = 5000;  // an idle user last touched something long ago
};

// The value labels: each keeps the last text written to it.
class Labels : public LabelSink {
public:
    void SetLabelText(ValueLabel label, const std::string& text) override {
        text_[static_cast<size_t>(label)] = text;
        ++writes;
    }
    int64_t writes = 0;

private:
    std::array<std::string, kValueLabelCount> text_;
};

// The main window as a tick sees it: the tick asks nothing of it.
class Window : public ui::MainWindowView {
public:
    bool IsMinimized() override { return false; }
    void Minimize() override {}
    void Restore() override {}
    void SetVisible(bool) override {}
    void BringToFront() override {}
    int OuterWidth() override { return 562; }
    int OuterHeight() override { return 366; }
    void SetOuterSize(int, int) override {}
    int Dpi() override { return 96; }
    void ReleaseLeftButton() override {}
    bool AutorunChecked() override { return false; }
    void SetAutorunChecked(bool) override {}
    void SetAllStatCaption(const std::string&) override {}
    void AddTrayIcon() override {}
    void RemoveTrayIcon() override {}
    void PopupFileMenu() override {}
    void ShellOpen(const std::string&) override {}
    ui::Answer Ask(const std::string&, MessageIcon, bool) override { return ui::Answer::Ok; }
    void ShowAbout() override {}
    void ShowHistory() override {}
    void Destroy() override {}
};

// One program in front all along, as while someone types into it.
struct InFront : Foreground {
    ForegroundWindow Window() override { return {0x10010, 4242}; }
    ProgramName NameOf(const ForegroundWindow&) override { return {"notepad.exe", "Notepad"}; }
};

// The clock moves 15 ms at every reading: a tick with one key press reads it
// four times, so key presses lie 60 ms apart, inside a typing burst.
struct Program {
    explicit Program(bool working, Travel travel = Travel::Short) : user(working, travel) {
        FillWithEverydayFigures(app.stats);
    }

    NativePlatform native{0.015};
    AppState app;
    Window view;
    Labels labels;
    Display display{labels, native.numbers};
    User user;
    InFront foreground;
    FailureLog failures{native.platform.log};
    ui::MainWindow window{app, native.platform, view, display, user, foreground, failures, ""};
};

void Tick(benchmark::State& state, bool working, Travel travel = Travel::Short) {
    Program program(working, travel);
    if (travel == Travel::AcrossA4kScreen) program.window.DisplayChanged({Monitor{0, 0, 3840, 2160, 597, 336}});
    program.window.SamplerTick();  // the labels start with their first texts
    program.labels.writes = 0;
    for (auto _ : state) {
        program.user.NextTick();
        program.window.SamplerTick();
    }
    state.counters["labels_written"] =
        benchmark::Counter(static_cast<double>(program.labels.writes), benchmark::Counter::kAvgIterations);
}

// A key and the cursor at every tick: the key scan runs each time.
void SamplerTickWhileWorking(benchmark::State& state) {
    Tick(state, true);
    ReportAs(state, "tick_input_ns");
}
BENCHMARK(SamplerTickWhileWorking);

// The same with the cursor crossing a 4K screen at every tick: a long path
// must cost the tick no more than a short one.
void SamplerTickAcrossA4kScreen(benchmark::State& state) {
    Tick(state, true, Travel::AcrossA4kScreen);
    ReportAs(state, "tick_input_4k_ns");
}
BENCHMARK(SamplerTickAcrossA4kScreen);

// No input since the last scan: the tick reads the last-input time and the
// cursor, and the labels have nothing new.
void SamplerTickWhileIdle(benchmark::State& state) {
    Tick(state, false);
    ReportAs(state, "tick_idle_ns");
}
BENCHMARK(SamplerTickWhileIdle);

}  // namespace
}  // namespace qm::bench
