#include "win32/foreground.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "win32/wide.h"

namespace qm::win32 {

ForegroundWindow Win32Foreground::Window() {
    HWND window = GetForegroundWindow();
    if (!window) return {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return {reinterpret_cast<uintptr_t>(window), process};
}

namespace {

// version.dll's calls, from the system folder by its full path: linked at
// start it would be looked for beside the program first, where a download
// folder may hold a planted one.
struct VersionDll {
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    SizeFn size = nullptr;
    InfoFn info = nullptr;
    QueryFn query = nullptr;

    VersionDll() {
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        HMODULE dll = LoadLibraryW((std::wstring(folder) + L"\\version.dll").c_str());  // kept for the run
        if (!dll) return;
        size = reinterpret_cast<SizeFn>(reinterpret_cast<void*>(GetProcAddress(dll, "GetFileVersionInfoSizeW")));
        info = reinterpret_cast<InfoFn>(reinterpret_cast<void*>(GetProcAddress(dll, "GetFileVersionInfoW")));
        query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(dll, "VerQueryValueW")));
    }
    bool Ready() const { return size && info && query; }
};

// The executable's description, in the language its version resource lists first.
std::wstring DescriptionOf(const std::wstring& path) {
    static const VersionDll version;
    if (!version.Ready()) return L"";
    DWORD ignored = 0;
    const DWORD size = version.size(path.c_str(), &ignored);
    if (size == 0) return L"";
    std::vector<unsigned char> data(size);
    if (!version.info(path.c_str(), 0, size, data.data())) return L"";
    struct Translation {
        WORD language, codePage;
    };
    std::vector<Translation> tried;
    Translation* listed = nullptr;
    UINT bytes = 0;
    if (version.query(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&listed), &bytes))
        for (UINT i = 0; listed && i < bytes / sizeof(Translation); ++i) tried.push_back(listed[i]);
    tried.push_back({0x0409, 0x04B0});  // English (US), Unicode: what most executables without a list hold
    tried.push_back({0x0409, 0x04E4});
    for (const Translation& t : tried) {
        wchar_t key[64];
        wsprintfW(key, L"\\StringFileInfo\\%04x%04x\\FileDescription", t.language, t.codePage);
        wchar_t* text = nullptr;
        UINT length = 0;
        if (version.query(data.data(), key, reinterpret_cast<void**>(&text), &length) && text && length > 1)
            return std::wstring(text, wcsnlen(text, length));
    }
    return L"";
}

}  // namespace

ProgramName Win32Foreground::NameOf(const ForegroundWindow& window) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, window.process));
    if (!process) return {};  // a protected process, or access denied
    std::wstring path(32768, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) return {};
    path.resize(length);
    std::wstring file = path.substr(path.find_last_of(L"\\/") + 1);
    if (file.empty()) return {};
    CharLowerBuffW(file.data(), static_cast<DWORD>(file.size()));
    ProgramName name{Narrow(file), Narrow(DescriptionOf(path))};
    seen_[name.program] = path;
    return name;
}

std::wstring Win32Foreground::PathOf(const std::string& program) const {
    const auto exists = [](const std::wstring& path) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    if (const auto it = seen_.find(program); it != seen_.end() && exists(it->second)) return it->second;
    if (program.empty() || program.front() == '(') return L"";  // (no program), (unknown program)
    const std::wstring file = Widen(program);
    const std::wstring appPaths = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + file;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        wchar_t value[MAX_PATH * 2];
        DWORD bytes = sizeof value;
        if (RegGetValueW(root, appPaths.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &bytes) == ERROR_SUCCESS) {
            std::wstring path = value;
            if (path.size() > 1 && path.front() == L'"') path = path.substr(1, path.find(L'"', 1) - 1);
            if (exists(path)) return path;
        }
    }
    wchar_t found[MAX_PATH * 2];
    const DWORD length = SearchPathW(nullptr, file.c_str(), nullptr, MAX_PATH * 2, found, nullptr);
    if (length > 0 && length < MAX_PATH * 2 && exists(found)) return found;
    return L"";
}

UniqueIcon ProgramIcon(const std::wstring& path, int size) {
    HICON icon = nullptr;
    if (!path.empty() && SUCCEEDED(SHDefExtractIconW(path.c_str(), 0, 0, nullptr, &icon, MAKELONG(0, size)))) return UniqueIcon(icon);
    return UniqueIcon();
}

}  // namespace qm::win32
