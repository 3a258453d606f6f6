#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "library/artwork_catalog.h"
#include "library/image_data.h"
#include "library/kernel_id.h"
#include "library/library_indices.h"
#include "library/sortable_id_array.h"
#include "library/track_data.h"
#include "library/track_search.h"
#include "library/track_table.h"
#include "util/sortable_arrays.h"
#include "util/text_codec.h"

namespace pelmar {

// The in-memory picture of one connected player. Only the loaders write it; everything else
// reads it through the enumerations and queries below. Tracks are found by id only.
//
// The enumerations keep their cursors here, so only one enumeration of each kind runs at a time.
// A *first* call resets its cursor, yields the first element and returns the element count (0 for
// none); *next* yields the following element and returns 1, or 0 at the end.
class PlayerLibrary {
  public:
    explicit PlayerLibrary(const TextCodec& codec = TextCodec::system());
    PlayerLibrary(const PlayerLibrary&) = delete;
    PlayerLibrary& operator=(const PlayerLibrary&) = delete;

    [[nodiscard]] const TextCodec& codec() const { return *codec_; }

    // Empties every list, map and index. The root, the device fields and the podcast count stay
    // until the next connect sets them.
    void clear();

    // Fills `info` from the track's record; leaves it untouched and returns false when the id has
    // none.
    bool getTrackInfo(std::uint32_t trackId, TrackInfo& info) const;
    [[nodiscard]] const MhTrackData* findTrack(std::uint32_t trackId) const;
    // The track's file on the player: the root, then the colon-form location with its first
    // character dropped and every ":" made a "/".
    [[nodiscard]] std::string trackFilePath(std::string_view location) const;

    // Every track, videos included; returns the count of tracks that are not videos. `kind` is
    // the record's media kind, or 1 for an id without a record.
    int firstTrack(KernelId& out, std::uint32_t& kind);
    int nextTrack(KernelId& out, std::uint32_t& kind);
    // The videos; `kind` is 2 for an id without a record.
    int firstVideo(KernelId& out, std::uint32_t& kind);
    int nextVideo(KernelId& out, std::uint32_t& kind);

    // Visible playlists (index 1 and up) in name order without regard to case.
    int firstPlaylist(KernelId& out);
    int nextPlaylist(KernelId& out);
    [[nodiscard]] std::string playlistName(const KernelId& playlist) const;
    // Items of a playlist: `id` the track id, `position` its 0-based place.
    int firstPlaylistItem(const KernelId& playlist, KernelId& out);
    int nextPlaylistItem(const KernelId& playlist, KernelId& out);
    // The track ids of a playlist in playlist order, without touching any cursor, so a thread
    // other than the user interface's may read them. Null for an unknown or out-of-range id.
    [[nodiscard]] const std::vector<std::uint32_t>* playlistItemsOf(const KernelId& playlist) const;
    // Visible playlists in byte order of their names.
    int firstSortedPlaylist(KernelId& out);
    int nextSortedPlaylist(KernelId& out);

    // Photo albums, the master album (index 0) included, in database order.
    int firstPhotoAlbum(KernelId& out);
    int nextPhotoAlbum(KernelId& out);
    [[nodiscard]] std::string photoAlbumName(const KernelId& album) const;
    // Photos of an album: `id` the image id, `position` its 0-based place.
    int firstPhotoAlbumItem(const KernelId& album, KernelId& out);
    int nextPhotoAlbumItem(const KernelId& album, KernelId& out);
    // Photo albums in byte order of their names.
    int firstSortedPhotoAlbum(KernelId& out);
    int nextSortedPhotoAlbum(KernelId& out);

    // Artists of a genre, or every artist for an empty genre.
    int firstArtist(std::string_view genre, std::string& out);
    int nextArtist(std::string& out);
    // Albums of an artist, or every album for an empty artist.
    int firstAlbum(std::string_view artist, std::string& out);
    int nextAlbum(std::string& out);
    // Albums of a composer; the empty composer means tracks without one. Shares the album cursor.
    int firstComposerAlbum(std::string_view composer, std::string& out);
    int nextComposerAlbum(std::string& out);
    int firstGenre(std::string& out);
    int nextGenre(std::string& out);
    int firstComposer(std::string& out);
    int nextComposer(std::string& out);

