#include "platform/store/filestore.h"
#include "tests/platform/store/regvalues.h"
#include "tests/testfolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tintorel {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(FileRegistryStore, OpeningAKeyCreatesItAndEveryKeyOnTheWay) {
    TestFolder folder;
    FileRegistryStore store(folder / "VRQM/tintorel.reg");
    ASSERT_NE(store.CreateKey("Software\\VRQM\\Tintorel\\Color"), nullptr);
    EXPECT_EQ(ReadFile(folder / "VRQM/tintorel.reg"),
              "REGEDIT4\n\n"
              "[HKEY_CURRENT_USER\\Software]\n\n"
              "[HKEY_CURRENT_USER\\Software\\VRQM]\n\n"
              "[HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel]\n\n"
              "[HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel\\Color]\n\n");
    // Opening it again, in another letter case, changes nothing.
    ASSERT_NE(store.CreateKey("software\\vrqm\\TINTOREL\\Color"), nullptr);
    EXPECT_EQ(store.Load()->sections.size(), 4u);
}

TEST(FileRegistryStore, ValuesReadBackAndReplaceWhateverWasThere) {
    TestFolder folder;
    FileRegistryStore store(folder / "s.reg");
    auto key = store.CreateKey("A\\B");
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->ValueExists("N"));
    EXPECT_TRUE(key->SetValue("N", {RegSz, {'x', 0}}));
    EXPECT_TRUE(key->ValueExists("n"));
    EXPECT_TRUE(key->SetValue("N", Dword(7)));
    EXPECT_EQ(key->QueryValue("N"), Dword(7));
    // Another store object on the same file sees it at once.
    FileRegistryStore other(folder / "s.reg");
    EXPECT_EQ(other.CreateKey("a\\b")->QueryValue("N"), Dword(7));
}

TEST(FileRegistryStore, AKeyRemovedByHandIsMadeAgainOnWrite) {
    TestFolder folder;
    FileRegistryStore store(folder / "s.reg");
    auto key = store.CreateKey("A");
    std::ofstream(folder / "s.reg") << "REGEDIT4\n";
    EXPECT_TRUE(key->SetValue("N", Dword(1)));
    EXPECT_EQ(key->QueryValue("N"), Dword(1));
}

// Dotfile managers link the settings file to a file of theirs: writing goes
// through the link to its target and leaves the link in place.
TEST(FileRegistryStore, WritesThroughASymbolicLink) {
    TestFolder folder;
    std::filesystem::create_directories(folder / "dotfiles");
    std::filesystem::create_directories(folder / "VRQM");
    std::ofstream(folder / "dotfiles/tintorel.reg") << "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n"
                                                       "\"Kept\"=dword:00000004\n";
    std::filesystem::create_symlink("../dotfiles/tintorel.reg", folder / "VRQM/tintorel.reg");
    FileRegistryStore store(folder / "VRQM/tintorel.reg");
    ASSERT_TRUE(store.CreateKey("A")->SetValue("N", Dword(1)));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "VRQM/tintorel.reg"));
    const std::string target = ReadFile(folder / "dotfiles/tintorel.reg");
    EXPECT_NE(target.find("\"N\"=dword:00000001"), std::string::npos) << target;
    EXPECT_NE(target.find("\"Kept\"=dword:00000004"), std::string::npos) << target;
    EXPECT_EQ(store.CreateKey("A")->QueryValue("Kept"), Dword(4));
    // No temporary file is left beside either of them.
    for (const char* dir : {"dotfiles", "VRQM"}) {
        for (const auto& item : std::filesystem::directory_iterator(folder / dir)) {
            EXPECT_EQ(item.path().filename().string().find(".tmp"), std::string::npos)
                << item.path();
        }
    }
    // A dangling link gets its target made.
    std::filesystem::create_symlink("new/tintorel.reg", folder / "dangling.reg");
    ASSERT_TRUE(FileRegistryStore(folder / "dangling.reg").CreateKey("A")->SetValue("N", Dword(2)));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "dangling.reg"));
    EXPECT_NE(ReadFile(folder / "new/tintorel.reg").find("\"N\"=dword:00000002"),
              std::string::npos);
}

