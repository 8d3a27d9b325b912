#include "log/log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tintorel {
namespace {

namespace fs = std::filesystem;

class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tintorel-log-test-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
    }
    void TearDown() override {
        DestroyLog();
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, ignored);
        fs::remove_all(folder_, ignored);
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    fs::path folder_;
};

TEST_F(LogTest, NestedTraceIsIndentedTwoSpacesPerLevel) {
    CreateLog(folder_.string(), "tintorel.log", true);
    LogLine("-- Tintorel --");
    TraceBegin("TMainForm::OnCreate");
    TraceBegin("TMainForm::PageControlChanged");
    TraceBegin("Third");
    LogLine("deep");
    TraceEnd("Third");
    TraceEnd("TMainForm::PageControlChanged");
    TraceEnd("TMainForm::OnCreate");
    DestroyLog();
    EXPECT_EQ(Read(folder_ / "tintorel.log"), "-- Tintorel --\n"
                                              "TMainForm::OnCreate - Begin\n"
                                              "  TMainForm::PageControlChanged - Begin\n"
                                              "    Third - Begin\n"
                                              "      deep\n"
                                              "    Third - End\n"
                                              "  TMainForm::PageControlChanged - End\n"
                                              "TMainForm::OnCreate - End\n");
}

TEST_F(LogTest, EndWithoutBeginOnlyRemovesIndentation) {
    CreateLog(folder_.string(), "a.log", true);
    TraceEnd("Stray");
    LogLine("still here");
    TraceBegin("Back");
    LogLine("level zero again");
    DestroyLog();
    EXPECT_EQ(Read(folder_ / "a.log"), "Stray - End\nstill here\nBack - Begin\nlevel zero again\n");
}

TEST_F(LogTest, FolderGetsASeparatorAndIsCreated) {
    const fs::path nested = folder_ / "state" / "tintorel";
    BLog withoutSlash(nested.string(), "a.log");
    EXPECT_EQ(withoutSlash.Path(), nested.string() + "/a.log");
    EXPECT_TRUE(withoutSlash.IsOpen());
    BLog withSlash(nested.string() + "/", "b.log");
    EXPECT_EQ(withSlash.Path(), nested.string() + "/b.log");
}

TEST_F(LogTest, EachSessionReplacesTheLastOne) {
    CreateLog(folder_.string(), "tintorel.log", true);
    LogLine("first session");
    DestroyLog();
    CreateLog(folder_.string(), "tintorel.log", true);
    LogLine("second session");
    DestroyLog();
    EXPECT_EQ(Read(folder_ / "tintorel.log"), "second session\n");
}

// A second instance of the program starting while the first runs replaces
// the log; the first one's later lines follow the second's instead of
// landing at their old offset behind a run of NUL bytes.
TEST_F(LogTest, AnOverlappingSessionLeavesNoHoleInTheFile) {
    BLog first(folder_.string(), "tintorel.log");
    first.Write("first session, a rather long line");
    BLog second(folder_.string(), "tintorel.log");
    second.Write("second");
    first.Write("first again");
    EXPECT_EQ(Read(folder_ / "tintorel.log"), "second\nfirst again\n");
}

TEST_F(LogTest, LinesReachTheFileAtOnce) {
    CreateLog(folder_.string(), "tintorel.log", true);
    LogLine("flushed");
    EXPECT_EQ(Read(folder_ / "tintorel.log"), "flushed\n");
}

TEST_F(LogTest, NothingHappensOnceTheLogIsDestroyed) {
    CreateLog(folder_.string(), "tintorel.log", true);
    DestroyLog();
    fs::remove(folder_ / "tintorel.log");
    LogLine("x");
    TraceBegin("x");
    TraceEnd("x");
    LogTime();
    EXPECT_FALSE(fs::exists(folder_ / "tintorel.log"));
}

