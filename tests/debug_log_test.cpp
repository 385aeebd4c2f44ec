#include "app/debug_log.h"

#include <gtest/gtest.h>

#include "tests/fakes.h"

namespace qm {
namespace {

struct DebugLogTest : ::testing::Test, test::FakePlatform {
    DebugLogTest() { clock.readings = {1234.56789}; }
    const std::string log = "C:\\Q\\DbgFile.dat";
    const std::string old = "C:\\Q\\DbgFile.old";
    const std::string line = "12/7/2026 5:37:26 AM.(1,234.56789): PrevInstance detected\r\n";
};

TEST_F(DebugLogTest, EveryLineStartsOnALineOfItsOwnAfterAWriteThatWasCutOff) {
    const struct {
        const char* before;  // nullptr: no log yet
        std::string after;
    } cases[] = {
        {nullptr, line},
        {"", line},
        {"earlier\r\n", "earlier\r\n" + line},
        {"earlier\r\n12/7/2026 5:3", "earlier\r\n12/7/2026 5:3\r\n" + line},  // cut mid-line
        {"earlier\r\nhalf\r", "earlier\r\nhalf\r\n" + line},                  // cut between CR and LF
        {"earlier\n", "earlier\n" + line},                                    // a line end all the same
    };
    for (const auto& c : cases) {
        files.files.clear();
        if (c.before) files.files[log] = c.before;
        platform.log.Write("PrevInstance detected");
        EXPECT_EQ(files.files[log], c.after) << (c.before ? c.before : "(no file)");
        EXPECT_EQ(files.files.count(old), 0u);
    }
}

TEST_F(DebugLogTest, LogIsMovedAsideWhenALineWouldPassTheLimit) {
    // Up to the limit exactly, the line is added.
    const std::string full = std::string(kDebugLogLimit - line.size() - 2, 'x') + "\r\n";
    files.files[log] = full;
    files.files[old] = "the generation before";
    platform.log.Write("PrevInstance detected");
    EXPECT_EQ(files.files[log], full + line);
    EXPECT_EQ(files.files[log].size(), kDebugLogLimit);

    // One byte more would pass it: the whole file becomes the previous
    // generation, replacing the older one, and a new file starts.
    const std::string atLimit = files.files[log];
    platform.log.Write("PrevInstance detected");
    EXPECT_EQ(files.files[old], atLimit);
    EXPECT_EQ(files.files[log], line);

    // A log that grew unbounded before is moved aside at its next line; one
    // cut off mid-line starts the new file without a stray line end.
    files.files[log] = std::string(5 * kDebugLogLimit, 'y');
    platform.log.Write("PrevInstance detected");
    EXPECT_EQ(files.files[old].size(), 5 * kDebugLogLimit);
    EXPECT_EQ(files.files[log], line);

    // The log's length is asked for; the log itself is never read.
    EXPECT_TRUE(files.readWhole.empty());
}

TEST_F(DebugLogTest, LogThatCannotBeMovedAsideStaysWithinTheLimit) {
    const std::string full(kDebugLogLimit - 10, 'x');
    files.files[log] = full;
    files.failAtStep = 1;  // the move
    EXPECT_THROW(platform.log.Write("PrevInstance detected"), FileError);
    EXPECT_EQ(files.files[log], full);
    EXPECT_EQ(files.files.count(old), 0u);

    // A log that cannot be looked at is not written blindly either.
    files.files[log] = "earlier\r\n";
    files.unreadable[log] = "Access is denied.";
    EXPECT_THROW(platform.log.Write("PrevInstance detected"), FileError);
    EXPECT_EQ(files.files[log], "earlier\r\n");
}

}  // namespace
}  // namespace qm
