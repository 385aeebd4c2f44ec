#include "core/dates.h"
#include "core/text.h"

#include <gtest/gtest.h>

#include "core/identity.h"
namespace qm {
namespace {

TEST(Text, AddBackslashAddsOnlyWhenMissing) {
    EXPECT_EQ(AddBackslash("C:\\Apps"), "C:\\Apps\\");
    EXPECT_EQ(AddBackslash("D:\\"), "D:\\");
    EXPECT_EQ(AddBackslash(""), "\\");
}

TEST(Text, DateTextIsMonthDayYearWithLeadingZeros) {
    EXPECT_EQ(DateText({2024, 3, 14}), "03-14-2024");
    EXPECT_EQ(DateText({2026, 12, 7}), "12-07-2026");
}

TEST(Text, VersionStringIsMajorDotMinor) { EXPECT_EQ(VersionString(), QM_VERSION_SHORT); }

TEST(Text, FolderAndStemOfProgramPaths) {
    EXPECT_EQ(FolderOfPath("C:\\Apps\\Counter\\counter.exe"), "C:\\Apps\\Counter");
    EXPECT_EQ(FolderOfPath("D:\\counter.exe"), "D:\\");
    EXPECT_EQ(FolderOfPath("\\\\server\\share\\q.exe"), "\\\\server\\share");
    EXPECT_EQ(StemOfPath("C:\\Apps\\Counter\\counter.exe"), "counter");
    EXPECT_EQ(StemOfPath("C:\\My.Apps\\quill.mark.bin"), "quill.mark");
    EXPECT_EQ(StemOfPath("C:\\Apps\\noext"), "noext");
}

}  // namespace
}  // namespace qm
