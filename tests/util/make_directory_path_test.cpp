#include "util/make_directory_path.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

TEST(MakeDirectoryPath, CreatesEveryMissingLevel) {
    const test::TempFolder temp;
    const std::string path = temp.path().string() + "/Backup/Artist/Album";
    MakeDirectoryPath(path);
    EXPECT_TRUE(fs::is_directory(path));

    MakeDirectoryPath(path);
    EXPECT_TRUE(fs::is_directory(path)) << "an existing folder is no error";
}

TEST(MakeDirectoryPath, TrailingAndDoubledSlashesAreHarmless) {
    const test::TempFolder temp;
    MakeDirectoryPath(temp.root() + "one/two/");
    EXPECT_TRUE(fs::is_directory(temp.path() / "one" / "two"));
    MakeDirectoryPath(temp.root() + "three//four///");
    EXPECT_TRUE(fs::is_directory(temp.path() / "three" / "four"));
}

TEST(MakeDirectoryPath, StopsQuietlyAtAFileInTheWay) {
    const test::TempFolder temp;
    test::writeFile(temp.path() / "file", {1});
    MakeDirectoryPath(temp.root() + "file/below");
    EXPECT_TRUE(fs::is_regular_file(temp.path() / "file"));
}

TEST(MakeDirectoryPath, PathAsLongAsTheSystemLimitCreatesNothing) {
    const test::TempFolder temp;
    const std::string first = temp.root() + "first";
    std::string path = first;
    while (path.size() < PATH_MAX) {
        path += "/deeper";
    }
    path.resize(PATH_MAX);
    MakeDirectoryPath(path);
    EXPECT_FALSE(fs::exists(first)) << "not even the first missing parent";

    const std::string fits = first + "/second";
    MakeDirectoryPath(fits);
    EXPECT_TRUE(fs::is_directory(fits));
}

TEST(MakeDirectoryPath, EmptyPathAndTheRootDoNothing) {
    MakeDirectoryPath("");
    MakeDirectoryPath("/");
    MakeDirectoryPath("//");
    EXPECT_TRUE(fs::is_directory("/"));
}

}  // namespace
}  // namespace pelmar
