#include "locale/language.h"
#include "locale/texttables.h"
#include "tests/testfolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string_view>

namespace tintorel {
namespace {

class LanguageTest : public ::testing::Test {
protected:
    int Load(const std::string& contents) {
        std::ofstream(folder_ / "lang.txt", std::ios::binary) << contents;
        return LoadLanguageFile(folder_.Path().string(), "lang.txt");
    }
    TestFolder folder_;
};

TEST_F(LanguageTest, FileLinesToEntries) {
    const struct {
        const char* what;
        std::string contents;
        std::vector<std::pair<std::string, std::string>> lookups;
    } cases[] = {
        {"empty line ends the file",
         "MainTitle\tColours\n\nMainOk\tOK\n",
         {{"MainTitle", "Colours"}, {"MainOk", "<-->"}}},
        {"line of a space is skipped", "A\ta\n \nB\tb\n", {{"A", "a"}, {"B", "b"}}},
        {"first of a key wins", "MainOk\tA\nMainOk\tB\n", {{"MainOk", "A"}}},
        {"case counts", "mainok\tx\n", {{"MainOk", "<-->"}, {"mainok", "x"}}},
        {"spaces and punctuation stay", "K\tSave, load; a/b  \n", {{"K", "Save, load; a/b  "}}},
        {"runs of tabs", "K\t\t\tv\n\tL\tw\t\n", {{"K", "v"}, {"L", "w"}}},
        {"wrong field counts",
         "K v\nA\tb\tc\nD\td\n",
         {{"K v", "<-->"}, {"A", "<-->"}, {"D", "d"}}},
        {"comments",
         "REM\tx\n;K\ty\n  --\tz\nREMARK\tx\nRem\tr\n",
         {{"REM", "<-->"}, {";K", "<-->"}, {"Rem", "r"}}},
        {"CR LF", "A\ta\r\nB\tb\r\n\r\nC\tc\r\n", {{"A", "a"}, {"B", "b"}, {"C", "<-->"}}},
        {"Ctrl-Z ends the file",
         "A\ta\n\x1a"
         "B\tb\n",
         {{"A", "a"}, {"B", "<-->"}}},
        {"leading space makes another key", " A\ta\n", {{"A", "<-->"}, {" A", "a"}}},
    };
    for (const auto& c : cases) {
        Load(c.contents);
        for (const auto& [key, text] : c.lookups) {
            EXPECT_EQ(LookupText(key), text) << c.what << ": " << key;
        }
    }
}

TEST_F(LanguageTest, ResultSaysWhetherTheTableHoldsAnything) {
    EXPECT_EQ(Load("A\ta\n"), 1);
    EXPECT_EQ(Load("\nA\ta\n"), -1);
    EXPECT_EQ(Load("; only comments\nA b c\n"), -1);
    EXPECT_TRUE(LanguageTable().empty());
    EXPECT_EQ(LoadLanguageFile(folder_.Path().string(), "missing.txt"), -1);
    EXPECT_EQ(LoadLanguageFile("", ""), -1);
    EXPECT_EQ(LookupText("A"), "<-->");
}

TEST_F(LanguageTest, FolderWithOrWithoutSlash) {
    Load("A\ta\n");
    EXPECT_EQ(LoadLanguageFile(folder_.Path().string() + "/", "lang.txt"), 1);
    EXPECT_EQ(LoadLanguageFile(folder_.Path().string(), "lang.txt"), 1);
}

// A user's own file written before a text was added shows that text in
// English; a key the windows had from the start still shows "<-->".
TEST_F(LanguageTest, KeysAddedLaterFallBackToEnglish) {
    ASSERT_EQ(Load("MainTitle\tFarben\n"), 1);
    EXPECT_EQ(LookupText("MainHtmlRejected"),
              "Not a color: the web code takes #rrggbb, #rgb, rrggbb or a CSS color such as "
              "rgb(), hsl(), oklch() or a name.");
    // Every key added later, and only those, falls back to its own text.
    std::set<std::string> later;
    for (const auto& table : {MainTextKeys(), ParamTextKeys(), AboutTextKeys()}) {
        for (const TextKey& k : table) {
            if (k.later) {
                later.insert(k.key);
                EXPECT_EQ(LookupText(k.key), k.builtIn) << k.key;
            } else if (std::string_view(k.key) != "MainTitle") {
                EXPECT_EQ(LookupText(k.key), "<-->") << k.key;
            }
        }
    }
    for (const char* key :
         {"MainVbRejected", "MainHtmlAlpha", "MainHtmlMapped", "MainCopyAs", "ParamLanguage",
          "MainOklchTab", "MainContrastSpoken", "ParamPanelOklch"}) {
        EXPECT_EQ(later.count(key), 1u) << key;
    }
    EXPECT_EQ(LookupText("MainOk"), "<-->");
    EXPECT_EQ(LaterKeyText("MainOk"), nullptr);
    // A file that has the key keeps its own text.
    ASSERT_EQ(Load("MainHtmlRejected\tKeine Farbe\n"), 1);
    EXPECT_EQ(LookupText("MainHtmlRejected"), "Keine Farbe");
}

// The language files of a folder, by the names they give themselves; a file
// of texts without a name goes by its file name, one of no texts is none.
TEST_F(LanguageTest, LanguageFilesGoByTheirOwnNames) {
    std::ofstream(folder_ / "zz.txt") << "LanguageName\tDeutsch\nMainOk\tOK\n";
    std::ofstream(folder_ / "aa.TXT") << "LanguageName\tSvenska\n";
    std::ofstream(folder_ / "mine.txt") << "MainOk\tOK\n";
    std::ofstream(folder_ / "notes.txt") << "; nothing but a comment\n";
    std::ofstream(folder_ / "readme.md") << "LanguageName\tnot a language file\n";
    const std::vector<LanguageFileName> files = LanguageFiles(folder_.Path().string());
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].name, "Deutsch");
    EXPECT_EQ(files[0].file, "zz.txt");
    EXPECT_EQ(files[1].name, "Svenska");
    EXPECT_EQ(files[1].file, "aa.TXT");
    EXPECT_EQ(files[2].name, "mine.txt");
    EXPECT_TRUE(LanguageFiles(folder_.Path().string() + "/missing").empty());
}

