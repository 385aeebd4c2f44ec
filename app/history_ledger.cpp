#include "app/history_ledger.h"

#include <cstdio>

#include "core/atomic_file.h"
#include "core/keys.h"
#include "core/pending.h"

namespace qm {

namespace {

bool IsHistoryCsv(const std::string& file) { return file == kHistoryFile; }

// The size above which a file is none the program wrote.
uint64_t LargestOf(const std::string& file) {
    std::string month;
    switch (KindOfFile(file, month)) {
        case HistoryFileKind::History: return kLargestHistoryBytes;
        case HistoryFileKind::Keys: return kLargestKeysBytes;
        case HistoryFileKind::Programs: return kLargestProgramsBytes;
        default: return kLargestMonthBytes;
    }
}

// A name beside `file` that no file has yet, from the local time:
// history-damaged-20261207-093000.csv, history\2026-12-hours-damaged-....csv.
std::string DamagedName(const ProgramFolder& folder, const Calendar& calendar, const std::string& file) {
    const LocalDateTime now = calendar.Now();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.date.year, now.date.month, now.date.day,
                  now.hour, now.minute, now.second);
    const std::string stem = file.substr(0, file.size() - 4) + "-damaged-" + stamp;  // without ".csv"
    std::string name = stem + ".csv";
    for (int n = 2; folder.files.Exists(folder.Path(name.c_str())); ++n) name = stem + "-" + std::to_string(n) + ".csv";
    return name;
}

// Adds each row of `rows` to what each file it belongs in takes.
void Route(const OwedRows& rows, HistoryPlan& plan) {
    for (const auto& [key, figures] : rows) {
        if (figures.IsZero()) continue;
        // A key's presses or a program's share, which the day's row already counts.
        if (key.code != 0 || !key.program.empty()) {
            plan[key.code != 0 ? KeysFileName(MonthOf(key.date)) : ProgramsFileName(MonthOf(key.date))].owed[key] +=
                figures;
            continue;
        }
        plan[kHistoryFile].owed[{key.date, kWholeDay}] += figures;
        if (key.hour != kWholeDay) plan[HoursFileName(MonthOf(key.date))].owed[key] += figures;
    }
}

// The file as it will be once it has taken `owed`, and the rows of
// `unless` that it turns out not to hold (added to `owed`). Raises
// FileError while the file cannot be read.
std::string FileWith(const SaveServices& s, const std::string& file, OwedRows& owed,
                     const std::vector<OwedUnless>& unless) {
    const std::string path = s.folder.Path(file.c_str());
    std::string month;
    const HistoryFileKind kind = KindOfFile(file, month);
    const bool history = kind == HistoryFileKind::History;
    std::optional<std::string> text;
    std::string problem;
    if (s.folder.files.Exists(path)) {
        const uint64_t size = s.folder.files.Tail(path, 0).size;
        const uint64_t largest = LargestOf(file);
        if (history && size > largest)
            problem = TooLargeHistoryText(size);
        else if (!history && size > largest)
            problem = "it is " + std::to_string(size) + " bytes long, more than a month's " +
                      (kind == HistoryFileKind::Keys ? "keys" : kind == HistoryFileKind::Programs ? "programs" : "hours") +
                      " can take (at most " + std::to_string(largest) + " bytes)";
        else
            text = s.folder.files.ReadAll(path);
    }
    const uint64_t hash = text ? ContentHash(*text) : 0;
    for (const OwedUnless& rows : unless)
        if (!text || hash != rows.fileHash) AddRows(owed, rows.rows);
    const auto with = [&](std::string_view t) {
        switch (kind) {
            case HistoryFileKind::History: return HistoryWithAdded(t, DaysOf(owed));
            case HistoryFileKind::Keys: return KeysWithAdded(t, month, owed);
            case HistoryFileKind::Programs: return ProgramsWithAdded(t, month, owed);
            default: return HoursWithAdded(t, month, owed);
        }
    };
    if (text) {
        try {
            return with(*text);
        } catch (const HistoryFormatError& e) {
            problem = e.what();
        }
    }
    if (!problem.empty()) {
        const std::string name = DamagedName(s.folder, s.calendar, file);
        s.folder.files.Replace(path, s.folder.Path(name.c_str()), WhenBusy::FailAtOnce);
        s.log.WriteQuietly(file + " is damaged (" + problem + "); it is kept as " + name + " and a new " + file +
                           " starts");
    }
    switch (kind) {
        case HistoryFileKind::History: return with(HistoryText({}));
        case HistoryFileKind::Keys: return with(KeysText({}));
        case HistoryFileKind::Programs: return with(ProgramsText({}));
        default: return with(HoursText({}));
    }
}

// The sections of history.pending for one file in one state of stat.dat:
// what is owed (and, when known, the file that holds it once written), then
// the rows owed unless the file is a certain one.
void AddPendingSections(std::vector<PendingSection>& sections, uint64_t statHash, const std::string& file,
                        const OwedRows& owed, const std::optional<std::string>& fileWithRows,
                        const std::vector<OwedUnless>& unless) {
    if (!owed.empty()) {
        PendingSection section;
        section.statHash = statHash;
        section.file = file;
        section.rows = owed;
        if (fileWithRows) {
            section.appliedKnown = true;
            section.fileHashWithRows = ContentHash(*fileWithRows);
        }
        sections.push_back(std::move(section));
    }
    for (const OwedUnless& rows : unless) {
        if (rows.rows.empty()) continue;
        PendingSection maybe;
        maybe.statHash = statHash;
        maybe.file = file;
        maybe.appliedKnown = true;
        maybe.fileHashWithRows = rows.fileHash;
        maybe.rows = rows.rows;
        sections.push_back(std::move(maybe));
    }
}

bool OwesNothing(const HistoryBacklog& backlog) {
    for (const auto& [file, owing] : backlog.files)
        if (!owing.owed.empty() || !owing.owedUnless.empty()) return false;
    return true;
}

}  // namespace

