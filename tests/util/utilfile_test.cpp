#include "util/utilfile.h"

#include <gtest/gtest.h>

namespace tintorel {
namespace {

TEST(FileNamePart, TakesWhatFollowsTheLastSeparator) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"/usr/share/tintorel/colours/web.txt", "web.txt"},
        {"web.txt", ""},
        {"/usr/share/tintorel/colours/", ""},
        {"/x", "x"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNamePart(c.path), c.name) << "path: " << c.path;
    }
}

TEST(JoinDirAndName, OneSeparatorBetweenFolderAndName) {
    const struct {
        const char* dir;
        const char* joined;
    } cases[] = {
        {"/home/u/colours", "/home/u/colours/web.txt"},
        {"/home/u/colours/", "/home/u/colours/web.txt"},
        {"", "/web.txt"},
        {"/home/u/colours//", "/home/u/colours//web.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinDirAndName(c.dir, "web.txt"), c.joined) << "dir: " << c.dir;
    }
}

} // namespace
} // namespace tintorel
