#include "log/log.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace tintorel {

BLog::BLog(const std::string& directory, const std::string& fileName) {
    if (directory.empty()) {
        throw std::invalid_argument("BLog: empty log directory");
    }
    std::string folder = directory;
    if (folder.back() != '/') {
        folder += '/';
    }
    if (fileName.empty()) {
        throw std::invalid_argument("BLog: empty log file name");
    }
    path_ = folder + fileName;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    // Each session replaces the last one's log. Lines are then appended:
    // should a second instance of the program replace the log while this
    // one runs, this one's lines follow the new ones instead of being
    // written at their old offset behind a hole of NUL bytes.
    stream_.open(path_, std::ios::out | std::ios::trunc);
    stream_.close();
    stream_.open(path_, std::ios::out | std::ios::app);
}

BLog::~BLog() {
    if (stream_.is_open()) {
        stream_.close();
    }
}

void BLog::Write(const std::string& text) {
    if (!stream_.is_open()) {
        return;
    }
    std::string line;
    for (int i = 0; i < depth_; ++i) {
        line += indent_;
    }
    line += text;
    stream_ << line << '\n';
    stream_.flush();
    // A failed write (full disk) must not stop the lines that follow.
    stream_.clear();
}

void BLog::Begin(const std::string& name) {
    Write(name + beginSuffix_);
    ++depth_;
}

void BLog::End(const std::string& name) {
    --depth_;
    Write(name + endSuffix_);
}

void BLog::WriteTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    Write(FormatLogTime(local));
}

std::string FormatLogTime(const std::tm& local) {
    static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                         "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto pick = [](const auto& names, int index) {
        return index >= 0 && static_cast<std::size_t>(index) < names.size() ? names[index] : "???";
    };
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%s %s %02d %02d:%02d:%02d %04d\n",
                  pick(kDays, local.tm_wday), pick(kMonths, local.tm_mon), local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
    return buffer.data();
}

namespace {

std::unique_ptr<BLog>& Slot() {
    static std::unique_ptr<BLog> slot;
    return slot;
}

} // namespace

void CreateLog(const std::string& directory, const std::string& fileName, bool /*reserved*/) {
    Slot().reset();
    Slot() = std::make_unique<BLog>(directory, fileName);
}

void DestroyLog() {
    Slot().reset();
}

void LogLine(const std::string& text) {
    if (Slot()) {
        Slot()->Write(text);
    }
}

void TraceBegin(const std::string& name) {
    if (Slot()) {
        Slot()->Begin(name);
    }
}

void TraceEnd(const std::string& name) {
    if (Slot()) {
        Slot()->End(name);
    }
}

void LogTime() {
    if (Slot()) {
        Slot()->WriteTime();
    }
}

} // namespace tintorel
