#include "settingstest.h"
#include "tests/platform/store/regvalues.h"

#include <cstring>
#include <fstream>
#include <limits>

namespace tintorel {
namespace {

TEST_F(SettingsTest, FirstRunReadsDefaultsAndCreatesTheSubKeys) {
    int rgb, hls, hsv, cmy, cmyk, name, visual, html, vb, nameSort, visualSort, size;
    EXPECT_EQ(ReadRed(), 0.0f);
    EXPECT_EQ(ReadTab(), 0);
    ReadTabVisibility(rgb, hls, hsv, cmy, cmyk, name, visual);
    EXPECT_EQ((std::vector<int>{rgb, hls, hsv, cmy, cmyk, name, visual}), std::vector<int>(7, 1));
    ReadCodeVisibility(html, vb);
    EXPECT_EQ(html + vb, 2);
    ReadNameSort(nameSort);
    ReadVisualSort(visualSort);
    ReadSize(size);
    EXPECT_EQ(nameSort + visualSort + size, 0);
    EXPECT_EQ(ReadXPos() + ReadYPos() + ReadStayOnTop(), 0);
    std::string dir = "x";
    ReadColorDir(dir);
    EXPECT_EQ(dir, "");
    int r, g, b, k;
    ReadRgbRange(r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{255, 255, 255}));
    ReadHlsRange(r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{360, 255, 255}));
    ReadHsvRange(r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{360, 255, 255}));
    ReadCmykRange(r, g, b, k);
    EXPECT_EQ((std::vector<int>{r, g, b, k}), (std::vector<int>(4, 255)));

    const std::optional<RegDocument> doc = store_->Load();
    ASSERT_TRUE(doc.has_value());
    for (const char* sub : {"Color", "Tab", "Sort", "Pos", "Format", "Range", "File", "Pipette"}) {
        const RegSection* section =
            doc->Find(std::string("HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel\\") + sub);
        ASSERT_NE(section, nullptr) << sub;
        EXPECT_TRUE(section->lines.empty()) << sub;
    }
}

TEST_F(SettingsTest, ValuesOfTheWrongTypeReadAsMissing) {
    Put("\\Tab", "Tab", Text("6"));
    Put("\\Tab", "RgbVis", Text("0"));
    Put("\\Color", "Red", Bytes(RegBinary, {0, 0, 0, 63}));
    Put("\\Color", "Green", Double(0.5));
    Put("\\Color", "Blue", Bytes(RegDword, {1, 0, 0, 0}));
    Put("\\Pos", "XPos", Bytes(RegBinary, {1, 0, 0, 0}));
    Put("\\Pos", "YPos", Bytes(RegDword, {1, 0}));
    Put("\\File", "ColorDir", Bytes(RegDword, {1, 0, 0, 0}));
    Put("\\File", "ColorFile", Bytes(RegExpandSz, {'%', 'X', '%', 0}));
    Put("\\File", "LocaleDir", Bytes(RegSz, {'a', 0, 'b', 0}));
    Put("\\File", "LocaleFile", Bytes(RegSz, {}));
    Put("\\Range", "RgbRange", Bytes(RegDword, {100, 0, 0, 0}));
    EXPECT_EQ(ReadTab(), 0);
    int rgb, hls, hsv, cmy, cmyk, name, visual;
    ReadTabVisibility(rgb, hls, hsv, cmy, cmyk, name, visual);
    EXPECT_EQ(rgb, 1);
    EXPECT_EQ(ReadRed(), 0.0f);
    EXPECT_EQ(ReadGreen(), 0.5f);
    EXPECT_EQ(ReadBlue(), 0.0f);
    EXPECT_EQ(ReadXPos(), 0);
    EXPECT_EQ(ReadYPos(), 0);
    std::string text = "x";
    ReadColorDir(text);
    EXPECT_EQ(text, "");
    ReadColorFile(text);
    EXPECT_EQ(text, "%X%"); // expandable texts are read unexpanded
    ReadLocaleDir(text);
    EXPECT_EQ(text, "a"); // a text ends at its first zero byte
    ReadLocaleFile(text);
    EXPECT_EQ(text, "");
    int r, g, b;
    ReadRgbRange(r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{255, 255, 255}));
}

