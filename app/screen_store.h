// The maps of the screen in the save transaction. Each save that has
// something for a month's maps writes it as a new segment before stat.dat,
// under a name that says it has not landed (2026-12-screen-000042.new) and
// stamped with the ContentHash of the stat.dat it is about to write. Once
// stat.dat is written the segment takes its real name (.map). A kill
// between the two leaves a .new file, which start-up keeps exactly when
// stat.dat is the one it was stamped with, and removes otherwise. A save
// thus writes only what it adds, whatever the size of the month's maps;
// when a month has kSegmentsBeforeBase segments, a save folds them into the
// month's base, whose stamp names the last segment it holds, so that a
// kill between writing the base and removing the segments counts none
// twice.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/services.h"
#include "core/screen_map.h"
#include "input/screen_ledger.h"

namespace qm {

inline constexpr uint32_t kSegmentsBeforeBase = 60;

struct ScreenMonthFiles {
    bool known = false;      // the folder has been looked at for this month
    uint32_t base = 0;       // the last segment the base holds (0: none, or no base)
    uint32_t last = 0;       // the last segment there (at least `base`)
    uint32_t written = 0;    // the .new segment this save wrote, until stat.dat lands (0: none)
};

struct ScreenStore {
    // In stat.dat, or about to be with the save under way, and in no map
    // file yet, by month.
    std::map<std::string, ScreenMaps> owed;
    std::map<std::string, ScreenMonthFiles> months;
    std::string lastFailure;
};

// Before stat.dat is written (statHash: the ContentHash it will have): the
// run's notes are settled into what is owed and each month's owed maps are
// written as a .new segment. Never raises; a failure is logged and the
// maps stay owed.
void WriteScreenSegments(ScreenStore& store, ScreenLedger& ledger, const SaveServices& s, uint64_t statHash);

// stat.dat holds the save: the segments land, and a month with enough of
// them is folded into its base. Never raises.
void ScreenSegmentsLanded(ScreenStore& store, const SaveServices& s);
// stat.dat could not be written: what was written stays owed; the next save
// writes it again under the same name.
void ScreenSegmentsFailed(ScreenStore& store);

// At start-up, after stat.dat has loaded (statHash: the ContentHash of its
// bytes): a .new segment left by a kill lands or goes. Never raises.
void LoadScreenStore(ScreenStore& store, const SaveServices& s, uint64_t statHash);

// The months that have map files, ascending (YYYY-MM).
std::vector<std::string> ScreenMonths(const ProgramFolder& folder);

// A month's maps as its files hold them. Raises FileError for a file that
// cannot be read, and ScreenFormatError for a damaged one unless `damaged`
// is given, which is told of it and the maps go on without it.
using DamagedMap = std::function<void(const std::string& file, const ScreenFormatError& error)>;
ScreenMaps ReadScreenMonth(const ProgramFolder& folder, const std::string& month, const DamagedMap& damaged = {});

}  // namespace qm
