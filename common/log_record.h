#pragma once
// Building one log record: header, UTF-8 text, "\r\n", at most kMaxRecordBytes in all.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace common {

inline constexpr size_t kMaxRecordBytes = 1024;
// The sink keeps at most this many wide characters of a message.
inline constexpr size_t kMaxRecordTextLength = 511;

// "%02d-%02d\t%02d:%02d:%02d.%03d\t%04d\t%s\t(%d):" + UTF-8 text + "\r\n".
// The text is cut at kMaxRecordTextLength characters, then at a UTF-8 character boundary so that the
// whole record fits in kMaxRecordBytes.
std::string buildLogRecord(const char* function, int line, std::wstring_view text,
                           const platform::LocalTime& time, uint32_t threadId);

// The process-wide sink that initRuntime installs: builds a record with the current time and thread and
// hands it to the open log file (dropped when none is open).
void writeLogRecord(const char* function, int line, const wchar_t* text);

}  // namespace common