TEST_F(SettingsTest, PrimitivesReportWhetherTheyRead) {
    int number = 9;
    float real = 9;
    std::string text = "x";
    EXPECT_FALSE(ReadIntegerSetting(ParamsKey("\\Tab"), "Nothing", number));
    EXPECT_FALSE(ReadRealSetting(ParamsKey("\\Tab"), "Nothing", real));
    EXPECT_FALSE(ReadTextSetting(ParamsKey("\\Tab"), "Nothing", text));
    EXPECT_EQ(number, 0);
    EXPECT_EQ(real, 0.0f);
    EXPECT_EQ(text, "");
    WriteIntegerSetting(ParamsKey("\\Tab"), "Something", -5);
    EXPECT_TRUE(ReadIntegerSetting(ParamsKey("\\Tab"), "Something", number));
    EXPECT_EQ(number, -5);
}

TEST_F(SettingsTest, WrittenValuesReadBack) {
    WriteRed(0.1f);
    WriteGreen(1.0f / 3.0f);
    WriteBlue(-2.5f);
    WriteTab(6);
    WriteXPos(-1200);
    WriteYPos(40);
    WriteStayOnTop(1);
    WriteTabVisibility(0, 1, 0, 1, 0, 1, 5);
    WriteCodeVisibility(0, 1);
    WriteNameSort(-1);
    WriteVisualSort(2);
    WriteSize(7);
    WriteHlsRange(360, 100, 100);
    WriteCmykRange(100, 100, 100, 100);
    WriteColorFile("web.txt");
    EXPECT_EQ(ReadRed(), 0.1f);
    EXPECT_EQ(ReadGreen(), 1.0f / 3.0f);
    EXPECT_EQ(ReadBlue(), -2.5f);
    EXPECT_EQ(ReadTab(), 6);
    EXPECT_EQ(ReadXPos(), -1200);
    EXPECT_EQ(ReadYPos(), 40);
    EXPECT_EQ(ReadStayOnTop(), 1);
    int a, b, c, d, e, f, g;
    ReadTabVisibility(a, b, c, d, e, f, g);
    EXPECT_EQ((std::vector<int>{a, b, c, d, e, f, g}), (std::vector<int>{0, 1, 0, 1, 0, 1, 5}));
    ReadCodeVisibility(a, b);
    EXPECT_EQ((std::vector<int>{a, b}), (std::vector<int>{0, 1}));
    ReadNameSort(a);
    ReadVisualSort(b);
    ReadSize(c);
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{-1, 2, 7}));
    ReadHlsRange(a, b, c);
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{360, 100, 100}));
    ReadCmykRange(a, b, c, d);
    EXPECT_EQ((std::vector<int>{a, b, c, d}), (std::vector<int>(4, 100)));
    std::string text;
    ReadColorFile(text);
    EXPECT_EQ(text, "web.txt");

    // Stored as the registry stores them: a double, a dword, a "%d %d %d" text.
    const std::optional<RegDocument> doc = store_->Load();
    ASSERT_TRUE(doc.has_value());
    const RegSection* range = doc->Find("HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel\\Range");
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(*FindRegValue(*range, "HlsRange"), Text("360 100 100"));
    const RegSection* color = doc->Find("HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel\\Color");
    EXPECT_EQ(*FindRegValue(*color, "Red"), Double(static_cast<double>(0.1f)));
}

TEST_F(SettingsTest, ARealIsNarrowedToFloat) {
    Put("\\Color", "Red", Double(0.1));
    EXPECT_EQ(ReadRed(), 0.1f);
    Put("\\Color", "Green", Double(1e300));
    EXPECT_EQ(ReadGreen(), std::numeric_limits<float>::infinity());
}

