// The stand-in emulator installer that the installation tests run.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/child_process.h"
#include "support/test_env.h"
#include "utility/ini_file.h"
#include "utility/process.h"

namespace {

using testing_support::readFile;

class FakeEmulator : public ::testing::Test {
protected:
    std::string registryFile() const { return home.home() + "/.config/registry/HKEY_CURRENT_USER.ini"; }
    std::optional<int> install(const std::vector<std::string>& args,
                               std::map<std::string, std::optional<std::string>> env = {}) {
        std::vector<std::string> argv{NIMBARO_FAKE_EMULATOR};
        argv.insert(argv.end(), args.begin(), args.end());
        return testing_support::runProgram(argv, env, 30000);
    }
    testing_support::IsolatedHome home;
};

TEST_F(FakeEmulator, InstallsIntoThePathItWasGivenAndRecordsItsArguments) {
    std::string folder = home.home() + "/My Games/Nimbaro/Nimbaro9/";
    std::vector<std::string> args = {"-silence", "-downloader", "-openid=12345", "-language=en", "-path=" + folder};
    ASSERT_EQ(install(args), 0);
    EXPECT_EQ(readFile(folder + "installer.args.jsonl"),
              "[\"-silence\", \"-downloader\", \"-openid=12345\", \"-language=en\", \"-path=" + folder + "\"]\n");
    EXPECT_EQ(readFile(registryFile()), "[Software\\Orsolan\\Nimbaro9]\nInstallDir=" + folder + "\n");
    utility::IniFile registry;
    std::string file = registryFile();
    ASSERT_TRUE(registry.load(std::wstring(file.begin(), file.end())));
    EXPECT_EQ(registry.value(L"software\\orsolan\\nimbaro9", L"installdir"), std::wstring(folder.begin(), folder.end()))
        << "the installer reads the file as an INI document";

    // The programs it installed record how they were called, one line per call.
    for (const char* program : {"qxplayer", "qxconsole"}) {
        std::string path = folder + program;
        ASSERT_EQ(testing_support::runProgram({path, "installapk", "--filename", "a b.apk"}), 0) << program;
        ASSERT_EQ(testing_support::runProgram({path}), 0) << program;
        EXPECT_EQ(readFile(path + ".args.jsonl"), "[\"installapk\", \"--filename\", \"a b.apk\"]\n[]\n") << program;
    }
}

TEST_F(FakeEmulator, QuotedPathFromTheInstallerCommandLineArrivesAsOneArgument) {
    std::string folder = home.home() + "/Program Files/Nimbaro/Nimbaro9/";
    std::wstring wfolder(folder.begin(), folder.end());
    ASSERT_TRUE(utility::process::execute(L"" NIMBARO_FAKE_EMULATOR,
                                          L"-silence -downloader -openid=12345 -language=en -path=\"" + wfolder + L"\"",
                                          false, 30000));
    EXPECT_EQ(readFile(folder + "installer.args.jsonl"),
              "[\"-silence\", \"-downloader\", \"-openid=12345\", \"-language=en\", \"-path=" + folder + "\"]\n");
    EXPECT_NE(readFile(registryFile()).find("InstallDir=" + folder + "\n"), std::string::npos);
}

TEST_F(FakeEmulator, MergesIntoAnExistingRegistryFile) {
    std::filesystem::create_directories(home.home() + "/.config/registry");
    testing_support::writeFile(registryFile(),
                               "[Software\\Other]\nInstallDir=/keep/me\n\n"
                               "[software\\orsolan\\nimbaro9]\nVersion=9.1\ninstalldir=/old/\n\n"
                               "[Software\\Last]\nx=\xE4\xB8\xAD\n");
    std::string folder = home.home() + "/N9/";
    ASSERT_EQ(install({"-path=" + folder}), 0);
    EXPECT_EQ(readFile(registryFile()),
              "[Software\\Other]\nInstallDir=/keep/me\n\n"
              "[software\\orsolan\\nimbaro9]\nVersion=9.1\nInstallDir=" +
                  folder +
                  "\n\n"
                  "[Software\\Last]\nx=\xE4\xB8\xAD\n");

    // Another key, from the environment, is added as a section of its own.
    ASSERT_EQ(install({"-path=" + folder}, {{"NIMBARO_FAKE_REGISTRY_KEY", "Software\\Peldrun\\qxplayer-kr"}}), 0);
    EXPECT_NE(readFile(registryFile()).find("\n[Software\\Peldrun\\qxplayer-kr]\nInstallDir=" + folder + "\n"),
              std::string::npos);
    EXPECT_NE(readFile(registryFile()).find("[Software\\Other]\nInstallDir=/keep/me\n"), std::string::npos);
}

TEST_F(FakeEmulator, ExitCodeAndMissingPath) {
    EXPECT_EQ(install({"-silence"}), 2);
    EXPECT_FALSE(std::filesystem::exists(registryFile()));
    EXPECT_EQ(install({"-path=" + home.home() + "/x/"}, {{"NIMBARO_FAKE_INSTALL_EXIT", "7"}}), 7);
}

}  // namespace
