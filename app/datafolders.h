// Where a start finds its colour lists and its language. A folder setting
// that is missing, or that names no folder, gives way to the data folder
// shipped with the program, and a language file that cannot be read to the
// shipped English file, then to the built-in English texts: a program
// started without its set-up step, or after its data moved, shows real
// texts and lists. The settings themselves are left as they are; each
// fallback is noted for the session log.
#pragma once

#include <string>
#include <vector>

namespace tintorel {

// The data folder shipped with this program, ending with "/".
std::string ShippedDataFolder();

// The colour list folder to use, as a prefix of the file names; when it is
// not the stored one and `notes` is given, a line for the log is added.
std::string ColourFolder(std::vector<std::string>* notes = nullptr);

// The language folder to use: the stored one, else the shipped one.
std::string LanguageFolder();

// Loads the language table; returns the lines for the log that say which
// fallback was taken, if any.
std::vector<std::string> LoadLanguage();

} // namespace tintorel