TEST_F(LogTest, TimeLineIsFollowedByAnEmptyLine) {
    CreateLog(folder_.string(), "tintorel.log", true);
    LogTime();
    DestroyLog();
    const std::string text = Read(folder_ / "tintorel.log");
    ASSERT_EQ(text.size(), 26u);
    EXPECT_EQ(text.substr(24), "\n\n");
}

// The time line is the user's wall clock: under zones far from UTC it shows
// the local hour, never the UTC one.
TEST_F(LogTest, TimeLineIsInLocalTime) {
    const char* saved = std::getenv("TZ");
    const std::string previous = saved != nullptr ? saved : "";
    for (const char* zone : {"XST-12", "YST+11", "Europe/Paris"}) {
        setenv("TZ", zone, 1);
        tzset();
        CreateLog(folder_.string(), "tintorel.log", true);
        const std::time_t before = std::time(nullptr);
        LogTime();
        const std::time_t after = std::time(nullptr);
        DestroyLog();
        const std::string line = Read(folder_ / "tintorel.log").substr(0, 25);
        bool local = false;
        bool utc = false;
        for (std::time_t t = before; t <= after; ++t) {
            std::tm tm{};
            local = local || FormatLogTime(*localtime_r(&t, &tm)) == line;
            utc = utc || FormatLogTime(*gmtime_r(&t, &tm)) == line;
        }
        EXPECT_TRUE(local) << zone << ": " << line;
        if (std::string(zone) != "Europe/Paris") { // an hour from UTC at most
            EXPECT_FALSE(utc) << zone << ": " << line;
        }
    }
    if (saved != nullptr) {
        setenv("TZ", previous.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST_F(LogTest, UnwritableFolderLeavesTheLogClosedAndQuiet) {
    // A folder below a regular file cannot exist, even for root.
    fs::create_directories(folder_);
    std::ofstream(folder_ / "file").put('x');
    BLog log((folder_ / "file" / "sub").string(), "tintorel.log");
    EXPECT_FALSE(log.IsOpen());
    log.Write("lost");
    log.Begin("lost");
    log.End("lost");
    log.WriteTime();
}

TEST_F(LogTest, EmptyFolderOrNameIsAnError) {
    EXPECT_THROW(BLog("", "a.log"), std::invalid_argument);
    EXPECT_THROW(BLog(folder_.string(), ""), std::invalid_argument);
}

TEST_F(LogTest, TraceScopeWritesEndAlsoWhenAnExceptionPasses) {
    CreateLog(folder_.string(), "tintorel.log", true);
    try {
        TraceScope trace("Handler");
        throw std::runtime_error("boom");
    } catch (const std::runtime_error&) {
    }
    LogLine("after");
    DestroyLog();
    EXPECT_EQ(Read(folder_ / "tintorel.log"), "Handler - Begin\nHandler - End\nafter\n");
}

TEST(FormatLogTime, EnglishAndFixedWidth) {
    const struct {
        int year, month, day, hour, minute, second, weekday;
        const char* text;
    } cases[] = {
        {2026, 12, 7, 9, 5, 3, 1, "Mon Dec 07 09:05:03 2026\n"},
        {2027, 1, 1, 0, 0, 0, 5, "Fri Jan 01 00:00:00 2027\n"},
        {1999, 7, 31, 23, 59, 59, 6, "Sat Jul 31 23:59:59 1999\n"},
        {2026, 3, 15, 12, 0, 4, 0, "Sun Mar 15 12:00:04 2026\n"},
    };
    for (const auto& c : cases) {
        std::tm local{};
        local.tm_year = c.year - 1900;
        local.tm_mon = c.month - 1;
        local.tm_mday = c.day;
        local.tm_hour = c.hour;
        local.tm_min = c.minute;
        local.tm_sec = c.second;
        local.tm_wday = c.weekday;
        EXPECT_EQ(FormatLogTime(local), c.text);
    }
}

} // namespace
} // namespace tintorel
