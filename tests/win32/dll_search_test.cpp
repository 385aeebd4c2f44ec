// The DLL search of the running program, against the real loader (under Wine in CI).
#include "win32/dll_search.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace qm::win32 {
namespace {

// qm_planted.dll lies beside the test program, as a planted DLL would lie
// beside quillmark.exe in a downloads folder.
TEST(DllSearch, ADllBesideTheProgramIsNoLongerFoundButSystemOnesAre) {
    HMODULE planted = LoadLibraryW(L"qm_planted.dll");
    ASSERT_NE(planted, nullptr) << "without the restriction Windows finds it beside the program";
    FreeLibrary(planted);

    ASSERT_TRUE(RestrictDllSearchToSystem());
    planted = LoadLibraryW(L"qm_planted.dll");
    EXPECT_EQ(planted, nullptr);
    if (planted) FreeLibrary(planted);

    HMODULE system = LoadLibraryW(L"version.dll");
    EXPECT_NE(system, nullptr);
    if (system) FreeLibrary(system);
}

}  // namespace
}  // namespace qm::win32
