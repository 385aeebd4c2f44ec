// Writes a month's map of the screen for the end-to-end tests of the Screen
// tab, through the program's own file format:
//   qm_screen_fixture FOLDER YYYY-MM WIDTH HEIGHT
// makes FOLDER\history\YYYY-MM-screen.map for one monitor of WIDTH x HEIGHT
// pixels: the cursor's trails between places a person goes to (the menus,
// the taskbar, the middle of the screen), clicks at their ends, and a
// block of 7 x 7 cells in the middle that the cursor passed 37 times each.
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "core/screen_map.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: qm_screen_fixture FOLDER YYYY-MM WIDTH HEIGHT\n");
        return 1;
    }
    const int w = std::stoi(argv[3]), h = std::stoi(argv[4]);
    qm::ArrangementMap map;
    map.arrangement = qm::UsableArrangement({qm::Monitor{0, 0, w, h, 0, 0}});
    std::map<uint32_t, uint32_t> travel, left, right;
    const qm::Point places[] = {{40, 12},          {w / 2, h / 2}, {w - 30, 10},  {60, h - 10},     {w / 3, h / 4},
                                {2 * w / 3, h / 3}, {w - 80, h - 12}, {w / 4, 2 * h / 3}, {w / 2, h - 60}, {20, h / 2}};
    const int n = static_cast<int>(std::size(places));
    uint64_t pixels = 0;
    // A day's worth of trips: the busiest places most often.
    for (int trip = 0; trip < 400; ++trip) {
        const qm::Point from = places[(trip * 7) % n], to = places[(trip * 3 + trip / n) % (trip % 4 == 0 ? 3 : n)];
        // Each trip a little to the side of the last, as a hand never takes one path twice.
        const qm::Point a{from.x + (trip % 9) * 3 - 12, from.y + (trip % 5) * 4 - 8};
        const qm::Point b{to.x - (trip % 7) * 2 + 6, to.y + (trip % 3) * 5 - 5};
        qm::ForEachCellEntered(map.arrangement, a, b, [&](uint32_t cell) { ++travel[cell]; });
        pixels += static_cast<uint64_t>(std::abs(b.x - a.x) + std::abs(b.y - a.y));
        if (b.x >= 0 && b.y >= 0 && b.x < w && b.y < h) {
            const auto cell = static_cast<uint32_t>(map.arrangement.CellAt(b));
            ++(trip % 6 == 5 ? right : left)[cell];
        }
    }
    const int columns = qm::Arrangement::Columns(map.arrangement.monitors[0]);
    const int middleX = w / 2 / qm::kCellPixels, middleY = h / 2 / qm::kCellPixels;
    for (int y = middleY - 3; y <= middleY + 3; ++y)
        for (int x = middleX - 3; x <= middleX + 3; ++x) travel[static_cast<uint32_t>(y * columns + x)] = 37;
    for (const auto& [cell, count] : travel) map.layers[qm::kTravelLayer].push_back({cell, count});
    for (const auto& [cell, count] : left) map.layers[qm::kLeftLayer].push_back({cell, count});
    for (const auto& [cell, count] : right) map.layers[qm::kRightLayer].push_back({cell, count});
    map.travelPixels = {pixels};

    qm::ScreenFile file;
    file.base = true;
    file.maps.push_back(std::move(map));
    const std::string path = std::string(argv[1]) + "\\" + qm::ScreenBaseName(argv[2]);
    std::ofstream out(path, std::ios::binary);
    out << qm::ScreenFileBytes(file);
    out.close();
    if (!out) {
        std::fprintf(stderr, "qm_screen_fixture: %s cannot be written\n", path.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}
