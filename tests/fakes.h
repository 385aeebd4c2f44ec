// Fakes of the platform services, for tests.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/save.h"
#include "app/autorun.h"
#include "app/single_copy.h"
#include "core/display.h"
#include "core/platform/clock.h"
#include "core/platform/copy_locks.h"
#include "core/platform/date_format.h"
#include "core/platform/files.h"
#include "core/platform/foreground.h"
#include "core/platform/input_devices.h"
#include "core/platform/number_format.h"
#include "core/platform/path_names.h"
#include "core/platform/registry.h"
#include "input/clock.h"
#include "input/sampler.h"

namespace qm::test {

class FakeCalendar : public Calendar {
public:
    LocalDate today{2026, 12, 7};
    int hour = 5, minute = 37, second = 26;
    std::string now = "12/7/2026 5:37:26 AM";
    LocalDate Today() const override { return today; }
    LocalDateTime Now() const override { return {today, hour, minute, second}; }
    std::string NowText() const override { return now; }
};

// A regional number format with the given separators, grouping by three.
class FakeNumberFormat : public NumberFormat {
public:
    FakeNumberFormat(std::string decimal = ".", std::string thousand = ",") : decimal_(decimal), thousand_(thousand) {}
    std::string Format(double value, int decimals) const override;
    mutable int calls = 0;

private:
    std::string decimal_, thousand_;
};

// United States dates: 12/7/2026; a year and month as 2026-12, so that
// tests see which month was asked for.
class FakeDateFormat : public DateFormat {
public:
    std::string ShortDate(const LocalDate& date) const override;
    std::string YearMonth(int year, int month) const override;
};

// The program was ended (killed, the power cut) at a step of the file system.
// Not a std::exception: nothing in the program may catch it and go on.
struct Killed {};

// Files in memory. Every Create, Write, Flush, Close, Replace and Append is a
// step; with failAtStep = n the n-th step fails (a Write then leaves half its
// bytes). With killAtStep = n the program ends at the n-th step: that step
// and every call after it raise Killed and change nothing (check `killed`
// after a call that may have been killed in Remove, which cannot raise). Exists, ReadAll
// and Tail of a path in `unreadable` fail with the reason given there,
// whether the file is there or not. A path in `held` is open in another
// program without sharing (a spreadsheet): it can be looked at, but not
// read, written, replaced or moved.
class MemoryFileSystem : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> unreadable;
    std::set<std::string> held;
    std::set<std::string> outOfMemory;  // ReadAll of these raises std::bad_alloc, as a 32-bit process short of it
    std::set<std::string> failWrites;  // every write of these files fails (their temporary file cannot be made)
    int failAtStep = 0;  // 0: never
    int killAtStep = 0;  // 0: never
    bool killed = false;
    int steps = 0;
    std::vector<std::string> readWhole;  // the paths given to ReadAll, in order
    std::map<std::string, uint64_t> written;  // by path: the stamp of its last write, as Tail reports it
    uint64_t writeClock = 0;
    std::vector<std::pair<std::string, WhenBusy>> replaced;  // the targets of Replace, with their patience
    std::function<void(const std::string&)> onStep;  // called with each step before it is taken

    bool Exists(const std::string& path) override;
    std::string ReadAll(const std::string& path) override;
    FileTail Tail(const std::string& path, size_t count) override;
    std::unique_ptr<WritableFile> Create(const std::string& path) override;
    void Replace(const std::string& from, const std::string& to, WhenBusy whenBusy) override;
    // Removing a file that is there is a step too; killed there, the file
    // stays and the program ends after the call.
    void Remove(const std::string& path) noexcept override;
    void Append(const std::string& path, std::string_view bytes) override;
    // Folders are there by themselves; creating one is a step (that may fail).
    void CreateFolder(const std::string& path) override;
    std::vector<std::string> FileNames(const std::string& folder) override;

    void Step(const std::string& what);
    void FailIfHeld(const std::string& what, const std::string& path);
};

struct FakeRegistry : Registry {
    // "HKLM\\subkey\\name" -> data
    std::map<std::string, std::string> values;
    bool machineWritable = true;

    static std::string Key(RegistryRoot root, const std::string& subkey, const std::string& name) {
        return std::string(root == RegistryRoot::LocalMachine ? "HKLM\\" : "HKCU\\") + subkey + "\\" + name;
    }
    bool SetStringValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                        const std::string& data) override {
        if (root == RegistryRoot::LocalMachine && !machineWritable) return false;
        values[Key(root, subkey, name)] = data;
        return true;
    }
    bool DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) override {
        if (root == RegistryRoot::LocalMachine && !machineWritable) return false;
        return values.erase(Key(root, subkey, name)) > 0;
    }
    std::optional<std::string> GetStringValue(RegistryRoot root, const std::string& subkey,
                                              const std::string& name) override {
        auto it = values.find(Key(root, subkey, name));
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    // Windows' Startup switch: its entries are the bytes of values under "StartupApproved".
    std::optional<std::vector<uint8_t>> GetStartupApproval(RegistryRoot root, const std::string& name) override {
        auto bytes = GetStringValue(root, "StartupApproved", name);
        return bytes ? std::optional(std::vector<uint8_t>(bytes->begin(), bytes->end())) : std::nullopt;
    }
    bool SetStartupApproval(RegistryRoot root, const std::string& name, const std::vector<uint8_t>& data) override {
        return SetStringValue(root, "StartupApproved", name, std::string(data.begin(), data.end()));
    }
};

