#include "app/screen_store.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/atomic_file.h"
#include "core/hours.h"

namespace qm {

namespace {

std::string InFolder(const std::string& name) { return std::string(kHistoryFolder) + "\\" + name; }

ScreenFile ReadScreenFile(const ProgramFolder& folder, const std::string& file) {
    const std::string path = folder.Path(file.c_str());
    const uint64_t size = folder.files.Tail(path, 0).size;
    if (size > kLargestScreenBytes)
        throw ScreenFormatError(file + " is " + std::to_string(size) + " bytes long, more than a month's maps take");
    try {
        return ParseScreenFile(folder.files.ReadAll(path));
    } catch (const ScreenFormatError& e) {
        throw ScreenFormatError(file + " is damaged: " + e.what());
    }
}

// The map files of one month in the history folder.
struct MonthListing {
    bool hasBase = false;
    std::vector<uint32_t> segments;  // landed, ascending
};

MonthListing ListMonth(const ProgramFolder& folder, const std::string& month) {
    MonthListing listing;
    for (const std::string& name : folder.files.FileNames(folder.Path(kHistoryFolder))) {
        std::string of;
        uint32_t segment = 0;
        if (!ReadScreenFileName(name, of, segment) || of != month) continue;
        if (segment == 0)
            listing.hasBase = true;
        else
            listing.segments.push_back(segment);
    }
    std::sort(listing.segments.begin(), listing.segments.end());
    return listing;
}

// A damaged map file goes aside for the user to look at, under a name the
// maps never read (history\2026-12-screen-damaged-20261207-093000.map), and
// the month goes on without it.
void SetAside(const SaveServices& s, const std::string& file, const std::string& problem) {
    const LocalDateTime now = s.calendar.Now();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "-damaged-%04d%02d%02d-%02d%02d%02d", now.date.year, now.date.month,
                  now.date.day, now.hour, now.minute, now.second);
    const std::string stem = file.substr(0, std::string(kHistoryFolder).size() + 1 + 14) + stamp;
    std::string name = stem + ".map";
    for (int n = 2; s.folder.files.Exists(s.folder.Path(name.c_str())); ++n) name = stem + "-" + std::to_string(n) + ".map";
    s.folder.files.Replace(s.folder.Path(file.c_str()), s.folder.Path(name.c_str()), WhenBusy::RetryBriefly);
    s.log.WriteQuietly(problem + "; it is kept as " + name + " and the maps go on without it");
}

// Which segments a month has, once a run: the base's stamp and the last one.
ScreenMonthFiles& Look(ScreenStore& store, const SaveServices& s, const std::string& month) {
    const ProgramFolder& folder = s.folder;
    ScreenMonthFiles& files = store.months[month];
    if (files.known) return files;
    const MonthListing listing = ListMonth(folder, month);
    if (listing.hasBase) {
        try {
            files.base = static_cast<uint32_t>(ReadScreenFile(folder, ScreenBaseName(month)).stamp);
        } catch (const ScreenFormatError& e) {
            SetAside(s, ScreenBaseName(month), e.what());
        }
    }
    files.last = std::max(files.base, listing.segments.empty() ? 0u : listing.segments.back());
    files.known = true;
    return files;
}

// The month's segments into its base: the base first (its stamp says which
// segments it holds), then the segments go.
void Fold(ScreenStore& store, const SaveServices& s, const std::string& month) {
    ScreenMonthFiles& files = store.months[month];
    ScreenFile base{true, files.last, ReadScreenMonth(s.folder, month, [&](const std::string& file, const ScreenFormatError& e) {
        SetAside(s, file, e.what());
    })};
    WriteFileAtomically(s.folder.files, s.folder.Path(ScreenBaseName(month).c_str()), ScreenFileBytes(base));
    files.base = files.last;
    const MonthListing listing = ListMonth(s.folder, month);
    for (uint32_t segment : listing.segments)
        if (segment <= files.base) s.folder.files.Remove(s.folder.Path(ScreenSegmentName(month, segment).c_str()));
}

}  // namespace

