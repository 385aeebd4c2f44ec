// TEMPORARY stand-in for the maps' own code (core/screen_map.cpp,
// input/screen_ledger.cpp, app/screen_store.cpp), which is written on
// another branch: just enough of the declared functions, to the formats
// the headers give, for the Screen tab to link, for its tests and for its
// end-to-end fixture. The build drops it by itself once core/screen_map.cpp
// is there (CMakeLists.txt); delete it then.
#include <algorithm>
#include <cstdio>

#include "app/screen_store.h"
#include "core/atomic_file.h"
#include "core/hours.h"

namespace qm {

bool Arrangement::SameAs(const Arrangement& o) const {
    if (monitors.size() != o.monitors.size()) return false;
    for (size_t i = 0; i < monitors.size(); ++i)
        if (!monitors[i].SameRect(o.monitors[i])) return false;
    return true;
}

uint32_t Arrangement::FirstCell(size_t monitor) const {
    uint32_t first = 0;
    for (size_t i = 0; i < monitor && i < monitors.size(); ++i)
        first += static_cast<uint32_t>(Columns(monitors[i]) * Rows(monitors[i]));
    return first;
}

uint32_t Arrangement::CellCount() const { return FirstCell(monitors.size()); }

int Arrangement::MonitorAt(Point p) const {
    for (size_t i = 0; i < monitors.size(); ++i) {
        const Monitor& m = monitors[i];
        if (p.x >= m.left && p.x < m.right && p.y >= m.top && p.y < m.bottom) return static_cast<int>(i);
    }
    return -1;
}

int64_t Arrangement::CellAt(Point p) const {
    const int i = MonitorAt(p);
    if (i < 0) return -1;
    const Monitor& m = monitors[static_cast<size_t>(i)];
    return FirstCell(static_cast<size_t>(i)) + static_cast<int64_t>((p.y - m.top) / kCellPixels) * Columns(m) +
           (p.x - m.left) / kCellPixels;
}

size_t Arrangement::MonitorOfCell(uint32_t cell) const {
    size_t i = 0;
    for (uint32_t first = 0; i + 1 < monitors.size(); ++i) {
        const uint32_t next = first + static_cast<uint32_t>(Columns(monitors[i]) * Rows(monitors[i]));
        if (cell < next) break;
        first = next;
    }
    return i;
}

Monitor Arrangement::CellRect(uint32_t cell) const {
    const size_t i = MonitorOfCell(cell);
    const Monitor& m = monitors[i];
    const uint32_t at = cell - FirstCell(i);
    Monitor r;
    r.left = m.left + static_cast<int32_t>(at % Columns(m)) * kCellPixels;
    r.top = m.top + static_cast<int32_t>(at / Columns(m)) * kCellPixels;
    r.right = std::min(m.right, r.left + kCellPixels);
    r.bottom = std::min(m.bottom, r.top + kCellPixels);
    return r;
}

Arrangement UsableArrangement(std::vector<Monitor> monitors) {
    bool usable = !monitors.empty() && monitors.size() <= kMostMonitors;
    for (const Monitor& m : monitors)
        usable = usable && m.Width() > 0 && m.Height() > 0 && m.Width() <= 65536 && m.Height() <= 65536;
    if (!usable) monitors = {Monitor{0, 0, 1, 1}};
    return {std::move(monitors)};
}

bool ArrangementMap::IsEmpty() const {
    return std::all_of(layers.begin(), layers.end(), [](const Layer& l) { return l.empty(); });
}

void AddLayer(Layer& to, const Layer& more) {
    Layer sum;
    sum.reserve(to.size() + more.size());
    auto a = to.begin();
    for (const CellCount& c : more) {
        for (; a != to.end() && a->cell < c.cell; ++a) sum.push_back(*a);
        if (a != to.end() && a->cell == c.cell)
            sum.push_back({c.cell, (a++)->count + c.count});
        else
            sum.push_back(c);
    }
    sum.insert(sum.end(), a, to.end());
    to = std::move(sum);
}

void AddMaps(ScreenMaps& to, const ScreenMaps& more) {
    for (const ArrangementMap& m : more) {
        auto it = std::find_if(to.begin(), to.end(),
                               [&](const ArrangementMap& t) { return t.arrangement.SameAs(m.arrangement); });
        if (it == to.end()) {
            to.push_back(m);
            continue;
        }
        for (size_t l = 0; l < kMapLayers; ++l) AddLayer(it->layers[l], m.layers[l]);
        for (size_t i = 0; i < m.travelPixels.size() && i < it->travelPixels.size(); ++i)
            it->travelPixels[i] += m.travelPixels[i];
    }
}

namespace {

void Varint(std::string& out, uint64_t v) {
    for (; v >= 0x80; v >>= 7) out.push_back(static_cast<char>(0x80 | (v & 0x7f)));
    out.push_back(static_cast<char>(v));
}
void Fixed(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}
uint64_t Zig(int64_t v) { return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63); }

struct Reader {
    std::string_view b;
    size_t at = 0;
    uint64_t Varint() {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at >= b.size()) throw ScreenFormatError("it ends too soon");
            const uint8_t c = static_cast<uint8_t>(b[at++]);
            v |= static_cast<uint64_t>(c & 0x7f) << shift;
            if (!(c & 0x80)) return v;
        }
        throw ScreenFormatError("a number is too long");
    }
    int32_t Signed() {
        const uint64_t z = Varint();
        return static_cast<int32_t>(static_cast<int64_t>(z >> 1) ^ -static_cast<int64_t>(z & 1));
    }
};

