// The keys each window takes its texts from, in the order they are
// applied, with the built-in English text of each: the same as the shipped
// English language file, and shown when no language file can be read.
#pragma once

#include <span>

namespace tintorel {

struct TextKey {
    const char* key;
    const char* builtIn;
    // Added since the first language files were written: a file without it
    // shows the built-in text.
    bool later = false;
};

std::span<const TextKey> MainTextKeys();  // 87 keys
std::span<const TextKey> ParamTextKeys(); // 23 keys
std::span<const TextKey> AboutTextKeys(); // 3 keys

// The built-in English text of a key added since the first language files
// were written, or null: a user's own file that lacks such a key shows
// this text rather than "<-->".
const char* LaterKeyText(const char* key);

// Fills the language table with the built-in English text of every key of
// the three windows: the last resort when no language file can be read.
void LoadBuiltInTexts();

} // namespace tintorel
