// The History window on Win32: a modeless window built from its layout, and
// a chart control that draws what the behaviour's chart says.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "ui/chart_paint.h"
#include "ui/history_window.h"
#include "ui/win32/builder.h"
#include "ui/win32/window.h"
#include "win32/foreground.h"
#include "win32/keyboard_layout.h"

namespace qm::ui::win32 {

// Posted to the window that opened the History window once it has gone, so
// that the object behind it is freed.
inline constexpr UINT WM_QM_HISTORY_CLOSED = WM_APP + 3;

class HistoryBox : public Window, public HistoryWindowView {
public:
    // programs: where the executables are for the Programs tab's icons (none: no icons).
    HistoryBox(HINSTANCE instance, const HistorySources& sources, const qm::win32::Win32Foreground* programs,
               HWND opener, FailureHandler onFailure);

    // Creates the window, reads the history and shows it beside the opener
    // (centred when the opener is hidden); false when no window was made.
    bool Open();
    void BringToFront();
    // The window's keyboard, from the message loop: Ctrl+C, Ctrl+Tab and
    // Ctrl+Shift+Tab, then the dialog manager's Tab, Escape and arrows. True
    // when the message was used here.
    bool PreTranslate(MSG& msg);

    // HistoryWindowView
    void RedrawChart() override;
    void SetDetailText(const std::string& text) override;
    void SelectChoices(int figure, int period) override;
    bool SetClipboardText(const std::string& text) override;
    void ShellOpen(const std::string& path) override;
    void Tell(const std::string& text) override;
    void ShowTab(int tab) override;
    // HoursViewPort
    void RedrawHoursChart() override;
    void SetHoursDetailText(const std::string& text) override;
    void SelectHoursChoices(int figure, int period) override;
    // KeysViewPort
    void RedrawKeys() override;
    void SetKeysDetailText(const std::string& text) override;
    void SelectKeysPeriod(int period) override;
    // ProgramsViewPort
    void RedrawPrograms() override;
    void SetProgramsDetailText(const std::string& text) override;
    void SelectProgramsPeriod(int period) override;
    void SelectProgramsFigure(int figure) override;
    // ScreenViewPort
    void RedrawScreen() override;
    void SetScreenDetailText(const std::string& text) override;
    void SelectScreenWhat(int what) override;
    void SetScreenPeriods(const std::vector<std::string>& names, int chosen) override;
    std::string AskPictureFile(const std::string& suggested) override;
    std::string SavePicture(const std::string& path, const ScreenPicture& picture) override;
    bool SetClipboardPicture(const ScreenPicture& picture, PictureSize size) override;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    static LRESULT CALLBACK ChartProc(HWND chart, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ChartMessage(HWND chart, UINT msg, WPARAM wp, LPARAM lp);
    void PaintChart(HWND chart, HDC target);
    void PaintBars(HWND chart, HDC dc, const RECT& area);
    void PaintKeys(HDC dc, const RECT& area);
    void PaintPrograms(HDC dc, const RECT& area);
    void PaintScreen(HDC dc, const RECT& area);
    // The program's icon of `size` pixels, read once a window.
    HICON IconOf(const std::string& program, int size);
    void Place();

    const NumberFormat& numbers_;
    HWND opener_;
    const qm::win32::Win32Foreground* programs_;
    qm::win32::Win32KeyboardLayout keyboard_;  // before behaviour_, which keeps it
    HistoryWindow behaviour_;
    ChartPaint paint_;            // the Days chart as last drawn: what the mouse points at
    ChartPaint hoursPaint_;       // the Hours chart likewise
    KeyboardPaint keysPaint_;     // and the Keys tab's caps
    std::vector<ProgramRowPlace> programsPaint_;  // and the Programs tab's rows
    struct ProgramIcon {
        int size = 0;
        qm::win32::UniqueIcon icon;  // none: the system's icon for a program
    };
    std::map<std::string, ProgramIcon> icons_;  // by program
    bool trackingMouse_ = false;
    // The chart the pointer was last over, until it is told the pointer left.
    HWND pointedChart_ = nullptr;
    HWND focus_ = nullptr;        // the control that had the focus when the window was left
};

}  // namespace qm::ui::win32
