#include "colourlist/colorsort.h"
#include "listtest.h"

#include <algorithm>
#include <functional>
#include <random>

namespace tintorel {
namespace {

// Fills the list from HLS colours, rounded to bytes as files hold them.
void FillHls(const std::vector<std::pair<std::string, BColorHls>>& colours) {
    ColorList().clear();
    for (const auto& [name, hls] : colours) {
        const PackedColor packed = hls.ToColor();
        AddColor(name, packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
    }
}

std::vector<std::string> NamesInOrder(int order) {
    return SortColorList(order);
}

TEST(SortColorList, AlphabeticalComparesUnsignedBytes) {
    ColorList().clear();
    for (const char* name :
         {"apple", "Zebra", "Blue green", "blue", "Yellow", "\xe9t\xe9", "Blue", "9"}) {
        AddColor(name, 0, 0, 0);
    }
    EXPECT_EQ(NamesInOrder(SortAlphabetical),
              (std::vector<std::string>{"9", "Blue", "Blue green", "Yellow", "Zebra", "apple",
                                        "blue", "\xe9t\xe9"}));
}

// Numbers inside names count as numbers; otherwise the bytes decide.
TEST(SortColorList, AlphabeticalPutsNumbersInNaturalOrder) {
    ColorList().clear();
    for (const char* name : {"number 10", "number 2", "number 1", "Blue 7", "Blue 07", "Blue",
                             "x100y", "x20y", "x20", "a", "9", "10", "007", "number 02b",
                             "Process blue 2", "Process blue 10", "Process blue 1a"}) {
        AddColor(name, 0, 0, 0);
    }
    EXPECT_EQ(
        NamesInOrder(SortAlphabetical),
        (std::vector<std::string>{"007", "9", "10", "Blue", "Blue 07", "Blue 7", "Process blue 1a",
                                  "Process blue 2", "Process blue 10", "a", "number 1", "number 2",
                                  "number 02b", "number 10", "x20", "x20y", "x100y"}));
    // A comparison that is a strict order on every pair of these names.
    for (const BColorStruct& x : ColorList()) {
        EXPECT_FALSE(NaturalLess(x.Name, x.Name)) << x.Name;
        for (const BColorStruct& y : ColorList()) {
            EXPECT_FALSE(NaturalLess(x.Name, y.Name) && NaturalLess(y.Name, x.Name))
                << x.Name << " / " << y.Name;
        }
    }
}

// Names alike in their first eight bytes are told apart by the next ones.
TEST(SortColorList, AlphabeticalLooksPastTheFirstEightBytes) {
    ColorList().clear();
    for (const char* name : {"Process yellow", "Process black", "Process cyan", "Process"}) {
        AddColor(name, 0, 0, 0);
    }
    EXPECT_EQ(
        NamesInOrder(SortAlphabetical),
        (std::vector<std::string>{"Process", "Process black", "Process cyan", "Process yellow"}));
}

TEST(SortColorList, FileOrderRestoresTheFile) {
    ColorList().clear();
    for (const char* name : {"c", "a", "b"}) {
        AddColor(name, 0, 0, 0);
    }
    SortColorList(SortAlphabetical);
    EXPECT_EQ(NamesInOrder(SortFile), (std::vector<std::string>{"c", "a", "b"}));
}

TEST(SortColorList, OrderOutsideTheRangeLeavesTheList) {
    ColorList().clear();
    for (const char* name : {"c", "a", "b"}) {
        AddColor(name, 0, 0, 0);
    }
    for (const int order : {-1, 8, 1000}) {
        EXPECT_EQ(NamesInOrder(order), (std::vector<std::string>{"c", "a", "b"})) << order;
    }
}

TEST(SortColorList, HueClassThenLightness) {
    FillHls({{"hue 40", BColorHls(40, 0.5f, 1)},
             {"hue 10 light 80", BColorHls(10, 0.8f, 1)},
             {"hue 30 light 20", BColorHls(30, 0.2f, 1)},
             {"grey 50", BColorHls(0, 0.5f, 0)}});
    EXPECT_EQ(NamesInOrder(SortHue), (std::vector<std::string>{"hue 30 light 20", "grey 50",
                                                               "hue 10 light 80", "hue 40"}));
}

TEST(SortColorList, LightnessClassThenHue) {
    FillHls({{"white", BColorHls(0, 1, 0)},
             {"dark blue", BColorHls(240, 0.1f, 1)},
             {"black", BColorHls(0, 0, 0)},
             {"mid", BColorHls(100, 0.5f, 1)}});
    EXPECT_EQ(NamesInOrder(SortLightness),
              (std::vector<std::string>{"black", "dark blue", "mid", "white"}));
    EXPECT_EQ(Light7(ColorList().back()), 7);
}

TEST(SortColorList, SaturationClassesPutGreysFirstAndFullColoursLast) {
    FillHls({{"full red", BColorHls(0, 0.5f, 1)},
             {"dull blue", BColorHls(240, 0.5f, 0.1f)},
             {"grey light", BColorHls(0, 0.9f, 0)},
             {"almost full green", BColorHls(120, 0.5f, 0.99f)},
             {"grey dark", BColorHls(0, 0.1f, 0)},
             {"dull red", BColorHls(0, 0.5f, 0.1f)},
             {"full blue dark", BColorHls(240, 0.2f, 1)}});
    EXPECT_EQ(NamesInOrder(SortSaturation),
              (std::vector<std::string>{"grey dark", "grey light", "dull red", "dull blue",
                                        "almost full green", "full blue dark", "full red"}));
}

TEST(DerivedValues, ClassesOfKnownColours) {
    const struct {
        const char* what;
        PackedColor packed;
        int hue10, hue100, light100, light7, light8, sat5, redShare, greenShare, blueShare;
    } cases[] = {
        {"black", 0x000000, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {"white", 0xFFFFFF, 0, 0, 100, 7, 8, 0, 1, 1, 1},
        {"red", 0x0000FF, 0, 0, 50, 3, 4, 5, 5, 0, 0},
        {"blue", 0xFF0000, 6, 66, 50, 3, 4, 5, 0, 0, 5},
        {"orange", 0x0080FF, 0, 8, 50, 3, 4, 5, 3, 1, 0},
        {"slate", 0x806040, 5, 58, 37, 2, 3, 1, 1, 1, 2},
        // Fully saturated in the light half: class 5, not 4.
        {"light red", 0x4141FF, 0, 0, 62, 4, 5, 5, 3, 0, 0},
        // Exactly 72 degrees, the start of hue class 2.
        {"hue 72", 0x042720, 2, 20, 8, 0, 0, 4, 2, 2, 0},
    };
    for (const auto& c : cases) {
        BColorStruct entry;
        entry.Color.FromColor(c.packed);
        EXPECT_EQ(Hue10(entry), c.hue10) << c.what;
        EXPECT_EQ(Hue100(entry), c.hue100) << c.what;
        EXPECT_EQ(Hue100ByShare(entry), c.hue100) << c.what;
        EXPECT_EQ(Light100(entry), c.light100) << c.what;
        EXPECT_EQ(Light7(entry), c.light7) << c.what;
        EXPECT_EQ(Light8(entry), c.light8) << c.what;
        EXPECT_EQ(Sat5(entry), c.sat5) << c.what;
        EXPECT_EQ(Share5(entry, Channel::Red), c.redShare) << c.what;
        EXPECT_EQ(Share5(entry, Channel::Green), c.greenShare) << c.what;
        EXPECT_EQ(Share5(entry, Channel::Blue), c.blueShare) << c.what;
    }
}

// The keys computed once per entry must give an order that the comparison
// classes accept, for every order and any list.
TEST(SortColorList, ResultIsSortedByTheOrdersOwnComparison) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::function<bool(const BColorStruct&, const BColorStruct&)> less[] = {
        BSortAlpha{}, BSortFile{}, BSortHue{},   BSortLight{},
        BSortSat{},   BSortRed{},  BSortGreen{}, BSortBlue{}};
    for (int order = 0; order < 8; ++order) {
        ColorList().clear();
        for (int i = 0; i < 2000; ++i) {
            // Few distinct values, so that many keys tie. (The name is built
            // with append: g++ 12 warns falsely on "n" + std::string at -O3.)
            std::string name = "n";
            name.append(std::to_string(byte(random) % 50));
            AddColor(name, byte(random) & 0xF0, byte(random) & 0xC0, byte(random) & 0xE0);
        }
        const std::vector<std::string> names = SortColorList(order);
        EXPECT_TRUE(std::is_sorted(ColorList().begin(), ColorList().end(), less[order]))
            << "order " << order;
        ASSERT_EQ(names.size(), ColorList().size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            ASSERT_EQ(names[i], ColorList()[i].Name);
        }
    }
}

TEST(SortColorList, RedShareThenHue) {
    ColorList().clear();
    AddColor("white", 255, 255, 255);
    AddColor("black", 0, 0, 0);
    AddColor("red", 255, 0, 0);
    AddColor("magenta", 255, 0, 255);
    AddColor("yellow", 255, 255, 0);
    // Shares: white 1, black 0, red 5, magenta 2 (hue 300), yellow 2 (hue 60).
    EXPECT_EQ(NamesInOrder(SortRed),
              (std::vector<std::string>{"black", "white", "yellow", "magenta", "red"}));
}

TEST(FindColorIndex, FirstExactMatchOrZero) {
    ColorList().clear();
    AddColor("Red", 255, 0, 0);
    AddColor("red", 200, 0, 0);
    AddColor("red", 100, 0, 0);
    EXPECT_EQ(FindColorIndex("red"), 1);
    EXPECT_EQ(FindColorIndex("Red"), 0);
    EXPECT_EQ(FindColorIndex("RED"), 0);
    EXPECT_EQ(FindColorIndex("red "), 0);
}

TEST(FindNearestColor, StrictlyNearestFirstInOrder) {
    ColorList().clear();
    AddColor("dark", 10, 10, 10);
    AddColor("white", 255, 255, 255);
    AddColor("black a", 0, 0, 0);
    AddColor("black b", 0, 0, 0);
    EXPECT_EQ(FindNearestColor(0, 0, 0), 2);
    EXPECT_EQ(FindNearestColor(1, 1, 1), 1);
    EXPECT_EQ(FindNearestColor(0.05f, 0.05f, 0.05f), 0);

    ColorList().clear();
    AddColor("white", 255, 255, 255);
    EXPECT_EQ(FindNearestColor(0, 0, 0), 0); // distance 3.0 does not beat the start
}

TEST(EmptyList, LookupsAnswerZero) {
    ColorList().clear();
    EXPECT_EQ(FindColorIndex("x"), 0);
    EXPECT_EQ(FindNearestColor(0.5f, 0.5f, 0.5f), 0);
    EXPECT_TRUE(SortColorList(SortHue).empty());
}

} // namespace
} // namespace tintorel
