#include "win32/program.h"

#include <windows.h>

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

}  // namespace qm::win32