uint64_t FixedAt(std::string_view b, size_t at) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(static_cast<uint8_t>(b[at + i])) << (8 * i);
    return v;
}

}  // namespace

std::string ScreenFileBytes(const ScreenFile& file) {
    std::string out = "QMSCREEN";
    out.push_back(1);
    out.push_back(file.base ? 'B' : 'S');
    out.append(6, '\0');
    Fixed(out, file.stamp);
    Varint(out, file.maps.size());
    for (const ArrangementMap& m : file.maps) {
        Varint(out, m.arrangement.monitors.size());
        for (size_t i = 0; i < m.arrangement.monitors.size(); ++i) {
            const Monitor& s = m.arrangement.monitors[i];
            for (int32_t v : {s.left, s.top, s.right, s.bottom}) Varint(out, Zig(v));
            Varint(out, s.widthMm);
            Varint(out, s.heightMm);
            Varint(out, i < m.travelPixels.size() ? m.travelPixels[i] : 0);
        }
        for (const Layer& layer : m.layers) {
            Varint(out, layer.size());
            uint32_t last = 0;
            for (size_t i = 0; i < layer.size(); ++i) {
                Varint(out, i == 0 ? layer[i].cell : layer[i].cell - last);
                Varint(out, layer[i].count);
                last = layer[i].cell;
            }
        }
    }
    Fixed(out, ContentHash(out));
    return out;
}

ScreenFile ParseScreenFile(std::string_view bytes) {
    if (bytes.size() < 32 || bytes.substr(0, 8) != "QMSCREEN" || bytes[8] != 1 || (bytes[9] != 'B' && bytes[9] != 'S'))
        throw ScreenFormatError("it is not a file of maps");
    if (FixedAt(bytes, bytes.size() - 8) != ContentHash(bytes.substr(0, bytes.size() - 8)))
        throw ScreenFormatError("its check does not match");
    ScreenFile file;
    file.base = bytes[9] == 'B';
    file.stamp = FixedAt(bytes, 16);
    Reader r{bytes.substr(0, bytes.size() - 8), 24};
    for (uint64_t n = r.Varint(); n > 0; --n) {
        ArrangementMap m;
        const uint64_t monitors = r.Varint();
        if (monitors == 0 || monitors > kMostMonitors) throw ScreenFormatError("an arrangement has no monitors");
        for (uint64_t i = 0; i < monitors; ++i) {
            Monitor s;
            s.left = r.Signed(), s.top = r.Signed(), s.right = r.Signed(), s.bottom = r.Signed();
            s.widthMm = static_cast<uint32_t>(r.Varint()), s.heightMm = static_cast<uint32_t>(r.Varint());
            if (s.Width() <= 0 || s.Height() <= 0 || s.Width() > 65536 || s.Height() > 65536)
                throw ScreenFormatError("a monitor has no size");
            m.arrangement.monitors.push_back(s);
            m.travelPixels.push_back(r.Varint());
        }
        const uint32_t cells = m.arrangement.CellCount();
        for (Layer& layer : m.layers) {
            const uint64_t count = r.Varint();
            if (count > cells) throw ScreenFormatError("a layer has more cells than its monitors");
            uint64_t cell = 0;
            for (uint64_t i = 0; i < count; ++i) {
                const uint64_t step = r.Varint();
                if (i > 0 && step == 0) throw ScreenFormatError("cells out of order");
                cell += step;
                const uint64_t c = r.Varint();
                if (cell >= cells || c == 0 || c > UINT32_MAX) throw ScreenFormatError("a cell is off its monitors");
                layer.push_back({static_cast<uint32_t>(cell), static_cast<uint32_t>(c)});
            }
        }
        file.maps.push_back(std::move(m));
    }
    if (r.at != r.b.size()) throw ScreenFormatError("bytes follow the maps");
    return file;
}

