#include "player_image/file_writing.h"

#include <fstream>
#include <system_error>

namespace pelmar::player_image {

bool createFolder(const std::filesystem::path& folder, std::string& error) {
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) {
        error = "cannot create " + folder.string() + ": " + failure.message();
        return false;
    }
    return true;
}

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
               std::string& error) {
    return writeText(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, error);
}

bool writeText(const std::filesystem::path& path, std::string_view text, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (out.fail()) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

bool removeOld(const std::filesystem::path& path, std::string& error) {
    std::error_code failure;
    std::filesystem::remove_all(path, failure);
    if (failure) {
        error = "cannot remove the old " + path.string() + ": " + failure.message();
        return false;
    }
    return true;
}

}  // namespace pelmar::player_image
