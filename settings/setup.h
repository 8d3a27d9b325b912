// The set-up step: puts into the settings the three values the program
// reads but never writes (the colour folder, the language folder and the
// language file) and the colour list a first start selects, each only where
// it is missing, so that what a person set
// is never overwritten and running it twice changes nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tintorel {

// The language file for the user's locale: the first of LC_ALL, LC_MESSAGES
// and LANG that is set decides; "fr..." gives "french.txt", "de..." gives
// "german.txt", anything else "english.txt".
std::string LanguageFileForLocale(const std::function<const char*(const char*)>& getEnv);

// The list a first start selects: the web colours.
inline constexpr const char* kFirstColourFile = "web.txt";

struct SetupValues {
    std::string colourDir;   // with a trailing "/"
    std::string languageDir; // with a trailing "/"
    std::string languageFile;
    std::string colourFile = kFirstColourFile;
};

// Writes each value whose setting is missing; returns the names written.
std::vector<std::string> RunSetup(const SetupValues& values);

// Whether `path` names an existing folder.
bool IsFolder(const std::string& path);
// The path of this process's own program file; empty where it cannot be told.
std::string ThisProgram();
// The shipped data folder of the program at `program`: <prefix>/share/tintorel/
// beside its <prefix>/bin/ where that holds the colour lists, else
// `fallback` (the source tree's data folder a build tree runs from). Ends
// with "/".
std::string DataFolderFor(const std::string& program, const std::string& fallback);

} // namespace tintorel
