#pragma once
// Folders of the desktop session.
#include <string>

namespace platform {

// The user's desktop folder: XDG_DESKTOP_DIR of user-dirs.dirs in the configuration folder, else ~/Desktop.
// Never ends with "/".
std::string desktopFolder();

}  // namespace platform
