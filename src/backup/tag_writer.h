#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/track_data.h"

namespace pelmar {

class PlayerLibrary;

// What the player's database knows about a track, to be carried by its copy. Texts are UTF-8;
// empty texts and zero numbers stand for "nothing known" and are never written.
//
// The time a track was last played is not among them: no tag format has a conventional,
// documented place for it, and a name of our own making would be read by no other program.
struct TrackTags {
    std::uint8_t fileType = kDefaultFileType;  // the database's file type code
    std::uint32_t rating = 0;                  // 0–100, stars × 20; 0 for not rated
    std::uint32_t playCount = 0;
    std::string title;
    std::string artist;
    std::string album;
    std::string genre;
    std::string composer;
    std::uint32_t trackNumber = 0;
    std::uint32_t year = 0;
    std::vector<std::uint8_t> artworkJpeg;  // the album's picture as JPEG bytes; may be empty
};

// A track's values as the library holds them after every merge, texts in UTF-8; no artwork.
// An unknown id gives empty values.
[[nodiscard]] TrackTags trackTagsFor(const PlayerLibrary& library, std::uint32_t trackId);

enum class TagWriteStatus {
    Written,    // the copy carries the values
    LeftAlone,  // nothing was written; the copy is as it was
    Failed,     // writing failed; see TagWriteResult::fileChanged
};

struct TagWriteResult {
    TagWriteStatus status = TagWriteStatus::LeftAlone;
    // For the log: what was written ("rating, play count, title, artwork"), or why nothing was.
    std::string detail;
    // The file may differ from the copy the writer was given. After a failure it then holds a
    // half-written tag and must be replaced by an untouched copy; without it the copy can be
    // kept as it is.
    bool fileChanged = false;
};

// Writes the rating and play count, and the texts and picture the file lacks, into the media
// file open for reading and writing on `fd`. `name` is the name the file will have (its
// extension helps tell the format); the format itself is read from the content. Tags the file
// has are never changed, protected files (types 6, 7 and 12) and files of other formats are left
// alone, and every written file is read again to make sure its tags can be read. Never throws.
[[nodiscard]] TagWriteResult writeTrackTags(int fd, std::string_view name,
                                            const TrackTags& values) noexcept;

}  // namespace pelmar
