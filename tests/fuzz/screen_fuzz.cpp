// Arbitrary bytes as a map file of the screen. Reading either fails with
// ScreenFormatError or gives maps that keep the file's rules (every cell on
// its arrangement, ascending, none zero; one travel figure a monitor); the
// reader takes only what the writer writes, so writing them gives the same
// bytes, and those read back to the same maps.
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <typeinfo>

#include "core/screen_map.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace qm;
using fuzz::Require;

void RequireRules(const ScreenFile& file) {
    for (const ArrangementMap& map : file.maps) {
        const std::vector<Monitor>& monitors = map.arrangement.monitors;
        Require(!monitors.empty() && monitors.size() <= kMostMonitors,
                "an arrangement of " + std::to_string(monitors.size()) + " monitors");
        for (const Monitor& m : monitors) Require(m.Width() > 0 && m.Height() > 0, "an empty monitor");
        Require(map.travelPixels.size() == monitors.size(), "travel figures for other monitors than there are");
        const uint32_t cells = map.arrangement.CellCount();
        for (const Layer& layer : map.layers)
            for (size_t i = 0; i < layer.size(); ++i) {
                Require(layer[i].cell < cells, "a cell beyond its arrangement: " + std::to_string(layer[i].cell));
                Require(layer[i].count > 0, "a cell counted 0");
                Require(i == 0 || layer[i - 1].cell < layer[i].cell, "cells out of order");
            }
    }
}

ScreenFile Parse(std::string_view bytes, const char* what, bool mayFail) {
    try {
        return ParseScreenFile(bytes);
    } catch (const ScreenFormatError& e) {
        if (mayFail) throw;
        fuzz::Fail(std::string(what) + " does not read: " + e.what() + "\n" + fuzz::Printable(bytes));
    } catch (const std::exception& e) {
        fuzz::Fail(std::string(what) + ": the reader raised " + typeid(e).name() + ": " + e.what());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ScreenFile file;
    try {
        file = Parse(bytes, "the input", true);
    } catch (const ScreenFormatError&) {
        return 0;
    }
    RequireRules(file);
    std::string written;
    try {
        written = ScreenFileBytes(file);
    } catch (const std::exception& e) {
        fuzz::Fail(std::string("writing what was read raised ") + e.what());
    }
    const ScreenFile back = Parse(written, "the written file", false);
    Require(back.base == file.base && back.stamp == file.stamp && back.maps == file.maps,
            "the written file reads back as other maps");
    Require(written == bytes, "a file that reads is written with other bytes:\n" + fuzz::Printable(bytes) + "\n" +
                                  fuzz::Printable(written));
    return 0;
}
