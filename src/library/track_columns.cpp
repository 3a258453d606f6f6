#include "library/track_columns.h"

#include <cstdio>

#include "library/file_types.h"
#include "library/player_library.h"
#include "util/time_format.h"

namespace pelmar {

namespace {

std::string twoDigits(std::uint32_t n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02u", n);
    return buffer;
}

}  // namespace

TrackInfo displayTrackInfo(const PlayerLibrary& library, std::uint32_t trackId) {
    TrackInfo track;
    library.getTrackInfo(trackId, track);
    const TextCodec& codec = library.codec();
    for (std::string* text : {&track.location, &track.artist, &track.album, &track.title,
                              &track.genre, &track.composer}) {
        *text = codec.toUtf8(*text);
    }
    return track;
}

std::string trackNameText(const TrackInfo& track) {
    std::string text;
    if (!track.artist.empty()) {
        text += track.artist;
        text += " - ";
    }
    if (!track.album.empty()) {
        text += track.album;
        text += " - ";
    }
    if (track.trackNumber != 0) {
        text += twoDigits(track.trackNumber);
        text += " - ";
    }
    text += track.title;
    return text;
}

std::string trackTypeText(const TrackInfo& track) {
    return std::string(extensionForFileType(track.fileType));
}

std::string trackSizeText(const TrackInfo& track) {
    return std::to_string(track.size / 1024) + " KB";
}

std::string trackLengthText(const TrackInfo& track) {
    return std::to_string(track.lengthSeconds / 60) + ":" + twoDigits(track.lengthSeconds % 60);
}

std::string trackBitrateText(const TrackInfo& track) {
    return track.bitrate == 1 ? std::string("VBR") : std::to_string(track.bitrate) + " Kbps";
}

std::string trackRatingText(const TrackInfo& track) {
    return std::to_string(track.rating / 20);
}

std::string trackLastPlayedText(const TrackInfo& track) {
    return formatTimeUtc(signedPlayerTime(track.lastPlayed), "%m/%d/%Y %I:%M %p");
}

std::string trackSortKey(const TrackInfo& track) {
    return track.artist + " - " + track.album + " - " + twoDigits(track.trackNumber) + " - " +
           track.title + "." + trackTypeText(track);
}

}  // namespace pelmar
