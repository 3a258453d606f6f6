#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "util/settings_store.h"

namespace {

// One folder for the whole run, removed at exit, on a memory file system when there is one:
// every input is written as the settings file, and the store's own write syncs it.
class FuzzFolder {
  public:
    FuzzFolder() {
        const std::filesystem::path shm = "/dev/shm";
        std::string pattern =
            ((std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path()) /
             "pelmar-fuzz-XXXXXX")
                .string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern;
    }
    ~FuzzFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

const std::filesystem::path& folder() {
    static const FuzzFolder fuzzFolder;
    return fuzzFolder.path();
}

}  // namespace

// Reads the input as the settings file, then writes a value over it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream file(folder() / "settings.json", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    pelmar::SettingsStore store(folder());
    std::string text = "default";
    (void)store.readString("DstFolder", text);
    if (text.size() >= 1024 || text.find('\0') != std::string::npos) {
        __builtin_trap();
    }
    std::uint32_t number = 0;
    (void)store.readNumber("EnableiTunes", number);
    store.writeNumber("EnableiTunes", number + 1);
    if (store.number("EnableiTunes", number) != number + 1) {
        __builtin_trap();
    }
    return 0;
}
