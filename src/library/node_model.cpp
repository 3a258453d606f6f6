#include "library/node_model.h"

#include <string_view>
#include <utility>

#include "library/device_information.h"
#include "library/player_library.h"

namespace pelmar {

namespace {

constexpr std::string_view kAllTracksClosing = " ]";

int queryCount(PlayerLibrary& library, std::string_view artist, std::string_view album,
               std::string_view genre, std::string_view composer) {
    return library.countTracks(artist, album, genre, composer);
}

// Appends the children of one node, numbering them in build order.
class ChildBuilder {
  public:
    ChildBuilder(NodeSource& source, std::vector<std::unique_ptr<NodeData>>& out)
        : source_(source), library_(source.library), out_(out) {}

    bool build(const NodeData* node) {
        if (node == nullptr) {
            addRoot();
            return true;
        }
        switch (node->kind) {
            case NK_FOLDER:
                return buildFolder(*node);
            case NK_TRACKS:
                return buildTrackSet(*node);
            case NK_PLAYLIST:
                addItemRows(NK_PLAYLIST_TRACK, node->itemId, &PlayerLibrary::firstPlaylistItem,
                            &PlayerLibrary::nextPlaylistItem);
                return true;
            case NK_PHOTO_ALBUM:
                addItemRows(NK_PHOTO, node->itemId, &PlayerLibrary::firstPhotoAlbumItem,
                            &PlayerLibrary::nextPhotoAlbumItem);
                return true;
            case NK_DEVICE_INFO:
                addDeviceRows();
                return true;
            case NK_TRACK:
            case NK_PLAYLIST_TRACK:
            case NK_PHOTO:
            case NK_PROPERTY:
                return true;
            default:
                return false;
        }
    }

  private:
    using ItemWalk = int (PlayerLibrary::*)(const KernelId&, KernelId&);

    NodeData& add(std::int32_t kind, std::int32_t subkind, std::string name, std::int32_t icon,
                  std::int32_t count) {
        auto node = std::make_unique<NodeData>();
        node->kind = kind;
        node->subkind = subkind;
        node->order = nextOrder_++;
        node->count = count;
        node->name = std::move(name);
        node->image = icon;
        node->selectedImage = icon;
        out_.push_back(std::move(node));
        return *out_.back();
    }

    // A folder or track-set node filtered on `key`, which it carries in `text2`.
    void addKeyed(std::int32_t kind, std::int32_t subkind, const std::string& key,
                  std::int32_t icon, std::int32_t count) {
        add(kind, subkind, key, icon, count).text2 = key;
    }

    void addAllTracks(std::int32_t subkind, const std::string& key, std::int32_t count) {
        std::string label(kAllTracksOpening);
        label += key;
        label += kAllTracksClosing;
        add(NK_TRACKS, subkind, std::move(label), node_icon::kAllTracks, count).text2 = key;
    }

    void addFilteredAlbum(std::int32_t subkind, const std::string& key, const std::string& album,
                          std::int32_t count) {
        NodeData& node = add(NK_TRACKS, subkind, album, node_icon::kAlbum, count);
        node.text2 = key;
        node.text3 = album;
    }

    void addItemRow(std::int32_t kind, KernelId item) {
        add(kind, 0, std::string(), node_icon::kItemRow, 0).itemId = std::move(item);
    }

    void addTrackRow(std::uint32_t trackId) {
        KernelId item;
        item.id = trackId;
        addItemRow(NK_TRACK, std::move(item));
    }

    void addRoot() {
        add(NK_FOLDER, folder_subkind::kRoot, "iPod (" + mountPointText(library_.rootPath) + ")",
            node_icon::kPlayer, 0);
    }

    void addCategories() {
        const auto size = [](const auto& list) { return static_cast<std::int32_t>(list.size()); };
        const LibraryIndices& indices = library_.indices;
        add(NK_TRACKS, tracks_subkind::kSongs, "Songs (All Tracks)", node_icon::kAllTracks,
            size(library_.trackIds) - size(library_.videoIds));
        add(NK_TRACKS, tracks_subkind::kPodcasts, "Podcasts", node_icon::kPodcasts,
            library_.podcastCount);
        add(NK_FOLDER, folder_subkind::kPlaylists, "Playlists", node_icon::kPlaylists,
            size(library_.sortedPlaylistIds));
        add(NK_FOLDER, folder_subkind::kArtists, "Artists", node_icon::kArtist,
            size(indices.artistNames));
        add(NK_FOLDER, folder_subkind::kAlbums, "Albums", node_icon::kAlbum,
            size(indices.albumNames));
        add(NK_FOLDER, folder_subkind::kGenres, "Genres", node_icon::kGenre,
            size(indices.genreNames));
        add(NK_FOLDER, folder_subkind::kComposers, "Composers", node_icon::kComposer,
            size(indices.composerNames));
        add(NK_FOLDER, folder_subkind::kPhotos, "Photos", node_icon::kPhotos,
            size(library_.sortedPhotoAlbumIds));
        add(NK_TRACKS, tracks_subkind::kVideos, "Videos", node_icon::kVideos,
            size(library_.videoIds));
        add(NK_TRACKS, tracks_subkind::kSearchResults, "Search Results", node_icon::kSearchResults,
            size(source_.searchResults));
        add(NK_DEVICE_INFO, 0, "Device Information", node_icon::kDeviceInformation, -1);
    }

