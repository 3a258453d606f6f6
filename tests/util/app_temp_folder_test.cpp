#include "util/app_temp_folder.h"

#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_folder.h"
#include "util/scoped_variable.h"
#include "util/settings_store.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

class AppTempFolderTest : public ::testing::Test {
  protected:
    test::TempFolder temp;
    fs::path home = temp.path() / "runtime";
    std::string preferred = home.string() + "/pelmar-vantrell/";
    SettingsStore settings{temp.path() / "config"};
};

TEST_F(AppTempFolderTest, MakesAPrivateFolderAndRemembersIt) {
    const std::string folder = appTempFolder(settings, home, "");
    EXPECT_EQ(folder, preferred);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(modeOf(preferred), 0700u);
    EXPECT_EQ(settings.string("Gen_TempPath", ""), preferred);
    EXPECT_EQ(appTempFolder(settings, temp.path() / "elsewhere", ""), preferred)
        << "later calls keep the stored folder";
}

TEST_F(AppTempFolderTest, FolderNamedByAnOlderVersionGoesOnBeingUsed) {
    const std::string older = home.string() + "/$Pelmar Vantrell$/";
    fs::create_directories(older);
    ::chmod(older.c_str(), 0700);
    settings.writeString("Gen_TempPath", older);
    EXPECT_EQ(appTempFolder(settings, home, "Logs"), older + "Logs/");
    EXPECT_EQ(settings.string("Gen_TempPath", ""), older);
}

TEST_F(AppTempFolderTest, ModeIsPrivateWhateverTheUmask) {
    const mode_t old = ::umask(0);
    const std::string folder = appTempFolder(settings, home, "");
    ::umask(old);
    EXPECT_EQ(modeOf(folder), 0700u);
}

TEST_F(AppTempFolderTest, SubfolderIsAppendedAndCreated) {
    const std::string logs = appTempFolder(settings, home, "Logs");
    EXPECT_EQ(logs, preferred + "Logs/");
    EXPECT_TRUE(fs::is_directory(logs));
    EXPECT_EQ(appTempFolder(settings, home, "/Nested//Deeper/"), preferred + "Nested/Deeper/")
        << "doubled slashes collapse";
    EXPECT_TRUE(fs::is_directory(preferred + "Nested/Deeper"));
}

TEST_F(AppTempFolderTest, DeletedStoredFolderIsMadeUpAgainAndStoredAgain) {
    const std::string deleted = (temp.path() / "gone").string() + "/";
    settings.writeString("Gen_TempPath", deleted);
    EXPECT_EQ(appTempFolder(settings, home, "Logs"), preferred + "Logs/");
    EXPECT_EQ(settings.string("Gen_TempPath", ""), preferred);
    EXPECT_FALSE(fs::exists(deleted));
}

TEST_F(AppTempFolderTest, StoredPathThatIsNotPrivateIsReplaced) {
    const fs::path open = temp.path() / "open";
    fs::create_directories(open);
    fs::permissions(open, fs::perms::all);
    const fs::path file = temp.path() / "file";
    test::writeFile(file, {1});
    for (const fs::path& stored : {open, file}) {
        settings.writeString("Gen_TempPath", stored.string() + "/");
        EXPECT_EQ(appTempFolder(settings, home, ""), preferred) << stored;
        EXPECT_EQ(settings.string("Gen_TempPath", ""), preferred);
    }
}

TEST_F(AppTempFolderTest, SymbolicLinkInPlaceOfTheFolderIsNotFollowed) {
    const fs::path victim = temp.path() / "victim";
    fs::create_directories(victim);
    fs::permissions(victim, fs::perms::owner_all, fs::perm_options::replace);
    fs::create_directories(home);
    fs::create_directory_symlink(victim, home / "pelmar-vantrell");

    const std::string folder = appTempFolder(settings, home, "Logs");
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder, preferred + "Logs/");
    EXPECT_EQ(folder.rfind(home.string() + "/pelmar-vantrell-", 0), 0u) << folder;
    EXPECT_EQ(modeOf(folder.substr(0, folder.size() - 5)), 0700u);
    EXPECT_TRUE(fs::is_empty(victim)) << "nothing is created through the link";

    settings.writeString("Gen_TempPath", (home / "pelmar-vantrell").string() + "/");
    EXPECT_NE(appTempFolder(settings, home, ""), preferred) << "nor is a stored link used";
}

