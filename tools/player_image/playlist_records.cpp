#include "player_image/playlist_records.h"

#include <array>

#include "player_image/child_types.h"
#include "player_image/master_index.h"
#include "player_image/player_clock.h"

namespace pelmar::player_image {
namespace {

constexpr std::uint32_t kPlaylistHeaderLength = 108;
constexpr std::uint32_t kItemHeaderLength = 76;
constexpr std::size_t kPositionBodyLength = 20;
// Playlist ids are 64-bit; the two playlist lists draw from separate ranges.
constexpr std::uint64_t kPlaylistIdBase = 0x50E1A00000000000ULL;
constexpr std::uint64_t kPodcastPlaylistIdBase = 0x50E1A00000100000ULL;

// Rule definitions: readers skip these children, so only their framing has to be right.
constexpr std::array<std::uint8_t, 72> kSmartRules{1, 1, 1, 0, 0, 0, 0, 0, 25};
constexpr std::array<std::uint8_t, 24> kSmartRuleList{0, 0, 0, 1, 0, 0, 0, 1};

void writeItem(ByteSink& sink, std::uint32_t trackId, std::uint32_t position,
               ChildWriter& children) {
    RecordHeader header("mhip", kItemHeaderLength);
    header.set32(12, 1);
    header.set32(24, trackId);
    header.set32(28, player_clock::kLastSync);
    const std::uint64_t start = openRecord(sink, header);
    std::array<std::uint8_t, kPositionBodyLength> body{};
    for (std::size_t i = 0; i < 4; ++i) {
        body[i] = static_cast<std::uint8_t>(position >> (8 * i));
    }
    children.writeBody(sink, child_type::itemPosition, body);
    closeRecord(sink, start);
}

void writePlaylist(ByteSink& sink, const Playlist& playlist, std::uint64_t playlistId,
                   const std::vector<Track>* masterTracks, ChildWriter& children) {
    std::uint32_t childCount = 1;
    if (masterTracks != nullptr) {
        childCount += masterIndexChildCount();
    } else if (playlist.smart) {
        childCount += 2;
    }
    RecordHeader header("mhyp", kPlaylistHeaderLength);
    header.set32(12, childCount);
    header.set32(16, static_cast<std::uint32_t>(playlist.items.size()));
    header.set8(20, masterTracks != nullptr ? 1 : 0);  // hidden: the master is not shown
    header.set32(24, player_clock::kLastSync);
    header.set64(28, playlistId);

    const std::uint64_t start = openRecord(sink, header);
    children.writeString(sink, child_type::title, playlist.name, StringEncoding::Utf16);
    if (masterTracks != nullptr) {
        writeMasterIndex(sink, *masterTracks, children);
    } else if (playlist.smart) {
        children.writeBody(sink, child_type::smartRules, kSmartRules);
        children.writeBody(sink, child_type::smartRuleList, kSmartRuleList);
    }
    for (std::size_t i = 0; i < playlist.items.size(); ++i) {
        writeItem(sink, playlist.items[i], static_cast<std::uint32_t>(i), children);
    }
    closeRecord(sink, start);
}

}  // namespace

std::uint64_t playlistDatabaseId(std::size_t position) {
    return kPlaylistIdBase + position;
}

void writePlaylistList(ByteSink& sink, const std::vector<Playlist>& playlists,
                       const std::vector<Track>* tracksForMasterIndex, ChildWriter& children) {
    writeListHeader(sink, "mhlp", playlists.size());
    for (std::size_t i = 0; i < playlists.size(); ++i) {
        const std::vector<Track>* masterTracks = i == 0 ? tracksForMasterIndex : nullptr;
        const std::uint64_t playlistId =
            tracksForMasterIndex != nullptr ? playlistDatabaseId(i) : kPodcastPlaylistIdBase + i;
        writePlaylist(sink, playlists[i], playlistId, masterTracks, children);
    }
}

}  // namespace pelmar::player_image
