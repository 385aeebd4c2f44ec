#include "ui/keyboard_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace qm::ui {

namespace {

std::vector<Cap> MakeCaps(bool iso) {
    std::vector<Cap> caps;
    auto add = [&](int code, int scan, int x, int y, int w, int h, KeyBlock block) {
        caps.push_back(Cap{code, scan, x, y, w, h, block, false});
    };
    // Function row: Esc, F1-F12 in groups of four, then Print Screen, Scroll Lock, Pause.
    add(0x1B, 0, 0, 0, 4, 4, KeyBlock::Function);
    for (int i = 0; i < 12; ++i) add(0x70 + i, 0, 8 + 18 * (i / 4) + 4 * (i % 4), 0, 4, 4, KeyBlock::Function);
    add(0x2C, 0, 62, 0, 4, 4, KeyBlock::Function);
    add(0x91, 0, 66, 0, 4, 4, KeyBlock::Function);
    add(0x13, 0, 70, 0, 4, 4, KeyBlock::Function);

    const KeyBlock M = KeyBlock::Main;
    // Number row: ` 1-9 0 - = Backspace.
    add(0xC0, 0x29, 0, 6, 4, 4, M);
    for (int i = 0; i < 10; ++i) add(i == 9 ? '0' : '1' + i, 0x02 + i, 4 + 4 * i, 6, 4, 4, M);
    add(0xBD, 0x0C, 44, 6, 4, 4, M);
    add(0xBB, 0x0D, 48, 6, 4, 4, M);
    add(0x08, 0, 52, 6, 8, 4, M);
    // Tab row.
    add(0x09, 0, 0, 10, 6, 4, M);
    const char* top = "QWERTYUIOP";
    for (int i = 0; i < 10; ++i) add(top[i], 0x10 + i, 6 + 4 * i, 10, 4, 4, M);
    add(0xDB, 0x1A, 46, 10, 4, 4, M);
    add(0xDD, 0x1B, 50, 10, 4, 4, M);
    // ISO's Enter is an L over two rows; drawn as its lower, narrower part
    // made tall, it leaves a sliver beside ] on the upper row.
    if (iso) add(0x0D, 0, 55, 10, 5, 8, M);
    else add(0xDC, 0x2B, 54, 10, 6, 4, M);
    // Home row.
    add(0x14, 0, 0, 14, 7, 4, M);
    const char* home = "ASDFGHJKL";
    for (int i = 0; i < 9; ++i) add(home[i], 0x1E + i, 7 + 4 * i, 14, 4, 4, M);
    add(0xBA, 0x27, 43, 14, 4, 4, M);
    add(0xDE, 0x28, 47, 14, 4, 4, M);
    if (iso) add(0xDC, 0x2B, 51, 14, 4, 4, M);
    else add(0x0D, 0, 51, 14, 9, 4, M);
    // Shift row.
    if (iso) {
        add(0xA0, 0, 0, 18, 5, 4, M);
        add(0xE2, 0x56, 5, 18, 4, 4, M);
    } else {
        add(0xA0, 0, 0, 18, 9, 4, M);
    }
    const char* bottom = "ZXCVBNM";
    for (int i = 0; i < 7; ++i) add(bottom[i], 0x2C + i, 9 + 4 * i, 18, 4, 4, M);
    add(0xBC, 0x33, 37, 18, 4, 4, M);
    add(0xBE, 0x34, 41, 18, 4, 4, M);
    add(0xBF, 0x35, 45, 18, 4, 4, M);
    add(0xA1, 0, 49, 18, 11, 4, M);
    // Space row.
    add(0xA2, 0, 0, 22, 5, 4, M);
    add(0x5B, 0, 5, 22, 5, 4, M);
    add(0xA4, 0, 10, 22, 5, 4, M);
    add(0x20, 0, 15, 22, 25, 4, M);
    add(0xA5, 0, 40, 22, 5, 4, M);
    add(0x5C, 0, 45, 22, 5, 4, M);
    add(0x5D, 0, 50, 22, 5, 4, M);
    add(0xA3, 0, 55, 22, 5, 4, M);

    const KeyBlock N = KeyBlock::Navigation;
    add(0x2D, 0, 62, 6, 4, 4, N);
    add(0x24, 0, 66, 6, 4, 4, N);
    add(0x21, 0, 70, 6, 4, 4, N);
    add(0x2E, 0, 62, 10, 4, 4, N);
    add(0x23, 0, 66, 10, 4, 4, N);
    add(0x22, 0, 70, 10, 4, 4, N);
    add(0x26, 0, 66, 18, 4, 4, KeyBlock::Arrows);
    add(0x25, 0, 62, 22, 4, 4, KeyBlock::Arrows);
    add(0x28, 0, 66, 22, 4, 4, KeyBlock::Arrows);
    add(0x27, 0, 70, 22, 4, 4, KeyBlock::Arrows);

    const KeyBlock P = KeyBlock::Numpad;
    add(0x90, 0, 76, 6, 4, 4, P);
    add(0x6F, 0, 80, 6, 4, 4, P);
    add(0x6A, 0, 84, 6, 4, 4, P);
    add(0x6D, 0, 88, 6, 4, 4, P);
    for (int row = 0; row < 3; ++row)  // 7 8 9, 4 5 6, 1 2 3
        for (int col = 0; col < 3; ++col) add(0x60 + 7 - 3 * row + col, 0, 76 + 4 * col, 10 + 4 * row, 4, 4, P);
    add(0x6B, 0, 88, 10, 4, 8, P);
    add(0x0D, 0, 88, 18, 4, 8, P);
    caps.back().sharesCode = true;
    add(0x60, 0, 76, 22, 8, 4, P);
    add(0x6E, 0, 84, 22, 4, 4, P);

    // The mouse as a mouse has its buttons. Left and right are the
    // program's clicks; the others it counts among the keys.
    const int mouse[] = {0x01, 0x04, 0x02, 0x05, 0x06};
    for (int i = 0; i < 5; ++i) add(mouse[i], 0, 13 * i, 28, 12, 4, KeyBlock::Mouse);
    return caps;
}

// OKLab from sRGB and back.
struct Lab {
    double L, a, b;
};
double ToLinear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double FromLinear(double c) { return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055; }
Lab ToLab(Rgb c) {
    const double r = ToLinear(c.r / 255.0), g = ToLinear(c.g / 255.0), b = ToLinear(c.b / 255.0);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}
Rgb FromLab(Lab c) {
    const double l = std::pow(c.L + 0.3963377774 * c.a + 0.2158037573 * c.b, 3);
    const double m = std::pow(c.L - 0.1055613458 * c.a - 0.0638541728 * c.b, 3);
    const double s = std::pow(c.L - 0.0894841775 * c.a - 1.2914855480 * c.b, 3);
    auto byte = [](double linear) {
        return static_cast<uint8_t>(std::lround(std::clamp(FromLinear(linear), 0.0, 1.0) * 255));
    };
    return {byte(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s),
            byte(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s),
            byte(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s)};
}

}  // namespace

