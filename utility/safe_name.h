#pragma once
// Names that arrive from the network (game names, package names, shortcut names) become file names only
// through this check.
#include <optional>
#include <string>

namespace utility {

// The name itself when it is usable as one file name: not empty, not ".", no ".." anywhere, no "/" or "\\", no
// control characters, at most 200 characters. Otherwise nothing (the caller skips that file and logs it).
std::optional<std::wstring> safeFileName(const std::wstring& name);

}  // namespace utility