// Every shipped language gives every window text, and no key besides.
TEST(ShippedLanguages, DefineExactlyTheWindowKeys) {
    std::set<std::string> keys;
    for (const auto& table : {MainTextKeys(), ParamTextKeys(), AboutTextKeys()}) {
        for (const TextKey& k : table) {
            keys.insert(k.key);
        }
    }
    ASSERT_EQ(keys.size(), 113u);
    for (const char* file : {"english.txt", "french.txt", "german.txt"}) {
        ASSERT_EQ(LoadLanguageFile(TINTOREL_LANGUAGE_DIR, file), 1) << file;
        std::multiset<std::string> defined;
        for (const BLocaleItem& item : LanguageTable()) {
            defined.insert(item.key);
        }
        EXPECT_EQ(defined.size(), 113u) << file;
        EXPECT_EQ(std::set<std::string>(defined.begin(), defined.end()), keys) << file;
    }
    // The built-in English texts, the last resort when no file can be read,
    // are the shipped English file's, word for word.
    LoadLanguageFile(TINTOREL_LANGUAGE_DIR, "english.txt");
    const std::vector<BLocaleItem> shipped = LanguageTable();
    for (const auto& table : {MainTextKeys(), ParamTextKeys(), AboutTextKeys()}) {
        for (const TextKey& k : table) {
            EXPECT_EQ(LookupText(k.key), k.builtIn) << k.key;
        }
    }
    LoadBuiltInTexts();
    ASSERT_EQ(LanguageTable().size(), shipped.size());
    for (const BLocaleItem& item : shipped) {
        EXPECT_EQ(LookupText(item.key), item.text) << item.key;
    }
}

} // namespace
} // namespace tintorel
