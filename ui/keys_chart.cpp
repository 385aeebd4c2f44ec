#include "ui/keys_chart.h"

#include <algorithm>

namespace qm::ui {

namespace {

bool IsClick(int code) { return code == 1 || code == 2; }

}  // namespace

KeysChart BuildKeysChart(const std::map<int, int64_t>& totals, KeysPeriod period, const KeyboardLayout& layout) {
    KeysChart chart;
    chart.period = period;
    chart.iso = layout.HasIsoKey();
    for (const auto& [code, count] : totals) {
        if (code < 1 || code > 255 || count < 1) continue;
        chart.totals[code] = count;
        if (IsClick(code)) chart.clicks += count;
        else if (code >= 3) {
            chart.keyPresses += count;
            ++chart.keysPressed;
        }
    }
    auto countOf = [&](int code) {
        auto it = chart.totals.find(code);
        return it == chart.totals.end() ? int64_t{0} : it->second;
    };
    std::vector<bool> placed(256, false);
    for (const Cap& cap : KeyboardCaps(chart.iso)) {
        CapFigure figure;
        figure.code = cap.code;
        if (cap.scan != 0) {
            const int code = layout.CodeAt(cap.scan);
            if (code > 0 && code <= 255) figure.code = code;
            figure.label = layout.CapLabel(figure.code);
        }
        if (figure.label.empty()) figure.label = FixedCapLabel(figure.code);
        figure.count = countOf(figure.code);
        placed[static_cast<size_t>(figure.code)] = true;
        int64_t& max = cap.block == KeyBlock::Mouse ? chart.maxMouse : chart.maxKeys;
        max = std::max(max, figure.count);
        chart.caps.push_back(std::move(figure));
    }
    for (const auto& [code, count] : chart.totals)
        if (!placed[static_cast<size_t>(code)]) chart.unplaced.push_back({code, KeyName(code), count});
    std::stable_sort(chart.unplaced.begin(), chart.unplaced.end(),
                     [](const UnplacedKey& a, const UnplacedKey& b) { return a.count > b.count; });
    return chart;
}

Rgb CapColour(const KeysChart& chart, int cap) {
    if (cap < 0 || cap >= static_cast<int>(chart.caps.size())) return kNeutralCap;
    const bool mouse = KeyboardCaps(chart.iso)[static_cast<size_t>(cap)].block == KeyBlock::Mouse;
    return HeatColour(chart.caps[static_cast<size_t>(cap)].count, mouse ? chart.maxMouse : chart.maxKeys);
}

std::string KeysDetailText(const KeysChart& chart, int code, const NumberFormat& numbers) {
    auto whole = [&](int64_t n) { return numbers.Format(static_cast<double>(n), 0); };
    const std::string period = kKeysPeriodNames[static_cast<int>(chart.period)];
    if (code < 1 || code > 255) {
        if (chart.keyPresses == 0) return period + ": no key presses";
        int most = 0;
        for (const auto& [c, count] : chart.totals)
            if (c >= 3 && (most == 0 || count > chart.totals.at(most))) most = c;
        return period + ": " + whole(chart.keyPresses) + " key presses on " + std::to_string(chart.keysPressed) +
               (chart.keysPressed == 1 ? " key" : " keys") + "; most pressed: " + KeyName(most) + " with " +
               whole(chart.totals.at(most));
    }
    // The layout's name first where it differs: "Й (Q)".
    std::string name = KeyName(code);
    for (const CapFigure& cap : chart.caps)
        if (cap.code == code && !cap.label.empty() && cap.label != name && cap.label != FixedCapLabel(code)) {
            name = cap.label + " (" + name + ")";
            break;
        }
    if (code == 0x0D) name += " (main and keypad)";
    auto it = chart.totals.find(code);
    const int64_t count = it == chart.totals.end() ? 0 : it->second;
    const bool click = IsClick(code);
    if (count == 0) return name + ": no " + (click ? "clicks" : "presses");
    std::string text = name + ": " + whole(count) + (click ? (count == 1 ? " click" : " clicks")
                                                           : (count == 1 ? " press" : " presses"));
    const int64_t all = click ? chart.clicks : chart.keyPresses;
    text += ", " + numbers.Format(100.0 * static_cast<double>(count) / static_cast<double>(all), 1) + "% of " +
            (click ? "clicks" : "key presses");
    if (code < 3) return text;
    int rank = 1;  // equal counts share a rank
    for (const auto& [c, n] : chart.totals)
        if (c >= 3 && n > count) ++rank;
    return text + ", rank " + std::to_string(rank) + " of " + std::to_string(chart.keysPressed);
}

std::string KeysClipboardText(const KeysChart& chart) {
    std::string text = "Key code\tKey\tPresses\r\n";
    for (const auto& [code, count] : chart.totals)
        text += std::to_string(code) + "\t" + KeyName(code) + "\t" + std::to_string(count) + "\r\n";
    return text;
}

}  // namespace qm::ui
