#include "win32/files.h"

#include <windows.h>

#include <algorithm>

#include "win32/handles.h"
#include "win32/wide.h"

namespace qm::win32 {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD code = GetLastError()) {
    throw FileError(what + " " + path + ": " + ErrorText(code));
}

// The two answers that say a file is surely not there.
bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

class Win32WritableFile : public WritableFile {
public:
    Win32WritableFile(UniqueFile file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}

    void Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            DWORD written = 0;
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
            if (!WriteFile(file_.get(), bytes.data(), chunk, &written, nullptr)) Fail("Cannot write", path_);
            if (written == 0) {
                SetLastError(ERROR_DISK_FULL);
                Fail("Cannot write", path_);
            }
            bytes.remove_prefix(written);
        }
    }
    void Flush() override {
        if (!FlushFileBuffers(file_.get())) Fail("Cannot flush", path_);
    }
    void Close() override {
        if (!file_.close()) Fail("Cannot close", path_);
    }

private:
    UniqueFile file_;
    std::string path_;
};

// Whether a replace that failed with this code may work once another
// program lets go of the target. Windows says "access denied" both for a
// file that another program holds without letting it be deleted (a virus
// scanner, or a file being deleted) and for a read-only file or a folder,
// which no waiting changes: a save to a read-only stat.dat fails at once
// rather than stall the sampler.
bool HeldByAnotherProgram(DWORD code, const std::wstring& target) {
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) return true;
    if (code != ERROR_ACCESS_DENIED) return false;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_ACCESS_DENIED;  // being deleted
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

}  // namespace

std::wstring ExtendedPath(const std::string& path) {
    const std::wstring wide = Widen(path);
    if (wide.empty() || wide.starts_with(L"\\\\?\\") || wide.starts_with(L"\\\\.\\")) return wide;
    std::wstring full(wide.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return wide;  // the file call that follows says what is wrong
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length);  // too small: length is the size needed
    }
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) return full;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return full;
}

void SleepFor(unsigned milliseconds) { Sleep(milliseconds); }

bool Win32FileSystem::Exists(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data)) {
        const DWORD code = GetLastError();
        if (IsMissing(code)) return false;
        Fail("Cannot look at", path, code);
    }
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

FileTail Win32FileSystem::Tail(const std::string& path, size_t count) {
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD code = GetLastError();
        if (IsMissing(code)) return {};
        Fail("Cannot open", path, code);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) Fail("Cannot read", path);
    FileTail tail;
    tail.size = static_cast<uint64_t>(size.QuadPart);
    FILETIME written{};
    if (!GetFileTime(file.get(), nullptr, nullptr, &written)) Fail("Cannot read", path);
    tail.modified = (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    const DWORD take = static_cast<DWORD>(std::min<uint64_t>({count, tail.size, 1u << 20}));
    LARGE_INTEGER from{};
    from.QuadPart = size.QuadPart - take;
    if (!SetFilePointerEx(file.get(), from, nullptr, FILE_BEGIN)) Fail("Cannot read", path);
    tail.bytes.resize(take);
    DWORD read = 0;
    if (take > 0 && !ReadFile(file.get(), tail.bytes.data(), take, &read, nullptr)) Fail("Cannot read", path);
    tail.bytes.resize(read);
    return tail;
}

std::string Win32FileSystem::ReadAll(const std::string& path) {
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("Cannot open", path);
    // Read straight into the text, which grows by doubling (from the file's
    // size, which may still change while it is read): no copy of each block.
    std::string content;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30))
        content.resize(static_cast<size_t>(size.QuadPart) + 1);
    size_t used = 0;
    for (;;) {
        if (used == content.size()) content.resize(content.size() < 32768 ? 65536 : content.size() * 2);
        const DWORD room = static_cast<DWORD>(std::min<size_t>(content.size() - used, 1u << 24));
        DWORD read = 0;
        if (!ReadFile(file.get(), content.data() + used, room, &read, nullptr)) Fail("Cannot read", path);
        if (read == 0) break;
        used += read;
    }
    content.resize(used);
    return content;
}

std::unique_ptr<WritableFile> Win32FileSystem::Create(const std::string& path) {
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("Cannot create", path);
    return std::make_unique<Win32WritableFile>(std::move(file), path);
}

void Win32FileSystem::Replace(const std::string& from, const std::string& to, WhenBusy whenBusy) {
    const std::wstring source = ExtendedPath(from), target = ExtendedPath(to);
    const int retries = whenBusy == WhenBusy::RetryBriefly ? 10 : 0;
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return;
        DWORD code = GetLastError();
        if (!HeldByAnotherProgram(code, target) || attempt >= retries) {
            SetLastError(code);
            Fail("Cannot replace", to);
        }
        pause_(50);
    }
}

void Win32FileSystem::Remove(const std::string& path) noexcept {
    try {
        DeleteFileW(ExtendedPath(path).c_str());
    } catch (...) {
        // Out of memory for the path: the file stays, as with any other failure.
    }
}

void Win32FileSystem::Append(const std::string& path, std::string_view bytes) {
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("Cannot open", path);
    Win32WritableFile writer(std::move(file), path);
    writer.Write(bytes);
    writer.Close();
}

void Win32FileSystem::CreateFolder(const std::string& path) {
    if (CreateDirectoryW(ExtendedPath(path).c_str(), nullptr)) return;
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    }
    Fail("Cannot create the folder", path, code);
}

std::vector<std::string> Win32FileSystem::FileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    UniqueFind find(FindFirstFileExW((ExtendedPath(folder) + L"\\*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return names;
        Fail("Cannot list", folder, code);
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(found.cFileName));
    } while (FindNextFileW(find.get(), &found));
    return names;
}

}  // namespace qm::win32
