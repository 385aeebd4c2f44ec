// Files on a POSIX system, so that the program's own file code (the atomic
// save of stat.dat and everything built on it) runs natively, for the
// benchmarks. Paths are the program's: "\" separates folders as "/" does.
// A replacement renames and then syncs the folder, as durable as the
// write-through move of the Windows build.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/platform/files.h"

namespace qm::bench {

class PosixFileSystem : public FileSystem {
public:
    bool Exists(const std::string& path) override;
    std::string ReadAll(const std::string& path) override;
    FileTail Tail(const std::string& path, size_t count) override;
    std::unique_ptr<WritableFile> Create(const std::string& path) override;
    void Replace(const std::string& from, const std::string& to, WhenBusy whenBusy) override;
    void Remove(const std::string& path) noexcept override;
    void Append(const std::string& path, std::string_view bytes) override;
    void CreateFolder(const std::string& path) override;
    std::vector<std::string> FileNames(const std::string& folder) override;

    uint64_t bytesWritten = 0;  // by Create's files and Append, for what a save costs the disk
};

}  // namespace qm::bench
