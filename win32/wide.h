// UTF-8 <-> UTF-16 for the wide-character Win32 calls.
#pragma once

#include <string>
#include <string_view>

namespace qm::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's text for an error code, as UTF-8, without the trailing line end.
std::string ErrorText(unsigned long code);

}  // namespace qm::win32