const std::vector<Cap>& KeyboardCaps(bool iso) {
    static const std::vector<Cap> ansi = MakeCaps(false), isoCaps = MakeCaps(true);
    return iso ? isoCaps : ansi;
}

std::string FixedCapLabel(int code) {
    switch (code) {
        case 0x01: return "Left";
        case 0x02: return "Right";
        case 0x04: return "Middle";
        case 0x05: return "Back";
        case 0x06: return "Forward";
        case 0x08: return "Backspace";
        case 0x0D: return "Enter";
        case 0x14: return "Caps";
        case 0x1B: return "Esc";
        case 0x20: return "";
        case 0x21: return "PgUp";
        case 0x22: return "PgDn";
        case 0x25: return "\u2190";
        case 0x26: return "\u2191";
        case 0x27: return "\u2192";
        case 0x28: return "\u2193";
        case 0x2C: return "PrtSc";
        case 0x2D: return "Ins";
        case 0x2E: return "Del";
        case 0x5B: case 0x5C: return "Win";
        case 0x5D: return "Menu";
        case 0x90: return "Num";
        case 0x91: return "ScrLk";
        case 0xA0: case 0xA1: return "Shift";
        case 0xA2: case 0xA3: return "Ctrl";
        case 0xA4: case 0xA5: return "Alt";
        case 0xBA: return ";";
        case 0xBB: return "=";
        case 0xBC: return ",";
        case 0xBD: return "-";
        case 0xBE: return ".";
        case 0xBF: return "/";
        case 0xC0: return "`";
        case 0xDB: return "[";
        case 0xDC: return "\\";
        case 0xDD: return "]";
        case 0xDE: return "'";
        case 0xE2: return "<";
    }
    if (code >= 0x60 && code <= 0x69) return std::to_string(code - 0x60);
    if (code >= 0x6A && code <= 0x6F) return KeyName(code).substr(7);  // "Numpad *" to "*"
    return KeyName(code);
}

std::vector<int> UnplacedCodes(bool iso) {
    std::vector<bool> placed(256, false);
    for (const Cap& cap : KeyboardCaps(iso)) placed[static_cast<size_t>(cap.code)] = true;
    std::vector<int> codes;
    for (int code = 3; code <= 255; ++code)
        if (!placed[static_cast<size_t>(code)]) codes.push_back(code);
    return codes;
}

