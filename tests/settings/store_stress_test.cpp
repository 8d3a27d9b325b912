// Two real programs against one settings store, 200 times over: started
// together, ended in random order at random moments, some by SIGKILL. The
// store must always parse, hold only values some program wrote, and keep
// what only the preferences dialog writes.
#include "platform/store/filestore.h"
#include "settings/params.h"
#include "tests/testfolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tintorel {
namespace {

pid_t StartProgram(const std::string& home) {
    const pid_t child = fork();
    if (child == 0) {
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        setenv("XDG_STATE_HOME", (home + "/state").c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        execl(TINTOREL_PROGRAM, TINTOREL_PROGRAM, static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

TEST(SettingsStoreUnderLoad, TwoProgramsEndedAtRandom) {
    TestFolder folder;
    const std::string home = folder.Path().string();
    const std::string store = home + "/config/VRQM/tintorel.reg";
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    SetSettingsStore(nullptr);
    // What only the preferences dialog writes, and a colour to keep.
    WriteTabVisibility(0, 1, 0, 1, 0, 1, 0);
    WriteCodeVisibility(0, 1);
    WriteStayOnTop(0);
    WriteSize(7);
    WriteRed(0.25f);
    WriteGreen(0.5f);
    WriteBlue(0.75f);
    WriteTab(0); // the RGB page keeps the components exactly

    std::mt19937 random(2026);
    std::uniform_int_distribution<int> delay(20, 400);
    std::bernoulli_distribution kill(0.3);
    int killed = 0;
    int ended = 0;
    for (int round = 0; round < 200; ++round) {
        pid_t programs[2] = {StartProgram(home), StartProgram(home)};
        ASSERT_GT(programs[0], 0);
        ASSERT_GT(programs[1], 0);
        if (random() % 2 == 0) {
            std::swap(programs[0], programs[1]);
        }
        for (const pid_t program : programs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
            const bool hard = kill(random);
            ::kill(program, hard ? SIGKILL : SIGTERM);
            (hard ? killed : ended) += 1;
        }
        for (const pid_t program : programs) {
            int status = 0;
            waitpid(program, &status, 0);
            if (WIFEXITED(status)) {
                ASSERT_EQ(WEXITSTATUS(status), 0) << "round " << round;
            } else {
                ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round;
                ASSERT_TRUE(WTERMSIG(status) == SIGKILL || WTERMSIG(status) == SIGTERM)
                    << "round " << round << ": signal " << WTERMSIG(status);
            }
        }

        const std::optional<RegDocument> doc = FileRegistryStore(store).Load();
        ASSERT_TRUE(doc.has_value()) << "round " << round;
        for (const RegSection& section : doc->sections) {
            for (const auto& line : section.lines) {
                ASSERT_TRUE(std::holds_alternative<RegEntry>(line))
                    << "round " << round << ": unreadable line in " << section.path;
            }
        }
        int rgb, hls, hsv, cmy, cmyk, name, visual, html, vb, size;
        ReadTabVisibility(rgb, hls, hsv, cmy, cmyk, name, visual);
        ReadCodeVisibility(html, vb);
        ReadSize(size);
        ASSERT_EQ((std::vector<int>{rgb, hls, hsv, cmy, cmyk, name, visual, html, vb, size}),
                  (std::vector<int>{0, 1, 0, 1, 0, 1, 0, 0, 1, 7}))
            << "round " << round;
        // Nobody changed the colour or the page: every program wrote back
        // what it read.
        ASSERT_EQ(ReadRed(), 0.25f) << "round " << round;
        ASSERT_EQ(ReadBlue(), 0.75f) << "round " << round;
        ASSERT_EQ(ReadTab(), 0) << "round " << round;
    }
    SetSettingsStore(nullptr);
    RecordProperty("ended", ended);
    RecordProperty("killed", killed);
    std::printf("200 rounds: %d programs ended by SIGTERM, %d killed by SIGKILL\n", ended, killed);
}

} // namespace
} // namespace tintorel
