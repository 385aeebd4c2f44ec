#include "app/startup.h"

#include "app/debug_log.h"
#include "app/save.h"
#include "core/stat_file.h"
#include "core/text.h"

namespace qm {

namespace {
// A failure's text that names the statistics file, for start-up's messages.
std::string Naming(const std::string& path, const std::string& what) {
    return what.find(path) != std::string::npos ? what : path + ": " + what;
}

// Runs a step of start-up; false with the reason when it raised.
template <typename Step>
bool Attempt(std::string& what, Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "an unexpected failure";
    }
    return false;
}
}  // namespace

std::string NoLockFileText(const std::string& folder, const std::string& reason) {
    return "Quillmark cannot start in its folder:\n\n" + folder + "\n\nWhile it runs, it keeps the file " +
           kLockFileName + " there, so that no second copy counts into the same statistics, and that file "
           "cannot be created: " + reason +
           "\n\nNothing has been changed. Move Quillmark to a folder you may write to, then start it again.";
}

StartResult Main(AppState& app, Platform& platform, StartupHost& host) {
    const CopyClaim claim = ClaimSingleCopy(host.Locks(), platform.folder.Path(kLockFileName));
    if (claim.refusal == CopyRefusal::NoLockFile) {
        host.ShowMessage(NoLockFileText(platform.folder.Folder(), claim.reason), MessageIcon::Error);
        return StartResult::Failed;
    }
    if (claim.refusal != CopyRefusal::None) {
        // The refusal matters more than its log line.
        platform.log.WriteQuietly(claim.refusal == CopyRefusal::SameSession    ? kPrevInstanceLogText
                                  : claim.refusal == CopyRefusal::SameStatFile ? kSameStatFileLogText
                                                                               : kLockFileHeldLogText);
        host.ShowMessage(kPrevInstanceMessage, MessageIcon::Information);
        return StartResult::Refused;
    }
    host.InitCommonControls();
    app.runClock.Restart(platform.clock);

    const std::string path = platform.folder.StatFile();
    // Nothing that goes wrong with the file may end the program unexplained.
    std::string what;
    const auto failed = [&](const char* doing, const char* advice) {
        host.ShowMessage(std::string("Quillmark cannot ") + doing + " its statistics file:\n\n" + Naming(path, what) +
                             "\n\n" + advice,
                         MessageIcon::Error);
        return StartResult::Failed;
    };
    // Only a file that is surely missing may be created: anything else might
    // write zeros over the user's figures.
    bool exists = false;
    if (!Attempt(what, [&] { exists = FileExists(platform.folder.files, path); }))
        return failed("look at", "The file has not been changed. Make sure that you may read the file and its "
                                 "folder, then start Quillmark again.");
    if (!exists && !Attempt(what, [&] { SaveProgramStatistics(app, platform.save); }))
        return failed("create", "Quillmark needs a folder it may write to. Move it to such a folder and start it "
                                "again.");
    if (!Attempt(what, [&] { LoadProgramStatistics(app, platform.save, platform.autorun); }))
        return failed("read", "The file has not been changed. Correct it, or move it away to start counting anew, "
                              "then start Quillmark again.");
    // A save cut off by a crash can leave its temporary file behind. stat.dat
    // has just loaded, so that is the file that counts: the leftover goes.
    platform.folder.files.Remove(TemporaryFilePath(path));
    host.ShowMainWindow();
    host.StartSampler();
    return StartResult::Running;
}

}  // namespace qm
