#include "app/save.h"

#include "app/history_ledger.h"
#include "core/atomic_file.h"
#include "core/stat_file.h"

namespace qm {

void SaveProgramStatistics(AppState& app, const SaveServices& s) {
    HistoryBacklog& backlog = app.history;
    // Each figure under the hour it was counted in, however late the save.
    const OwedRows thisSave = UnsavedRows(app.hours, app.stats, s.calendar.Now());
    // The merge, on a copy: when it fails nothing has changed.
    Statistics merged = app.stats;
    const std::vector<CappedField> capped = MergeStatistics(merged);
    const std::string statText = StatFileText(merged.CommonStat, merged.AutorunEnabled);
    const uint64_t statHash = ContentHash(statText);

    // What each file of the history is owed once stat.dat holds this save,
    // and the file as it will be then (when it can be read now).
    HistoryPlan plan = PlanHistory(backlog, s, thisSave);
    // Written before stat.dat, so that a kill between the writes finds what
    // is owed in whichever state stat.dat is.
    WritePending(backlog, s, statHash, plan);
    // The maps of the screen too, as segments that land with stat.dat.
    WriteScreenSegments(app.screenStore, app.screen, s, statHash);

    app.stats = std::move(merged);
    HoursSaved(app.hours, app.stats);
    try {
        WriteFileAtomically(s.folder.files, s.folder.StatFile(), statText);
    } catch (...) {
        // Merged but not written: CommonStat holds these figures now, and the
        // next save that writes stat.dat files them under their hours.
        AddRows(backlog.unwritten, thisSave);
        ScreenSegmentsFailed(app.screenStore);
        throw;
    }
    backlog.unwritten.clear();
    backlog.statHash = statHash;
    // A file that already held the limit when it was loaded is no news.
    if (!app.capNoticeGiven)
        for (const CappedField& c : capped)
            if (!c.wasAlreadyThere) app.capNoticeOwed.push_back(c);
    WriteHistoryFiles(backlog, s, std::move(plan));
    ScreenSegmentsLanded(app.screenStore, s);
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
    HoursSaved(app.hours, app.stats);
    app.runClock.Restart(clock);
}

void ResetCommonStatistics(AppState& app, const SaveServices& s) {
    // All or nothing: a reset whose save fails leaves the figures as they were.
    // The unsaved part goes back to being unsaved, so the history must not
    // hold it as merged either: the next save counts it once.
    const StatRecord common = app.stats.CommonStat, saved = app.stats.SavedStat;
    const OwedRows unwrittenBefore = app.history.unwritten;
    const HourLedger hours = app.hours;
    ClearStatistics(app.stats.CommonStat, s.calendar);
    try {
        SaveProgramStatistics(app, s);
    } catch (...) {
        app.stats.CommonStat = common;
        app.stats.SavedStat = saved;
        app.history.unwritten = unwrittenBefore;
        app.hours = hours;
        throw;
    }
}

void LoadProgramStatistics(AppState& app, const SaveServices& s, const AutorunPlace& autorun) {
    const uint64_t statHash =
        LoadStatistics(app.stats, s.folder.files, s.folder.StatFile(), s.calendar,
                       [&](bool flag) { SetAutorun(flag, autorun.registry, autorun.paths, autorun.programPath); });
    LoadHistoryBacklog(app.history, s, statHash);
    LoadScreenStore(app.screenStore, s, statHash);
}

}  // namespace qm
