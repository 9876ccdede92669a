#include "utility/process.h"

#include <cerrno>

#include "common/log.h"
#include "utility/text_codec.h"

namespace utility::process {

namespace {

platform::SpawnRequest request(const std::wstring& file, const std::wstring& parameters) {
    platform::SpawnRequest r;
    r.program = wideToUtf8(file);
    r.args = platform::splitCommandLine(wideToUtf8(parameters));
    return r;
}

// execute goes through here too; its lines belong to create, as they would if execute called create.
constexpr const char* kCreate = "utility::process::create";

platform::Process createChild(const std::wstring& file, const std::wstring& parameters, bool show, uint32_t* processId,
                              int& err) {
    common::log(kCreate, __LINE__, L"createProcess filename = [%s], param = [%s], show = %d", file, parameters,
                int(show));
    platform::Process child = platform::spawnProcess(request(file, parameters), &err);
    if (!child.valid()) {
        common::log(kCreate, __LINE__, L"createProcess failed!!! lastError = %d", err);
        return child;
    }
    if (processId) *processId = uint32_t(child.pid());
    return child;
}

}  // namespace

bool shell(const std::wstring& file, const std::wstring& parameters, bool runAs, bool show) {
    NLOG(L"shell filename = [%s], param = [%s], runas = %d, show = %d", file, parameters, int(runAs), int(show));
    int err = platform::runDetached(request(file, parameters));
    NLOG(L"shellEx ret . lastError = %d", err);
    if (err == 0) return true;
    NLOG(L"shellEx failed!!! lastError = %d", err);
    return false;
}

platform::Process create(const std::wstring& file, const std::wstring& parameters, bool show, uint32_t* processId,
                         int* lastError) {
    int err = 0;
    platform::Process child = createChild(file, parameters, show, processId, err);
    if (lastError) *lastError = err;
    errno = err;
    return child;
}

bool execute(const std::wstring& file, const std::wstring& parameters, bool show, uint32_t timeoutMs) {
    int err = 0;
    platform::Process child = createChild(file, parameters, show, nullptr, err);
    if (!child.valid()) {
        NLOG(L"execute failed!!! last error = %d", err);
        return false;
    }
    if (timeoutMs == 0) return true;
    bool result = false;
    platform::WaitResult waited = child.wait(timeoutMs);
    switch (waited.status) {
        case platform::WaitResult::Status::Ended:
            result = waited.exitCode == 0;
            NLOG(L"execute exitcode = %d lastError = %d", waited.exitCode, 0);
            break;
        case platform::WaitResult::Status::Timeout: NLOG(L"execute timeout!!!"); break;
        case platform::WaitResult::Status::Failed: NLOG(L"execute failed!!! lastError = %d", waited.error); break;
    }
    return result;
}

int openUrl(const std::wstring& address) {
    int err = platform::openUrl(wideToUtf8(address));
    if (err == 0) return 1;
    NLOG(L"openUrl failed!!! lastError = %d", err);
    return 0;
}

bool killByName(const std::wstring& name, uint32_t timeoutMs) {
    NLOG(L"killByName name = [%s]", name);
    platform::KillResult r = platform::killProcessesByName(wideToUtf8(name), timeoutMs);
    NLOG(L"killByName found = %d, killed = %d, remaining = %d, lastError = %d", r.found, r.killed, r.remaining,
         r.error);
    return r.killed == r.found && r.remaining == 0;
}

}  // namespace utility::process