    // Tracks whose every non-empty filter equals the track's value exactly. Returns 0 and keeps
    // the last results when all four filters are empty or none of them names a known value.
    int queryTracks(std::string_view artist, std::string_view album, std::string_view genre,
                    std::string_view composer, KernelId& out);
    int nextQueryResult(KernelId& out);
    // How many tracks queryTracks would find, without changing its results.
    [[nodiscard]] int countTracks(std::string_view artist, std::string_view album,
                                  std::string_view genre, std::string_view composer) const;

    std::string rootPath;  // ends in "/"
    CSortableUIntArray trackIds;
    CSortableUIntArray videoIds;
    TrackTable tracks;
    std::int32_t podcastCount = 0;

    // Index 0 is the master playlist, which is never enumerated.
    CSortableStringArray playlistNames;
    // Playlist name → its track ids in playlist order. Of two playlists with one name, the one
    // read later owns the entry.
    std::unordered_map<std::string, std::vector<std::uint32_t>> playlistItems;
    SortablePlaylistIdArray sortedPlaylistIds{playlistNames};

    std::unordered_map<std::uint32_t, ImageData> images;
    // Index 0 is the master album, listing every photo.
    CSortableStringArray photoAlbumNames;
    // Album name → its image ids in album order; of two albums with one name the later owns it.
    std::unordered_map<std::string, std::vector<std::uint32_t>> photoAlbumItems;
    SortablePhotoAlbumIdArray sortedPhotoAlbumIds{photoAlbumNames};

    ArtworkCatalog artwork;

    LibraryIndices indices;
    SearchIndex searchIndex;
    std::vector<KernelId> queryResults;

    std::map<std::string, std::string> deviceProperties;
    std::int32_t isConnected = 0;
    std::int32_t deviceKind = 0;

  private:
    // The shortest of the track sets named by the non-empty filters; null when none names one.
    [[nodiscard]] const std::vector<std::uint32_t>* smallestCandidateSet(
        std::string_view artist, std::string_view album, std::string_view genre,
        std::string_view composer) const;
    int firstName(const std::vector<std::string>& list, int& cursor, std::string& out);
    int nextName(const std::vector<std::string>* list, int& cursor, std::string& out);
    int firstKeyedName(const std::vector<LibraryIndices::TextId>* keyed, std::string_view key,
                       const std::vector<std::string>& whenKeyEmpty, CSortableStringArray& scratch,
                       const std::vector<std::string>*& current, int& cursor, std::string& out);
    [[nodiscard]] const std::vector<std::uint32_t>* photoAlbumImageIds(const KernelId& album) const;

    const TextCodec* codec_;

    int trackCursor_ = 0;
    int videoCursor_ = 0;
    int playlistCursor_ = 0;
    int playlistItemCursor_ = 0;
    int sortedPlaylistCursor_ = 0;
    int photoAlbumCursor_ = 0;
    int photoAlbumItemCursor_ = 0;
    int sortedPhotoAlbumCursor_ = 0;
    int queryCursor_ = 0;
    int artistCursor_ = 0;
    int albumCursor_ = 0;
    int genreCursor_ = 0;
    int composerCursor_ = 0;
    CSortableStringArray genreArtists_;
    CSortableStringArray artistAlbums_;
    CSortableStringArray composerAlbums_;
    const std::vector<std::string>* currentArtistList_ = nullptr;
    const std::vector<std::string>* currentAlbumList_ = nullptr;
    const std::vector<std::string>* currentComposerAlbumList_ = nullptr;
};

// Totals of a selection of tracks for the backup pages.
struct SelectionTotals {
    std::uint32_t kilobytes = 0;  // each track's size / 1024, summed
    std::uint32_t seconds = 0;
    std::uint32_t artistCount = 0;
    std::uint32_t albumCount = 0;
    std::uint32_t genreCount = 0;
    std::uint32_t composerCount = 0;
};

// Ids without a record add nothing.
[[nodiscard]] SelectionTotals SelectionStatistics(std::span<const KernelId> selection,
                                                  const PlayerLibrary& library);

}  // namespace pelmar
