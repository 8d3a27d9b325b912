// Fuzz inputs that the program reads as files: each input is written to a
// file of the process's own in memory (/dev/shm where there is one).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace tintorel::fuzz {

inline const std::string& InputPath() {
    static const std::string path =
        (access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : "/tmp") + "/tintorel-fuzz-" +
        std::to_string(getpid()) + ".txt";
    return path;
}

inline const std::string& WriteInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (file != nullptr) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return InputPath();
}

} // namespace tintorel::fuzz
