#include "platform/shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <sys/wait.h>

#include "support/temp_folder.h"
#include "util/scoped_variable.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

using Command = std::vector<std::string>;

TEST(ShellOpenCommand, OpensTheFileWithTheDesktopOpener) {
    EXPECT_EQ(shellOpenCommand("/home/user/Music Backup", ""),
              (Command{"xdg-open", "/home/user/Music Backup"}));
    EXPECT_EQ(shellOpenCommand("relative/log.txt", ""), (Command{"xdg-open", "relative/log.txt"}));
}

TEST(ShellOpenCommand, NameStartingWithADashIsNotTakenForAnOption) {
    EXPECT_EQ(shellOpenCommand("--help", ""), (Command{"xdg-open", "./--help"}));
}

TEST(ShellOpenCommand, NothingToRunForNoFileOrForParameters) {
    EXPECT_TRUE(shellOpenCommand("", "").empty());
    EXPECT_TRUE(shellOpenCommand("/tmp", "--flag").empty());
}

std::string waitForFile(const fs::path& path) {
    for (int i = 0; i < 500 && !fs::exists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(OpenWithShell, RunsTheOpenerDetachedAndLeavesNoChildBehind) {
    const test::TempFolder temp;
    const fs::path opener = temp.path() / "xdg-open";
    const fs::path record = temp.path() / "opened";
    {
        std::ofstream script(opener);
        // Written to a side file first, so the test never reads half a record.
        script << "#!/bin/sh\nsleep 0.2\nprintf '%s|' \"$@\" > '" << record.string()
               << ".part'\nmv '" << record.string() << ".part' '" << record.string() << "'\n";
    }
    fs::permissions(opener, fs::perms::owner_all);
    const test::ScopedVariable path("PATH", (temp.path().string() + ":/usr/bin:/bin").c_str());

    const auto start = std::chrono::steady_clock::now();
    openWithShell("/some folder/with spaces", "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150))
        << "does not wait for the opener";

    EXPECT_EQ(waitForFile(record), "/some folder/with spaces|");
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child of ours is left to reap";
}

TEST(OpenWithShell, MissingOpenerDoesNothing) {
    const test::TempFolder temp;
    const test::ScopedVariable path("PATH", temp.path().c_str());
    openWithShell("/tmp", "");
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

}  // namespace
}  // namespace pelmar
