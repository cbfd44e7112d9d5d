#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Files.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

struct AtomicWrite : testing::Test {
    testfiles::TempFolder folder;
    int FileCount() const { return static_cast<int>(std::distance(fs::directory_iterator(folder.Path()), {})); }
};
using FileRead = AtomicWrite;

}  // namespace

// Regression: saving through a link renamed the new file over the link, so the file it pointed
// to (the one the user keeps) never changed again.
TEST_F(AtomicWrite, SavingThroughALinkUpdatesTheLinkedFile)
{
    const fs::path real = folder / "real.mc";
    const fs::path link = folder / "link.mc";
    korvane::WriteFileAtomically(real, std::string_view("old"));
    fs::create_symlink(real, link);
    korvane::WriteFileAtomically(link, std::string_view("new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(testfiles::ReadText(real), "new");
    EXPECT_EQ(FileCount(), 2);
}

TEST_F(AtomicWrite, KeepsTheOldFilesPermissions)
{
    const fs::path path = folder / "net.mc";
    korvane::WriteFileAtomically(path, std::string_view("old"));
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    korvane::WriteFileAtomically(path, std::string_view("new"));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(testfiles::ReadText(path), "new");
}

TEST_F(AtomicWrite, AFailedWriteLeavesNothingBehind)
{
    const fs::path path = folder / "net.mc";
    std::ofstream(folder / "net.mc.4194304-0.part") << "";  // regression: a killed save's file stayed
    korvane::WriteFileAtomically(path, std::string_view("old"));
    EXPECT_THROW(korvane::WriteFileAtomically(folder / "missing" / "net.mc", std::string_view("x")),
                 korvane::FileError);
    // A folder in the way of the rename: the write fails and the temporary file goes.
    fs::create_directories(folder / "folder.mc" / "inside");
    EXPECT_THROW(korvane::WriteFileAtomically(folder / "folder.mc", std::string_view("x")), korvane::FileError);
    EXPECT_EQ(testfiles::ReadText(path), "old");
    EXPECT_EQ(FileCount(), 2);
}

// A new file is made only where nothing has the name: a link planted there, dangling or not, is
// neither followed nor replaced.
TEST_F(AtomicWrite, ANewFileIsNeverMadeThroughALink)
{
    std::ofstream(folder / "file") << "the user's";
    fs::create_symlink(folder / "file", folder / "to-file");
    fs::create_symlink(folder / "nowhere", folder / "to-nowhere");
    for (const char* name : {"file", "to-file", "to-nowhere"}) {
        errno = 0;
        EXPECT_EQ(korvane::CreateNewFile(folder / name), nullptr) << name;
        EXPECT_EQ(errno, EEXIST) << name;
        std::FILE* read = korvane::OpenFileNoFollow(folder / name);
        EXPECT_EQ(read == nullptr, name != std::string("file")) << name;
        if (read != nullptr)
            std::fclose(read);
    }
    EXPECT_EQ(testfiles::ReadText(folder / "file"), "the user's");
    EXPECT_FALSE(fs::exists(folder / "nowhere"));
    std::FILE* made = korvane::CreateNewFile(folder / "new");
    ASSERT_NE(made, nullptr);
    std::fclose(made);
    EXPECT_EQ(FileCount(), 4);
}

// Regression: the temporary name of a file whose name was near the limit (a network titled with
// 238 to 251 bytes) passed 255 bytes, so a name that fitted could not be written. Shortened, it
// stays whole UTF-8 and is still known for abandoned when the process that made it has ended.
TEST_F(AtomicWrite, EveryNameThatFitsIsWrittenAndItsAbandonedTemporaryRemoved)
{
    std::string accents;
    for (int i = 0; i < 127; ++i)
        accents += "\xC3\xA9";
    for (const std::string& name : {std::string(255, 'a'), std::string(238, 'b') + ".htm", accents + "c", "c" + accents}) {
        const fs::path path = folder / name;
        const std::string temp = korvane::UniqueSiblingName(path, ".part").filename().string();
        EXPECT_LE(temp.size(), 255u);
        const std::string kept = temp.substr(0, temp.rfind('.', temp.size() - 6));
        ASSERT_EQ(name.compare(0, kept.size(), kept), 0) << temp;
        EXPECT_TRUE(kept.size() == name.size() || (static_cast<unsigned char>(name[kept.size()]) & 0xC0) != 0x80) << temp;
        // A save killed mid-write: a process that made its temporary file and ended.
        const pid_t child = ::fork();
        if (child == 0) {
            std::FILE* f = korvane::CreateNewFile(korvane::UniqueSiblingName(path, ".part"));
            ::_exit(f == nullptr ? 1 : 0);
        }
        int status = -1;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_EQ(status, 0);
        ASSERT_EQ(FileCount(), 1);
        korvane::WriteFileAtomically(path, std::string_view("x"));
        EXPECT_EQ(testfiles::FileNames(folder.Path()), std::set<std::string>{name});
        fs::remove(path);
    }
}

// Regression: a pipe named as a network or data file made the reader wait for a writer for ever,
// and a device such as /dev/zero was read until memory ran out.
TEST_F(FileRead, RefusesWhatIsNotARegularFile)
{
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    fs::create_directories(folder / "folder");
    for (const fs::path& path : {folder / "pipe", folder / "folder", fs::path("/dev/zero")}) {
        try {
            korvane::ReadFileBytes(path);
            ADD_FAILURE() << path << " was read";
        } catch (const korvane::FileError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open \"" + path.string() + "\": not a regular file");
        }
    }
    EXPECT_THROW(korvane::ReadFileBytes(folder / "missing"), korvane::FileError);
    korvane::WriteFileAtomically(folder / "net.mc", std::string_view("ab"));
    EXPECT_EQ(korvane::ReadFileBytes(folder / "net.mc"), (std::vector<std::uint8_t>{'a', 'b'}));
}

TEST(DataHome, IsXdgDataHomeWhenAbsoluteElseTheHomesLocalShare)
{
    EXPECT_EQ(korvane::DataHome("/data/ann", "/home/ann"), fs::path("/data/ann"));
    EXPECT_EQ(korvane::DataHome("", "/home/ann"), fs::path("/home/ann/.local/share"));
    EXPECT_EQ(korvane::DataHome("data/ann", "/home/ann"), fs::path("/home/ann/.local/share"));  // relative: ignored
}
