#include "ui/month_files.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "core/atomic_file.h"
#include "core/dates.h"
#include "core/history.h"
#include "core/hours.h"

namespace qm::ui {

bool RefreshMonthFile(const ProgramFolder& folder, const std::string& name, uint64_t largest, MonthFileState& state,
                      const std::function<void(std::string_view text, std::string_view month)>& parse,
                      bool wantHash) {
    const std::string path = AddBackslash(folder.Folder()) + name;
    const std::string fileName = name.substr(std::size(kHistoryFolder));
    const std::string month = fileName.substr(0, 7);
    try {
        // Its length and last write tell a file a save has changed.
        std::string seen = "none";
        const bool there = folder.files.Exists(path);
        FileTail tail;
        if (there) {
            tail = folder.files.Tail(path, 0);
            seen = std::to_string(tail.size) + ":" + std::to_string(tail.modified);
        }
        if (seen == state.seen && (!wantHash || state.hash || !there)) return false;
        state = MonthFileState{};
        state.seen = seen;
        if (!there) return true;
        if (tail.size > largest) {
            state.problem = fileName + " is damaged (it is larger than a month's can be)";
            return true;
        }
        const std::string text = folder.files.ReadAll(path);
        if (wantHash) state.hash = ContentHash(text);
        try {
            parse(text, month);
        } catch (const HistoryFormatError& e) {
            state.problem = fileName + " is damaged (" + e.what() + ")";
        }
    } catch (const FileError& e) {
        state = MonthFileState{};  // seen stays empty: tried again next second
        state.problem = fileName + " cannot be read: " + e.what();
    } catch (const std::bad_alloc&) {
        state.problem = fileName + " cannot be read: there is not enough memory for it";
    }
    return true;
}

std::vector<std::string> MonthFilesInFolder(const ProgramFolder& folder, std::string_view suffix,
                                            const std::vector<std::string>& known) {
    std::vector<std::string> names;
    try {
        for (const std::string& name : folder.files.FileNames(AddBackslash(folder.Folder()) + kHistoryFolder)) {
            // YYYY-MM of a real month, then the suffix, nothing else.
            LocalDate first;
            if (name.size() == 7 + suffix.size() && std::string_view(name).substr(7) == suffix &&
                name[4] == '-' && ReadHistoryDate(name.substr(0, 7) + "-01", first))
                names.push_back(std::string(kHistoryFolder) + "\\" + name);
        }
    } catch (const FileError&) {
        // The folder cannot be listed now: the files read before stay.
        names = known;
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> MonthFilesBetween(const LocalDate& first, const LocalDate& last,
                                           std::string (*fileName)(std::string_view)) {
    std::vector<std::string> names;
    for (int64_t m = MonthNumber(HistoryDay(first)); m <= MonthNumber(HistoryDay(last)); ++m) {
        char month[16];
        std::snprintf(month, sizeof month, "%04d-%02d", static_cast<int>(m / 12), static_cast<int>(m % 12 + 1));
        names.push_back(fileName(month));
    }
    return names;
}

}  // namespace qm::ui
