// Window layouts as tables: a row for every widget with its id, name, kind,
// parent, caption, rectangle in twips, font and colours. One small Win32
// builder turns a table into controls, scaled by the display's dpi.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace qm::ui {

inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels at a given dpi, rounded to nearest (15 twips per pixel at 96 dpi).
int TwipsToPixels(int twips, int dpi);

// ComboBox: a drop-down list of `items`. TextBox: read-only text that takes
// the focus, so that a screen reader reads it. Chart: a control the window
// draws itself. Tab: a tab control with a tab for each of `items`; the rows
// of a tab name it by its index, and lie over the control, beneath none.
enum class Kind { Button, LinkBox, Label, GroupBox, Panel, Picture, Timer, ComboBox, TextBox, Chart, Tab };
enum class Align { Left, Center, Right };

// The edges of the window's client area a widget keeps its distance to when
// the window is resized. With both left and right the widget grows with the
// width; with right alone it moves with the right edge; likewise top and
// bottom.
enum Anchor : uint8_t { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };
inline constexpr uint8_t kAnchorTopLeft = AnchorLeft | AnchorTop;
inline constexpr uint8_t kAnchorAll = AnchorLeft | AnchorTop | AnchorRight | AnchorBottom;
struct Font {
    std::string_view face = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int charset = 204;  // Cyrillic
    bool operator==(const Font&) const = default;
};

struct Colour {
    enum class Type { Default, Rgb, ButtonFace, Window, CaptionText };
    Type type = Type::Default;
    uint8_t r = 0, g = 0, b = 0;
    static constexpr Colour Rgb(uint8_t r, uint8_t g, uint8_t b) { return {Type::Rgb, r, g, b}; }
    static constexpr Colour System(Type t) { return {t, 0, 0, 0}; }
    bool operator==(const Colour&) const = default;
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;  // twips
    bool operator==(const Rect&) const = default;
};

// What a picture box shows.
enum class Image { None, TrayIcon, Logo };

// One row of a window's table. The id is the control's (a timer's for a
// timer) and names it everywhere: in the code, to the parent row of the
// controls inside it, and to Windows. The name (and array index) is for
// people: the tests print it, and the end-to-end tests learn the ids by it.
struct Widget {
    int id = 0;
    std::string_view name{};
    int index = -1;            // member of a control array, or -1
    Kind kind = Kind::Label;
    int parent = 0;            // the id of the row it lies in; 0: the window itself
    std::string_view caption{};  // UTF-8
    Rect rect{};
    Font font{};
    Colour fore{}, back{};
    Align align = Align::Left;
    bool visible = true;
    bool transparent = false;  // label drawn over what lies beneath
    bool handCursor = false;
    bool tabStop = false;
    Image image = Image::None;
    int intervalMs = 0;        // timers
    uint8_t anchors = kAnchorTopLeft;
    std::span<const char* const> items{};  // a combo box's choices, a tab control's tabs (UTF-8)
    int tab = -1;              // shown only while this tab of the window's tab control is chosen; -1: always
};

// A pop-up menu (on the bar when its parent is 0), or an item of the pop-up
// its parent names; a separator has the caption "-" and no id.
struct MenuItem {
    int id = 0;                // the command id of an item
    std::string_view name{};
    std::string_view caption{};
    int parent = 0;
    bool hidden = false;       // a pop-up that is not on the bar
};

struct WindowLayout {
    std::string_view name{};
    std::string_view title{};
    Rect client{};             // width and height only
    int outerWidth = 0;        // twips; 0 when the size follows the client area
    int outerHeight = 0;
    bool sizable = false;
    bool minimizeBox = false;
    bool maximizeBox = false;
    bool centred = false;
    int minClientWidth = 0;    // twips; the smallest client area a sizable window takes
    int minClientHeight = 0;
    Colour back{};
    Font font{};
    std::span<const Widget> widgets{};
    std::span<const MenuItem> menu{};

    const Widget* Find(int id) const;
    const MenuItem* FindMenu(int id) const;
};

// A widget's rectangle in pixels once the client area has grown by (dx, dy)
// pixels over the size the layout gives it (shrunk, when negative).
struct PixelBox {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelBox&) const = default;
};
PixelBox Anchored(PixelBox designed, uint8_t anchors, int dx, int dy);

}  // namespace qm::ui
