#include "bench/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qm::bench {

namespace {

std::string Native(const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw FileError(what + " " + path + ": " + std::strerror(errno));
}

// One open file descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes now; false (errno set) when the close reports an error.
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            Fail("Cannot write", path);
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
}

class PosixWritableFile : public WritableFile {
public:
    PosixWritableFile(int fd, std::string path, uint64_t& written)
        : fd_(fd), path_(std::move(path)), written_(written) {}
    void Write(std::string_view bytes) override {
        WriteAll(fd_.get(), bytes, path_);
        written_ += bytes.size();
    }
    void Flush() override {
        if (::fsync(fd_.get()) != 0) Fail("Cannot flush", path_);
    }
    void Close() override {
        if (!fd_.close()) Fail("Cannot close", path_);
    }

private:
    Descriptor fd_;
    std::string path_;
    uint64_t& written_;
};

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool PosixFileSystem::Exists(const std::string& path) {
    struct stat info {};
    return ::stat(Native(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string PosixFileSystem::ReadAll(const std::string& path) {
    Descriptor fd(::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) Fail("Cannot open", path);
    // Read straight into the text, which grows by doubling: no copy of each block.
    std::string content;
    size_t used = 0;
    for (;;) {
        if (content.size() - used < 16384) content.resize(content.size() < 32768 ? 65536 : content.size() * 2);
        ssize_t got = ::read(fd.get(), content.data() + used, content.size() - used);
        if (got < 0) {
            if (errno == EINTR) continue;
            Fail("Cannot read", path);
        }
        if (got == 0) break;
        used += static_cast<size_t>(got);
    }
    content.resize(used);
    return content;
}

FileTail PosixFileSystem::Tail(const std::string& path, size_t count) {
    Descriptor fd(::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT) return {};
        Fail("Cannot open", path);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) Fail("Cannot read", path);
    FileTail tail;
    tail.size = static_cast<uint64_t>(info.st_size);
    tail.modified = static_cast<uint64_t>(info.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(info.st_mtim.tv_nsec);
    const size_t want = static_cast<size_t>(std::min<uint64_t>(count, tail.size));
    tail.bytes.resize(want);
    const ssize_t got = ::pread(fd.get(), tail.bytes.data(), want, static_cast<off_t>(tail.size - want));
    if (got < 0) Fail("Cannot read", path);
    tail.bytes.resize(static_cast<size_t>(got));
    return tail;
}

std::unique_ptr<WritableFile> PosixFileSystem::Create(const std::string& path) {
    int fd = ::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail("Cannot create", path);
    return std::make_unique<PosixWritableFile>(fd, path, bytesWritten);
}

void PosixFileSystem::Replace(const std::string& from, const std::string& to, WhenBusy) {
    const std::string target = Native(to);
    if (::rename(Native(from).c_str(), target.c_str()) != 0) Fail("Cannot replace", to);
    // The new name is only safe on the disk once the folder is.
    Descriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder || ::fsync(folder.get()) != 0) Fail("Cannot flush the folder of", to);
}

void PosixFileSystem::Remove(const std::string& path) noexcept { ::unlink(Native(path).c_str()); }

void PosixFileSystem::Append(const std::string& path, std::string_view bytes) {
    Descriptor fd(::open(Native(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!fd) Fail("Cannot open", path);
    WriteAll(fd.get(), bytes, path);
    bytesWritten += bytes.size();
    if (!fd.close()) Fail("Cannot close", path);
}

void PosixFileSystem::CreateFolder(const std::string& path) {
    if (::mkdir(Native(path).c_str(), 0755) != 0 && errno != EEXIST) Fail("Cannot create the folder", path);
}

std::vector<std::string> PosixFileSystem::FileNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(Native(folder).c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir))
        if (entry->d_type == DT_REG) names.push_back(entry->d_name);
    ::closedir(dir);
    return names;
}

}  // namespace qm::bench
