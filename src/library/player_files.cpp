#include "library/player_files.h"

#include "library/player_library.h"
#include "platform/file_byte_source.h"
#include "platform/path_lookup.h"

namespace pelmar {

std::unique_ptr<ByteSource> openPlayerFile(const PlayerLibrary& library,
                                           std::string_view relativePath) {
    return FileByteSource::open(findPathIgnoringCase(library.rootPath, relativePath));
}

}  // namespace pelmar
