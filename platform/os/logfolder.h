// Where the session log lives: the user's state folder, following the XDG
// base directory rules.
#pragma once

#include <optional>
#include <string>

namespace tintorel {

// "$XDG_STATE_HOME/tintorel/", or "~/.local/state/tintorel/" when the
// variable is unset, empty or not an absolute path. Nothing when no home
// folder can be found. The folder itself is created by whoever opens the log.
std::optional<std::string> LogFolder();

// The user's home folder: $HOME, else the password database's entry.
std::optional<std::string> HomeFolder();

} // namespace tintorel
