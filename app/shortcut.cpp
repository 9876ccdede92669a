#include "app/shortcut.h"

#include <filesystem>
#include <fstream>

#include "common/log.h"
#include "platform/desktop_paths.h"
#include "utility/safe_name.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"

namespace helper::disk {
namespace {

// Quoted argument of an Exec key: inside double quotes, ", `, $ and \ are escaped with a backslash;
// a literal % is written %%. The whole value is then escaped once more as a string value (\ → \\).
std::string quoteExecArgument(const std::string& arg) {
    std::string out = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        if (c == '%') out += '%';
        out += c;
    }
    out += '"';
    return out;
}

std::string escapeStringValue(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out;
}

}  // namespace

std::string desktopExecLine(const std::wstring& target, const std::wstring& arguments) {
    std::string line = quoteExecArgument(utility::wideToUtf8(target));
    if (!arguments.empty()) line += " " + quoteExecArgument(utility::wideToUtf8(arguments));
    return escapeStringValue(line);
}

void createShortcut(const std::wstring& name, const std::wstring& iconFile, const std::wstring& workingFolder,
                    const std::wstring& target, const std::wstring& arguments) {
    auto safe = utility::safeFileName(name);
    if (!safe) {
        NLOG(L"shortcut name refused: %s", name);
        return;
    }
    std::string folder = platform::desktopFolder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        NLOG(L"install 1 of create shortcut failed!");
        return;
    }
    std::string path = folder + "/" + utility::wideToUtf8(*safe) + ".desktop";
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            NLOG(L"install 3 of create shortcut failed!");
            return;
        }
        out << "[Desktop Entry]\n"
            << "Type=Application\n"
            << "Version=1.0\n"
            << "Name=" << escapeStringValue(utility::wideToUtf8(*safe)) << "\n"
            << "Exec=" << desktopExecLine(target, arguments) << "\n"
            << "Path=" << escapeStringValue(utility::wideToUtf8(workingFolder)) << "\n"
            << "Icon=" << escapeStringValue(utility::wideToUtf8(iconFile)) << "\n"
            << "Terminal=false\n";
        if (!out.flush()) {
            NLOG(L"install 4 of create shortcut failed!");
            return;
        }
    }
    std::filesystem::permissions(temp, std::filesystem::perms(0755), std::filesystem::perm_options::replace, ec);
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        NLOG(L"install 4 of create shortcut failed!");
        std::filesystem::remove(temp, ec);
    }
}

}  // namespace helper::disk
