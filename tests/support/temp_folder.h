#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pelmar::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end
// of the test.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    // The path as text with a trailing "/", the form player roots take.
    [[nodiscard]] std::string root() const { return path_.string() + "/"; }

  private:
    std::filesystem::path path_;
};

// The whole content of the file at `path`; empty when it cannot be read.
[[nodiscard]] std::string readAll(const std::filesystem::path& path);

// The file a database location (":iPod_Control:Music:F00:A.mp3") names under the player's `root`.
[[nodiscard]] std::filesystem::path playerFile(const std::filesystem::path& root,
                                               const std::string& location);

// Writes `bytes` to `path`, creating its folders.
void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace pelmar::test
