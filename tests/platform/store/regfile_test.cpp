#include "platform/store/regfile.h"
#include "tests/platform/store/regvalues.h"

#include <gtest/gtest.h>

namespace tintorel {
namespace {

TEST(RegFile, ReadsEveryValueForm) {
    const std::string file = "REGEDIT4\r\n"
                             "\r\n"
                             "[HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel\\Color]\r\n"
                             "\"Red\"=hex:00,00,00,00,00,00,e0,3f\r\n"
                             "\"Dir\"=\"C:\\\\colours\\\\ \\\"x\\\"\"\r\n"
                             "\"Tab\"=dword:00000006\r\n"
                             "\"Neg\"=dword:ffffffff\r\n"
                             "\"X\"=hex(2):25,00\r\n"
                             "\"Q\"=hex(b):01,02,03,04,05,06,07,08\r\n"
                             "@=hex(1):64,65,\\\r\n"
                             "  66,00\r\n"
                             "\"Long\"=hex:01,02,\\\r\n"
                             "  03,04\r\n"
                             "\"Empty\"=hex:\r\n"
                             "\"Loose\" = \"spaces around\"\r\n";
    const RegDocument doc = ParseRegFile(file);
    ASSERT_EQ(doc.sections.size(), 1u);
    const RegSection& s = doc.sections[0];
    const struct {
        const char* name;
        RegValue value;
    } expected[] = {
        {"red", {RegBinary, {0, 0, 0, 0, 0, 0, 0xe0, 0x3f}}},
        {"Dir", Text("C:\\colours\\ \"x\"")},
        {"Tab", {RegDword, {6, 0, 0, 0}}},
        {"Neg", {RegDword, {0xff, 0xff, 0xff, 0xff}}},
        {"X", {RegExpandSz, {0x25, 0}}},
        {"Q", {RegQword, {1, 2, 3, 4, 5, 6, 7, 8}}},
        {"", Text("def")},
        {"Long", {RegBinary, {1, 2, 3, 4}}},
        {"Empty", {RegBinary, {}}},
        {"Loose", Text("spaces around")},
    };
    for (const auto& e : expected) {
        const RegValue* value = FindRegValue(s, e.name);
        ASSERT_NE(value, nullptr) << e.name;
        EXPECT_EQ(*value, e.value) << e.name;
    }
    EXPECT_NE(doc.Find("hkey_current_user\\software\\vrqm\\tintorel\\color"), nullptr);
}

TEST(RegFile, UnreadableLinesAreKeptInTheirPlace) {
    const std::string file = "garbage before any section\n"
                             "[HKEY_CURRENT_USER\\A]\n"
                             "\"Good\"=dword:1\n"
                             "not a value at all\n"
                             "\"Bad\"=dword:xyz\n"
                             "\"Open\"=\"no closing quote\n"
                             "; a comment\n"
                             "\"Tail\"=hex:1,2\n"
                             "\x01\x02\xff binary\n";
    const RegDocument doc = ParseRegFile(file);
    const std::string written = FormatRegFile(doc);
    for (const char* kept : {"garbage before any section\n", "not a value at all\n",
                             "\"Bad\"=dword:xyz\n", "\"Open\"=\"no closing quote\n",
                             "; a comment\n", "\"Tail\"=hex:1,2\n", "\x01\x02\xff binary\n"}) {
        EXPECT_NE(written.find(kept), std::string::npos) << kept;
    }
    EXPECT_LT(written.find("\"Good\""), written.find("not a value"));
    EXPECT_LT(written.find("not a value"), written.find("\"Bad\""));
}

TEST(RegFile, WritesAndReadsBackExactly) {
    RegDocument doc;
    doc.sections.push_back({"HKEY_CURRENT_USER\\Software", {}, {}});
    RegSection& s = doc.sections.back();
    const std::vector<std::pair<std::string, RegValue>> values = {
        {"Text", Text("/usr/share/tintorel/colours/")},
        {"Quotes", Text("say \"hi\" \\ there")},
        {"Bytes", Text("caf\xe9")},
        {"Line break", Text("two\nlines")},
        {"Inner zero", {RegSz, {'a', 0, 'b', 0}}},
        {"Unterminated", {RegSz, {'a', 'b'}}},
        {"Empty text", {RegSz, {}}},
        {"Int", {RegDword, {1, 2, 3, 4}}},
        {"Short dword", {RegDword, {1, 2}}},
        {"Real", {RegBinary, {0, 0, 0, 0, 0, 0, 0xe0, 0x3f}}},
        {"Expand", {RegExpandSz, {'%', 'H', 0}}},
        {"Odd type", {0x1234, {9}}},
        {"", Text("default value")},
    };
    for (const auto& [name, value] : values) {
        SetRegValue(s, name, value);
    }
    const std::string text = FormatRegFile(doc);
    EXPECT_EQ(text.rfind("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n", 0), 0u);
    EXPECT_NE(text.find("\"Text\"=\"/usr/share/tintorel/colours/\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"Int\"=dword:04030201\n"), std::string::npos);
    EXPECT_NE(text.find("\"Real\"=hex:00,00,00,00,00,00,e0,3f\n"), std::string::npos);
    const RegDocument back = ParseRegFile(text);
    ASSERT_EQ(back.sections.size(), 1u);
    for (const auto& [name, value] : values) {
        const RegValue* read = FindRegValue(back.sections[0], name);
        ASSERT_NE(read, nullptr) << name;
        EXPECT_EQ(*read, value) << name;
    }
    EXPECT_EQ(FormatRegFile(back), text);
}

// An unreadable line that ends like a wrapped hexadecimal list must not
// swallow the blank line written after it (found by fuzzing).
TEST(RegFile, RewritingIsStableForLinesEndingInABackslash) {
    const std::string inputs[] = {
        std::string("[HKEY_CURRENT_USER\\A]\n\"Red\"=hex:\0\0E\0R\\", 26),
        "[HKEY_CURRENT_USER\\A]\n\"X\"=hex:zz,\\\n[HKEY_CURRENT_USER\\B]\n\"Y\"=dword:1\n",
        "[HKEY_CURRENT_USER\\A]\n\"X\"=hex:01,\\\n\n  02\n",
        "[HKEY_CURRENT_USER\\A]\r\nnot a value\r\r\r\n\"N\"=dword:1\r\n",
        "[\xff];=hex\\\n\n T",
        "[HKEY_CURRENT_USER\\A] ;=hex:01,\\\n  T\n",
    };
    for (const std::string& input : inputs) {
        const std::string once = FormatRegFile(ParseRegFile(input));
        EXPECT_EQ(FormatRegFile(ParseRegFile(once)), once);
    }
    const RegDocument doc = ParseRegFile(inputs[1]);
    ASSERT_EQ(doc.sections.size(), 2u);
    EXPECT_NE(FindRegValue(doc.sections[1], "Y"), nullptr);

    // A header's comment never takes in the line below it.
    const RegDocument commented = ParseRegFile(inputs[5]);
    ASSERT_EQ(commented.sections.size(), 1u);
    EXPECT_EQ(commented.sections[0].comment, " ;=hex:01,\\");
    ASSERT_EQ(commented.sections[0].lines.size(), 1u);
    EXPECT_EQ(std::get<RegRawLine>(commented.sections[0].lines[0]).text, "  T");
}

TEST(RegFile, SettingAValueReplacesItWhateverItsTypeAndCase) {
    RegSection s{"HKEY_CURRENT_USER\\X", {}, {}};
    SetRegValue(s, "StayOnTop", Text("yes"));
    SetRegValue(s, "stayontop", {RegDword, {1, 0, 0, 0}});
    ASSERT_EQ(s.lines.size(), 1u);
    EXPECT_EQ(std::get<RegEntry>(s.lines[0]).name, "StayOnTop");
    EXPECT_EQ(*FindRegValue(s, "STAYONTOP"), (RegValue{RegDword, {1, 0, 0, 0}}));
}

// As when such a file is imported: a key's later block and a value's later
// line win, and a comment after a header leaves it a header.
TEST(RegFile, HandEditedFilesReadAsImported) {
    const std::string file = "REGEDIT4\n\n"
                             "[HKEY_CURRENT_USER\\A] ; colours\n"
                             "\"Tab\"=dword:00000001\n"
                             "\"Tab\"=dword:00000002\n"
                             "\"Only\"=dword:00000005\n"
                             "\n"
                             "[HKEY_CURRENT_USER\\B];no space\n"
                             "\"X\"=dword:00000007\n"
                             "\n"
                             "[hkey_current_user\\a]\n"
                             "\"TAB\"=dword:00000003\n";
    const RegDocument doc = ParseRegFile(file);
    ASSERT_EQ(doc.sections.size(), 3u);
    const struct {
        const char* path;
        const char* name;
        const RegValue* expected;
    } cases[] = {
        {"HKEY_CURRENT_USER\\A", "Tab", nullptr},
        {"HKEY_CURRENT_USER\\A", "Only", nullptr},
        {"HKEY_CURRENT_USER\\B", "X", nullptr},
    };
    const RegValue three = Dword(3);
    const RegValue five = Dword(5);
    const RegValue seven = Dword(7);
    const RegValue* wanted[] = {&three, &five, &seven};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const RegValue* value = FindRegValue(doc, cases[i].path, cases[i].name);
        ASSERT_NE(value, nullptr) << cases[i].name;
        EXPECT_EQ(*value, *wanted[i]) << cases[i].name;
    }
    EXPECT_EQ(FindRegValue(doc, "HKEY_CURRENT_USER\\A", "Missing"), nullptr);
    // Within one block the later line wins as well.
    EXPECT_EQ(*FindRegValue(doc.sections[0], "tab"), Dword(2));
    // Writing goes to the value that wins, and nothing else is lost.
    RegDocument changed = doc;
    SetRegValue(*changed.Find("HKEY_CURRENT_USER\\A"), "Tab", Dword(9));
    EXPECT_EQ(*FindRegValue(changed, "HKEY_CURRENT_USER\\A", "Tab"), Dword(9));
    const std::string written = FormatRegFile(changed);
    for (const char* kept :
         {"[HKEY_CURRENT_USER\\A] ; colours\n", "[HKEY_CURRENT_USER\\B];no space\n",
          "\"Tab\"=dword:00000001\n", "\"Tab\"=dword:00000002\n", "\"TAB\"=dword:00000009\n"}) {
        EXPECT_NE(written.find(kept), std::string::npos) << kept << " in\n" << written;
    }
    EXPECT_EQ(FormatRegFile(ParseRegFile(written)), written);
}

// Lookups find a key's sections by name, letter case aside, also sections
// added after the document was first searched, and the index never keeps a
// stale place.
TEST(RegFile, LookupsFollowSectionsAsTheyAreAdded) {
    RegDocument doc = ParseRegFile("REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"X\"=dword:00000001\n");
    EXPECT_EQ(doc.Find("hkey_current_user\\a"), &doc.sections[0]);
    EXPECT_EQ(doc.Find("HKEY_CURRENT_USER\\B"), nullptr);
    doc.sections.push_back({"HKEY_CURRENT_USER\\B", {}, {}});
    doc.sections.push_back({"HKEY_CURRENT_USER\\a", {}, {}});
    EXPECT_EQ(doc.Find("HKEY_CURRENT_USER\\B"), &doc.sections[1]);
    // The later section of a key is where values go; the value that counts
    // is still the one written.
    EXPECT_EQ(doc.Find("HKEY_CURRENT_USER\\A"), &doc.sections[2]);
    ASSERT_NE(FindRegValue(doc, "HKEY_CURRENT_USER\\A", "X"), nullptr);
    SetRegValue(doc.sections[2], "X", RegValue{RegDword, {2, 0, 0, 0}});
    EXPECT_EQ(FindRegValue(doc, "HKEY_CURRENT_USER\\A", "x")->data[0], 2);
    // Sections changed other than by adding: found anew.
    doc.sections.erase(doc.sections.begin());
    EXPECT_EQ(doc.Find("HKEY_CURRENT_USER\\B"), &doc.sections[0]);
    EXPECT_EQ(doc.Find("HKEY_CURRENT_USER\\A"), &doc.sections[1]);
    std::swap(doc.sections[0], doc.sections[1]);
    EXPECT_EQ(doc.Find("HKEY_CURRENT_USER\\B"), &doc.sections[1]);
    const RegDocument copy = doc;
    EXPECT_EQ(copy.Find("HKEY_CURRENT_USER\\B"), &copy.sections[1]);
}

} // namespace
} // namespace tintorel
