// Helpers for the colour list tests: temporary list files and a readable
// form of the list's entries.
#pragma once

#include "colourlist/colorfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tintorel {

struct Entry {
    std::string name;
    int red, green, blue;
    bool operator==(const Entry&) const = default;
};

inline void PrintTo(const Entry& e, std::ostream* out) {
    *out << '"' << e.name << "\" " << e.red << ' ' << e.green << ' ' << e.blue;
}

inline std::vector<Entry> Entries() {
    std::vector<Entry> entries;
    for (const BColorStruct& s : ColorList()) {
        const PackedColor packed = s.Color.ToColor();
        entries.push_back({s.Name, static_cast<int>(packed & 0xFF),
                           static_cast<int>((packed >> 8) & 0xFF),
                           static_cast<int>((packed >> 16) & 0xFF)});
    }
    return entries;
}

inline const std::vector<Entry>& FallBack() {
    static const std::vector<Entry> entries = {{"white", 255, 255, 255}, {"black", 0, 0, 0}};
    return entries;
}

// A folder of its own for each test, removed afterwards.
class ListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tintorel-list-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        ColorList().clear();
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& contents) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }
    std::vector<Entry> Load(const std::string& contents) {
        LoadColorFile(Write("list.txt", contents));
        return Entries();
    }

    std::filesystem::path folder_;
};

} // namespace tintorel
