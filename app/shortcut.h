#pragma once
// Desktop shortcuts: an XDG desktop entry "<desktop folder>/<name>.desktop".
#include <string>

namespace helper::disk {

// Writes the entry (Exec = target and arguments, Path = working folder, Icon = icon file), mode 0755.
// Failures are logged; a name that is not a safe file name writes nothing.
void createShortcut(const std::wstring& name, const std::wstring& iconFile, const std::wstring& workingFolder,
                    const std::wstring& target, const std::wstring& arguments);

// The Exec value for one program and one argument, quoted by the desktop-entry rules.
std::string desktopExecLine(const std::wstring& target, const std::wstring& arguments);

}  // namespace helper::disk
