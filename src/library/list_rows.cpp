#include "library/list_rows.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "library/player_library.h"
#include "library/track_columns.h"

namespace pelmar {

namespace {

constexpr std::array<ListColumn, 12> kTrackColumns{{
    {"Name", 400, false},
    {"Type", 40, false},
    {"Size", 70, true},
    {"Length", 50, true},
    {"Bitrate", 60, true},
    {"Year", 40, true},
    {"Genre", 75, false},
    {"Composer", 100, false},
    {"BPM", 40, true},
    {"Rating", 50, true},
    {"Play Count", 70, true},
    {"Last Played", 125, true},
}};

constexpr std::array<ListColumn, 13> kPlaylistColumns = [] {
    std::array<ListColumn, 13> columns{};
    columns[0] = {"#", 45, true};
    std::copy(kTrackColumns.begin(), kTrackColumns.end(), columns.begin() + 1);
    return columns;
}();

constexpr std::array<ListColumn, 1> kPhotoAlbumColumns{{{"Thumbnail", 500, false}}};
constexpr std::array<ListColumn, 2> kDeviceColumns{
    {{"Property", 150, false}, {"Value", 500, false}}};
constexpr std::array<ListColumn, 2> kFolderColumns{{{"Name", 225, false}, {"Contains", 60, false}}};

bool isTrackRow(const NodeData& row) {
    return row.kind == NK_TRACK || row.kind == NK_PLAYLIST_TRACK;
}

bool isSearchResultsNode(const NodeData& node) {
    return node.kind == NK_TRACKS && node.subkind == tracks_subkind::kSearchResults;
}

std::vector<std::string> trackRowTexts(const PlayerLibrary& library, const NodeData& row) {
    const TrackInfo track = displayTrackInfo(library, row.itemId.id);
    std::vector<std::string> texts;
    texts.reserve(kPlaylistColumns.size());
    if (row.kind == NK_PLAYLIST_TRACK) {
        texts.push_back(std::to_string(row.order + 1));
    }
    texts.push_back(trackNameText(track));
    texts.push_back(trackTypeText(track));
    texts.push_back(trackSizeText(track));
    texts.push_back(trackLengthText(track));
    texts.push_back(trackBitrateText(track));
    texts.push_back(std::to_string(track.year));
    texts.push_back(track.genre);
    texts.push_back(track.composer);
    texts.push_back(std::to_string(track.bpm));
    texts.push_back(trackRatingText(track));
    texts.push_back(std::to_string(track.playCount));
    texts.push_back(trackLastPlayedText(track));
    return texts;
}

bool keepsBuildOrder(const NodeData& current) {
    return current.kind == NK_PLAYLIST || current.kind == NK_PHOTO_ALBUM ||
           current.kind == NK_DEVICE_INFO ||
           (current.kind == NK_FOLDER && current.subkind == folder_subkind::kRoot);
}

}  // namespace

std::span<const ListColumn> listColumns(const NodeData* current) {
    if (current == nullptr) {
        return kFolderColumns;
    }
    switch (current->kind) {
        case NK_TRACKS:
            return kTrackColumns;
        case NK_PLAYLIST:
            return kPlaylistColumns;
        case NK_PHOTO_ALBUM:
            return kPhotoAlbumColumns;
        case NK_DEVICE_INFO:
            return kDeviceColumns;
        default:
            return kFolderColumns;
    }
}

std::vector<std::string> listRowTexts(const PlayerLibrary& library, std::size_t searchResultCount,
                                      const NodeData& current, const NodeData& row) {
    if (isTrackRow(row)) {
        return trackRowTexts(library, row);
    }
    const std::size_t columns = listColumns(&current).size();
    std::vector<std::string> texts(columns);
    texts[0] = library.codec().toUtf8(row.name);
    if (columns > 1) {
        if (row.kind == NK_PROPERTY) {
            texts[1] = library.codec().toUtf8(row.text2);
        } else if (isSearchResultsNode(row)) {
            texts[1] = std::to_string(searchResultCount);
        } else if (row.count >= 0) {
            texts[1] = std::to_string(row.count);
        }
    }
    return texts;
}

void orderListRows(const PlayerLibrary& library, const NodeData& current,
                   std::vector<NodeData*>& rows) {
    if (keepsBuildOrder(current)) {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const NodeData* a, const NodeData* b) { return a->order < b->order; });
        return;
    }
    // Fold every name once instead of twice per comparison: a list can hold 100,000 tracks.
    struct Key {
        bool allTracks;
        std::string folded;
    };
    std::vector<Key> keys(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        NodeData& row = *rows[i];
        if (row.kind == NK_TRACK && row.name.empty()) {
            row.name = trackSortKey(displayTrackInfo(library, row.itemId.id));
        }
        keys[i] = {row.name.find(kAllTracksOpening) != std::string::npos,
                   library.codec().foldKey(row.name)};
    }
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (keys[a].allTracks != keys[b].allTracks) {
            return keys[a].allTracks;
        }
        return keys[a].folded < keys[b].folded;
    });
    std::vector<NodeData*> sorted;
    sorted.reserve(rows.size());
    for (const std::size_t i : order) {
        sorted.push_back(rows[i]);
    }
    rows = std::move(sorted);
}

bool isShadedRow(const NodeData& current, std::size_t index) {
    return index % 2 == 0 && current.kind != NK_FOLDER && current.kind != NK_DEVICE_INFO;
}

int listRowHeight(const NodeData* current) {
    return current != nullptr && current->kind == NK_PHOTO_ALBUM ? 100 : 17;
}

std::string listStatusText(std::size_t selectedRows, std::size_t rows) {
    return selectedRows > 0 ? std::to_string(selectedRows) + " items selected."
                            : std::to_string(rows) + " items.";
}

}  // namespace pelmar
