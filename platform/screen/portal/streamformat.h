// What the pipette asks of a monitor's PipeWire stream, as pure functions
// that build SPA parameters into a caller's buffer: raw video in any of the
// eight 32-bit byte orders, a few frames a second, buffers in memory, and
// the pointer as metadata with room for its bitmap.
#pragma once

#include "platform/desktop/framepixel.h"

#include <cstdint>

// PipeWire's and SPA's headers build their parameters with GNU C
// extensions (statement expressions, compound literals).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <spa/param/video/raw.h>
#include <spa/pod/builder.h>
#pragma GCC diagnostic pop

namespace tintorel {

// A few frames a second are plenty for four samples a second.
inline constexpr int kStreamFramesPerSecond = 5;
// The largest pointer bitmap the metadata leaves room for, on a side: with
// less, Mutter 43 left the metadata out of every buffer.
inline constexpr int kCursorBitmapSide = 1024;

// The byte order of a negotiated format; formats the streams are never
// offered read as BGRx.
FrameFormat FrameFormatOf(spa_video_format format);

// The formats offered: raw video, the eight byte orders, any size, at most
// kStreamFramesPerSecond.
const spa_pod* BuildEnumFormat(spa_pod_builder& builder);
// Once the format is agreed: buffers in memory (pointer or descriptor),
// the header and the pointer's metadata. Fills `params` (three of them).
void BuildBufferParams(spa_pod_builder& builder, const spa_pod* params[3]);

// The size of the pointer's metadata with a square bitmap of `side` pixels.
int CursorMetaSize(int side);

} // namespace tintorel
