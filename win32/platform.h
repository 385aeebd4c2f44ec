// Thin Win32 implementations of the platform interfaces.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/autorun.h"
#include "core/platform.h"
#include "input/clock.h"
#include "input/sampler.h"

namespace qm::win32 {

// Full path of the running executable (UTF-8).
std::string ProgramPath();

class Win32Counter : public Counter {
public:
    int64_t Frequency() override;
    int64_t Count() override;
};

class Win32Calendar : public Calendar {
public:
    LocalDate Today() const override;
    LocalDateTime Now() const override;
    std::string NowText() const override;
};

// Numbers in the regional format of a locale (the user's by default). The
// format is read once, when the object is made, and on Reload.
class Win32NumberFormat : public NumberFormat {
public:
    explicit Win32NumberFormat(const wchar_t* localeName = LOCALE_NAME_USER_DEFAULT);
    std::string Format(double value, int decimals) const override;
    void Reload();

private:
    const wchar_t* LocaleName() const;

    bool userDefault_;
    std::wstring locale_;
    std::wstring decimal_;
    std::wstring thousand_;
    UINT grouping_ = 3;
    UINT leadingZero_ = 1;
    UINT negativeOrder_ = 1;
};

// The path in the extended-length form (\\?\C:\..., \\?\UNC\server\share\...)
// that lifts the 259-character limit of the file calls. The system takes such
// a path literally, so it is first made absolute and normalised as for an
// ordinary path ("/" to "\", "." and ".." resolved, the current folder for a
// relative one). A path already in that form, or naming a device (\\.\), is
// left as it is.
std::wstring ExtendedPath(const std::string& path);

// Files under extended-length paths, so that a program folder deeper than the
// path limit works as any other.
class Win32FileSystem : public FileSystem {
public:
    bool Exists(const std::string& path) override;
    std::string ReadAll(const std::string& path) override;
    FileTail Tail(const std::string& path, size_t count) override;
    std::unique_ptr<WritableFile> Create(const std::string& path) override;
    void Replace(const std::string& from, const std::string& to, WhenBusy whenBusy) override;
    void Remove(const std::string& path) noexcept override;
    void Append(const std::string& path, std::string_view bytes) override;
};

class Win32Registry : public Registry {
public:
    bool SetStringValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                        const std::string& data) override;
    bool DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) override;
    std::optional<std::string> GetStringValue(RegistryRoot root, const std::string& subkey,
                                              const std::string& name) override;
};

class Win32PathNames : public PathNames {
public:
    std::string FinalPath(const std::string& path) override;
    bool SameName(const std::string& a, const std::string& b) override;
    std::vector<std::string> ProfileFolders() override;
};

class Win32Input : public InputDevices {
public:
    uint16_t GetAsyncKeyState(int virtualKey) override;
    std::optional<Point> GetCursorPos() override;
};

}  // namespace qm::win32
