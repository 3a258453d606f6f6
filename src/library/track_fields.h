#pragma once

#include <cstdint>
#include <string_view>

#include "library/track_columns.h"
#include "library/track_data.h"
#include "util/time_format.h"

namespace pelmar {

// The fields under which a track is described to scripts and other programs, in their order:
// the command line's JSON listing prints them and the backup's library file keeps them, so the
// two read alike. `out` takes text(key, utf8), number(key, std::int64_t), boolean(key, bool) and
// null(key); texts are as `track` holds them (UTF-8 for a display copy).
template <typename Out>
void describeTrack(const TrackInfo& track, std::uint32_t id, std::uint32_t mediaKind,
                   bool hasArtwork, Out& out) {
    out.number("id", id);
    out.text("location", track.location);
    out.number("fileType", track.fileType);
    out.text("type", trackTypeText(track));
    out.text("artist", track.artist);
    out.text("album", track.album);
    out.text("title", track.title);
    out.text("genre", track.genre);
    out.text("composer", track.composer);
    out.number("size", track.size);
    out.number("lengthSeconds", track.lengthSeconds);
    out.number("trackNumber", track.trackNumber);
    out.number("year", track.year);
    out.number("bitrate", track.bitrate);
    out.number("playCount", track.playCount);
    // Never played: the player's zero time lies before 1970.
    if (const std::int64_t lastPlayed = signedPlayerTime(track.lastPlayed); lastPlayed < 0) {
        out.null("lastPlayed");
    } else {
        out.number("lastPlayed", lastPlayed);
    }
    out.number("rating", track.rating);
    out.number("bpm", track.bpm);
    out.number("mediaKind", mediaKind);
    out.boolean("artwork", hasArtwork);
}

}  // namespace pelmar
