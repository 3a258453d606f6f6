#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>

#include "player_image/compressed_database.h"
#include "player_image/file_writing.h"
#include "player_image/full_resolution.h"
#include "player_image/later_files.h"
#include "player_image/music_database.h"
#include "player_image/photo_database.h"
#include "player_image/player_image.h"
#include "player_image/thumbnail_formats.h"
#include "player_image/thumbnails.h"

namespace pelmar::player_image {
namespace {

constexpr int kMusicFolders = 50;

std::filesystem::path databaseFolder(const std::filesystem::path& root) {
    return root / "iPod_Control" / "iTunes";
}

std::filesystem::path photoFolder(const std::filesystem::path& root) {
    return root / "Photos";
}

std::filesystem::path thumbnailFolder(const std::filesystem::path& root) {
    return photoFolder(root) / "Thumbs";
}

// ":Full Resolution:2005:08:06:IMG_3609.JPG" under `folder`.
std::filesystem::path colonPath(std::filesystem::path folder, std::string_view rest) {
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view part = rest.substr(0, colon);
        if (!part.empty()) {
            folder /= part;
        }
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    return folder;
}

bool createMusicFolders(const std::filesystem::path& root, std::string& error) {
    for (int i = 0; i < kMusicFolders; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%02d", i);
        if (!createFolder(root / "iPod_Control" / "Music" / name, error)) {
            return false;
        }
    }
    return true;
}

bool writeCompressed(const PlayerImage& image, const std::filesystem::path& path,
                     CompressedDamage damage, std::string& error) {
    std::uint64_t kept = 0;
    if (!writeStreamed(path, error, [&](ByteSink& sink) {
            kept = writeCompressedDatabase(sink, image, damage);
        })) {
        return false;
    }
    std::error_code failure;
    std::filesystem::resize_file(path, kept, failure);
    if (failure) {
        error = "cannot cut " + path.string() + " short: " + failure.message();
        return false;
    }
    return true;
}

// Players with a compressed database keep an empty iTunesDB beside it.
bool writeDatabase(const PlayerImage& image, const std::filesystem::path& root,
                   const Options& options, std::string& error) {
    const std::filesystem::path compressed = compressedDatabasePath(root);
    if (!playerModel(image.model).compressedDatabase) {
        return removeOld(compressed, error) &&
               writeStreamed(musicDatabasePath(root), error,
                             [&](ByteSink& sink) { writeMusicDatabase(sink, image); });
    }
    if (!writeFile(musicDatabasePath(root), {}, error)) {
        return false;
    }
    switch (options.compressedPresence) {
        case CompressedPresence::Written:
            return writeCompressed(image, compressed, options.compressedDamage, error);
        case CompressedPresence::Missing:
            return removeOld(compressed, error);
        case CompressedPresence::Empty:
            return writeFile(compressed, {}, error);
    }
    return true;
}

bool writePlayCounts(const PlayerImage& image, const std::filesystem::path& root,
                     const Options& options, std::string& error) {
    if (options.withPlayCounts) {
        return writeFile(playCountPath(root), playCountBytes(image, options.playCountEntryLength),
                         error);
    }
    return removeOld(playCountPath(root), error);
}

bool writeOriginals(const PlayerImage& image, const std::filesystem::path& root,
                    std::string& error) {
    Originals originals;
    for (const Photo& photo : image.photos) {
        if (photo.original.empty()) {
            continue;
        }
        const std::filesystem::path path = originalPhotoPath(root, photo);
        if (!createFolder(path.parent_path(), error) ||
            !writeFile(path, originals.bytes(photo), error)) {
            return false;
        }
    }
    return true;
}

// Thumbnail files reach hundreds of megabytes with many photos, so they are streamed.
bool writePhotos(const PlayerImage& image, const std::filesystem::path& root, std::string& error) {
    if (!createFolder(thumbnailFolder(root), error) ||
        !writeStreamed(photoDatabasePath(root), error,
                       [&](ByteSink& sink) { writePhotoDatabase(sink, image); })) {
        return false;
    }
    for (const std::uint32_t formatId : formatsInUse(image)) {
        if (!writeStreamed(thumbnailFilePath(root, formatId), error,
                           [&](ByteSink& sink) { writeThumbnailFile(sink, image, formatId); })) {
            return false;
        }
    }
    return writeOriginals(image, root, error);
}

}  // namespace

std::filesystem::path musicDatabasePath(const std::filesystem::path& root) {
    return databaseFolder(root) / "iTunesDB";
}

std::filesystem::path compressedDatabasePath(const std::filesystem::path& root) {
    return databaseFolder(root) / "iTunesCDB";
}

std::filesystem::path sqliteFolderPath(const std::filesystem::path& root) {
    return databaseFolder(root) / "iTunes Library.itlp";
}

std::filesystem::path onTheGoPath(const std::filesystem::path& root, std::size_t index) {
    return databaseFolder(root) / (index == 0 ? std::string("OTGPlaylistInfo")
                                              : "OTGPlaylistInfo_" + std::to_string(index));
}

std::filesystem::path playCountPath(const std::filesystem::path& root) {
    return databaseFolder(root) / "Play Counts";
}

std::filesystem::path photoDatabasePath(const std::filesystem::path& root) {
    return photoFolder(root) / "Photo Database";
}

std::filesystem::path thumbnailFilePath(const std::filesystem::path& root, std::uint32_t formatId) {
    return thumbnailFolder(root) / thumbnailFileName(formatId);
}

std::filesystem::path originalPhotoPath(const std::filesystem::path& root, const Photo& photo) {
    return colonPath(photoFolder(root), photo.original);
}

std::filesystem::path mediaFilePath(const std::filesystem::path& root, const Track& track) {
    return colonPath(root, track.location);
}

bool writePlayerImage(const PlayerImage& image, const std::filesystem::path& root,
                      const Options& options, std::string& error) {
    if (options.withPlayCounts && options.playCountEntryLength < 12) {
        error = "play-count entries must be at least 12 bytes long";
        return false;
    }
    if (!createFolder(databaseFolder(root), error) || !createMusicFolders(root, error) ||
        !writeDatabase(image, root, options, error) ||
        !writePlayCounts(image, root, options, error)) {
        return false;
    }
    if (options.withMedia) {
        for (const Track& track : image.tracks) {
            if (!writeFile(mediaFilePath(root, track), mediaFileBytes(track), error)) {
                return false;
            }
        }
    }
    // Thumbnail files of an earlier image must not survive beside a new photo database.
    if (!removeOld(photoFolder(root), error) ||
        (options.withPhotos && !writePhotos(image, root, error))) {
        return false;
    }
    return writeLaterFiles(image, root, options, error);
}

}  // namespace pelmar::player_image
