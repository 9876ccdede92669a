// Entry point: log folder and file, runtime, application object, message loop, clean-up.
#include <string>

#include "app/download_impl.h"
#include "common/async_log_file.h"
#include "common/log.h"
#include "platform/main_loop.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"
#include "utility/ui_dispatcher.h"

namespace {

// The program's arguments joined into one command line, as the installer's parser expects.
std::wstring joinArguments(int argc, char** argv) {
    std::wstring line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += L' ';
        line += utility::utf8ToWide(argv[i]);
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    std::wstring logDir = utility::ufile::getAppDataPath() + L"/downloader/";
    if (!utility::ufile::exists(logDir)) utility::ufile::makeDir(logDir);
    std::wstring logPath = logDir + L"downloader.log";
    utility::initRuntime();
    common::openLogFile(utility::ufile::toNative(logPath));
    common::log("main", __LINE__, L"\r\n\r\n start run");

    platform::MainLoop::quitOnTerminationSignals();
    int exitCode = 0;
    {
        DownloadImpl impl;
        if (!impl.entrance(joinArguments(argc, argv))) {
            common::flushLogFile();
            return impl.exitCode();
        }
        platform::MainLoop::run();
        impl.exitCleanup();
        exitCode = impl.exitCode();
    }
    common::log("main", __LINE__, L"end run");
    common::flushLogFile();
    return exitCode;
}
