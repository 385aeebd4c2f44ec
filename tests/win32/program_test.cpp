// The running program's own path (run under Wine in CI).
#include "win32/program.h"

#include <gtest/gtest.h>

#include <string>

#include "core/text.h"

namespace qm::win32 {
namespace {

TEST(Win32Program, PathNamesThisExecutable) {
    std::string path = ProgramPath();
    EXPECT_EQ(StemOfPath(path), "qm_win32_tests");
    EXPECT_EQ(AddBackslash(FolderOfPath(path)).back(), '\\');
}

}  // namespace
}  // namespace qm::win32
