#include "win32/platform.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "win32/handles.h"
#include "win32/wide.h"

namespace qm::win32 {

std::string ProgramPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

int64_t Win32Counter::Frequency() {
    LARGE_INTEGER value{};
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
}

int64_t Win32Counter::Count() {
    LARGE_INTEGER value{};
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

LocalDate Win32Calendar::Today() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

LocalDateTime Win32Calendar::Now() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {{now.wYear, now.wMonth, now.wDay}, now.wHour, now.wMinute, now.wSecond};
}

std::string Win32Calendar::NowText() const {
    wchar_t date[128] = {}, time[128] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128, nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, time, 128);
    return Narrow(date) + " " + Narrow(time);
}

namespace {
std::wstring LocaleText(const wchar_t* locale, LCTYPE type, const wchar_t* fallback) {
    wchar_t buffer[64] = {};
    if (GetLocaleInfoEx(locale, type, buffer, 64) == 0) return fallback;
    return buffer;
}
UINT LocaleNumber(const wchar_t* locale, LCTYPE type, UINT fallback) {
    DWORD value = 0;
    if (GetLocaleInfoEx(locale, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&value),
                        sizeof value / sizeof(wchar_t)) == 0)
        return fallback;
    return value;
}
// LOCALE_SGROUPING ("3;0", "3;2;0", "3") as the number NUMBERFMT wants (3, 32, 30).
UINT GroupingNumber(const std::wstring& grouping) {
    UINT number = 0;
    bool endsInZero = grouping.size() >= 2 && grouping.compare(grouping.size() - 2, 2, L";0") == 0;
    std::wstring digits = endsInZero ? grouping.substr(0, grouping.size() - 2) : grouping;
    for (wchar_t c : digits)
        if (c >= L'0' && c <= L'9') number = number * 10 + static_cast<UINT>(c - L'0');
    return endsInZero ? number : number * 10;
}
}  // namespace

Win32NumberFormat::Win32NumberFormat(const wchar_t* localeName)
    : userDefault_(localeName == LOCALE_NAME_USER_DEFAULT), locale_(localeName ? localeName : L"") {
    Reload();
}

const wchar_t* Win32NumberFormat::LocaleName() const {
    return userDefault_ ? LOCALE_NAME_USER_DEFAULT : locale_.c_str();
}

void Win32NumberFormat::Reload() {
    decimal_ = LocaleText(LocaleName(), LOCALE_SDECIMAL, L".");
    thousand_ = LocaleText(LocaleName(), LOCALE_STHOUSAND, L",");
    grouping_ = GroupingNumber(LocaleText(LocaleName(), LOCALE_SGROUPING, L"3;0"));
    leadingZero_ = LocaleNumber(LocaleName(), LOCALE_ILZERO, 1);
    negativeOrder_ = LocaleNumber(LocaleName(), LOCALE_INEGNUMBER, 1);
}

std::string Win32NumberFormat::Format(double value, int decimals) const {
    // The plain number, rounded once, as GetNumberFormatEx wants it: digits and ".".
    char plain[400];
    std::snprintf(plain, sizeof plain, "%.*f", decimals, value);
    std::wstring input = Widen(plain);
    NUMBERFMTW format{};
    format.NumDigits = static_cast<UINT>(decimals);
    format.LeadingZero = leadingZero_;
    format.Grouping = grouping_;
    format.lpDecimalSep = const_cast<wchar_t*>(decimal_.c_str());
    format.lpThousandSep = const_cast<wchar_t*>(thousand_.c_str());
    format.NegativeOrder = negativeOrder_;
    wchar_t output[512];
    if (GetNumberFormatEx(LocaleName(), 0, input.c_str(), &format, output, 512) == 0) return plain;
    return Narrow(output);
}

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
    std::string content;
    char buffer[4096];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) Fail("Cannot read", path);
        if (read == 0) break;
        content.append(buffer, read);
    }
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
        bool busy = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_ACCESS_DENIED;
        if (!busy || attempt >= retries) {
            SetLastError(code);
            Fail("Cannot replace", to);
        }
        Sleep(50);
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

namespace {
HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}
}  // namespace

bool Win32Registry::SetStringValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                                   const std::string& data) {
    UniqueKey key;
    if (RegCreateKeyExW(RootKey(root), Widen(subkey).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring text = Widen(data);
    // REG_SZ data includes its terminating NUL.
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) {
    UniqueKey key;
    if (RegOpenKeyExW(RootKey(root), Widen(subkey).c_str(), 0, KEY_SET_VALUE, key.out()) != ERROR_SUCCESS)
        return false;
    return RegDeleteValueW(key.get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

std::optional<std::string> Win32Registry::GetStringValue(RegistryRoot root, const std::string& subkey,
                                                         const std::string& name) {
    UniqueKey key;
    if (RegOpenKeyExW(RootKey(root), Widen(subkey).c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring valueName = Widen(name);
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcsnlen(text.c_str(), text.size()));
    return Narrow(text);
}

std::string Win32PathNames::FinalPath(const std::string& path) {
    // Opening asks for no access, so a folder or a file in use opens too.
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return path;
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file.get(), final.data(), static_cast<DWORD>(final.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return path;
        if (length < final.size()) {
            final.resize(length);
            break;
        }
        final.resize(length + 1);
    }
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0)
        final = L"\\\\" + final.substr(8);
    else if (final.rfind(L"\\\\?\\", 0) == 0)
        final = final.substr(4);
    return Narrow(final);
}

bool Win32PathNames::SameName(const std::string& a, const std::string& b) {
    const std::wstring wa = Widen(a), wb = Widen(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()),
                                TRUE) == CSTR_EQUAL;
}

std::vector<std::string> Win32PathNames::ProfileFolders() {
    std::vector<std::string> folders;
    wchar_t buffer[32768];
    const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", buffer, 32768);
    if (length > 0 && length < 32768) folders.push_back(Narrow(buffer));
    // The folder that holds every profile, as "%SystemDrive%\\Users".
    const std::optional<std::string> profiles = Win32Registry().GetStringValue(
        RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
        "ProfilesDirectory");
    if (profiles && !profiles->empty()) {
        const DWORD expanded = ExpandEnvironmentStringsW(Widen(*profiles).c_str(), buffer, 32768);
        if (expanded > 1 && expanded <= 32768) folders.push_back(Narrow(buffer));
    }
    return folders;
}

uint16_t Win32Input::GetAsyncKeyState(int virtualKey) {
    return static_cast<uint16_t>(::GetAsyncKeyState(virtualKey));
}

std::optional<Point> Win32Input::GetCursorPos() {
    POINT p{};
    if (!::GetCursorPos(&p)) return std::nullopt;
    return Point{p.x, p.y};
}

}  // namespace qm::win32