// A batch reads the file once and writes everything in one rewrite, and
// what another program wrote meanwhile is kept.
TEST(FileRegistryStore, BatchReadsOnceAndWritesOnce) {
    TestFolder folder;
    const std::string path = folder / "s.reg";
    FileRegistryStore store(path);
    ASSERT_TRUE(store.CreateKey("A")->SetValue("Old", Dword(1)));
    const int syncs = store.Syncs();
    store.BeginBatch();
    store.BeginBatch(); // nested: one batch
    EXPECT_EQ(store.CreateKey("A")->QueryValue("Old"), Dword(1));
    for (std::uint32_t i = 0; i < 10; ++i) {
        ASSERT_TRUE(store.CreateKey("A\\B")->SetValue("N" + std::to_string(i), Dword(i)));
    }
    // Reads within the batch see its writes; the file does not, yet.
    EXPECT_EQ(store.CreateKey("a\\b")->QueryValue("N3"), Dword(3));
    EXPECT_EQ(ReadFile(path).find("N3"), std::string::npos);
    // Another program writes meanwhile.
    ASSERT_TRUE(FileRegistryStore(path).CreateKey("C")->SetValue("Other", Dword(7)));
    store.EndBatch();
    EXPECT_EQ(ReadFile(path).find("N3"), std::string::npos); // the outer batch is still open
    store.EndBatch();
    EXPECT_EQ(store.Syncs() - syncs, 2); // one file, one folder
    FileRegistryStore reader(path);
    EXPECT_EQ(reader.CreateKey("A\\B")->QueryValue("N9"), Dword(9));
    EXPECT_EQ(reader.CreateKey("C")->QueryValue("Other"), Dword(7));
    EXPECT_EQ(reader.CreateKey("A")->QueryValue("Old"), Dword(1));

    // A batch that only reads writes nothing.
    const int before = store.Syncs();
    store.BeginBatch();
    EXPECT_EQ(store.CreateKey("A")->QueryValue("Old"), Dword(1));
    store.EndBatch();
    EXPECT_EQ(store.Syncs(), before);
}

// The file changed on disk while a batch held what it had read: the batch's
// writes go into the file as it is now, and the change is kept.
TEST(FileRegistryStore, BatchKeepsWhatChangedOnDiskMeanwhile) {
    TestFolder folder;
    const std::string path = folder / "s.reg";
    {
        std::ofstream out(path);
        out << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Junk]\n";
        for (int i = 0; i < 2000; ++i) {
            out << "\"J" << i << "\"=dword:00000001\n";
        }
    }
    FileRegistryStore store(path);
    store.BeginBatch();
    // Changed by hand under the batch: the batch keeps what it read first.
    ASSERT_TRUE(store.CreateKey("A")->SetValue("X", Dword(1)));
    std::ofstream(path, std::ios::app) << "; appended by hand\n";
    EXPECT_EQ(store.CreateKey("Junk")->QueryValue("J1999"), Dword(1));
    store.EndBatch();
    // The hand-made line was kept: the commit saw the file change and read
    // it again before writing.
    EXPECT_NE(ReadFile(path).find("; appended by hand"), std::string::npos);
    EXPECT_EQ(FileRegistryStore(path).CreateKey("A")->QueryValue("X"), Dword(1));
}

TEST(FileRegistryStore, FailuresAreQuiet) {
    TestFolder folder;
    // No path at all (no home folder).
    FileRegistryStore nowhere("");
    EXPECT_EQ(nowhere.CreateKey("A"), nullptr);
    // A folder that cannot be created: below a regular file.
    std::ofstream(folder / "file") << "x";
    FileRegistryStore blocked(folder / "file/VRQM/s.reg");
    EXPECT_EQ(blocked.CreateKey("A"), nullptr);
    // A store path that is a folder.
    std::filesystem::create_directories(folder / "dir.reg");
    FileRegistryStore directory(folder / "dir.reg");
    EXPECT_EQ(directory.CreateKey("A"), nullptr);
}

// Runs `check` as an unprivileged user when the tests run as root, who
// would otherwise write into read-only folders; true when it passed.
bool PassesWithoutPrivileges(const std::function<bool()>& check) {
    if (geteuid() != 0) {
        return check();
    }
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(FileRegistryStore, ReadOnlyFolderGivesNothingAndKeepsTheFile) {
    TestFolder folder;
    const std::string path = folder / "s.reg";
    ASSERT_TRUE(FileRegistryStore(path).CreateKey("A")->SetValue("N", Dword(3)));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::others_read);
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::owner_exec |
                                                    std::filesystem::perms::others_read |
                                                    std::filesystem::perms::others_exec);
    EXPECT_TRUE(PassesWithoutPrivileges([&path] {
        FileRegistryStore store(path);
        std::unique_ptr<RegistryKey> key = store.CreateKey("A");
        return store.CreateKey("B") == nullptr && key != nullptr &&
               key->QueryValue("N") == Dword(3) && !key->SetValue("N", Dword(4));
    }));
    EXPECT_EQ(FileRegistryStore(path).CreateKey("A")->QueryValue("N"), Dword(3));
}

TEST(FileRegistryStore, GarbageFileIsReadAroundAndKept) {
    TestFolder folder;
    static const char kBinary[] = "\x7f"
                                  "ELF\x02\x01\x00\x00 not settings";
    const std::string binary(kBinary, sizeof kBinary - 1);
    const std::string garbage =
        binary + "\n" + "[HKEY_CURRENT_USER\\A]\n\"N\"=dword:00000002\n???\n";
    std::ofstream(folder / "s.reg", std::ios::binary) << garbage;
    FileRegistryStore store(folder / "s.reg");
    auto key = store.CreateKey("A");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->QueryValue("N"), Dword(2));
    EXPECT_TRUE(key->SetValue("M", Dword(5)));
    const std::string after = ReadFile(folder / "s.reg");
    EXPECT_NE(after.find(binary + "\n"), std::string::npos);
    EXPECT_NE(after.find("???\n"), std::string::npos);
    EXPECT_EQ(key->QueryValue("M"), Dword(5));
}

