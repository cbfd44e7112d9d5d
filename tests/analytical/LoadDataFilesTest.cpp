#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/KorvaneDoc.h"
#include "model/LoadDataFiles.h"

namespace {

class LoadDataFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("korvane-load-data-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string Write(const char* name, const std::string& text)
    {
        const auto path = m_dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    std::filesystem::path m_dir;
};

}  // namespace

TEST_F(LoadDataFiles, ReadsEachFileAndComparesCountsWithTheIntervalData)
{
    CKorvaneDoc doc;
    doc.m_intervalDataFile = Write("interval.txt", "1\r\n2.5\r\n  -3e1  \n\n4");
    doc.m_agriculturalDataFile = Write("agri.txt", "1\n2\n3\n4\n");
    doc.m_industrialDataFile = Write("industry.txt", "1\n2\n3\n");
    doc.m_residentialDataFile = (m_dir / "missing.txt").string();
    doc.m_otherData = {9, 9};  // earlier values go
    const auto messages = ReadLoadDataFiles(doc);
    EXPECT_EQ(doc.m_intervalData, (std::vector<double>{1, 2.5, -30, 4}));
    EXPECT_EQ(doc.m_agriculturalData.size(), 4u);
    EXPECT_EQ(doc.m_industrialData, (std::vector<double>{1, 2, 3}));
    EXPECT_TRUE(doc.m_residentialData.empty());
    EXPECT_TRUE(doc.m_otherData.empty());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Data Inconsistency!\n\nPlease make sure that the number of industrial\n"
                           "clustered data is equals to the number of interval data.");
    EXPECT_EQ(messages[1], "Cannot open Residential class clustered data " + doc.m_residentialDataFile);
}

TEST_F(LoadDataFiles, DropsAFileWithALineThatIsNotANumber)
{
    CKorvaneDoc doc;
    doc.m_intervalDataFile = Write("interval.txt", "1\n2\n");
    doc.m_otherDataFile = Write("other.txt", "1\n\n2,5\n");
    const auto messages = ReadLoadDataFiles(doc);
    EXPECT_TRUE(doc.m_otherData.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Cannot read other class clustered data " + doc.m_otherDataFile +
                               ": line 3 holds \"2,5\", which is not a number");
}

TEST_F(LoadDataFiles, NamesNothingWhenNoFileIsNamed)
{
    CKorvaneDoc doc;
    doc.m_intervalData = {1};
    EXPECT_TRUE(ReadLoadDataFiles(doc).empty());
    EXPECT_TRUE(doc.m_intervalData.empty());
}

// Regression: a file saved with a UTF-8 byte order mark had its first line taken for text and
// the whole file dropped.
TEST_F(LoadDataFiles, SkipsAByteOrderMark)
{
    CKorvaneDoc doc;
    doc.m_intervalDataFile = Write("interval.txt", "\xEF\xBB\xBF" "12.5\r\n3\r\n");
    EXPECT_TRUE(ReadLoadDataFiles(doc).empty());
    EXPECT_EQ(doc.m_intervalData, (std::vector<double>{12.5, 3}));
}

// Regression: the message quoted the bad line's raw bytes, cut at 40 bytes, so a file saved as
// UTF-16 or a line cut inside a character made a message that is not text (shown empty). Such
// bytes and control characters now show as U+FFFD; a line is cut after 40 characters.
TEST_F(LoadDataFiles, QuotesABadLineAsText)
{
    const std::string bad = "\xEF\xBF\xBD";  // U+FFFD
    struct Case {
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {std::string("\xFF\xFE" "1\0\n\0", 6), bad + bad + "1" + bad},
        {std::string(39, 'x') + "\xC3\xA9" "yz\n", std::string(39, 'x') + "\xC3\xA9" "..."},
        {"12\xE9" "5\n", "12" + bad + "5"},
    };
    for (const Case& c : cases) {
        CKorvaneDoc doc;
        doc.m_intervalDataFile = Write("interval.txt", c.text);
        const auto messages = ReadLoadDataFiles(doc);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], "Cannot read interval data " + doc.m_intervalDataFile + ": line 1 holds \"" + c.shown +
                                   "\", which is not a number");
    }
}
