#include "listtest.h"

#include <sys/stat.h>

namespace tintorel {
namespace {

struct LoadCase {
    const char* what;
    std::string contents;
    std::vector<Entry> entries;
};

TEST_F(ListFileTest, LinesByForm) {
    const LoadCase cases[] = {
        {"three forms",
         "; web colours\nWhite,#FFFFFF\nSky blue, 135, 206, 235\nOlive green;0;0;100;50\n"
         "Dark grey 169 169 169\nREM end\n",
         {{"White", 255, 255, 255}, {"Sky blue", 135, 206, 235}, {"Olive green", 127, 127, 0}}},
        {"hex digits in either case",
         "Red,#ff0000\nRed,#FF0000\n",
         {{"Red", 255, 0, 0}, {"Red", 255, 0, 0}}},
        {"tab before the code", "Orange\t#ff8000\n", {{"Orange", 255, 128, 0}}},
        {"runs of delimiters", "Red,,255,,0,,0\n", {{"Red", 255, 0, 0}}},
        {"spaces stay in names",
         "  Navy,0,0,128\nNavy ,0,0,128\n",
         {{"  Navy", 0, 0, 128}, {"Navy ", 0, 0, 128}}},
        {"decimal prefixes",
         "Red,12abc,0,0\nRed,x,0,0\nRed,1e2,+3, 4\n",
         {{"Red", 12, 0, 0}, {"Red", 0, 0, 0}, {"Red", 1, 3, 4}}},
        {"inks: fractions and percentages",
         "Ink,0,0,0,1\nInk,0,0,0,100\nInk,50%,0,0,0\n",
         {{"Ink", 0, 0, 0}, {"Ink", 0, 0, 0}, {"Ink", 127, 255, 255}}},
        {"1.5 is one and a half percent", "Ink,1.5,0,0,0\n", {{"Ink", 251, 255, 255}}},
        {"3 or 6 fields are ignored", "a,1,2\nb,1,2,3,4,5\nc,1,2,3\n", {{"c", 1, 2, 3}}},
        {"comments", "  REM x\n\t;x\n--x\n//x\nREMY,1,2,3\nRemy,1,2,3\n", {{"Remy", 1, 2, 3}}},
        {"single slash is a delimiter", "/x,1,2,3\n", {{"x", 1, 2, 3}}},
        {"blank line is skipped", "a,1,2,3\n \t \nb,4,5,6\n", {{"a", 1, 2, 3}, {"b", 4, 5, 6}}},
        {"empty line ends the file", "a,1,2,3\n\nb,4,5,6\n", {{"a", 1, 2, 3}}},
        {"CR LF line ends",
         "a,1,2,3\r\nb,#0A0B0C\r\n\r\nc,1,1,1\r\n",
         {{"a", 1, 2, 3}, {"b", 10, 11, 12}}},
        {"Ctrl-Z ends the file",
         "a,1,2,3\n\x1a"
         "b,4,5,6\n",
         {{"a", 1, 2, 3}}},
        {"last line without line feed", "a,1,2,3\nb,4,5,6", {{"a", 1, 2, 3}, {"b", 4, 5, 6}}},
        {"names keep their bytes",
         "Caf\xe9 cr\xe8me,#FFFDD0\n",
         {{"Caf\xe9 cr\xe8me", 255, 253, 208}}},
    };
    for (const LoadCase& c : cases) {
        EXPECT_EQ(Load(c.contents), c.entries) << c.what;
    }
}

TEST_F(ListFileTest, OneMalformedLineGivesTheFallBackList) {
    const char* files[] = {
        "a,1,2,3\nRed,#FF0000 \n",
        "a,1,2,3\nRed, #FF0000\n",
        "Red,#FF00\n",
        "Red,FF00000\n",
        "Red,#GG0000\n",
        "Red,#-10000\n",
        "Red,256,0,0\n",
        "Red,-1,0,0\n",
        "Red,99999999999999999999999,0,0\n",
        "Ink,0,0,0,100.5\n",
        "Ink,-0.1,0,0,0\n",
        "Ink,1e999,0,0,0\n",
        "a,1,2,3\nb,1,2,300\nc,1,2,3\n",
    };
    for (const char* file : files) {
        EXPECT_EQ(Load(file), FallBack()) << file;
    }
}

TEST_F(ListFileTest, FilesWithoutEntriesGiveTheFallBackList) {
    const char* files[] = {"", "\nRed,1,2,3\n", "; only a comment\n", "a,1,2\n", "\x1a"};
    for (const char* file : files) {
        ColorList().clear();
        EXPECT_EQ(Load(file), FallBack()) << file;
    }
}

TEST_F(ListFileTest, FileIndexCountsFromZeroAfterEachLoad) {
    Load("a,1,2,3\na,1,2,3\nb,#010203\n");
    ASSERT_EQ(ColorList().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ColorList()[i].FileIndex, i);
    }
    Load("c,1,2,3\n");
    EXPECT_EQ(ColorList()[0].FileIndex, 0);
}

TEST_F(ListFileTest, AFileThatCannotBeOpenedKeepsThePreviousList) {
    Load("a,1,2,3\nb,4,5,6\n");
    const std::vector<Entry> before = Entries();
    const std::string fifo = (folder_ / "pipe.txt").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string missing = (folder_ / "missing.txt").string();
    for (const std::string& path : {missing, folder_.string(), fifo}) {
        LoadColorFile(path);
        EXPECT_EQ(Entries(), before) << path;
    }
    EXPECT_EQ(CurrentColorFileName(), "pipe.txt");

    ColorList().clear();
    LoadColorFile(missing);
    EXPECT_EQ(Entries(), FallBack());
}

TEST_F(ListFileTest, CurrentFileNameIsThePartAfterTheLastSlash) {
    LoadColorFile(Write("web.txt", "a,1,2,3\n"));
    EXPECT_EQ(CurrentColorFileName(), "web.txt");
    LoadColorFile("no-slash.txt");
    EXPECT_EQ(CurrentColorFileName(), "");
}

TEST_F(ListFileTest, ListsTheTxtFilesThePatternMatches) {
    for (const char* name :
         {"web.txt", "X11.TXT", "notes.md", ".hidden.txt", "b.Txt", "web.txt~"}) {
        Write(name, "a,1,2,3\n");
    }
    std::filesystem::create_directories(folder_ / "folder.txt");
    const std::string dir = folder_.string() + "/";
    EXPECT_EQ(ListColorFiles(dir), (std::vector<std::string>{"X11.TXT", "b.Txt", "web.txt"}));
    // Without the final slash the setting is a prefix of file names.
    EXPECT_EQ(ListColorFiles(dir + "w"), (std::vector<std::string>{"web.txt"}));
    EXPECT_TRUE(ListColorFiles(dir + "missing/").empty());
}

// An empty setting means the working folder, and a setting without a slash
// is a prefix of the names there.
TEST_F(ListFileTest, ListsTheWorkingFolderWithoutASlash) {
    for (const char* name : {"web.txt", "x11.txt", "notes.md"}) {
        Write(name, "a,1,2,3\n");
    }
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    const std::vector<std::string> all = ListColorFiles("");
    const std::vector<std::string> prefixed = ListColorFiles("x");
    std::filesystem::current_path(before);
    EXPECT_EQ(all, (std::vector<std::string>{"web.txt", "x11.txt"}));
    EXPECT_EQ(prefixed, (std::vector<std::string>{"x11.txt"}));
}

TEST(ParseLines, ReturnPlusOneAndAppendOrMinusOneAndNothing) {
    ColorList().clear();
    EXPECT_EQ(ParseHexLine("h", "#102030"), 1);
    EXPECT_EQ(ParseHexLine("h", "#1020"), -1);
    EXPECT_EQ(ParseRgbLine("r", "1", "2", "3"), 1);
    EXPECT_EQ(ParseRgbLine("r", "1", "2", "256"), -1);
    EXPECT_EQ(ParseCmykLine("c", "0", "0", "0", "0"), 1);
    EXPECT_EQ(ParseCmykLine("c", "0", "0", "0", "101"), -1);
    EXPECT_EQ(Entries(),
              (std::vector<Entry>{{"h", 16, 32, 48}, {"r", 1, 2, 3}, {"c", 255, 255, 255}}));
}

TEST_F(ListFileTest, ShippedListsLoadInFull) {
    const struct {
        const char* file;
        std::size_t count;
        Entry first;
    } lists[] = {
        {"web.txt", 148, {"aliceblue", 240, 248, 255}},
        {"x11.txt", 753, {"snow", 255, 250, 250}},
        {"xkcd.txt", 949, {"cloudy blue", 172, 194, 217}},
        {"print.txt", 13, {"Process cyan", 0, 255, 255}},
    };
    for (const auto& l : lists) {
        LoadColorFile(std::string(TINTOREL_COLOUR_DIR) + l.file);
        EXPECT_EQ(ColorList().size(), l.count) << l.file;
        EXPECT_EQ(Entries().front(), l.first) << l.file;
    }
}

} // namespace
} // namespace tintorel