TEST_F(SettingsTest, WritingReplacesAValueOfAnotherType) {
    Put("\\Pos", "StayOnTop", Text("yes"));
    EXPECT_EQ(ReadStayOnTop(), 0);
    WriteStayOnTop(1);
    EXPECT_EQ(ReadStayOnTop(), 1);
}

TEST_F(SettingsTest, RangeTextsParseLikeScanf) {
    const struct {
        const char* name;
        const char* text;
        std::vector<int> expected;
    } cases[] = {
        {"RgbRange", "100 100 100 and more", {100, 100, 100}},
        {"HlsRange", "   360    100\t100", {360, 100, 100}},
        {"CmyRange", "100 100 100 100", {100, 100, 100}},
        {"RgbRange", "letters", {255, 255, 255}},
        {"RgbRange", "100,100,100", {100, 255, 255}},
        {"HlsRange", "100", {100, 255, 255}},
        {"HsvRange", "", {360, 255, 255}},
        {"RgbRange", "-5 +7 12x", {-5, 7, 12}},
        {"RgbRange", "1 99999999999 3", {1, 255, 255}},
        {"RgbRange", "1 - 3", {1, 255, 255}},
    };
    for (const auto& c : cases) {
        Put("\\Range", c.name, Text(c.text));
        int a = 0, b = 0, d = 0;
        if (std::string(c.name) == "RgbRange") {
            ReadRgbRange(a, b, d);
        } else if (std::string(c.name) == "HlsRange") {
            ReadHlsRange(a, b, d);
        } else if (std::string(c.name) == "HsvRange") {
            ReadHsvRange(a, b, d);
        } else {
            ReadCmyRange(a, b, d);
        }
        EXPECT_EQ((std::vector<int>{a, b, d}), c.expected) << c.name << " \"" << c.text << "\"";
    }
    Put("\\Range", "CmykRange", Text("100 100"));
    int a, b, d, e;
    ReadCmykRange(a, b, d, e);
    EXPECT_EQ((std::vector<int>{a, b, d, e}), (std::vector<int>{100, 100, 255, 255}));
}

// Without a usable store every read gives its default and nothing throws.
TEST(SettingsWithoutStore, EverythingQuiet) {
    TestFolder folder;
    std::ofstream(folder / "file") << "x";
    SetSettingsStore(std::make_unique<FileRegistryStore>(folder / "file/VRQM/tintorel.reg"));
    WriteTab(3);
    EXPECT_EQ(ReadTab(), 0);
    int rgb, hls, hsv, cmy, cmyk, name, visual;
    ReadTabVisibility(rgb, hls, hsv, cmy, cmyk, name, visual);
    EXPECT_EQ(visual, 1);
    int r, g, b;
    ReadHlsRange(r, g, b);
    EXPECT_EQ(r, 360);
    SetSettingsStore(std::make_unique<FileRegistryStore>(""));
    WriteColorFile("x");
    std::string text = "y";
    ReadColorFile(text);
    EXPECT_EQ(text, "");
    SetSettingsStore(nullptr);
}

// A store that throws is as quiet as one that fails.
TEST(SettingsWithoutStore, ExceptionsOfTheStoreAreSwallowed) {
    struct ThrowingStore : RegistryStore {
        std::unique_ptr<RegistryKey> CreateKey(const std::string&) override {
            throw std::runtime_error("store broken");
        }
    };
    SetSettingsStore(std::make_unique<ThrowingStore>());
    EXPECT_NO_THROW(WriteRed(0.5f));
    EXPECT_EQ(ReadRed(), 0.0f);
    EXPECT_EQ(ReadYPos(), 0);
    SetSettingsStore(nullptr);
}

} // namespace
} // namespace tintorel
