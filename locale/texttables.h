// The keys each window takes its texts from, in the order they are
// applied, with the English text each window is designed with.
#pragma once

#include <span>

namespace tintorel {

struct TextKey {
    const char* key;
    const char* builtIn;
};

std::span<const TextKey> MainTextKeys();  // 63 keys
std::span<const TextKey> ParamTextKeys(); // 20 keys
std::span<const TextKey> AboutTextKeys(); // 3 keys

} // namespace tintorel
