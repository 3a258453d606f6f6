#include "backup/backup_options.h"
#include "backup/transfer_run.h"

namespace pelmar {

void TransferRun::saveAlbumCover(std::uint32_t trackId, const std::string& destination) {
    if (job_.options.saveArtwork == 0) {
        return;
    }
    const AlbumCoverFiles::Saved saved =
        coverFiles_.save(trackId, destination, job_.options.folderTemplate,
                         job_.options.existHandling == kExistOverwrite);
    if (saved.outcome == AlbumCoverFiles::Outcome::Written) {
        ++result_.covers;
    }
    if (const std::string line = albumCoverLogLine(saved); !line.empty()) {
        log_.WriteLine(line);
    }
}

}  // namespace pelmar
