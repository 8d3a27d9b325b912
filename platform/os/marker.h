// A process-wide named marker that lives as long as the process: the
// program creates one at start-up and never tests it, so a second instance
// starts and runs normally.
#pragma once

#include <string>

namespace tintorel {

// Creates the marker (an abstract-namespace socket named after `name` and
// the user) and keeps it until the process ends. Failures are ignored.
void CreateNamedMarker(const std::string& name);

} // namespace tintorel
