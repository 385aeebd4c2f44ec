#include "app/history_ledger.h"

#include <cstdio>

#include "core/atomic_file.h"
#include "core/pending.h"

namespace qm {

namespace {

// A name beside history.csv that no file has yet, from the local time.
std::string DamagedHistoryName(const ProgramFolder& folder, const Calendar& calendar) {
    const LocalDateTime now = calendar.Now();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.date.year, now.date.month, now.date.day,
                  now.hour, now.minute, now.second);
    std::string name = std::string("history-damaged-") + stamp + ".csv";
    for (int n = 2; folder.files.Exists(folder.Path(name.c_str())); ++n)
        name = std::string("history-damaged-") + stamp + "-" + std::to_string(n) + ".csv";
    return name;
}

std::vector<HistoryRow> Rows(const OwedDays& days) {
    std::vector<HistoryRow> rows;
    for (const auto& [date, figures] : days) rows.push_back({date, figures});
    return rows;
}

// The sections of history.pending for one state of stat.dat: what is owed
// (and, when known, the history.csv that holds it once written), then the
// rows owed unless history.csv is a certain one.
void AddPendingSections(std::vector<PendingSection>& sections, uint64_t statHash, const OwedDays& owed,
                        const std::optional<std::string>& historyWithRows, const std::vector<OwedUnless>& unless) {
    PendingSection section;
    section.statHash = statHash;
    section.rows = Rows(owed);
    if (historyWithRows) {
        section.appliedKnown = true;
        section.historyHashWithRows = ContentHash(*historyWithRows);
    }
    sections.push_back(std::move(section));
    for (const OwedUnless& rows : unless) {
        PendingSection maybe;
        maybe.statHash = statHash;
        maybe.appliedKnown = true;
        maybe.historyHashWithRows = rows.historyHash;
        maybe.rows = Rows(rows.days);
        sections.push_back(std::move(maybe));
    }
}

}  // namespace

std::string HistoryWith(const SaveServices& s, OwedDays& owed, const std::vector<OwedUnless>& unless) {
    const std::string path = s.folder.History();
    std::optional<std::string> text;
    std::string problem;
    if (s.folder.files.Exists(path)) {
        const uint64_t size = s.folder.files.Tail(path, 0).size;
        if (size > kLargestHistoryBytes)
            problem = TooLargeHistoryText(size);
        else
            text = s.folder.files.ReadAll(path);
    }
    const uint64_t hash = text ? ContentHash(*text) : 0;
    for (const OwedUnless& rows : unless)
        if (!text || hash != rows.historyHash) AddDays(owed, rows.days);
    if (text) {
        try {
            return HistoryWithAdded(*text, owed);
        } catch (const HistoryFormatError& e) {
            problem = e.what();
        }
    }
    if (!problem.empty()) {
        const std::string name = DamagedHistoryName(s.folder, s.calendar);
        s.folder.files.Replace(path, s.folder.Path(name.c_str()), WhenBusy::FailAtOnce);
        s.log.WriteQuietly("history.csv is damaged (" + problem + "); it is kept as " + name +
                                 " and a new history.csv starts");
    }
    return HistoryWithAdded(HistoryText({}), owed);
}

void WritePending(HistoryBacklog& backlog, const SaveServices& s, uint64_t statHash, const OwedDays& owedAfter,
                  const std::vector<OwedUnless>& unlessAfter, const std::optional<std::string>& historyAfter) {
    const std::string path = s.folder.PendingHistory();
    if (owedAfter.empty() && unlessAfter.empty()) {  // owed now or not, nothing is owed in either state
        s.folder.files.Remove(path);
        return;
    }
    std::vector<PendingSection> sections;
    AddPendingSections(sections, statHash, owedAfter, historyAfter, unlessAfter);
    if (backlog.statHash != 0 && backlog.statHash != statHash)
        AddPendingSections(sections, backlog.statHash, backlog.owed, std::nullopt, backlog.owedUnless);
    try {
        WriteFileAtomically(s.folder.files, path, PendingText(sections), WhenBusy::FailAtOnce);
        backlog.lastPendingFailure.clear();
    } catch (const std::exception& e) {
        // stat.dat is saved all the same; memory still holds what is owed and
        // the next save writes this file again.
        s.log.WriteOnce(backlog.lastPendingFailure, "Writing history.pending failed: " + std::string(e.what()));
    }
}

void LoadHistoryBacklog(HistoryBacklog& backlog, const SaveServices& s, uint64_t statHash) {
    backlog.owed.clear();
    backlog.unwritten.clear();
    backlog.owedUnless.clear();
    const std::string path = s.folder.PendingHistory();
    backlog.statHash = statHash;
    try {
        if (!s.folder.files.Exists(path)) return;
        const uint64_t size = s.folder.files.Tail(path, 0).size;
        if (size > kLargestPendingBytes) {
            s.log.WriteQuietly("history.pending is " + std::to_string(size) + " bytes long, more than it can " +
                                     "really hold; what it holds is not added to history.csv");
            return;
        }
        // history.csv's hash, read once, when a section asks whether it holds its rows.
        std::optional<std::optional<uint64_t>> history;  // outer: not looked at yet; inner: none when it is not there
        std::string unreadable;
        auto holds = [&](uint64_t hash) -> std::optional<bool> {
            if (!history && unreadable.empty()) {
                const std::string historyPath = s.folder.History();
                try {
                    if (s.folder.files.Exists(historyPath) &&
                        s.folder.files.Tail(historyPath, 0).size <= kLargestHistoryBytes)
                        history = ContentHash(s.folder.files.ReadAll(historyPath));
                    else
                        history = std::optional<uint64_t>();
                } catch (const FileError& e) {
                    unreadable = e.what();
                }
            }
            if (!history) return std::nullopt;
            return *history && **history == hash;
        };
        bool anyRows = false, mine = false;
        for (const PendingSection& section : ParsePending(s.folder.files.ReadAll(path))) {
            anyRows = anyRows || !section.rows.empty();
            if (section.statHash != backlog.statHash) continue;
            mine = true;
            OwedDays days;
            for (const HistoryRow& row : section.rows) days[row.date] += row.figures;
            if (section.appliedKnown) {
                // Ended after history.csv took the rows and before this file went?
                const std::optional<bool> held = holds(section.historyHashWithRows);
                if (held == true) continue;
                if (!held) {
                    // Not known until history.csv can be read: kept with its condition.
                    s.log.WriteOnce(backlog.lastFailure,
                            "history.csv could not be read to see whether it holds what history.pending owes it (" +
                                unreadable + "); the first save that can read it decides");
                    backlog.owedUnless.push_back({section.historyHashWithRows, std::move(days)});
                    continue;
                }
            }
            AddDays(backlog.owed, days);
        }
        if (anyRows && !mine)
            s.log.WriteQuietly("history.pending belongs to another stat.dat than the one there now; what it holds "
                                 "is not added to history.csv");
    } catch (const std::exception& e) {
        backlog.owed.clear();
        backlog.owedUnless.clear();
        s.log.WriteQuietly("history.pending cannot be used (" + std::string(e.what()) +
                                 "); what it holds is not added to history.csv");
    }
}

OwedRows HoursNotYetIn(const AppState& app, const std::string& file, std::optional<uint64_t>,
                       const Calendar& calendar) {
    OwedRows rows;
    for (const auto& [key, figures] : UnsavedRows(app.hours, app.stats, calendar.Now()))
        if (HoursFileName(MonthOf(key.date)) == file) rows[key] += figures;
    return rows;
}

}  // namespace qm