std::string ShortCount(int64_t n) {
    if (n < 1000) return std::to_string(std::max<int64_t>(n, 0));
    static const char kUnits[] = "kMGTPE";
    int64_t unit = 1000;
    for (int u = 0;; ++u, unit *= 1000) {
        // Rounded in whole numbers: n * 10 would overflow near the top.
        const int64_t tenths = n / (unit / 10) + (n % (unit / 10) >= unit / 20 ? 1 : 0);
        char text[16];
        if (tenths < 1000) {
            std::snprintf(text, sizeof text, "%lld.%lld%c", static_cast<long long>(tenths / 10),
                          static_cast<long long>(tenths % 10), kUnits[u]);
            return text;
        }
        const int64_t whole = n / unit + (n % unit >= unit / 2 ? 1 : 0);
        if (whole < 1000 || u == 5) {
            std::snprintf(text, sizeof text, "%lld%c", static_cast<long long>(whole), kUnits[u]);
            return text;
        }
    }
}

double Lightness(Rgb colour) { return ToLab(colour).L; }

Rgb HeatColour(int64_t count, int64_t maxCount) {
    if (count <= 0 || maxCount <= 0) return kNeutralCap;
    return PaletteColour(HeatFraction(static_cast<double>(count), static_cast<double>(maxCount)));
}

double HeatFraction(double count, double maxCount) {
    if (count <= 0 || maxCount <= 0) return 0;
    return std::min(1.0, std::log1p(count) / std::log1p(maxCount));
}

Rgb PaletteColour(double t) {
    t = std::clamp(t, 0.0, 1.0);
    // A perceptually even palette (viridis) from its light end to its dark
    // one, interpolated in OKLab, where its lightness falls steadily.
    static const Rgb kStops[] = {{253, 231, 37}, {94, 201, 98}, {33, 145, 140}, {59, 82, 139}, {68, 1, 84}};
    const double at = t * 4;
    const int i = std::min(3, static_cast<int>(at));
    const double f = at - i;
    const Lab a = ToLab(kStops[i]), b = ToLab(kStops[i + 1]);
    return FromLab({a.L + (b.L - a.L) * f, a.a + (b.a - a.a) * f, a.b + (b.b - a.b) * f});
}

Rgb TextColour(Rgb back) { return Lightness(back) > 0.62 ? Rgb{0, 0, 0} : Rgb{255, 255, 255}; }

KeyboardPaint LayOutKeyboard(bool iso, int width, int height) {
    KeyboardPaint paint;
    paint.iso = iso;
    const std::vector<Cap>& caps = KeyboardCaps(iso);
    paint.caps.resize(caps.size());
    const double scale = std::min(static_cast<double>(width) / kDrawingWidth, static_cast<double>(height) / kDrawingHeight);
    if (scale < 2) return paint;  // a cap under 8 pixels says nothing
    paint.scale = scale;
    const int gap = scale >= 5 ? 2 : 1;
    const double left = (width - kDrawingWidth * scale) / 2, top = (height - kDrawingHeight * scale) / 2;
    auto px = [&](double origin, int units) { return static_cast<int>(std::lround(origin + units * scale)); };
    for (size_t i = 0; i < caps.size(); ++i) {
        const Cap& c = caps[i];
        paint.caps[i] = {px(left, c.x), px(top, c.y), px(left, c.x + c.w) - gap, px(top, c.y + c.h) - gap};
    }
    return paint;
}

int CapAt(const KeyboardPaint& paint, int x, int y) {
    for (size_t i = 0; i < paint.caps.size(); ++i) {
        const PixelRect& r = paint.caps[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return static_cast<int>(i);
    }
    return -1;
}

int NextCap(const std::vector<Cap>& caps, int from, Direction direction) {
    if (caps.empty()) return -1;
    if (from < 0 || from >= static_cast<int>(caps.size())) return 0;
    const bool across = direction == Direction::Left || direction == Direction::Right;
    const int sign = direction == Direction::Right || direction == Direction::Down ? 1 : -1;
    const Cap& f = caps[static_cast<size_t>(from)];
    // Twice the centres, to stay in whole numbers.
    auto along = [&](const Cap& c) { return across ? 2 * c.x + c.w : 2 * c.y + c.h; };
    auto side = [&](const Cap& c) { return across ? 2 * c.y + c.h : 2 * c.x + c.w; };
    auto inLine = [&](const Cap& c) {
        return across ? c.y < f.y + f.h && f.y < c.y + c.h : c.x < f.x + f.w && f.x < c.x + c.w;
    };
    int best = from;
    bool bestInLine = false;
    int64_t bestScore = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < caps.size(); ++i) {
        const Cap& c = caps[i];
        const int ahead = (along(c) - along(f)) * sign;
        if (ahead <= 0) continue;
        const bool line = inLine(c);
        const int64_t score = line ? int64_t{ahead} * 1000 + std::abs(side(c) - side(f))
                                   : int64_t{ahead} + 2 * std::abs(side(c) - side(f));
        if ((line && !bestInLine) || (line == bestInLine && score < bestScore)) {
            best = static_cast<int>(i);
            bestInLine = line;
            bestScore = score;
        }
    }
    return best;
}

}  // namespace qm::ui
