// Pixels as desktops hand them over: four bytes each, in one of the byte
// orders screen-casting streams and compositors' copies use.
#pragma once

#include <cstdint>

namespace tintorel {

// The byte order of one pixel in memory; the fourth byte is unused.
enum class FrameFormat { Bgrx, Rgbx, Xbgr, Xrgb };

// The four bytes at `p` in `format`, as 0x00BBGGRR.
std::uint32_t FramePixel(FrameFormat format, const std::uint8_t* p);

} // namespace tintorel
