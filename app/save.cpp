#include "app/save.h"

#include <cstdio>
#include <optional>

#include "core/atomic_file.h"
#include "core/pending.h"
#include "core/stat_file.h"
#include "core/text.h"

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


// A failure about one file goes to the log once, until that file has been
// written in between.
void LogOnce(DebugLog& log, std::string& last, const std::string& message) {
    if (last == message) return;
    last = message;
    log.WriteQuietly(message);
}

// history.csv as it will be once it has taken `owed`, and the rows of
// `unless` that it turns out not to hold (added to `owed`). Raises FileError
// while the file cannot be read (a spreadsheet holds it). A damaged file, or
// one too large to be a real history, is moved aside first, for the user to
// look at, and the history starts anew rather than stopping for good.
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

// history.pending for a save about to write stat.dat: what history.csv is
// owed once stat.dat holds the save (and in which history.csv that is
// already there), and what it is owed if the save does not land.
void WritePending(AppState& app, const SaveServices& s, uint64_t statHash, const OwedDays& owedAfter,
                  const std::vector<OwedUnless>& unlessAfter, const std::optional<std::string>& historyAfter) {
    HistoryBacklog& backlog = app.history;
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
        LogOnce(s.log, backlog.lastPendingFailure, "Writing history.pending failed: " + std::string(e.what()));
    }
}

}  // namespace

void SaveProgramStatistics(AppState& app, const SaveServices& s) {
    HistoryBacklog& backlog = app.history;
    // The day on which the save starts, however long its writes take.
    const std::string day = HistoryDate(s.calendar.Today());
    const OwedDays thisSave = {{day, UnsavedFigures(app.stats)}};
    // The merge, on a copy: when it fails nothing has changed.
    Statistics merged = app.stats;
    const std::vector<CappedField> capped = MergeStatistics(merged);
    const std::string statText = StatFileText(merged.CommonStat, merged.AutorunEnabled);
    const uint64_t statHash = ContentHash(statText);

    // What history.csv is owed once stat.dat holds this save, and history.csv
    // as it will be then (when it can be read now).
    OwedDays owedAfter = backlog.owed;
    AddDays(owedAfter, backlog.unwritten);
    AddDays(owedAfter, thisSave);
    std::vector<OwedUnless> unlessAfter = backlog.owedUnless;
    std::optional<std::string> historyAfter;
    if (!owedAfter.empty() || !unlessAfter.empty()) {
        try {
            OwedDays owedSeen = owedAfter;
            std::string history = HistoryWith(s, owedSeen, unlessAfter);
            // history.csv could be read: what was owed unless it held it is decided.
            owedAfter = std::move(owedSeen);
            unlessAfter.clear();
            if (!owedAfter.empty()) historyAfter = std::move(history);
        } catch (const std::exception& e) {
            LogOnce(s.log, backlog.lastFailure, "Writing history.csv failed: " + std::string(e.what()));
        }
    }
    // Written before stat.dat, so that a kill between the two writes finds
    // what is owed in whichever state stat.dat is.
    WritePending(app, s, statHash, owedAfter, unlessAfter, historyAfter);

    app.stats = std::move(merged);
    try {
        WriteFileAtomically(s.folder.files, s.folder.StatFile(), statText);
    } catch (...) {
        // Merged but not written: CommonStat holds these figures now, and the
        // next save that writes stat.dat files them under this day.
        AddDays(backlog.unwritten, thisSave);
        throw;
    }
    backlog.unwritten.clear();
    backlog.owed = std::move(owedAfter);
    backlog.owedUnless = std::move(unlessAfter);
    backlog.statHash = statHash;
    // A file that already held the limit when it was loaded is no news.
    if (!app.capNoticeGiven)
        for (const CappedField& c : capped)
            if (!c.wasAlreadyThere) app.capNoticeOwed.push_back(c);

    if (!historyAfter) return;
    try {
        // Never waits for a file that a spreadsheet may hold for hours.
        WriteFileAtomically(s.folder.files, s.folder.History(), *historyAfter, WhenBusy::FailAtOnce);
    } catch (const std::exception& e) {
        LogOnce(s.log, backlog.lastFailure, "Writing history.csv failed: " + std::string(e.what()));
        return;
    }
    backlog.owed.clear();
    backlog.lastFailure.clear();
    // Nothing is owed any more. (Should the program end before this, the
    // pending file names the history.csv that already holds its rows.)
    s.folder.files.Remove(s.folder.PendingHistory());
}

void LoadHistoryBacklog(AppState& app, const SaveServices& s, uint64_t statHash) {
    HistoryBacklog& backlog = app.history;
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
                    LogOnce(s.log, backlog.lastFailure,
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

namespace {
const char* FigureName(StatField field) {
    switch (field) {
        case StatField::MousePixels: return "Covered pixels on display";
        case StatField::KeysPressed: return "Keys pressed";
        case StatField::LettersTyped: return "Letters typed (the base of the typing speed)";
        case StatField::MouseClicks: return "Mouse clicks";
        case StatField::PassedSeconds: return "Passed Time";
    }
    return "";
}
}  // namespace

std::string CapNoticeText(const std::vector<CappedField>& capped) {
    std::string text;
    for (const CappedField& c : capped) {
        text += std::string("The all-time figure \"") + FigureName(c.field) + "\" has reached " +
                (c.atMaximum ? "2147483647, the most" : "-2147483648, the least") + " that stat.dat can hold. ";
    }
    text += capped.size() > 1 ? "These figures stay there" : "It stays there";
    text += "; every other figure goes on counting and is saved as usual.\n\n"
            "To start the all-time figures anew, choose \"Reset common statistics\" in the File menu.";
    return text;
}

void ResetCurrentStatistics(AppState& app, const SaveServices& s, TimeSource& clock) {
    SaveProgramStatistics(app, s);
    ClearStatistics(app.stats.SavedStat, s.calendar);
    ClearStatistics(app.stats.CurrentStat, s.calendar);
    app.runClock.Restart(clock);
}

void ResetCommonStatistics(AppState& app, const SaveServices& s) {
    // All or nothing: a reset whose save fails leaves the figures as they were.
    // The unsaved part goes back to being unsaved, so the history must not
    // hold it as merged either: the next save counts it once.
    const StatRecord common = app.stats.CommonStat, saved = app.stats.SavedStat;
    const OwedDays unwrittenBefore = app.history.unwritten;
    ClearStatistics(app.stats.CommonStat, s.calendar);
    try {
        SaveProgramStatistics(app, s);
    } catch (...) {
        app.stats.CommonStat = common;
        app.stats.SavedStat = saved;
        app.history.unwritten = unwrittenBefore;
        throw;
    }
}

void LoadProgramStatistics(AppState& app, const SaveServices& s, const AutorunPlace& autorun) {
    const uint64_t statHash =
        LoadStatistics(app.stats, s.folder.files, s.folder.StatFile(), s.calendar,
                       [&](bool flag) { SetAutorun(flag, autorun.registry, autorun.paths, autorun.programPath); });
    LoadHistoryBacklog(app, s, statHash);
}

}  // namespace qm
