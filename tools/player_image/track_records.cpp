#include "player_image/track_records.h"

#include <array>
#include <string_view>

#include "player_image/child_types.h"

namespace pelmar::player_image {
namespace {

struct TaggedText {
    std::uint32_t type;
    const std::string* text;
};

std::array<TaggedText, 9> stringChildren(const Track& track) {
    return {{{child_type::title, &track.title},
             {child_type::location, &track.location},
             {child_type::album, &track.album},
             {child_type::artist, &track.artist},
             {child_type::genre, &track.genre},
             {child_type::fileTypeText, &track.fileTypeText},
             {child_type::comment, &track.comment},
             {child_type::composer, &track.composer},
             {child_type::description, &track.description}}};
}

void writeTrack(ByteSink& sink, const Track& track, ChildWriter& children) {
    const auto strings = stringChildren(track);
    std::uint32_t childCount = 0;
    for (const TaggedText& child : strings) {
        childCount += child.text->empty() ? 0 : 1;
    }
    childCount += track.enclosureUrl.empty() ? 0 : 1;
    childCount += track.feedUrl.empty() ? 0 : 1;

    RecordHeader header("mhit", track.headerLength);
    header.set32(12, childCount);
    header.set32(16, track.id);
    header.set8(31, track.rating);
    header.set32(36, track.size);
    header.set32(40, track.lengthMs);
    header.set32(44, track.trackNumber);
    header.set32(52, track.year);
    header.set32(56, track.bitrate);
    header.set32(80, track.playCount);
    header.set32(88, track.lastPlayed);
    header.set8(121, track.appRating);
    header.set16(122, track.bpm);
    header.set32(208, track.mediaKind);
    // Fields the program does not read, filled as players fill them, so that a reader looking
    // at the wrong offset finds something other than zero.
    header.set32(20, 1);  // visible
    header.set32(48, track.albumTrackCount);
    header.set32(104, track.dateAdded);
    header.set64(112, track.databaseId);
    header.set8(164, track.artworkFlag);
    header.set32(352, track.artworkId);

    const std::uint64_t start = openRecord(sink, header);
    for (const TaggedText& child : strings) {
        if (!child.text->empty()) {
            children.writeString(sink, child.type, *child.text, track.stringEncoding);
        }
    }
    if (!track.enclosureUrl.empty()) {
        children.writeRawText(sink, child_type::enclosureUrl, track.enclosureUrl);
    }
    if (!track.feedUrl.empty()) {
        children.writeRawText(sink, child_type::feedUrl, track.feedUrl);
    }
    closeRecord(sink, start);
}

}  // namespace

void writeTrackList(ByteSink& sink, const std::vector<Track>& tracks, ChildWriter& children) {
    writeListHeader(sink, "mhlt", tracks.size());
    for (const Track& track : tracks) {
        writeTrack(sink, track, children);
    }
}

}  // namespace pelmar::player_image