TEST_F(AppTempFolderTest, ExistingFolderWithAnOpenModeIsNotUsed) {
    fs::create_directories(preferred);
    fs::permissions(preferred, fs::perms::all);
    const std::string folder = appTempFolder(settings, home, "");
    EXPECT_NE(folder, preferred);
    EXPECT_TRUE(isPrivateFolder(folder));
    EXPECT_EQ(modeOf(preferred), 0777u) << "someone else's choice is not changed";
}

TEST_F(AppTempFolderTest, ExistingFolderOfAnotherUserIsNotUsed) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    fs::create_directories(preferred);
    ASSERT_EQ(::chown(preferred.c_str(), 65534, 65534), 0);
    ::chmod(preferred.c_str(), 0700);
    const std::string folder = appTempFolder(settings, home, "");
    EXPECT_NE(folder, preferred);
    EXPECT_TRUE(isPrivateFolder(folder));
}

TEST_F(AppTempFolderTest, ExistingPrivateFolderIsReused) {
    fs::create_directories(preferred);
    ::chmod(preferred.c_str(), 0700);
    test::writeFile(preferred + "Logs/transfer.log", {1, 2});
    EXPECT_EQ(appTempFolder(settings, home, "Logs"), preferred + "Logs/");
    EXPECT_TRUE(fs::exists(preferred + "Logs/transfer.log"));
}

TEST_F(AppTempFolderTest, NoFolderWhenTheHomeCannotHoldOne) {
    const fs::path file = temp.path() / "file";
    test::writeFile(file, {1});
    EXPECT_EQ(appTempFolder(settings, file, "Logs"), "");
    EXPECT_EQ(appTempFolder(settings, fs::path(), "Logs"), "");
    EXPECT_EQ(settings.string("Gen_TempPath", "unset"), "unset");
}

TEST_F(AppTempFolderTest, UserTemporaryHomeComesFromTheEnvironment) {
    const test::ScopedVariable runtime("XDG_RUNTIME_DIR", home.c_str());
    const test::ScopedVariable cache("XDG_CACHE_HOME", (temp.path() / "cache").c_str());
    EXPECT_EQ(appTempFolder(settings, "Logs"), preferred + "Logs/");

    SettingsStore fresh(temp.path() / "other-config");
    const test::ScopedVariable noRuntime("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(appTempFolder(fresh, ""), (temp.path() / "cache").string() + "/pelmar-vantrell/");

    SettingsStore third(temp.path() / "third-config");
    const test::ScopedVariable noCache("XDG_CACHE_HOME", nullptr);
    const test::ScopedVariable userHome("HOME", (temp.path() / "home").c_str());
    EXPECT_EQ(appTempFolder(third, ""),
              (temp.path() / "home").string() + "/.cache/pelmar-vantrell/");
}

TEST_F(AppTempFolderTest, PrivateFileIsNeverOpenedThroughALink) {
    const std::string folder = appTempFolder(settings, home, "Logs");
    const fs::path victim = temp.path() / "victim.txt";
    test::writeFile(victim, {'k', 'e', 'e', 'p'});
    fs::create_symlink(victim, folder + "transfer.log");
    EXPECT_FALSE(openPrivateFileForWriting(folder + "transfer.log"));
    EXPECT_EQ(fs::file_size(victim), 4u);

    fs::remove(folder + "transfer.log");
    ASSERT_EQ(::mkfifo((folder + "transfer.log").c_str(), 0600), 0);
    EXPECT_FALSE(openPrivateFileForWriting(folder + "transfer.log")) << "nor waits on a FIFO";
}

TEST_F(AppTempFolderTest, PrivateFileIsCreatedOwnerOnlyAndTruncated) {
    const std::string folder = appTempFolder(settings, home, "Logs");
    const std::string log = folder + "transfer.log";
    test::writeFile(log, {1, 2, 3, 4, 5});
    {
        const UniqueFd fd = openPrivateFileForWriting(log);
        ASSERT_TRUE(fd);
        EXPECT_EQ(::write(fd.get(), "ab", 2), 2);
    }
    EXPECT_EQ(fs::file_size(log), 2u);
    fs::remove(log);
    ASSERT_TRUE(openPrivateFileForWriting(log));
    EXPECT_EQ(modeOf(log), 0600u);
}

}  // namespace
}  // namespace pelmar
