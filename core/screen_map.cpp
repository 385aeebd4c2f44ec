#include "core/screen_map.h"

#include <cstdio>
#include <cstring>

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
    return FirstCell(static_cast<size_t>(i)) +
           static_cast<int64_t>((p.y - m.top) / kCellPixels) * Columns(m) + (p.x - m.left) / kCellPixels;
}

size_t Arrangement::MonitorOfCell(uint32_t cell) const {
    for (size_t i = 0; i < monitors.size(); ++i) {
        const uint32_t cells = static_cast<uint32_t>(Columns(monitors[i]) * Rows(monitors[i]));
        if (cell < cells) return i;
        cell -= cells;
    }
    return monitors.size();
}

Monitor Arrangement::CellRect(uint32_t cell) const {
    const size_t i = MonitorOfCell(cell);
    if (i >= monitors.size()) return {};
    const Monitor& m = monitors[i];
    const uint32_t local = cell - FirstCell(i);
    const int32_t cx = static_cast<int32_t>(local % static_cast<uint32_t>(Columns(m)));
    const int32_t cy = static_cast<int32_t>(local / static_cast<uint32_t>(Columns(m)));
    Monitor r;
    r.left = m.left + cx * kCellPixels;
    r.top = m.top + cy * kCellPixels;
    r.right = std::min(r.left + kCellPixels, m.right);
    r.bottom = std::min(r.top + kCellPixels, m.bottom);
    return r;
}

namespace {
constexpr int64_t kLargestSide = 65536;

bool Usable(const Monitor& m) {
    return m.right > m.left && m.bottom > m.top && int64_t{m.right} - m.left <= kLargestSide &&
           int64_t{m.bottom} - m.top <= kLargestSide;
}
}  // namespace

Arrangement UsableArrangement(std::vector<Monitor> monitors) {
    std::erase_if(monitors, [](const Monitor& m) { return !Usable(m); });
    if (monitors.size() > kMostMonitors) monitors.resize(kMostMonitors);
    if (monitors.empty()) monitors.push_back({0, 0, 1, 1});
    return {std::move(monitors)};
}

bool ArrangementMap::IsEmpty() const {
    for (const Layer& layer : layers)
        if (!layer.empty()) return false;
    for (uint64_t pixels : travelPixels)
        if (pixels != 0) return false;
    return true;
}

void AddLayer(Layer& to, const Layer& more) {
    if (more.empty()) return;
    if (to.empty()) {
        to = more;
        return;
    }
    Layer sum;
    sum.reserve(to.size() + more.size());
    size_t i = 0, j = 0;
    while (i < to.size() || j < more.size()) {
        if (j == more.size() || (i < to.size() && to[i].cell < more[j].cell)) {
            sum.push_back(to[i++]);
        } else if (i == to.size() || more[j].cell < to[i].cell) {
            sum.push_back(more[j++]);
        } else {
            sum.push_back({to[i].cell, to[i].count + more[j].count});
            ++i;
            ++j;
        }
    }
    to = std::move(sum);
}

void AddMaps(ScreenMaps& to, const ScreenMaps& more) {
    for (const ArrangementMap& map : more) {
        ArrangementMap* into = nullptr;
        for (ArrangementMap& have : to)
            if (have.arrangement.SameAs(map.arrangement)) into = &have;
        if (!into) {
            to.push_back(map);
            continue;
        }
        for (int layer = 0; layer < kMapLayers; ++layer) AddLayer(into->layers[layer], map.layers[layer]);
        into->travelPixels.resize(into->arrangement.monitors.size());
        for (size_t m = 0; m < map.travelPixels.size() && m < into->travelPixels.size(); ++m)
            into->travelPixels[m] += map.travelPixels[m];
        // A size the monitor told later is as good as one told first.
        for (size_t m = 0; m < into->arrangement.monitors.size(); ++m) {
            Monitor& have = into->arrangement.monitors[m];
            if (have.widthMm == 0) {
                have.widthMm = map.arrangement.monitors[m].widthMm;
                have.heightMm = map.arrangement.monitors[m].heightMm;
            }
        }
    }
}

// ---- the file ----

namespace {

constexpr char kMagic[8] = {'Q', 'M', 'S', 'C', 'R', 'E', 'E', 'N'};
constexpr size_t kHeadBytes = 24, kCheckBytes = 8;

void PutFixed64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutVarint(std::string& out, uint64_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<char>(v));
}
void PutSigned(std::string& out, int32_t v) {
    const uint32_t u = v;
    PutVarint(out, (u << 1) ^ (v < 0 ? 0xFFFFFFFFu : 0u));
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    uint64_t Fixed64() {
        if (bytes_.size() - at_ < 8) Fail("the file ends early");
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
        at_ += 8;
        return v;
    }
    uint64_t Varint(uint64_t largest) {
        uint64_t v = 0;
        for (int shift = 0;; shift += 7) {
            if (at_ == bytes_.size()) Fail("the file ends early");
            if (shift > 63) Fail("a number is too long");
            const auto byte = static_cast<unsigned char>(bytes_[at_++]);
            if (shift == 63 && (byte & 0x7E)) Fail("a number is too large");
            v |= uint64_t{byte & 0x7Fu} << shift;
            if (!(byte & 0x80)) {
                // One way of writing each number: no zero bytes at the end.
                if (byte == 0 && shift > 0) Fail("a number is written too long");
                break;
            }
        }
        if (v > largest) Fail("a number is out of range");
        return v;
    }
    int32_t Signed() {
        const auto u = static_cast<uint32_t>(Varint(0xFFFFFFFFu));
        return static_cast<int32_t>((u >> 1) ^ (0u - (u & 1)));
    }
    bool AtEnd() const { return at_ == bytes_.size(); }
    [[noreturn]] static void Fail(const std::string& problem) { throw ScreenFormatError(problem); }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

}  // namespace

