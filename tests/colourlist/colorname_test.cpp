#include "colourlist/colorname.h"
#include "colourlist/colorsort.h"
#include "listtest.h"

#include <filesystem>

namespace tintorel {
namespace {

using BColorNameTest = ListFileTest;

TEST_F(BColorNameTest, ResolvesThroughTheCurrentList) {
    Load("Sky blue,135,206,235\nRed,#FF0000\nRed,#800000\n");
    const BColorName sky("Sky blue");
    EXPECT_EQ(sky.ToColor(), 0xEBCE87u);
    EXPECT_EQ(BColorName("Red").ToColor(), 0x0000FFu);     // first of two
    EXPECT_EQ(BColorName("Nothing").ToColor(), 0xEBCE87u); // unknown: first entry

    Load("Sky blue,#000001\n");
    EXPECT_EQ(sky.ToColor(), 0x010000u); // same object, new list
}

TEST_F(BColorNameTest, FromRgbTakesTheNearestName) {
    Load("Black,0,0,0\nNavy,0,0,128\nBlue,0,0,255\n");
    BColorName colour("black");
    colour.FromColor(0x900000);
    EXPECT_EQ(colour.Name(), "Navy");
    colour.FromRgb(0, 0, 0.9f);
    EXPECT_EQ(colour.Name(), "Blue");
}

TEST_F(BColorNameTest, TextFormNamesTheFileAndLoadsIt) {
    const std::string path = Write("web.txt", "Sky blue,135,206,235\nRed,#FF0000\n");
    LoadColorFile(path);
    EXPECT_EQ(BColorName("Sky blue").ToText(), "Name|web.txt|Sky blue");

    ColorList().clear();
    const std::filesystem::path working = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    BColorName read("black");
    read.FromText("Name|web.txt|Red");
    std::filesystem::current_path(working);
    EXPECT_EQ(read.Name(), "Red");
    EXPECT_EQ(read.ToColor(), 0x0000FFu);
    EXPECT_EQ(ColorList().size(), 2u);
    EXPECT_EQ(CurrentColorFileName(), "");

    // An empty file name leaves two fields: nothing changes.
    EXPECT_EQ(read.ToText(), "Name||Red");
    read.FromText("Name|Sky blue");
    EXPECT_EQ(read.Name(), "Red");
}

TEST(BColorNameEmpty, EmptyListGivesBlackAndKeepsTheName) {
    ColorList().clear();
    BColorName colour("kept");
    EXPECT_EQ(colour.ToColor(), 0u);
    colour.FromRgb(1, 1, 1);
    EXPECT_EQ(colour.Name(), "kept");
}

} // namespace
} // namespace tintorel