std::string ScreenBaseName(std::string_view month) {
    return std::string(kHistoryFolder) + "\\" + std::string(month) + "-screen.map";
}

std::string ScreenSegmentName(std::string_view month, uint32_t segment) {
    char number[16];
    std::snprintf(number, sizeof number, "%06u", static_cast<unsigned>(segment));
    return std::string(kHistoryFolder) + "\\" + std::string(month) + "-screen-" + number + ".map";
}

bool ReadScreenFileName(std::string_view name, std::string& month, uint32_t& segment) {
    const auto digits = [](std::string_view s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (name.size() < 18 || !digits(name.substr(0, 4)) || name[4] != '-' || !digits(name.substr(5, 2)) ||
        name.substr(7, 7) != "-screen")
        return false;
    const std::string_view rest = name.substr(14);
    if (rest == ".map") {
        segment = 0;
    } else if (rest.size() == 11 && rest[0] == '-' && digits(rest.substr(1, 6)) && rest.substr(7) == ".map") {
        segment = static_cast<uint32_t>(std::stoul(std::string(rest.substr(1, 6))));
        if (segment == 0) return false;
    } else {
        return false;
    }
    month = std::string(name.substr(0, 7));
    return true;
}

std::map<std::string, ScreenMaps> UnsavedNow(const ScreenLedger& ledger) { return ledger.unsaved; }

std::vector<std::string> ScreenMonths(const ProgramFolder& folder) {
    std::vector<std::string> months;
    for (const std::string& name : folder.files.FileNames(folder.Path(kHistoryFolder))) {
        std::string month;
        uint32_t segment = 0;
        if (ReadScreenFileName(name, month, segment)) months.push_back(month);
    }
    std::sort(months.begin(), months.end());
    months.erase(std::unique(months.begin(), months.end()), months.end());
    return months;
}

ScreenMaps ReadScreenMonth(const ProgramFolder& folder, const std::string& month) {
    std::vector<uint32_t> segments;
    for (const std::string& name : folder.files.FileNames(folder.Path(kHistoryFolder))) {
        std::string m;
        uint32_t segment = 0;
        if (ReadScreenFileName(name, m, segment) && m == month && segment > 0) segments.push_back(segment);
    }
    std::sort(segments.begin(), segments.end());
    ScreenMaps maps;
    uint64_t above = 0;
    const std::string base = AddBackslash(folder.Folder()) + ScreenBaseName(month);
    if (folder.files.Exists(base)) {
        ScreenFile file = ParseScreenFile(folder.files.ReadAll(base));
        above = file.stamp;
        maps = std::move(file.maps);
    }
    for (uint32_t segment : segments)
        if (segment > above)
            AddMaps(maps, ParseScreenFile(folder.files.ReadAll(AddBackslash(folder.Folder()) +
                                                               ScreenSegmentName(month, segment)))
                              .maps);
    return maps;
}

}  // namespace qm
