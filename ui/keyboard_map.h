// The Keys tab's drawing of a keyboard and a mouse as plain data: where each
// key's cap lies, the keys' fixed English names, the short counts written on
// the caps, the colours of the heatmap and where the caps lie for a paint.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/key_names.h"
#include "ui/chart_paint.h"

namespace qm::ui {

enum class KeyBlock { Function, Main, Navigation, Arrows, Numpad, Mouse };

// One cap of the drawing, in quarters of a key's width; the drawing's
// origin is the top left of Esc.
struct Cap {
    int code = 0;   // the key code (virtual key) as a US layout sends it
    int scan = 0;   // typing keys: the place (scan code) whose code the layout decides; 0: the code is fixed
    int x = 0, y = 0, w = 4, h = 4;
    KeyBlock block = KeyBlock::Main;
    // The keypad's Enter sends the code of the main Enter, and the scan
    // cannot tell the two apart: it shows the main Enter's count.
    bool sharesCode = false;
};

inline constexpr int kDrawingWidth = 92;   // quarters of a key
inline constexpr int kDrawingHeight = 32;  // the keyboard and the mouse strip under it

// The full keyboard with the mouse strip under it. ANSI: a wide Left Shift
// and OEM 5 above Enter. ISO: OEM 102 between a short Left Shift and Z, a
// tall Enter and OEM 5 left of it.
const std::vector<Cap>& KeyboardCaps(bool iso);


// A short fixed label for a cap: "Esc", "Shift", "←", "Num"; typing keys
// their US character.
std::string FixedCapLabel(int code);

// Codes 3-255 that the drawing (of a US layout) has no cap for: the
// generic Shift, Ctrl and Alt, F13-F24, media, browser and IME keys.
std::vector<int> UnplacedCodes(bool iso);

// A count in at most 5 characters: "999", "1.0k", "99.9k", "100k", "999k",
// "1.0M"; rounded half up, one decimal below 100 of a unit.
std::string ShortCount(int64_t n);

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Perceived lightness (OKLab L, 0 black to 1 white).
double Lightness(Rgb colour);

// The colour of a cap: a light neutral grey for 0; above it, a sequential
// palette from light to dark by log(1 + count) / log(1 + maxCount), so that
// a key of a thousandth of the busiest one's presses still shows.
Rgb HeatColour(int64_t count, int64_t maxCount);
inline constexpr Rgb kNeutralCap{228, 228, 228};
// The scale under HeatColour: log(1 + count) / log(1 + maxCount), 0 to 1;
// and the palette at a point of it, 0 its light end, 1 its dark one.
double HeatFraction(double count, double maxCount);
Rgb PaletteColour(double t);

// Black on light caps, white on dark ones.
Rgb TextColour(Rgb back);

// Where the caps lie in an area of width x height pixels: the drawing scaled
// to fit keeping its proportions, centred, each cap a little smaller than
// its place so that a gap shows between caps.
struct KeyboardPaint {
    bool iso = false;
    double scale = 0;             // pixels a quarter key; 0 when the area is too small
    std::vector<PixelRect> caps;  // as KeyboardCaps(iso); empty rectangles when too small
};
KeyboardPaint LayOutKeyboard(bool iso, int width, int height);

// The cap at a pixel, or -1 (between caps, outside the drawing).
int CapAt(const KeyboardPaint& paint, int x, int y);

// The nearest cap in a direction, by the caps' centres, preferring caps in
// line with `from`; `from` itself at an edge. From -1: the first cap (Esc).
enum class Direction { Left, Right, Up, Down };
int NextCap(const std::vector<Cap>& caps, int from, Direction direction);

}  // namespace qm::ui
