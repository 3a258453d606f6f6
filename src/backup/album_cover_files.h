#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

namespace pelmar {

class AlbumCoverJpegs;
class PlayerLibrary;

// Where the cover of a track's album goes, beside the track's copy at `trackDestination`:
// "cover.jpg", or "<Album>.jpg" (cleaned as file names are) where the folder template can put
// several albums into one folder.
[[nodiscard]] std::string albumCoverPath(const PlayerLibrary& library, std::uint32_t trackId,
                                         std::string_view folderTemplate,
                                         std::string_view trackDestination);

// Writes the album covers of one backup run, each cover file at most once: the first track of
// a folder (or of an album, where albums share folders) that has artwork decides its cover.
class AlbumCoverFiles {
  public:
    AlbumCoverFiles(const PlayerLibrary& library, AlbumCoverJpegs& jpegs)
        : library_(library), jpegs_(jpegs) {}

    enum class Outcome {
        // No readable artwork, or the cover file was dealt with earlier in the run.
        Nothing,
        Written,
        Kept,    // the cover file exists and is not to be overwritten
        Failed,  // the file could not be written
    };
    struct Saved {
        Outcome outcome = Outcome::Nothing;
        std::string path;
        int error = 0;  // the errno value behind a failed write
    };

    // Saves the cover of the track whose copy is (or already was) at `trackDestination`. The
    // file is complete or absent; an existing one is replaced only with `overwrite`.
    Saved save(std::uint32_t trackId, std::string_view trackDestination,
               std::string_view folderTemplate, bool overwrite);

  private:
    const PlayerLibrary& library_;
    AlbumCoverJpegs& jpegs_;
    std::unordered_set<std::string> handled_;
};

// The log's line for a cover written or failed; empty for the other outcomes.
[[nodiscard]] std::string albumCoverLogLine(const AlbumCoverFiles::Saved& saved);

}  // namespace pelmar
