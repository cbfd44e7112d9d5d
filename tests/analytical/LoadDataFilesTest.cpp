#include <gtest/gtest.h>

#include <fstream>

#include "model/KorvaneDoc.h"
#include "model/LoadDataFiles.h"
#include "tests/TestFiles.h"

namespace {

class LoadDataFiles : public ::testing::Test {
protected:
    std::string Write(const char* name, const std::string& text)
    {
        const auto path = m_dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    testfiles::TempFolder m_dir;
};

}  // namespace

// Earlier values go, also for a file no longer named; a file saved with a UTF-8 byte order mark
// is read (regression: its first line was taken for text and the whole file dropped).
TEST_F(LoadDataFiles, ReadsEachFileAndComparesCountsWithTheIntervalData)
{
    CKorvaneDoc doc;
    doc.m_analytical.m_dataFiles[kIntervalData] = Write("interval.txt", "\xEF\xBB\xBF" "1\r\n2.5\r\n  -3e1  \n\n4");
    doc.m_analytical.m_dataFiles[kAgriculturalData] = Write("agri.txt", "1\n2\n3\n4\n");
    doc.m_analytical.m_dataFiles[kIndustrialData] = Write("industry.txt", "1\n2\n3\n");
    doc.m_analytical.m_dataFiles[kResidentialData] = (m_dir / "missing.txt").string();
    doc.m_loadData[kOtherData] = {9, 9};
    const auto messages = ReadLoadDataFiles(doc);
    EXPECT_EQ(doc.m_loadData[kIntervalData], (std::vector<double>{1, 2.5, -30, 4}));
    EXPECT_EQ(doc.m_loadData[kAgriculturalData].size(), 4u);
    EXPECT_EQ(doc.m_loadData[kIndustrialData], (std::vector<double>{1, 2, 3}));
    EXPECT_TRUE(doc.m_loadData[kResidentialData].empty());
    EXPECT_TRUE(doc.m_loadData[kOtherData].empty());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Data Inconsistency!\n\nPlease make sure that the number of industrial\n"
                           "clustered data is equals to the number of interval data.");
    EXPECT_EQ(messages[1],
              "Cannot open Residential class clustered data " + doc.m_analytical.m_dataFiles[kResidentialData]);
}

// A file with a line that is not a number is dropped, and the message quotes the line as text.
// Regression: it quoted the raw bytes cut at 40 bytes, so a file saved as UTF-16 or a line cut
// inside a character made a message that is not text (shown empty). Such bytes and control
// characters now show as U+FFFD; a line is cut after 40 characters.
TEST_F(LoadDataFiles, DropsAFileWithALineThatIsNotANumberQuotingItAsText)
{
    const std::string bad = "\xEF\xBF\xBD";  // U+FFFD
    struct Case {
        std::string text;
        int line;
        std::string shown;
    };
    const Case cases[] = {
        {"1\n\n2,5\n", 3, "2,5"},
        {std::string("\xFF\xFE" "1\0\n\0", 6), 1, bad + bad + "1" + bad},
        {std::string(39, 'x') + "\xC3\xA9" "yz\n", 1, std::string(39, 'x') + "\xC3\xA9" "..."},
        {"12\xE9" "5\n", 1, "12" + bad + "5"},
    };
    for (const Case& c : cases) {
        CKorvaneDoc doc;
        doc.m_analytical.m_dataFiles[kOtherData] = Write("other.txt", c.text);
        const auto messages = ReadLoadDataFiles(doc);
        EXPECT_TRUE(doc.m_loadData[kOtherData].empty());
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], "Cannot read other class clustered data " + doc.m_analytical.m_dataFiles[kOtherData] +
                                   ": line " + std::to_string(c.line) + " holds \"" + c.shown +
                                   "\", which is not a number");
    }
}
