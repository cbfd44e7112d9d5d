#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "montecarlo/Output.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

fs::path Folder()
{
    const fs::path folder = fs::temp_directory_path() / "korvane-output-test";
    fs::create_directories(folder);
    return folder;
}

using testfiles::ReadText;

}  // namespace

TEST(Output, WritesOnlyTraceLevelsWithBitTwo)
{
    const fs::path path = Folder() / "levels.txt";
    COutput output;
    ASSERT_TRUE(output.OpenLog(path));
    for (unsigned level : {0u, 1u, 2u, 3u, 4u, 6u})
        output.Log(level, "L" + std::to_string(level) + "\n");
    ASSERT_TRUE(output.CloseLog());
    EXPECT_EQ(ReadText(path), "L2\nL3\nL6\n");
}

TEST(Output, PiecesFollowEachOtherAndReplaceTheOldFile)
{
    const fs::path path = Folder() / "pieces.htm";
    std::ofstream(path) << "an old report that is much longer";
    COutput output;
    ASSERT_TRUE(output.OpenHtml(path));
    output.WriteHtml("<br>");
    output.WriteHtml("<br>");
    ASSERT_TRUE(output.CloseHtml());
    EXPECT_EQ(ReadText(path), "<br><br>");
    EXPECT_FALSE(output.Failed());
}

TEST(Output, AFolderThatDoesNotExistFailsToOpen)
{
    const fs::path missing = Folder() / "no-such-folder" / "x";
    COutput output;
    EXPECT_FALSE(output.OpenHtml(missing.string() + ".htm"));
    EXPECT_FALSE(output.OpenLog(missing.string() + ".txt"));
    EXPECT_FALSE(output.OpenTempFile(missing.string() + ".anl"));
    EXPECT_TRUE(output.Failed());
    EXPECT_NE(output.GetError().find("no-such-folder"), std::string::npos) << output.GetError();
}

// Regression: a failed write went unreported.
TEST(Output, AFailedWriteIsReportedNamingTheFile)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    COutput output;
    ASSERT_TRUE(output.OpenTempFile("/dev/full"));
    output.WriteTempFile(std::string(1 << 16, 'x'));
    EXPECT_FALSE(output.CloseTempFile());
    EXPECT_TRUE(output.Failed());
    EXPECT_NE(output.GetError().find("/dev/full"), std::string::npos) << output.GetError();
}

TEST(Output, AnAbandonedReportKeepsThePreviousOne)
{
    const fs::path path = Folder() / "abandoned.htm";
    std::ofstream(path) << "previous";
    {
        COutput output;
        ASSERT_TRUE(output.OpenHtml(path));
        output.WriteHtml("half a report");
    }
    EXPECT_EQ(ReadText(path), "previous");
    for (const auto& entry : fs::directory_iterator(Folder()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}
