#pragma once

#include <filesystem>

namespace pelmar::player_image::test {

// A new empty folder under the system's temporary folder, removed with its contents afterwards.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace pelmar::player_image::test
