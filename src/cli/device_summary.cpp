#include "cli/device_summary.h"

#include <string>

#include "cli/json_writer.h"
#include "cli/text_table.h"
#include "library/compressed_database.h"
#include "library/device_information.h"
#include "library/device_model.h"
#include "library/player_library.h"
#include "platform/system_volumes.h"
#include "util/protected_literals.h"

namespace pelmar::cli {

void printDeviceSummary(OutputBuffer& out, const PlayerLibrary& library,
                        const SystemVolumes& system, Format format) {
    const std::optional<VolumeSpace> space = system.space(library.rootPath);
    const auto productIt = library.deviceProperties.find(reveal(kLiteralUsbProductIdProperty));
    const bool hasProductId = productIt != library.deviceProperties.end();
    const bool compressed = hasCompressedDatabase(library.rootPath);
    const std::size_t playlists =
        library.playlistNames.empty() ? 0 : library.playlistNames.size() - 1;
    // As the tree counts "Songs (All Tracks)": the videos have a count of their own.
    const std::size_t songs = library.trackIds.size() > library.videoIds.size()
                                  ? library.trackIds.size() - library.videoIds.size()
                                  : 0;
    const std::vector<std::pair<std::string, std::size_t>> counts = {
        {"Tracks", songs},
        {"Videos", library.videoIds.size()},
        {"Podcasts", static_cast<std::size_t>(std::max(library.podcastCount, 0))},
        {"Playlists", playlists},
        {"Photos", library.images.size()},
        {"Photo albums", library.photoAlbumNames.size()},
    };

    if (format == Format::Json) {
        const VolumeSpace known = space.value_or(VolumeSpace{});
        JsonWriter json(out);
        json.beginObject();
        json.key("deviceName");
        json.string(deviceInformationRows(library, space)[0].value);
        json.key("mountPoint");
        json.string(library.codec().toUtf8(mountPointText(library.rootPath)));
        json.key("productId");
        if (hasProductId) {
            json.string(productIt->second);
        } else {
            json.null();
        }
        json.key("family");
        json.number(library.deviceKind);
        json.key("model");
        json.string(playerModel(library));
        json.key("compressedDatabase");
        json.boolean(compressed);
        json.key("totalBytes");
        json.number(static_cast<std::int64_t>(known.totalBytes));
        json.key("freeBytes");
        json.number(static_cast<std::int64_t>(known.freeBytes));
        const char* keys[] = {"tracks", "videos", "podcasts", "playlists", "photos", "photoAlbums"};
        for (std::size_t i = 0; i < counts.size(); ++i) {
            json.key(keys[i]);
            json.number(static_cast<std::int64_t>(counts[i].second));
        }
        json.endObject();
        return;
    }
    std::vector<std::pair<std::string, std::string>> rows;
    for (const DeviceProperty& property : deviceInformationRows(library, space)) {
        rows.emplace_back(property.label, library.codec().toUtf8(property.value));
    }
    rows.emplace_back("USB Product ID", hasProductId ? productIt->second : std::string("unknown"));
    rows.emplace_back("Compressed database", compressed ? "yes" : "no");
    for (const auto& [label, count] : counts) {
        rows.emplace_back(label, std::to_string(count));
    }
    printTable(out, {{"Property", false, 20}, {"Value", false, 80}}, rows.size(),
               [&](std::size_t row, std::vector<std::string>& cells) {
                   cells[0] = rows[row].first;
                   cells[1] = rows[row].second;
               });
}

}  // namespace pelmar::cli
