// How long a test waits for a condition before it gives up: long enough
// for a valgrind run on a machine kept busy by other work. A wait ends as
// soon as its condition holds, so only a failure takes this long.
#pragma once

namespace tintorel {

constexpr int kPatienceMs = 600'000;

} // namespace tintorel
