#pragma once
// The one logging call. Every record names the function and source line that wrote it.
//
//   NLOG(L"path %s", dir);                 // function name taken from the enclosing function
//   common::log("wWinMain", 38, L"...");   // explicit name and line
//
// "%s" takes a wide string (std::wstring or const wchar_t*); the other conversions are printf's.
// Safe on any thread at any time; before the sink is installed or the log file is open it does nothing.
#include <fmt/printf.h>
#include <fmt/xchar.h>

#include <string>

namespace common {

using LogSink = void (*)(const char* function, int line, const wchar_t* text);

void setLogSink(LogSink sink);
LogSink logSink();

// Longest formatted message, in wide characters.
inline constexpr size_t kMaxFormattedLength = 8191;

// "Class::method" out of a compiler's pretty function signature.
std::string functionName(const char* prettyFunction);

template <typename... Args>
void log(const char* function, int line, const wchar_t* format, const Args&... args) {
    LogSink sink = logSink();
    if (!sink || !format) return;
    std::wstring text;
    if constexpr (sizeof...(Args) == 0) {
        try {
            text = fmt::sprintf(format);
        } catch (...) {
            text = format;  // a stray conversion without its argument: keep the text as written
        }
    } else {
        try {
            text = fmt::sprintf(format, args...);
        } catch (...) {
            // A conversion that does not match its argument: keep the format text rather than lose the line.
            text = format;
        }
    }
    if (text.size() > kMaxFormattedLength) text.resize(kMaxFormattedLength);
    sink(function, line, text.c_str());
}

}  // namespace common

#define NLOG(...) ::common::log(::common::functionName(__PRETTY_FUNCTION__).c_str(), __LINE__, __VA_ARGS__)
