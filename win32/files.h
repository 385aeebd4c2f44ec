// Files over Win32, under extended-length paths.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/platform/files.h"

namespace qm::win32 {

// The path in the extended-length form (\\?\C:\..., \\?\UNC\server\share\...)
// that lifts the 259-character limit of the file calls. The system takes such
// a path literally, so it is first made absolute and normalised as for an
// ordinary path ("/" to "\", "." and ".." resolved, the current folder for a
// relative one). A path already in that form, or naming a device (\\.\), is
// left as it is.
std::wstring ExtendedPath(const std::string& path);

// The wait between two tries of a step that another program holds up: Sleep,
// except in tests, which count the waits instead of taking them.
using Pause = std::function<void(unsigned milliseconds)>;
void SleepFor(unsigned milliseconds);

// Files under extended-length paths, so that a program folder deeper than the
// path limit works as any other.
class Win32FileSystem : public FileSystem {
public:
    explicit Win32FileSystem(Pause pause = SleepFor) : pause_(std::move(pause)) {}
    bool Exists(const std::string& path) override;
    std::string ReadAll(const std::string& path) override;
    FileTail Tail(const std::string& path, size_t count) override;
    std::unique_ptr<WritableFile> Create(const std::string& path) override;
    void Replace(const std::string& from, const std::string& to, WhenBusy whenBusy) override;
    void Remove(const std::string& path) noexcept override;
    void Append(const std::string& path, std::string_view bytes) override;
    void CreateFolder(const std::string& path) override;
    std::vector<std::string> FileNames(const std::string& folder) override;

private:
    Pause pause_;
};

}  // namespace qm::win32
