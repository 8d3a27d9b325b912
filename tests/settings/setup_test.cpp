#include "settings/setup.h"
#include "settingstest.h"

#include <map>

namespace tintorel {
namespace {

TEST(LanguageFileForLocale, FirstSetVariableDecides) {
    const struct {
        std::map<std::string, std::string> env;
        const char* file;
    } cases[] = {
        {{{"LANG", "fr_FR.UTF-8"}}, "french.txt"},
        {{{"LANG", "de_CH.UTF-8"}}, "german.txt"},
        {{{"LANG", "en_GB.UTF-8"}}, "english.txt"},
        {{{"LANG", "C"}}, "english.txt"},
        {{}, "english.txt"},
        {{{"LANG", "fr_FR.UTF-8"}, {"LC_MESSAGES", "de_DE"}}, "german.txt"},
        {{{"LANG", "de_DE"}, {"LC_MESSAGES", "fr_BE"}, {"LC_ALL", "en_US"}}, "english.txt"},
        {{{"LANG", "de_DE"}, {"LC_ALL", ""}}, "german.txt"},
    };
    for (const auto& c : cases) {
        const auto getEnv = [&c](const char* name) -> const char* {
            const auto found = c.env.find(name);
            return found == c.env.end() ? nullptr : found->second.c_str();
        };
        EXPECT_EQ(LanguageFileForLocale(getEnv), c.file);
    }
}

using SetupTest = SettingsTest;

TEST_F(SetupTest, WritesOnlyWhatIsMissingAndOnlyOnce) {
    WriteTextSetting(ParamsKey("\\File"), "LocaleFile", "mine.txt");
    const SetupValues values{"/opt/t/colours/", "/opt/t/languages/", "german.txt"};
    const int syncs = store_->Syncs();
    EXPECT_EQ(RunSetup(values), (std::vector<std::string>{"ColorDir", "LocaleDir", "ColorFile"}));
    // All of it in one write: the file and its folder flushed once each.
    EXPECT_EQ(store_->Syncs() - syncs, 2);
    const std::string before = store_->Load() ? FormatRegFile(*store_->Load()) : "";
    EXPECT_TRUE(RunSetup(values).empty());
    EXPECT_EQ(store_->Syncs() - syncs, 2); // the second run writes nothing
    EXPECT_EQ(FormatRegFile(*store_->Load()), before);
    std::string text;
    ReadColorDir(text);
    EXPECT_EQ(text, "/opt/t/colours/");
    ReadLocaleDir(text);
    EXPECT_EQ(text, "/opt/t/languages/");
    ReadLocaleFile(text);
    EXPECT_EQ(text, "mine.txt");
    ReadColorFile(text);
    EXPECT_EQ(text, "web.txt");
    // The program's eight keys exist, so that its first start only reads.
    const std::optional<RegDocument> doc = store_->Load();
    for (const char* sub : {"Color", "Tab", "Sort", "Pos", "Format", "Range", "File", "Pipette"}) {
        EXPECT_NE(doc->Find(std::string("HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel\\") + sub),
                  nullptr)
            << sub;
    }
}

} // namespace
} // namespace tintorel
