#include "common/log.h"

#include <atomic>

namespace common {
namespace {
std::atomic<LogSink> g_sink{nullptr};
}

void setLogSink(LogSink sink) { g_sink.store(sink); }
LogSink logSink() { return g_sink.load(); }

std::string functionName(const char* pretty) {
    if (!pretty) return {};
    std::string s(pretty);
    // Cut the parameter list: the first "(" at template depth 0 that is not part of "(anonymous namespace)"
    // or a lambda's "{lambda(...)".
    int angle = 0;
    size_t paren = std::string::npos;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '<') ++angle;
        else if (c == '>') {
            if (angle > 0) --angle;
        } else if (c == '(' && angle == 0) {
            if (s.compare(i, 21, "(anonymous namespace)") == 0) {
                i += 20;
                continue;
            }
            // "f()::Local::method(": the parentheses of an enclosing function are part of the name.
            int depth = 0;
            size_t close = i;
            for (; close < s.size(); ++close) {
                if (s[close] == '(') ++depth;
                else if (s[close] == ')' && --depth == 0) break;
            }
            if (close < s.size() && s.compare(close + 1, 2, "::") == 0) {
                i = close + 2;
                continue;
            }
            paren = i;
            break;
        }
    }
    std::string head = paren == std::string::npos ? s : s.substr(0, paren);
    // Drop the return type: the name starts after the last space at template depth 0.
    angle = 0;
    size_t start = 0;
    for (size_t i = 0; i < head.size(); ++i) {
        char c = head[i];
        if (c == '<') ++angle;
        else if (c == '>') {
            if (angle > 0) --angle;
        } else if (c == ' ' && angle == 0) {
            if (head.compare(i, 21, " (anonymous namespace)") == 0) continue;
            start = i + 1;
        }
    }
    std::string name = head.substr(start);
    // Drop a leading "*" or "&" of a pointer/reference return type.
    while (!name.empty() && (name[0] == '*' || name[0] == '&')) name.erase(0, 1);
    return name;
}

}  // namespace common