OwedRows RowsFor(const std::string& file, const OwedRows& rows) {
    HistoryPlan plan;
    Route(rows, plan);
    return std::move(plan[file].owed);
}

HistoryPlan PlanHistory(HistoryBacklog& backlog, const SaveServices& s, const OwedRows& thisSave) {
    HistoryPlan plan;
    for (const auto& [file, owing] : backlog.files)
        if (!owing.owed.empty() || !owing.owedUnless.empty()) plan[file] = {owing.owed, owing.owedUnless, {}};
    Route(backlog.unwritten, plan);
    Route(thisSave, plan);
    for (auto& [file, p] : plan) {
        try {
            OwedRows seen = p.owed;
            std::string text = FileWith(s, file, seen, p.owedUnless);
            // The file could be read: what was owed unless it held it is decided.
            p.owed = std::move(seen);
            p.owedUnless.clear();
            if (!p.owed.empty()) p.text = std::move(text);
        } catch (const std::exception& e) {
            s.log.WriteOnce(backlog.files[file].lastFailure, "Writing " + file + " failed: " + e.what());
        }
    }
    return plan;
}

void WritePending(HistoryBacklog& backlog, const SaveServices& s, uint64_t statHash, const HistoryPlan& plan) {
    const std::string path = s.folder.PendingHistory();
    std::vector<PendingSection> sections;
    for (const auto& [file, p] : plan) AddPendingSections(sections, statHash, file, p.owed, p.text, p.owedUnless);
    if (sections.empty()) {  // owed now or not, nothing is owed once stat.dat holds this save
        s.folder.files.Remove(path);
        return;
    }
    if (backlog.statHash != 0 && backlog.statHash != statHash) {
        // The state before, even when it owes nothing: it is one of this file's.
        PendingSection before;
        before.statHash = backlog.statHash;
        sections.push_back(std::move(before));
        for (const auto& [file, owing] : backlog.files)
            AddPendingSections(sections, backlog.statHash, file, owing.owed, std::nullopt, owing.owedUnless);
    }
    try {
        WriteFileAtomically(s.folder.files, path, PendingText(sections), WhenBusy::FailAtOnce);
        backlog.lastPendingFailure.clear();
    } catch (const std::exception& e) {
        // stat.dat is saved all the same; memory still holds what is owed and
        // the next save writes this file again.
        s.log.WriteOnce(backlog.lastPendingFailure, "Writing history.pending failed: " + std::string(e.what()));
    }
}

