// What the run has added to the maps of the screen since the last save.
// The tick only notes its path and its clicks (a few bytes); the cells a
// path entered are worked out when a save takes the notes, so a path across
// a 4K screen costs the tick no more than a short one.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/screen_map.h"

namespace qm {

// One tick's note: the cursor's path, or a click of one layer's button.
struct ScreenNote {
    Point from, to;
    int8_t layer = kTravelLayer;  // kTravelLayer: a path; else a click at `to`
};

struct ScreenLedger {
    Arrangement arrangement = UsableArrangement({});
    std::string month;  // YYYY-MM of the notes
    std::vector<ScreenNote> notes;
    // The notes' cells, worked out, by month: what the next save takes.
    std::map<std::string, ScreenMaps> unsaved;
    // Where the notes are counted, kept between saves (one number a cell).
    std::vector<uint32_t> grid;
};

// The monitors changed: what was noted goes to the arrangement it was noted on.
void SetArrangement(ScreenLedger& ledger, Arrangement arrangement);

// After the tick has counted: the path from `from` to `to` (when the
// cursor moved) and the clicks it counted of each button (codes 1, 2 and
// 4), at `to`, all in month `month` (YYYY-MM-DD or YYYY-MM: the first seven
// characters count). A tick with neither does nothing.
void NoteTick(ScreenLedger& ledger, std::string_view date, Point from, Point to, bool moved, int left, int right,
              int middle);

// Works out what was noted, into `unsaved`.
void SettleNotes(ScreenLedger& ledger);

// What the run has counted since the last save and the ledger holds no
// more: the notes settled, by month.
std::map<std::string, ScreenMaps> TakeUnsaved(ScreenLedger& ledger);

// The same, as it stands, leaving the ledger as it is (for a view).
std::map<std::string, ScreenMaps> UnsavedNow(const ScreenLedger& ledger);

}  // namespace qm
