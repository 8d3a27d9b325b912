#include "util/utilstring.h"

#include <gtest/gtest.h>

namespace tintorel {
namespace {

struct SplitCase {
    const char* text;
    const char* delimiters;
    std::vector<std::string> fields;
};

TEST(SplitTokens, FieldsAreMaximalRunsWithoutEmptyOnes) {
    const SplitCase cases[] = {
        {"a|b||c|", "|", {"a", "b", "c"}},
        {"", "|", {}},
        {"|||", "|", {}},
        {"|RGB|1|2|3|", "|", {"RGB", "1", "2", "3"}},
        {"Red,,255,,0,,0", "\t,;/", {"Red", "255", "0", "0"}},
        {"Dark Red\t139/0;0", "\t,;/", {"Dark Red", "139", "0", "0"}},
        {"no delimiter here", "|", {"no delimiter here"}},
        {"abc", "", {"abc"}},
    };
    for (const SplitCase& c : cases) {
        std::vector<std::string> tokens;
        SplitTokens(c.text, c.delimiters, tokens);
        EXPECT_EQ(tokens, c.fields) << "text: \"" << c.text << "\"";
    }
}

TEST(SplitTokens, AppendsToWhatTheListAlreadyHolds) {
    std::vector<std::string> tokens = {"kept"};
    SplitTokens("x|y", "|", tokens);
    EXPECT_EQ(tokens, (std::vector<std::string>{"kept", "x", "y"}));
}

TEST(SplitTokens, KeepsEveryByte) {
    const std::string text("caf\xe9|\x01\xff", 7);
    std::vector<std::string> tokens;
    SplitTokens(text, "|", tokens);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0], "caf\xe9");
    EXPECT_EQ(tokens[1], "\x01\xff");
}

TEST(IsCommentLine, BlankAndMarkedLines) {
    const struct {
        const char* line;
        bool comment;
    } cases[] = {
        {"", true},       {"  ", true},           {"\t \t", true},     {"  REM x", true},
        {"\t;x", true},   {"--x", true},          {"//x", true},       {"REMARK", true},
        {"REM:", true},   {"Remy,1,2,3", false},  {"/x,1,2,3", false}, {"-x", false},
        {"Rem x", false}, {"Red,255,0,0", false}, {" x;", false},      {"\r", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsCommentLine(c.line), c.comment) << "line: \"" << c.line << "\"";
    }
}

} // namespace
} // namespace tintorel