    void addPlaylists() {
        KernelId playlist;
        for (int more = library_.firstSortedPlaylist(playlist); more != 0;
             more = library_.nextSortedPlaylist(playlist)) {
            KernelId firstItem;
            const int items = library_.firstPlaylistItem(playlist, firstItem);
            add(NK_PLAYLIST, 0, library_.playlistName(playlist), node_icon::kPlaylistOrPhotoAlbum,
                items)
                .itemId = playlist;
        }
    }

    void addPhotoAlbums() {
        KernelId album;
        for (int more = library_.firstSortedPhotoAlbum(album); more != 0;
             more = library_.nextSortedPhotoAlbum(album)) {
            KernelId firstItem;
            const int photos = library_.firstPhotoAlbumItem(album, firstItem);
            add(NK_PHOTO_ALBUM, 0, library_.photoAlbumName(album), node_icon::kPlaylistOrPhotoAlbum,
                photos)
                .itemId = album;
        }
    }

    void addArtists() {
        std::string artist;
        for (int more = library_.firstArtist("", artist); more != 0;
             more = library_.nextArtist(artist)) {
            addKeyed(NK_FOLDER, folder_subkind::kArtist, artist, node_icon::kArtist,
                     queryCount(library_, artist, "", "", ""));
        }
    }

    void addAlbums() {
        std::string album;
        for (int more = library_.firstAlbum("", album); more != 0;
             more = library_.nextAlbum(album)) {
            addKeyed(NK_TRACKS, tracks_subkind::kAlbum, album, node_icon::kAlbum,
                     queryCount(library_, "", album, "", ""));
        }
    }

    void addGenres() {
        std::string genre;
        for (int more = library_.firstGenre(genre); more != 0; more = library_.nextGenre(genre)) {
            addKeyed(NK_FOLDER, folder_subkind::kGenre, genre, node_icon::kGenre,
                     queryCount(library_, "", "", genre, ""));
        }
    }

    void addComposers() {
        std::string composer;
        for (int more = library_.firstComposer(composer); more != 0;
             more = library_.nextComposer(composer)) {
            addKeyed(NK_FOLDER, folder_subkind::kComposer, composer, node_icon::kComposer,
                     queryCount(library_, "", "", "", composer));
        }
    }

    void addArtistContents(const std::string& artist) {
        addAllTracks(tracks_subkind::kArtistAll, artist, queryCount(library_, artist, "", "", ""));
        std::string album;
        for (int more = library_.firstAlbum(artist, album); more != 0;
             more = library_.nextAlbum(album)) {
            addFilteredAlbum(tracks_subkind::kArtistAlbum, artist, album,
                             queryCount(library_, artist, album, "", ""));
        }
    }

    // The artists carry only their names, so each one opens on all of its albums; only the
    // count is limited to the genre. The genre's tracks without an artist get no node of their
    // own: an artist node without a name would open on every album of the player, so backing up
    // the genre would take other genres' albums. They stay under the genre's all-tracks node.
    void addGenreContents(const std::string& genre) {
        addAllTracks(tracks_subkind::kGenreAll, genre, queryCount(library_, "", "", genre, ""));
        std::string artist;
        for (int more = library_.firstArtist(genre, artist); more != 0;
             more = library_.nextArtist(artist)) {
            if (!artist.empty()) {
                addKeyed(NK_FOLDER, folder_subkind::kArtist, artist, node_icon::kArtist,
                         queryCount(library_, artist, "", genre, ""));
            }
        }
    }

    void addComposerContents(const std::string& composer) {
        addAllTracks(tracks_subkind::kComposerAll, composer,
                     queryCount(library_, "", "", "", composer));
        std::string album;
        for (int more = library_.firstComposerAlbum(composer, album); more != 0;
             more = library_.nextComposerAlbum(album)) {
            addFilteredAlbum(tracks_subkind::kComposerAlbum, composer, album,
                             queryCount(library_, "", album, "", composer));
        }
    }

