// Feeds files to a fuzz target's entry point, outside libFuzzer: every file under the folders
// and every file named on the command line, so the normal test suite replays the inputs that
// once broke a reader, under whatever sanitizer the build uses.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::size_t replayed = 0;
    bool allRead = true;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path given = argv[i];
        std::error_code error;
        if (std::filesystem::is_directory(given, error)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(given, error)) {
                if (entry.is_regular_file()) {
                    allRead = replay(entry.path()) && allRead;
                    ++replayed;
                }
            }
        } else {
            allRead = replay(given) && allRead;
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return allRead && replayed > 0 ? 0 : 1;
}
