// Registry values as the tests write them by hand.
#pragma once

#include "platform/store/registry.h"

#include <cstring>
#include <string>

namespace tintorel {

inline RegValue Text(const std::string& text) {
    RegValue v{RegSz, {text.begin(), text.end()}};
    v.data.push_back(0);
    return v;
}

inline RegValue Dword(std::uint32_t n) {
    return {RegDword,
            {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
             static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}

inline RegValue Double(double d) {
    RegValue v{RegBinary, std::vector<std::uint8_t>(8)};
    std::memcpy(v.data.data(), &d, 8);
    return v;
}

} // namespace tintorel
