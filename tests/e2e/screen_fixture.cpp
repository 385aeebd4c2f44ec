// Writes a month's map of the screen for the end-to-end tests of the Screen
// tab, through the program's own file format:
//   qm_screen_fixture FOLDER YYYY-MM MONITOR...
// makes FOLDER\history\YYYY-MM-screen.map for the monitors given, each as
// LEFT,TOP,RIGHT,BOTTOM[,WIDTH_MM]: the cursor's trails between places a
// person goes to (the corners, the taskbar, the middle of each monitor),
// clicks at their ends, and a block of 7 x 7 cells in the middle of the
// first monitor that the cursor passed 37 times each.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/screen_map.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: qm_screen_fixture FOLDER YYYY-MM LEFT,TOP,RIGHT,BOTTOM[,WIDTH_MM]...\n");
        return 1;
    }
    std::vector<qm::Monitor> monitors;
    for (int i = 3; i < argc; ++i) {
        qm::Monitor m;
        unsigned mm = 0;
        if (std::sscanf(argv[i], "%d,%d,%d,%d,%u", &m.left, &m.top, &m.right, &m.bottom, &mm) < 4) return 1;
        m.widthMm = mm;
        monitors.push_back(m);
    }
    qm::ArrangementMap map;
    map.arrangement = qm::UsableArrangement(monitors);
    std::map<uint32_t, uint32_t> travel, left, right;
    std::vector<qm::Point> places;
    for (const qm::Monitor& m : map.arrangement.monitors) {
        const int x = m.left, y = m.top, w = m.Width(), h = m.Height();
        for (const qm::Point p : {qm::Point{x + 40, y + 12}, {x + w / 2, y + h / 2}, {x + w - 30, y + 10},
                                  {x + 60, y + h - 10}, {x + w / 3, y + h / 4}, {x + 2 * w / 3, y + h / 3},
                                  {x + w - 80, y + h - 12}, {x + w / 4, y + 2 * h / 3}, {x + w / 2, y + h - 60},
                                  {x + 20, y + h / 2}})
            places.push_back(p);
    }
    const int n = static_cast<int>(places.size());
    uint64_t pixels = 0;
    // A day's worth of trips: the busiest places most often.
    for (int trip = 0; trip < 400; ++trip) {
        const qm::Point from = places[(trip * 7) % n], to = places[(trip * 3 + trip / n) % (trip % 4 == 0 ? 3 : n)];
        // Each trip a little to the side of the last, as a hand never takes one path twice.
        const qm::Point a{from.x + (trip % 9) * 3 - 12, from.y + (trip % 5) * 4 - 8};
        const qm::Point b{to.x - (trip % 7) * 2 + 6, to.y + (trip % 3) * 5 - 5};
        qm::ForEachCellEntered(map.arrangement, a, b, [&](uint32_t cell) { ++travel[cell]; });
        pixels += static_cast<uint64_t>(std::abs(b.x - a.x) + std::abs(b.y - a.y));
        if (const int64_t cell = map.arrangement.CellAt(b); cell >= 0)
            ++(trip % 6 == 5 ? right : left)[static_cast<uint32_t>(cell)];
    }
    const qm::Monitor& first = map.arrangement.monitors[0];
    const int columns = qm::Arrangement::Columns(first);
    const int middleX = first.Width() / 2 / qm::kCellPixels, middleY = first.Height() / 2 / qm::kCellPixels;
    for (int y = middleY - 3; y <= middleY + 3; ++y)
        for (int x = middleX - 3; x <= middleX + 3; ++x) travel[static_cast<uint32_t>(y * columns + x)] = 37;
    for (const auto& [layer, counts] :
         {std::pair{qm::kTravelLayer, &travel}, {qm::kLeftLayer, &left}, {qm::kRightLayer, &right}})
        for (const auto& [cell, count] : *counts) map.layers[layer].push_back({cell, count});
    // The path's length shared by the monitors as their widths are.
    int64_t widths = 0;
    for (const qm::Monitor& m : map.arrangement.monitors) widths += m.Width();
    for (const qm::Monitor& m : map.arrangement.monitors)
        map.travelPixels.push_back(pixels * static_cast<uint64_t>(m.Width()) / static_cast<uint64_t>(widths));

    qm::ScreenFile file{true, 0, {std::move(map)}};
    const std::string path = std::string(argv[1]) + "\\" + qm::ScreenBaseName(argv[2]);
    std::ofstream out(path, std::ios::binary);
    out << qm::ScreenFileBytes(file);
    out.close();
    if (!out) std::fprintf(stderr, "qm_screen_fixture: %s cannot be written\n", path.c_str());
    return out ? 0 : 1;
}
