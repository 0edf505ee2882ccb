#pragma once

#include <optional>
#include <string>

namespace brenvale {

// The folder of the recovery copies: $XDG_STATE_HOME/brenvale/recovery, or
// $HOME/.local/state/brenvale/recovery when XDG_STATE_HOME is unset, empty or not an
// absolute path. Nothing when there is no usable home folder either.
std::optional<std::string> RecoveryFolder(const char* xdgStateHome, const char* home);

// The same from this process's environment (the password database stands in for a
// missing HOME).
std::optional<std::string> RecoveryFolderFromEnvironment();

// Makes the folder and any missing parents, private to the user (0700): the copies hold
// the user's documents. A folder that is already there is used only when it is a folder (not
// a symbolic link) of this user that nobody else may enter: another user could read the files
// of one, or plant links and pipes in it. Throws Error with the reason when it cannot be
// made or used; the text names the folder by what it is for.
void MakePrivateFolder(const std::string& folder, const char* purpose = "復元用のフォルダー");

}  // namespace brenvale
