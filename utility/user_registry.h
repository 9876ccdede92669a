#pragma once
// The current user's registry: string values under key paths such as "Software\\Orsolan\\Nimbaro9", kept in
// ${XDG_CONFIG_HOME:-~/.config}/registry/HKEY_CURRENT_USER.ini, one section per key path (matched ignoring
// letter case), one name=value line per value. Writes are atomic and serialised across processes by a lock.
#include <string>

namespace utility::registry {

std::wstring userRegistryPath();

// The value, or "" when the key or value is missing or the file cannot be read.
std::wstring readString(const std::wstring& keyPath, const std::wstring& name);
// Adds or replaces a value; false when the text cannot be stored or the file cannot be written.
bool writeString(const std::wstring& keyPath, const std::wstring& name, const std::wstring& value);
// True when the value existed and was removed.
bool deleteValue(const std::wstring& keyPath, const std::wstring& name);

}  // namespace utility::registry
