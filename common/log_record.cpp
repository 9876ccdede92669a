#include "common/log_record.h"

#include <cstdio>

#include "common/async_log_file.h"
#include "common/utf8.h"

namespace common {

std::string buildLogRecord(const char* function, int line, std::wstring_view text,
                           const platform::LocalTime& t, uint32_t threadId) {
    char header[kMaxRecordBytes];
    int n = std::snprintf(header, sizeof header, "%02d-%02d\t%02d:%02d:%02d.%03d\t%04u\t%s\t(%d):", t.month,
                          t.day, t.hour, t.minute, t.second, t.millisecond, threadId,
                          function ? function : "", line);
    if (n < 0) n = 0;
    // Keep room for "\r\n" even when a monstrous function name filled the header.
    size_t headerLen = std::min<size_t>(size_t(n), kMaxRecordBytes - 2);

    std::string record(header, headerLen);
    std::wstring_view cut = text.substr(0, std::min(text.size(), kMaxRecordTextLength));
    std::string utf8 = wideToUtf8(cut);
    size_t room = kMaxRecordBytes - 2 - headerLen;
    record.append(utf8, 0, utf8PrefixLength(utf8, room));
    record.append("\r\n");
    return record;
}

void writeLogRecord(const char* function, int line, const wchar_t* text) {
    AsyncLogFile* file = AsyncLogFile::instance();
    if (!file) return;
    file->append(buildLogRecord(function, line, text ? std::wstring_view(text) : std::wstring_view(),
                                platform::localTime(), platform::currentThreadId()));
}

}  // namespace common
