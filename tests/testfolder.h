// A fresh, empty folder for one test, removed with everything in it when the
// test ends. Kept in memory (/dev/shm) where the machine offers it, so tests
// that flush files to disk thousands of times stay fast.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace tintorel {

class TestFolder {
public:
    TestFolder() {
        namespace fs = std::filesystem;
        const fs::path shm = "/dev/shm";
        const fs::path base = access(shm.c_str(), W_OK) == 0 ? shm : fs::temp_directory_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = base / ("tintorel-" + std::to_string(getpid()) + "-" +
                        (info ? std::string(info->test_suite_name()) + "." + info->name() : "x"));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace tintorel
