#include "backup/selection_summary.h"

#include <vector>

#include "library/player_library.h"
#include "util/setting_names.h"
#include "util/settings_store.h"
#include "util/utf8.h"

namespace pelmar {

namespace {

constexpr std::string_view kNoFolderYet = "No destination folder selected yet.";

// "3 tracks", "1 artist": the number and its noun with the plural ending.
std::string counted(std::uint64_t n, std::string_view noun) {
    std::string text = std::to_string(n);
    text += ' ';
    text += noun;
    text += pluralEnding(static_cast<std::int64_t>(n));
    return text;
}

}  // namespace

std::string SelectionSummary::text() const {
    return tracksLine + "\n" + statisticsLine + "\n" + photosLine + "\n";
}

std::string_view pluralEnding(std::int64_t n) {
    return n == 1 ? "" : "s";
}

SelectionSummary summarizeSelection(const PlayerLibrary& library,
                                    const BackupSelection& selection) {
    const SelectionTotals totals = SelectionStatistics(selection.tracks, library);
    SelectionSummary summary;

    summary.tracksLine = counted(selection.tracks.size(), "track");
    if (!selection.playlists.empty()) {
        summary.tracksLine += " and " + counted(selection.playlists.size(), "playlist");
    }
    summary.tracksLine += ", representing:";

    summary.statisticsLine =
        counted(totals.artistCount, "artist") + ", " + counted(totals.albumCount, "album") + ", " +
        counted(totals.genreCount, "genre") + ", and " + counted(totals.composerCount, "composer") +
        ".\n" + std::to_string(totals.kilobytes / 1024) + " MB, " +
        counted(totals.seconds / 3600, "hour") + " " + counted(totals.seconds % 3600 / 60, "min") +
        " play length.";

    if (!selection.photos.empty()) {
        summary.photosLine = counted(selection.photos.size(), "photo");
        if (!selection.photoAlbums.empty()) {
            summary.photosLine += " in " + counted(selection.photoAlbums.size(), "photo album");
        }
        summary.photosLine += ".";
    }
    return summary;
}

std::string destinationLabel(std::string_view folder) {
    constexpr std::size_t kLongestWhole = 43;
    constexpr std::size_t kHead = 3;
    constexpr std::size_t kTail = 40;
    // Where each character starts; a byte that is not valid UTF-8 counts as one character.
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < folder.size();) {
        starts.push_back(pos);
        char32_t ignored = 0;
        static_cast<void>(utf8::decode(folder, pos, ignored));
    }
    if (starts.size() <= kLongestWhole) {
        return std::string(folder);
    }
    std::string label(folder.substr(0, starts[kHead]));
    label += "...";
    label += folder.substr(starts[starts.size() - kTail]);
    return label;
}

std::string freeSpaceLabel(std::uint32_t freeMegabytes) {
    return std::to_string(freeMegabytes) +
           " MB Free\n(Change location under the 'Options' tab above.)";
}

DestinationDisplay describeDestination(const SettingsStore& settings,
                                       const FreeBytesQuery& freeBytes) {
    std::string folder(kNoFolderYet);
    const bool settingsRead = settings.readString(kSettingDestinationFolder, folder);
    std::uint32_t free = 0;
    if (settingsRead && folder != kNoFolderYet && freeBytes) {
        free = freeMegabytes(freeBytes(folder));
    }
    return {destinationLabel(folder), freeSpaceLabel(free)};
}

}  // namespace pelmar
