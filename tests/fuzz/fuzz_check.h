// What the fuzz targets share: a check that stops the run with a readable
// reason, so that libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace qm::fuzz {

inline std::string Printable(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out;
}

[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "\n*** %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

inline void Require(bool ok, const std::string& what) {
    if (!ok) Fail(what);
}

// The value rounded to 15 significant digits, as text (both zeros alike).
inline std::string FifteenDigits(double value) {
    if (value == 0.0) return "0";
    char text[64];
    std::snprintf(text, sizeof text, "%.14e", value);
    return text;
}

inline std::string Exact(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

}  // namespace qm::fuzz
