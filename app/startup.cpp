#include "app/startup.h"

#include "app/debug_log.h"
#include "core/stat_file.h"
#include "core/text.h"

namespace qm {

namespace {
// A failure's text that names the statistics file, for start-up's messages.
std::string Naming(const std::string& path, const std::string& what) {
    return what.find(path) != std::string::npos ? what : path + ": " + what;
}
}  // namespace

std::string NoLockFileText(const std::string& folder, const std::string& reason) {
    return "Quillmark cannot start in its folder:\n\n" + folder + "\n\nWhile it runs, it keeps the file " +
           kLockFileName + " there, so that no second copy counts into the same statistics, and that file "
           "cannot be created: " + reason +
           "\n\nNothing has been changed. Move Quillmark to a folder you may write to, then start it again.";
}

StartResult Main(AppState& app, Platform& platform, StartupHost& host) {
    const CopyClaim claim = ClaimSingleCopy(host.Locks(), ProgramFilePath(platform, kLockFileName));
    if (claim.refusal == CopyRefusal::NoLockFile) {
        host.ShowMessage(NoLockFileText(FolderOfPath(platform.programPath), claim.reason), MessageIcon::Error);
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

    const std::string path = StatFilePath(platform);
    // Nothing that goes wrong with the file may end the program unexplained.
    const auto cannotLookAt = [&](const std::string& what) {
        host.ShowMessage("Quillmark cannot look at its statistics file:\n\n" + Naming(path, what) +
                             "\n\nThe file has not been changed. Make sure that you may read the file and its "
                             "folder, then start Quillmark again.",
                         MessageIcon::Error);
        return StartResult::Failed;
    };
    const auto cannotCreate = [&](const std::string& what) {
        host.ShowMessage("Quillmark cannot create its statistics file:\n\n" + Naming(path, what) +
                             "\n\nQuillmark needs a folder it may write to. Move it to such a folder and start "
                             "it again.",
                         MessageIcon::Error);
        return StartResult::Failed;
    };
    const auto cannotRead = [&](const std::string& what) {
        host.ShowMessage("Quillmark cannot read its statistics file:\n\n" + Naming(path, what) +
                             "\n\nThe file has not been changed. Correct it, or move it away to start counting "
                             "anew, then start Quillmark again.",
                         MessageIcon::Error);
        return StartResult::Failed;
    };
    // Only a file that is surely missing may be created: anything else might
    // write zeros over the user's figures.
    bool exists = false;
    try {
        exists = FileExists(platform.files, path);
    } catch (const std::exception& e) {
        return cannotLookAt(e.what());
    } catch (...) {
        return cannotLookAt("an unexpected failure");
    }
    try {
        if (!exists) SaveProgramStatistics(app, platform);
    } catch (const std::exception& e) {
        return cannotCreate(e.what());
    } catch (...) {
        return cannotCreate("an unexpected failure");
    }
    try {
        LoadProgramStatistics(app, platform);
    } catch (const std::exception& e) {
        return cannotRead(e.what());
    } catch (...) {
        return cannotRead("an unexpected failure");
    }
    // A save cut off by a crash can leave its temporary file behind. stat.dat
    // has just loaded, so that is the file that counts: the leftover goes.
    platform.files.Remove(TemporaryFilePath(path));
    host.ShowMainWindow();
    host.StartSampler();
    return StartResult::Running;
}

}  // namespace qm