    bool buildFolder(const NodeData& node) {
        switch (node.subkind) {
            case folder_subkind::kRoot:
                addCategories();
                return true;
            case folder_subkind::kPlaylists:
                addPlaylists();
                return true;
            case folder_subkind::kArtists:
                addArtists();
                return true;
            case folder_subkind::kAlbums:
                addAlbums();
                return true;
            case folder_subkind::kGenres:
                addGenres();
                return true;
            case folder_subkind::kComposers:
                addComposers();
                return true;
            case folder_subkind::kPhotos:
                addPhotoAlbums();
                return true;
            case folder_subkind::kArtist:
                addArtistContents(node.text2);
                return true;
            case folder_subkind::kGenre:
                addGenreContents(node.text2);
                return true;
            case folder_subkind::kComposer:
                addComposerContents(node.text2);
                return true;
            default:
                return false;
        }
    }

    void addQueryRows(std::string_view artist, std::string_view album, std::string_view genre,
                      std::string_view composer) {
        KernelId found;
        for (int more = library_.queryTracks(artist, album, genre, composer, found); more != 0;
             more = library_.nextQueryResult(found)) {
            addItemRow(NK_TRACK, found);
        }
    }

    // Tracks of `trackIds` whose media kind passes; an id without a record counts as audio.
    template <typename KindFilter>
    void addTracksOfKind(KindFilter keep) {
        for (const std::uint32_t trackId : library_.trackIds) {
            const MhTrackData* record = library_.findTrack(trackId);
            if (keep(record != nullptr ? record->mediaKind : 1)) {
                addTrackRow(trackId);
            }
        }
    }

    bool buildTrackSet(const NodeData& node) {
        const std::string& key = node.text2;
        switch (node.subkind) {
            case tracks_subkind::kSongs:
                addTracksOfKind([](std::uint32_t kind) { return !media_kind::isVideo(kind); });
                return true;
            case tracks_subkind::kPodcasts:
                addTracksOfKind([](std::uint32_t kind) { return kind == media_kind::kPodcast; });
                return true;
            case tracks_subkind::kVideos:
                for (const std::uint32_t trackId : library_.videoIds) {
                    addTrackRow(trackId);
                }
                return true;
            case tracks_subkind::kSearchResults:
                for (const std::uint32_t trackId : source_.searchResults) {
                    addTrackRow(trackId);
                }
                return true;
            case tracks_subkind::kArtistAll:
                addQueryRows(key, "", "", "");
                return true;
            case tracks_subkind::kArtistAlbum:
                addQueryRows(key, node.text3, "", "");
                return true;
            case tracks_subkind::kAlbum:
                addQueryRows("", key, "", "");
                return true;
            case tracks_subkind::kGenreAll:
                addQueryRows("", "", key, "");
                return true;
            case tracks_subkind::kComposerAll:
                addQueryRows("", "", "", key);
                return true;
            case tracks_subkind::kComposerAlbum:
                addQueryRows("", node.text3, "", key);
                return true;
            default:
                return false;
        }
    }

    // Playlist items or album photos, each with its position in the list.
    void addItemRows(std::int32_t rowKind, const KernelId& list, ItemWalk first, ItemWalk next) {
        KernelId item;
        for (int more = (library_.*first)(list, item); more != 0;
             more = (library_.*next)(list, item)) {
            addItemRow(rowKind, item);
        }
    }

    void addDeviceRows() {
        std::optional<VolumeSpace> space;
        if (source_.volumeSpace) {
            space = source_.volumeSpace(library_.rootPath);
        }
        for (DeviceProperty& property : deviceInformationRows(library_, space)) {
            add(NK_PROPERTY, 0, std::move(property.label), node_icon::kDeviceInformation, -1)
                .text2 = std::move(property.value);
        }
    }

    NodeSource& source_;
    PlayerLibrary& library_;
    std::vector<std::unique_ptr<NodeData>>& out_;
    std::int32_t nextOrder_ = 0;
};

}  // namespace

bool isExpandable(const NodeData& node) {
    switch (node.kind) {
        case NK_FOLDER:
        case NK_TRACKS:
        case NK_PLAYLIST:
        case NK_PHOTO_ALBUM:
        case NK_DEVICE_INFO:
            return true;
        default:
            return false;
    }
}

bool BuildChildNodes(NodeSource& source, const NodeData* node,
                     std::vector<std::unique_ptr<NodeData>>& out) {
    return ChildBuilder(source, out).build(node);
}

}  // namespace pelmar
