// The session log: a plain-text trace of the main window's principal
// handlers, one line on entry and one on exit, indented two spaces per open
// level. A log that cannot be written never disturbs the program: every
// write to a closed file is skipped silently.
#pragma once

#include <ctime>
#include <fstream>
#include <string>

namespace tintorel {

class BLog {
public:
    // Opens (creating missing folders, truncating an old file) the file
    // `fileName` in `directory`; a "/" is put between them when the directory
    // does not end with one. Throws std::invalid_argument when either is
    // empty; a file that cannot be opened leaves the log closed instead.
    BLog(const std::string& directory, const std::string& fileName);
    virtual ~BLog();

    BLog(const BLog&) = delete;
    BLog& operator=(const BLog&) = delete;

    void Write(const std::string& text);
    void Begin(const std::string& name);
    void End(const std::string& name);
    void WriteTime();

    const std::string& Path() const { return path_; }
    bool IsOpen() const { return stream_.is_open(); }

private:
    std::ofstream stream_;
    std::string path_;
    int depth_ = 0;
    std::string indent_ = "  ";
    std::string beginSuffix_ = " - Begin";
    std::string endSuffix_ = " - End";
};

// The local date and time as the log writes it, English and fixed-width
// whatever the user's locale: "Mon Dec 07 09:05:03 2026" and a line break.
std::string FormatLogTime(const std::tm& local);

// The process-wide log slot. Every function is safe to call while the slot
// is empty, and then does nothing.
void CreateLog(const std::string& directory, const std::string& fileName, bool reserved);
void DestroyLog();
void LogLine(const std::string& text);
void TraceBegin(const std::string& name);
void TraceEnd(const std::string& name);
void LogTime();

// Writes the Begin line now and the End line when the scope is left, by
// return or by exception, so a traced handler cannot miss its End line.
class TraceScope {
public:
    explicit TraceScope(const char* name) : name_(name) { TraceBegin(name_); }
    ~TraceScope() { TraceEnd(name_); }
    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;

private:
    const char* name_;
};

} // namespace tintorel
