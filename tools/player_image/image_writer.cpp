#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "player_image/byte_sink.h"
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
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out.fail()) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
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

template <typename WriteContent>
bool writeStreamed(const std::filesystem::path& path, std::string& error,
                   WriteContent writeContent) {
    FileSink sink(path);
    writeContent(sink);
    if (!sink.finish()) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

bool writeDatabase(const PlayerImage& image, const std::filesystem::path& root,
                   std::string& error) {
    return writeStreamed(musicDatabasePath(root), error,
                         [&](ByteSink& sink) { writeMusicDatabase(sink, image); });
}

bool writePlayCounts(const PlayerImage& image, const std::filesystem::path& root,
                     const Options& options, std::string& error) {
    if (options.withPlayCounts) {
        return writeFile(playCountPath(root), playCountBytes(image, options.playCountEntryLength),
                         error);
    }
    std::error_code failure;
    std::filesystem::remove(playCountPath(root), failure);
    if (failure) {
        error = "cannot remove the old " + playCountPath(root).string() + ": " + failure.message();
        return false;
    }
    return true;
}

bool removeFolder(const std::filesystem::path& folder, std::string& error) {
    std::error_code failure;
    std::filesystem::remove_all(folder, failure);
    if (failure) {
        error = "cannot remove the old " + folder.string() + ": " + failure.message();
        return false;
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
    return true;
}

}  // namespace

std::filesystem::path musicDatabasePath(const std::filesystem::path& root) {
    return databaseFolder(root) / "iTunesDB";
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

std::filesystem::path mediaFilePath(const std::filesystem::path& root, const Track& track) {
    std::filesystem::path path = root;
    std::string_view rest = track.location;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view part = rest.substr(0, colon);
        if (!part.empty()) {
            path /= part;
        }
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    return path;
}

bool writePlayerImage(const PlayerImage& image, const std::filesystem::path& root,
                      const Options& options, std::string& error) {
    if (options.withPlayCounts && options.playCountEntryLength < 12) {
        error = "play-count entries must be at least 12 bytes long";
        return false;
    }
    if (!createFolder(databaseFolder(root), error) || !createMusicFolders(root, error) ||
        !writeDatabase(image, root, error) || !writePlayCounts(image, root, options, error)) {
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
    if (!removeFolder(photoFolder(root), error)) {
        return false;
    }
    return !options.withPhotos || writePhotos(image, root, error);
}

}  // namespace pelmar::player_image
