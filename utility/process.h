#pragma once
// Starting other programs: through the desktop (shell), as a child (create, execute), a web address in the
// user's browser (openUrl), and stopping every running copy of a program with its children (killByName).
// Each logs what it does under its own function name; failures carry errno values. No state is kept: any
// thread may call these. The parameter text is split into arguments by the Windows rules
// (platform::splitCommandLine); programs on Linux carry no ".exe".
#include <cstdint>
#include <string>

#include "platform/process.h"

namespace utility::process {

inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

// Starts the program detached, as the desktop would open it. `runAs` asks for elevation, which this
// installer never needs: it is a plain start. `show` has no meaning for a program without a window handle
// of ours and is only logged. True when the program was started.
bool shell(const std::wstring& file, const std::wstring& parameters, bool runAs, bool show);

// Starts the program as a child (standard streams on /dev/null, own session). Returns the child, invalid
// on failure; `processId` receives its id, `lastError` the errno of a failure (0 on success; errno is set
// to it as well). Dropping the handle leaves the child running.
platform::Process create(const std::wstring& file, const std::wstring& parameters, bool show,
                         uint32_t* processId = nullptr, int* lastError = nullptr);

// create, then wait up to `timeoutMs` (0: do not wait and succeed; kInfinite: no limit). True when the
// program was started and, if waited for, ended with exit code 0. A program that outlives the time-out is
// left running.
bool execute(const std::wstring& file, const std::wstring& parameters, bool show, uint32_t timeoutMs);

// Opens a web address in the user's browser (xdg-open, else x-www-browser). Non-zero on success.
int openUrl(const std::wstring& address);

// Kills every process whose executable is called `name`, with its descendants, and waits up to
// `timeoutMs` for them to end. True when none of them is left (also when there was none).
bool killByName(const std::wstring& name, uint32_t timeoutMs);

}  // namespace utility::process
