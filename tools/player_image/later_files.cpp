#include "player_image/later_files.h"

#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

#include "player_image/artwork.h"
#include "player_image/artwork_database.h"
#include "player_image/file_writing.h"
#include "player_image/sqlite_databases.h"

namespace pelmar::player_image {
namespace {

constexpr std::string_view kOnTheGoStem = "OTGPlaylistInfo";

std::filesystem::path artworkFolder(const std::filesystem::path& root) {
    return root / "iPod_Control" / "Artwork";
}

bool writeSqlite(const PlayerImage& image, const std::filesystem::path& root,
                 const Options& options, std::string& error) {
    const std::filesystem::path folder = sqliteFolderPath(root);
    if (!removeOld(folder, error)) {
        return false;
    }
    if (!playerModel(image.model).sqliteDatabases) {
        return true;
    }
    if (!createFolder(folder, error)) {
        return false;
    }
    try {
        writeSqliteDatabases(image, folder, options.sqliteDamage);
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

// Earlier images may have had more of them, and a gap would end the numbering early.
bool writeOnTheGo(const PlayerImage& image, const std::filesystem::path& root,
                  const Options& options, std::string& error) {
    const std::filesystem::path folder = onTheGoPath(root, 0).parent_path();
    std::vector<std::filesystem::path> old;
    std::error_code failure;
    for (const auto& entry : std::filesystem::directory_iterator(folder, failure)) {
        if (entry.path().filename().string().starts_with(kOnTheGoStem)) {
            old.push_back(entry.path());
        }
    }
    for (const std::filesystem::path& path : old) {
        if (!removeOld(path, error)) {
            return false;
        }
    }
    for (std::size_t i = 0; i < image.onTheGoPlaylists.size(); ++i) {
        if (!writeFile(onTheGoPath(root, i), onTheGoBytes(image, i, options.onTheGoDamage),
                       error)) {
            return false;
        }
    }
    return true;
}

bool writeSysInfo(const PlayerImage& image, const std::filesystem::path& root,
                  const Options& options, std::string& error) {
    const std::string text = sysInfoText(image);
    if (!options.withSysInfo || text.empty()) {
        return removeOld(sysInfoPath(root), error);
    }
    return createFolder(sysInfoPath(root).parent_path(), error) &&
           writeText(sysInfoPath(root), text, error);
}

// Thumbnail files of a large library reach gigabytes, so everything is streamed.
bool writeArtwork(const PlayerImage& image, const std::filesystem::path& root,
                  const Options& options, std::string& error) {
    if (!removeOld(artworkFolder(root), error)) {
        return false;
    }
    const PlayerModel& model = playerModel(image.model);
    if (!options.withArtwork || model.artworkFormats.empty()) {
        return true;
    }
    if (!createFolder(artworkFolder(root), error) ||
        !writeStreamed(artworkDatabasePath(root), error,
                       [&](ByteSink& sink) { writeArtworkDatabase(sink, image); })) {
        return false;
    }
    for (const auto& file : artworkFilesInUse(image)) {
        const std::uint32_t formatId = file.first;
        const std::uint32_t fileNumber = file.second;
        const bool missing = image.artworkDamage == ArtworkDamage::MissingFile &&
                             formatId == model.artworkFormats.front() && fileNumber == 1;
        if (!missing &&
            !writeStreamed(artworkFilePath(root, formatId, fileNumber), error, [&](ByteSink& sink) {
                writeArtworkFile(sink, image, formatId, fileNumber);
            })) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::filesystem::path sysInfoPath(const std::filesystem::path& root) {
    return root / "iPod_Control" / "Device" / "SysInfo";
}

std::filesystem::path artworkDatabasePath(const std::filesystem::path& root) {
    return artworkFolder(root) / "ArtworkDB";
}

std::filesystem::path artworkFilePath(const std::filesystem::path& root, std::uint32_t formatId,
                                      std::uint32_t fileNumber) {
    return artworkFolder(root) / artworkFileName(formatId, fileNumber);
}

bool writeLaterFiles(const PlayerImage& image, const std::filesystem::path& root,
                     const Options& options, std::string& error) {
    return writeSqlite(image, root, options, error) && writeOnTheGo(image, root, options, error) &&
           writeSysInfo(image, root, options, error) && writeArtwork(image, root, options, error);
}

}  // namespace pelmar::player_image
