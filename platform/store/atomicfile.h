// Replacing a file's contents so that nobody ever reads half of them, and
// nothing written is lost to a crash: the new contents go to a temporary
// file beside the target, which is flushed to disk and renamed over it, and
// the rename is flushed too. A target that is a symbolic link (as dotfile
// managers make it) stays a link: the file it points to is replaced.
#pragma once

#include <string>

namespace tintorel {

// The folder a path lies in ("." for a bare name).
std::string FolderOf(const std::string& path);
// Makes `folder` and every folder missing on the way to it, each new one
// private to the user. False when it does not exist afterwards.
bool MakeFolders(const std::string& folder);
// The file `path` names once its symbolic links are followed; a link that
// loops or goes too deep is taken as it stands.
std::string FollowLinks(const std::string& path);

// Writes `contents` over the file at `path` as above; `syncs` (if given)
// counts the flushes to disk. The caller must keep other writers of the same
// file out (a lock): temporary files that a killed writer left are removed.
// False when anything failed; the old contents are then untouched.
bool WriteFileAtomically(const std::string& path, const std::string& contents,
                         int* syncs = nullptr);

} // namespace tintorel
