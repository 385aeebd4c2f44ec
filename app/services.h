// The platform services the program's routines call, named by what they are
// for. Each routine takes the ones it uses; Main gets them all as Platform.
#pragma once

#include <string>

#include "app/debug_log.h"
#include "core/platform/clock.h"
#include "core/platform/files.h"
#include "core/platform/number_format.h"
#include "core/platform/path_names.h"
#include "core/platform/registry.h"
#include "core/text.h"

namespace qm {

// The program's own folder, beside its executable, and the files in it.
struct ProgramFolder {
    FileSystem& files;
    std::string programPath;  // full path of the running executable

    std::string Folder() const { return FolderOfPath(programPath); }
    std::string Path(const char* fileName) const { return AddBackslash(Folder()) + fileName; }
    std::string StatFile() const { return Path("stat.dat"); }
    std::string History() const { return Path("history.csv"); }
    std::string PendingHistory() const { return Path("history.pending"); }
};

// Where this copy is registered to start with Windows: the Run values.
struct AutorunPlace {
    Registry& registry;
    PathNames& paths;
    const std::string& programPath;
};

// What a save uses: the files beside the program, today's date (the day its
// figures are filed under) and the log for the failures it survives.
struct SaveServices {
    const ProgramFolder& folder;
    const Calendar& calendar;
    DebugLog& log;
};

// Every service, as the program (or a test) builds them once.
struct Platform {
    Platform(FileSystem& files, const Calendar& calendar, TimeSource& clock, Registry& registry, PathNames& paths,
             const NumberFormat& numbers, std::string programPath)
        : folder{files, std::move(programPath)}, calendar(calendar), clock(clock), numbers(numbers),
          autorun{registry, paths, folder.programPath},
          log{files, folder.Folder(), calendar, clock, numbers} {}
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    ProgramFolder folder;
    const Calendar& calendar;
    TimeSource& clock;
    const NumberFormat& numbers;
    AutorunPlace autorun;
    DebugLog log;
    SaveServices save{folder, calendar, log};
};

}  // namespace qm
