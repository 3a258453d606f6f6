#include "library/player_files.h"

#include "library/player_library.h"
#include "platform/file_byte_source.h"
#include "platform/player_path_open.h"

namespace pelmar {

std::unique_ptr<ByteSource> openPlayerFile(const PlayerLibrary& library,
                                           std::string_view relativePath) {
    return FileByteSource::adopt(openPlayerPath(library.rootPath, relativePath).fd);
}

}  // namespace pelmar