// The locks of one machine with several sessions: "Local\" names belong to
// a session, "Global\" names and files to the machine. A file is one file
// under every spelling `sameFile` maps to it.
struct FakeLockSpace {
    std::set<std::string> held;
    std::map<std::string, std::string> sameFile;     // another spelling -> the file's one path
    std::map<std::string, std::string> cannotCreate;  // path -> the system's reason
    std::map<std::string, int> going;  // a lock file being deleted -> the waits until its last holder lets go
    unsigned waitedMs = 0;
};

// One process's view of them, in one session.
struct FakeCopyLocks : CopyLocks {
    FakeLockSpace& space;
    int session;
    std::vector<std::string> claimed;
    FakeCopyLocks(FakeLockSpace& s, int sessionId) : space(s), session(sessionId) {}
    bool Claim(const std::string& name) override {
        const bool local = name.rfind("Local\\", 0) == 0;
        return Take(local ? "session " + std::to_string(session) + ":" + name : name);
    }
    FileLockResult HoldFile(const std::string& path, std::string& reason) override {
        if (auto it = space.cannotCreate.find(path); it != space.cannotCreate.end()) {
            reason = it->second;
            return FileLockResult::Failed;
        }
        if (space.going[path] > 0) return FileLockResult::Going;
        auto it = space.sameFile.find(path);
        return Take("file " + (it == space.sameFile.end() ? path : it->second)) ? FileLockResult::Held
                                                                                : FileLockResult::HeldElsewhere;
    }
    void Pause(unsigned ms) override { space.waitedMs += ms; for (auto& [path, waits] : space.going) --waits; }
    // The process ends, and its locks with it.
    void EndProcess() {
        for (const std::string& key : claimed) space.held.erase(key);
        claimed.clear();
    }

private:
    bool Take(const std::string& key) {
        if (!space.held.insert(key).second) return false;
        claimed.push_back(key);
        return true;
    }
};

// File names as Windows compares them (ASCII letter case aside, enough for
// tests), with `final` mapping spellings to the one the file system resolves.
struct FakePathNames : PathNames {
    std::map<std::string, std::string> final;
    std::vector<std::string> profiles{"C:\\Users\\ann", "C:\\Users"};
    std::string FinalPath(const std::string& path) override {
        auto it = final.find(path);
        return it == final.end() ? path : it->second;
    }
    bool SameName(const std::string& a, const std::string& b) override {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (Upper(a[i]) != Upper(b[i])) return false;
        return true;
    }
    std::vector<std::string> ProfileFolders() override { return profiles; }
    static char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
};

struct FakeCounter : Counter {
    int64_t frequency = 1000;
    int64_t count = 0;
    std::vector<std::string> calls;
    int64_t Frequency() override { calls.push_back("frequency"); return frequency; }
    int64_t Count() override { calls.push_back("count"); return count; }
};

// A clock that gives its scripted readings one after another, then stays at the last.
struct ScriptedClock : TimeSource {
    std::deque<double> readings;
    double now = 0;
    int reads = 0;
    ScriptedClock() = default;
    ScriptedClock(std::initializer_list<double> r) : readings(r) {}
    double HiResSeconds() override {
        ++reads;
        if (!readings.empty()) {
            now = readings.front();
            readings.pop_front();
        }
        return now;
    }
};

// Key bits and cursor positions for the next tick.
// Without a last-input time (the default) every tick scans the keys.
struct ScriptedInput : InputDevices {
    std::vector<int> pressed;             // codes with bit 0 set in the next tick
    std::optional<Point> cursor = Point{0, 0};
    std::optional<uint32_t> lastInput;
    uint32_t now = 0;
    std::vector<int> queried;
    uint16_t GetAsyncKeyState(int code) override {
        queried.push_back(code);
        for (int c : pressed)
            if (c == code) return 1;
        return 0;
    }
    std::optional<Point> GetCursorPos() override { return cursor; }
    std::optional<uint32_t> LastInputMs() override { return lastInput; }
    uint32_t NowMs() override { return now; }
};

// The window in front and the programs of processes; counts what is asked.
struct FakeForeground : Foreground {
    ForegroundWindow window{1, 100};
    std::map<uint32_t, ProgramName> programs{{100, {"notepad.exe", "Notepad"}}};  // by process
    int windowCalls = 0;
    std::vector<uint32_t> lookups;  // processes named, in order
    ForegroundWindow Window() override {
        ++windowCalls;
        return window;
    }
    ProgramName NameOf(const ForegroundWindow& w) override {
        lookups.push_back(w.process);
        const auto it = programs.find(w.process);
        return it == programs.end() ? ProgramName{} : it->second;
    }
};

struct RecordingLabels : LabelSink {
    std::map<ValueLabel, std::string> text;
    std::vector<ValueLabel> writes;
    void SetLabelText(ValueLabel label, const std::string& t) override {
        text[label] = t;
        writes.push_back(label);
    }
};

// The program's platform over the fakes, the program at C:\Q\quillmark.exe.
struct FakePlatform {
    MemoryFileSystem files;
    FakeCalendar calendar;
    ScriptedClock clock;
    FakeRegistry registry;
    FakePathNames paths;
    FakeNumberFormat numbers;
    Platform platform{files, calendar, clock, registry, paths, numbers, "C:\\Q\\quillmark.exe"};
};

}  // namespace qm::test