void WriteScreenSegments(ScreenStore& store, ScreenLedger& ledger, const SaveServices& s, uint64_t statHash) {
    for (auto& [month, maps] : TakeUnsaved(ledger)) AddMaps(store.owed[month], maps);
    ScreenSegmentsFailed(store);
    for (const auto& [month, maps] : store.owed) {
        try {
            ScreenMonthFiles& files = Look(store, s, month);
            s.folder.files.CreateFolder(s.folder.Path(kHistoryFolder));
            WriteFileAtomically(s.folder.files, s.folder.Path(ScreenWrittenName(month, files.last + 1).c_str()),
                                ScreenFileBytes({false, statHash, maps}));
            files.written = files.last + 1;
        } catch (const std::exception& e) {
            // Kept owed: the next save writes it with its own.
            s.log.WriteOnce(store.lastFailure, "Writing the maps of the screen of " + month + " failed: " + e.what());
        }
    }
}

void ScreenSegmentsLanded(ScreenStore& store, const SaveServices& s) {
    for (auto& [month, files] : store.months) {
        const uint32_t segment = std::exchange(files.written, 0);
        if (segment == 0) continue;
        try {
            s.folder.files.Replace(s.folder.Path(ScreenWrittenName(month, segment).c_str()),
                                   s.folder.Path(ScreenSegmentName(month, segment).c_str()), WhenBusy::RetryBriefly);
        } catch (const std::exception& e) {
            // Still owed: the next save writes it again under this name, and
            // a start-up before that finds it stamped with this stat.dat.
            s.log.WriteOnce(store.lastFailure, "Writing the maps of the screen of " + month + " failed: " + e.what());
            continue;
        }
        store.owed.erase(month);
        store.lastFailure.clear();
        files.last = segment;
        if (files.last - files.base < kSegmentsBeforeBase) continue;
        try {
            Fold(store, s, month);
        } catch (const std::exception& e) {
            // The segments stay as they are; a later save tries again.
            s.log.WriteOnce(store.lastFailure, "Folding the maps of the screen of " + month + " failed: " + e.what());
        }
    }
}

void ScreenSegmentsFailed(ScreenStore& store) {
    for (auto& [month, files] : store.months) files.written = 0;
}

void LoadScreenStore(ScreenStore& store, const SaveServices& s, uint64_t statHash) {
    store = {};
    try {
        for (const std::string& name : s.folder.files.FileNames(s.folder.Path(kHistoryFolder))) {
            std::string month;
            uint32_t segment = 0;
            bool written = false;
            if (!ReadScreenFileName(name, month, segment, &written) || !written) continue;
            const std::string path = s.folder.Path(InFolder(name).c_str());
            bool landed = false;
            try {
                landed = ReadScreenFile(s.folder, InFolder(name)).stamp == statHash;
            } catch (const ScreenFormatError&) {
            }
            // Written by a save that was ended: it landed when stat.dat is the
            // one the save wrote.
            if (landed)
                s.folder.files.Replace(path, s.folder.Path(ScreenSegmentName(month, segment).c_str()),
                                       WhenBusy::RetryBriefly);
            else
                s.folder.files.Remove(path);
        }
    } catch (const std::exception& e) {
        s.log.WriteQuietly("The maps of the screen could not be looked at: " + std::string(e.what()));
    }
}

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

ScreenMaps ReadScreenMonth(const ProgramFolder& folder, const std::string& month, const DamagedMap& damaged) {
    const MonthListing listing = ListMonth(folder, month);
    ScreenMaps maps;
    uint32_t base = 0;
    const auto read = [&](const std::string& file) -> std::optional<ScreenFile> {
        try {
            return ReadScreenFile(folder, file);
        } catch (const ScreenFormatError& e) {
            if (!damaged) throw;
            damaged(file, e);
            return std::nullopt;
        }
    };
    if (listing.hasBase)
        if (std::optional<ScreenFile> file = read(ScreenBaseName(month))) {
            base = static_cast<uint32_t>(file->stamp);
            maps = std::move(file->maps);
        }
    for (uint32_t segment : listing.segments)
        if (segment > base)
            if (std::optional<ScreenFile> file = read(ScreenSegmentName(month, segment))) AddMaps(maps, file->maps);
    return maps;
}

}  // namespace qm
