#pragma once
// Starting the installed emulator without the installer's privileges.
//
// When the installer runs as root (sudo, pkexec) the emulator is started as the desktop user with that
// user's ids and session environment (the "token start"); if that is impossible it falls back to a plain
// start. When the installer runs as the user, the plain start is all there is. Runs on the caller's thread
// (the UI thread or the game-package job); keeps no state.
#include <functional>
#include <string>
#include <vector>

// The system steps the launch takes, replaceable in tests.
struct PlayerLaunchHooks {
    std::function<bool()> isRoot;
    // Token start of the executable with an argv[1..]; 0 on success, else errno.
    std::function<int(const std::string& executable, const std::vector<std::string>& args)> startAsDesktopUser;
    // Plain start (utility::process::shell).
    std::function<bool(const std::wstring& file, const std::wstring& parameters, bool runAs, bool show)> shell;
};

// The running system's steps.
PlayerLaunchHooks systemPlayerLaunchHooks();

// The emulator executable of an install folder: the folder, one "/", "qxplayer".
std::wstring playerExecutable(const std::wstring& installPath);

// The start parameters for a package named by the installer's file name: "downloadpackage=" + name +
// "|package=" + name, or "" when there is none.
std::wstring packageParameters(const std::wstring& packageName);

// The command line of the token start: the quoted executable, one space, the parameters (an empty
// parameter text still leaves the space). Only for the log and for tests: the start itself passes argv.
std::wstring tokenCommandLine(const std::wstring& executable, const std::wstring& parameters);

// The argv[1..] the emulator gets from a parameter text, split by the Windows rules as a Windows
// emulator would split its command line.
std::vector<std::string> playerArguments(const std::wstring& parameters);

// Starts the executable as the desktop user. 0 on success; -1 on failure with errno in `lastError`.
int runWithExplorerToken(const std::wstring& executable, const std::wstring& parameters, int* lastError = nullptr,
                         const PlayerLaunchHooks& hooks = systemPlayerLaunchHooks());

// Starts the emulator of the install folder with the parameters: as root the token start, falling back to
// the plain start ("runPlayer no amdin", "runPlayer no amdin error %d"); otherwise the plain start.
// True when the emulator was started.
bool runPlayer(const std::wstring& installPath, const std::wstring& parameters,
               const PlayerLaunchHooks& hooks = systemPlayerLaunchHooks());

// runPlayer with packageParameters(packageName).
bool runPlayerWithPackage(const std::wstring& installPath, const std::wstring& packageName,
                          const PlayerLaunchHooks& hooks = systemPlayerLaunchHooks());