void WriteHistoryFiles(HistoryBacklog& backlog, const SaveServices& s, HistoryPlan&& plan) {
    for (auto& [file, p] : plan) {
        FileBacklog& owing = backlog.files[file];
        owing.owed = std::move(p.owed);
        owing.owedUnless = std::move(p.owedUnless);
    }
    // history.csv first (its name sorts before those in the folder).
    for (auto& [file, p] : plan) {
        if (!p.text) continue;
        FileBacklog& owing = backlog.files[file];
        try {
            if (!IsHistoryCsv(file)) s.folder.files.CreateFolder(s.folder.Path(kHistoryFolder));
            // Never waits for a file that a spreadsheet may hold for hours.
            WriteFileAtomically(s.folder.files, s.folder.Path(file.c_str()), *p.text, WhenBusy::FailAtOnce);
        } catch (const std::exception& e) {
            s.log.WriteOnce(owing.lastFailure, "Writing " + file + " failed: " + std::string(e.what()));
            continue;
        }
        owing.owed.clear();
        owing.lastFailure.clear();
    }
    std::erase_if(backlog.files, [](const auto& entry) {
        const FileBacklog& owing = entry.second;
        return owing.owed.empty() && owing.owedUnless.empty() && owing.lastFailure.empty();
    });
    // Nothing is owed any more. (Should the program end before this, the
    // pending file names the files that already hold their rows.)
    if (OwesNothing(backlog)) s.folder.files.Remove(s.folder.PendingHistory());
}

void LoadHistoryBacklog(HistoryBacklog& backlog, const SaveServices& s, uint64_t statHash) {
    backlog.unwritten.clear();
    backlog.files.clear();
    const std::string path = s.folder.PendingHistory();
    backlog.statHash = statHash;
    try {
        if (!s.folder.files.Exists(path)) return;
        const uint64_t size = s.folder.files.Tail(path, 0).size;
        if (size > kLargestPendingBytes) {
            s.log.WriteQuietly("history.pending is " + std::to_string(size) + " bytes long, more than it can " +
                               "really hold; what it holds is not added to the history");
            return;
        }
        // Each file's hash, read once, when a section asks whether it holds its rows.
        struct Seen {
            std::optional<uint64_t> hash;  // none when the file is not there
            std::string unreadable;
        };
        std::map<std::string, Seen> seen;
        auto holds = [&](const std::string& file, uint64_t hash) -> std::optional<bool> {
            auto it = seen.find(file);
            if (it == seen.end()) {
                Seen look;
                const std::string filePath = s.folder.Path(file.c_str());
                const uint64_t largest = LargestOf(file);
                try {
                    if (s.folder.files.Exists(filePath) && s.folder.files.Tail(filePath, 0).size <= largest)
                        look.hash = ContentHash(s.folder.files.ReadAll(filePath));
                } catch (const FileError& e) {
                    look.unreadable = e.what();
                }
                it = seen.emplace(file, std::move(look)).first;
            }
            if (!it->second.unreadable.empty()) return std::nullopt;
            return it->second.hash && *it->second.hash == hash;
        };
        bool anyRows = false, mine = false;
        for (PendingSection& section : ParsePending(s.folder.files.ReadAll(path))) {
            anyRows = anyRows || !section.rows.empty();
            if (section.statHash != backlog.statHash) continue;
            mine = true;
            FileBacklog& owing = backlog.files[section.file];
            if (section.appliedKnown) {
                // Ended after the file took the rows and before this file went?
                const std::optional<bool> held = holds(section.file, section.fileHashWithRows);
                if (held == true) continue;
                if (!held) {
                    // Not known until the file can be read: kept with its condition.
                    s.log.WriteOnce(owing.lastFailure,
                                    section.file + " could not be read to see whether it holds what history.pending "
                                                   "owes it (" + seen[section.file].unreadable +
                                        "); the first save that can read it decides");
                    owing.owedUnless.push_back({section.fileHashWithRows, std::move(section.rows)});
                    continue;
                }
            }
            AddRows(owing.owed, section.rows);
        }
        if (anyRows && !mine)
            s.log.WriteQuietly("history.pending belongs to another stat.dat than the one there now; what it holds "
                               "is not added to the history");
    } catch (const std::exception& e) {
        backlog.files.clear();
        s.log.WriteQuietly("history.pending cannot be used (" + std::string(e.what()) +
                           "); what it holds is not added to the history");
    }
}

bool NotYetInNeedsHash(const AppState& app, const std::string& file) {
    const auto it = app.history.files.find(file);
    return it != app.history.files.end() && !it->second.owedUnless.empty();
}

OwedRows NotYetIn(const AppState& app, const std::string& file, std::optional<uint64_t> fileHash,
                  const Calendar& calendar) {
    OwedRows rows = RowsFor(file, app.history.unwritten);
    if (const auto it = app.history.files.find(file); it != app.history.files.end()) {
        AddRows(rows, it->second.owed);
        for (const OwedUnless& maybe : it->second.owedUnless)
            if (!fileHash || *fileHash != maybe.fileHash) AddRows(rows, maybe.rows);
    }
    AddRows(rows, RowsFor(file, UnsavedRows(app.hours, app.stats, calendar.Now())));
    return rows;
}

}  // namespace qm
