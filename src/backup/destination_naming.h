#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/text_codec.h"

namespace pelmar {

class PlayerLibrary;

// Cleaned tag texts are cut to this many bytes when a destination would be too long.
inline constexpr std::size_t kShortenedFieldBytes = 30;

// Where a track goes below the backup folder, as the options preview shows it: folder names
// without separators, in order, and the file name without its extension.
struct DestinationParts {
    std::vector<std::string> components;
    std::string fileBase;
    std::string extension;  // without the dot; empty for an unknown file type
};

// The same, with the folder names joined into one path.
struct DestinationFolder {
    std::string folderPath;  // "" or ends in "/"
    std::string fileBase;
    std::string extension;
};

// A tag text made safe as a file or folder name. Path separators and control characters go,
// then white space at either end, then dots at the end (a lone "." stays), then ? < > * | " and
// ":"; so "Hello.?" keeps its dot. An empty result is "Unknown". Characters are stepped over
// whole, so the trail byte of a double-byte character is never taken for a separator.
[[nodiscard]] std::string CleanNameField(std::string_view text,
                                         const TextCodec& codec = TextCodec::system());

// The file extension of a file type code, without its dot; empty for 0 and unknown codes.
[[nodiscard]] std::string ExtensionForFileType(std::uint8_t fileType);

// A track number as names and the log show it: at least two digits.
[[nodiscard]] std::string TrackNumberText(std::uint32_t trackNumber);

// Whether the folder template gives each album a folder of its own: it has an Album field.
[[nodiscard]] bool FolderTemplateSeparatesAlbums(std::string_view folderTemplate);

// The place of a track under the folder and file templates. An unknown track id names an empty
// track ("Unknown" fields, track 00, "mp3"); an unknown folder template gives no folders and an
// unknown file template an empty file base. With `shorten`, each cleaned tag text keeps at most
// its first 30 bytes, never half a character.
[[nodiscard]] DestinationParts BuildDestinationParts(const PlayerLibrary& library,
                                                     std::uint32_t trackId,
                                                     std::string_view folderTemplate,
                                                     std::string_view fileTemplate, bool shorten);

// The same, with the components joined by "/". A component ending in "." ends in "_" instead:
// Windows and FAT volumes drop a final dot, and a lone "." would put the track one folder up.
[[nodiscard]] DestinationFolder BuildDestinationFolder(const PlayerLibrary& library,
                                                       std::uint32_t trackId,
                                                       std::string_view folderTemplate,
                                                       std::string_view fileTemplate, bool shorten);

// `relativePath` below the backup folder, with exactly one "/" between them (a backup folder of
// "/" gives "/relative").
[[nodiscard]] std::string BackupFilePath(std::string_view backupFolder,
                                         std::string_view relativePath);

}  // namespace pelmar