std::string ScreenFileBytes(const ScreenFile& file) {
    std::string out(kMagic, sizeof kMagic);
    out.push_back(1);
    out.push_back(file.base ? 'B' : 'S');
    out.append(6, '\0');
    PutFixed64(out, file.stamp);
    PutVarint(out, file.maps.size());
    for (const ArrangementMap& map : file.maps) {
        PutVarint(out, map.arrangement.monitors.size());
        for (size_t i = 0; i < map.arrangement.monitors.size(); ++i) {
            const Monitor& m = map.arrangement.monitors[i];
            PutSigned(out, m.left);
            PutSigned(out, m.top);
            PutSigned(out, m.right);
            PutSigned(out, m.bottom);
            PutVarint(out, m.widthMm);
            PutVarint(out, m.heightMm);
            PutVarint(out, i < map.travelPixels.size() ? map.travelPixels[i] : 0);
        }
        for (const Layer& layer : map.layers) {
            PutVarint(out, layer.size());
            uint32_t previous = 0;
            for (size_t i = 0; i < layer.size(); ++i) {
                PutVarint(out, i == 0 ? layer[i].cell : layer[i].cell - previous);
                PutVarint(out, layer[i].count);
                previous = layer[i].cell;
            }
        }
    }
    PutFixed64(out, ContentHash(out));
    return out;
}

ScreenFile ParseScreenFile(std::string_view bytes) {
    if (bytes.size() < kHeadBytes + kCheckBytes || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        Reader::Fail("it is no map of the screen");
    if (bytes[8] != 1) Reader::Fail("it is of a version this program does not know");
    if (bytes[9] != 'B' && bytes[9] != 'S') Reader::Fail("its kind is unknown");
    for (size_t i = 10; i < 16; ++i)
        if (bytes[i] != 0) Reader::Fail("its head is damaged");
    const std::string_view body = bytes.substr(0, bytes.size() - kCheckBytes);
    if (Reader(bytes.substr(body.size())).Fixed64() != ContentHash(body)) Reader::Fail("its check does not match");

    ScreenFile file;
    file.base = bytes[9] == 'B';
    Reader in(body.substr(16));
    file.stamp = in.Fixed64();
    const uint64_t arrangements = in.Varint(1024);
    for (uint64_t a = 0; a < arrangements; ++a) {
        ArrangementMap map;
        const uint64_t monitors = in.Varint(kMostMonitors);
        if (monitors == 0) Reader::Fail("an arrangement has no monitor");
        for (uint64_t i = 0; i < monitors; ++i) {
            Monitor m;
            m.left = in.Signed();
            m.top = in.Signed();
            m.right = in.Signed();
            m.bottom = in.Signed();
            m.widthMm = static_cast<uint32_t>(in.Varint(1000000));
            m.heightMm = static_cast<uint32_t>(in.Varint(1000000));
            if (!Usable(m)) Reader::Fail("a monitor's rectangle cannot be");
            map.arrangement.monitors.push_back(m);
            map.travelPixels.push_back(in.Varint(UINT64_MAX));
        }
        for (const ArrangementMap& before : file.maps)
            if (before.arrangement.SameAs(map.arrangement)) Reader::Fail("an arrangement comes twice");
        const uint32_t cells = map.arrangement.CellCount();
        for (Layer& layer : map.layers) {
            const uint64_t count = in.Varint(cells);
            layer.reserve(count);
            uint64_t cell = 0;
            for (uint64_t i = 0; i < count; ++i) {
                const uint64_t step = in.Varint(cells);
                if (i > 0 && step == 0) Reader::Fail("cells are not in ascending order");
                cell += step;
                if (cell >= cells) Reader::Fail("a cell lies off its monitors");
                const uint64_t n = in.Varint(0xFFFFFFFFu);
                if (n == 0) Reader::Fail("a cell counts nothing");
                layer.push_back({static_cast<uint32_t>(cell), static_cast<uint32_t>(n)});
            }
        }
        file.maps.push_back(std::move(map));
    }
    if (!in.AtEnd()) Reader::Fail("bytes follow the maps");
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

bool ReadScreenFileName(std::string_view name, std::string& month, uint32_t& segment, bool* written) {
    std::string m;
    if (name.size() < 18 || !ReadMonthFileName(std::string(kHistoryFolder) + "\\" + std::string(name.substr(0, 7)), "", m))
        return false;
    const std::string_view rest = name.substr(7);
    if (rest == "-screen.map") {
        month = m;
        segment = 0;
        if (written) *written = false;
        return true;
    }
    const bool isNew = rest.ends_with(kWrittenSuffix);
    if (rest.size() != 18 || !rest.starts_with("-screen-") || (!isNew && !rest.ends_with(".map")) ||
        (isNew && !written))
        return false;
    uint32_t n = 0;
    for (char c : rest.substr(8, 6)) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<uint32_t>(c - '0');
    }
    if (n == 0) return false;
    month = m;
    segment = n;
    if (written) *written = isNew;
    return true;
}

std::string ScreenWrittenName(std::string_view month, uint32_t segment) {
    std::string name = ScreenSegmentName(month, segment);
    return name.replace(name.size() - 4, 4, kWrittenSuffix);
}

}  // namespace qm