TEST(FileRegistryStore, LockHeldElsewhereMakesTheWriteGiveUp) {
    TestFolder folder;
    FileRegistryStore store(folder / "s.reg", std::chrono::milliseconds(100));
    auto key = store.CreateKey("A");
    ASSERT_NE(key, nullptr);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        // Holds the store's lock until killed.
        FileRegistryStore(folder / "s.reg").Modify([&](RegDocument&) {
            char ready = 1;
            (void)!write(fds[1], &ready, 1);
            pause();
            return false;
        });
        _exit(0);
    }
    char ready = 0;
    ASSERT_EQ(read(fds[0], &ready, 1), 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(key->SetValue("N", Dword(1)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(key->SetValue("N", Dword(1))); // the lock died with its holder
    close(fds[0]);
    close(fds[1]);
}

// Two programs writing at once keep each other's values.
TEST(FileRegistryStore, TwoWritersAtOnceLoseNothing) {
    TestFolder folder;
    const std::string path = folder / "s.reg";
    constexpr int kValues = 1000;
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            // Each waits for the other as long as it takes: a write that
            // gives up on a busy machine is another test's concern.
            FileRegistryStore store(path, std::chrono::minutes(10));
            auto key = store.CreateKey("Software\\VRQM\\Tintorel\\Race");
            int failed = key == nullptr ? 1 : 0;
            for (int i = 0; key && i < kValues; ++i) {
                failed += key->SetValue((w == 0 ? "A" : "B") + std::to_string(i),
                                        Dword(static_cast<std::uint32_t>(i)))
                              ? 0
                              : 1;
            }
            _exit(failed == 0 ? 0 : 1);
        }
    }
    for (const pid_t writer : writers) {
        int status = 0;
        waitpid(writer, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    FileRegistryStore store(path);
    const std::optional<RegDocument> doc = store.Load();
    ASSERT_TRUE(doc.has_value());
    const RegSection* section = doc->Find("HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel\\Race");
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->lines.size(), 2u * kValues);
    for (int i = 0; i < kValues; ++i) {
        for (const char* prefix : {"A", "B"}) {
            const RegValue* value = FindRegValue(*section, prefix + std::to_string(i));
            ASSERT_NE(value, nullptr) << prefix << i;
            EXPECT_EQ(*value, Dword(static_cast<std::uint32_t>(i)));
        }
    }
}

// A writer killed at any moment leaves a file that parses and holds every
// value whose write had completed.
TEST(FileRegistryStore, WriterKilledAtRandomMomentsLosesNothingCompleted) {
    TestFolder folder;
    const std::string path = folder / "s.reg";
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> delay(0, 3000);
    std::vector<std::string> completed;
    for (int run = 0; run < 200; ++run) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            close(fds[0]);
            FileRegistryStore store(path);
            auto key = store.CreateKey("Software\\VRQM\\Tintorel\\Kill");
            for (std::uint32_t i = 0; key; ++i) {
                if (key->SetValue("R" + std::to_string(run) + "_" + std::to_string(i), Dword(i))) {
                    (void)!write(fds[1], &i, sizeof i);
                }
            }
            _exit(0);
        }
        close(fds[1]);
        // The kill comes at a random moment after the first write is known
        // to be complete, however slowly the writer runs (under valgrind or
        // on a busy machine it may take longer than any fixed delay).
        std::uint32_t done = 0;
        ASSERT_EQ(read(fds[0], &done, sizeof done), static_cast<ssize_t>(sizeof done))
            << "the writer wrote nothing in run " << run;
        completed.push_back("R" + std::to_string(run) + "_" + std::to_string(done));
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        while (read(fds[0], &done, sizeof done) == sizeof done) {
            completed.push_back("R" + std::to_string(run) + "_" + std::to_string(done));
        }
        close(fds[0]);

        const std::optional<RegDocument> doc = FileRegistryStore(path).Load();
        ASSERT_TRUE(doc.has_value()) << "run " << run;
        const RegSection* section = doc->Find("HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel\\Kill");
        ASSERT_NE(section, nullptr) << "run " << run;
        for (const std::string& name : completed) {
            ASSERT_NE(FindRegValue(*section, name), nullptr) << name << " lost in run " << run;
        }
        for (const auto& line : section->lines) {
            ASSERT_TRUE(std::holds_alternative<RegEntry>(line)) << "unreadable line in run " << run;
        }
    }
    // Temporary files of killed writers do not pile up.
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        leftovers += entry.path().filename().string().find(".tmp") != std::string::npos ? 1 : 0;
    }
    EXPECT_LE(leftovers, 1);
}

TEST(SettingsFilePath, FollowsTheXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(SettingsFilePath(), std::optional<std::string>("/tmp/cfg/VRQM/tintorel.reg"));
    setenv("XDG_CONFIG_HOME", "relative", 1);
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        const std::string expected = std::string(home) +
                                     (std::string(home).back() == '/' ? "" : "/") +
                                     ".config/VRQM/tintorel.reg";
        EXPECT_EQ(SettingsFilePath(), std::optional<std::string>(expected));
    }
    if (old) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

} // namespace
} // namespace tintorel
