#include "platform/store/atomicfile.h"
#include "tests/testfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace tintorel {
namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(AtomicFile, ReplacesTheContentsAndFlushesFileAndFolder) {
    TestFolder folder;
    const std::string path = folder / "a/b/s.reg";
    int syncs = 0;
    ASSERT_TRUE(WriteFileAtomically(path, "first", &syncs));
    EXPECT_EQ(Contents(path), "first");
    EXPECT_EQ(syncs, 2);
    ASSERT_TRUE(WriteFileAtomically(path, std::string("second\0line", 11), &syncs));
    EXPECT_EQ(Contents(path), std::string("second\0line", 11));
    EXPECT_EQ(syncs, 4);
    // The folders it made are the user's alone.
    struct stat info {};
    ASSERT_EQ(stat((folder / "a").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

// A link stays a link, relative or absolute, however many in a row; the
// file at its end is replaced.
TEST(AtomicFile, FollowsSymbolicLinks) {
    TestFolder folder;
    fs::create_directories(folder / "real");
    std::ofstream(folder / "real/s.reg") << "old";
    fs::create_symlink("real/s.reg", folder / "hop.reg");
    fs::create_symlink(folder / "hop.reg", folder / "s.reg");
    EXPECT_EQ(FollowLinks(folder / "s.reg"), folder / "real/s.reg");
    ASSERT_TRUE(WriteFileAtomically(folder / "s.reg", "new"));
    EXPECT_TRUE(fs::is_symlink(folder / "s.reg"));
    EXPECT_TRUE(fs::is_symlink(folder / "hop.reg"));
    EXPECT_EQ(Contents(folder / "real/s.reg"), "new");
    // A link that loops is taken as it stands.
    fs::create_symlink("loop.reg", folder / "loop.reg");
    EXPECT_EQ(FollowLinks(folder / "loop.reg"), folder / "loop.reg");
}

// What a writer killed between writing and renaming left behind goes;
// other files beside the target stay.
TEST(AtomicFile, SweepsTheTemporariesOfAKilledWriter) {
    TestFolder folder;
    const std::string path = folder / "s.reg";
    for (const char* name : {"s.reg.tmpAbC123", "s.reg.tmpX", "other.reg.tmpAbC123", "s.reg.bak"}) {
        std::ofstream(folder / name) << "x";
    }
    ASSERT_TRUE(WriteFileAtomically(path, "kept"));
    EXPECT_FALSE(fs::exists(folder / "s.reg.tmpAbC123"));
    for (const char* name : {"s.reg.tmpX", "other.reg.tmpAbC123", "s.reg.bak"}) {
        EXPECT_TRUE(fs::exists(folder / name)) << name;
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& item : fs::directory_iterator(folder.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 4u); // no temporary of its own is left either
}

TEST(AtomicFile, AFailureLeavesTheOldContents) {
    TestFolder folder;
    const std::string path = folder / "s.reg";
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    // A folder in the way of the file's own.
    EXPECT_FALSE(WriteFileAtomically(folder / "s.reg/inner", "new"));
    EXPECT_EQ(Contents(path), "old");
    // The target is a folder: the rename fails and nothing is left over.
    fs::create_directories(folder / "dir.reg");
    EXPECT_FALSE(WriteFileAtomically(folder / "dir.reg", "new"));
    EXPECT_TRUE(fs::is_directory(folder / "dir.reg"));
}

TEST(AtomicFile, FolderOfAPath) {
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b/c", "/a/b"}, {"/c", "/"}, {"c", "."}, {"a/c", "a"}};
    for (const auto& [path, folder] : cases) {
        EXPECT_EQ(FolderOf(path), folder) << path;
    }
}

} // namespace
} // namespace tintorel
