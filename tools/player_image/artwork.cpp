#include "player_image/artwork.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <unordered_map>

#include "player_image/thumbnail_formats.h"

namespace pelmar::player_image {
namespace {

constexpr std::array kArtworkPictures{
    PhotoPicture::SolidRed,         PhotoPicture::TopAndBottom, PhotoPicture::SolidGreen,
    PhotoPicture::Portrait,         PhotoPicture::SolidBlue,    PhotoPicture::Panorama,
    PhotoPicture::SolidWhite,       PhotoPicture::MidGrey,      PhotoPicture::HorizontalGradient,
    PhotoPicture::VerticalGradient, PhotoPicture::SolidBlack,
};

constexpr std::uint32_t kFirstImageId = 100;
// +352 is the word at 352; a header must reach its end to hold it.
constexpr std::uint32_t kArtworkIdEnd = 356;
constexpr std::uint8_t kHasArtwork = 1;
constexpr std::uint8_t kHasNoArtwork = 2;

enum class AlbumArt { None, Shared, PerTrack };

struct Album {
    std::vector<std::size_t> tracks;  // positions in the track list
    AlbumArt art = AlbumArt::None;
};

// Albums in order of their first track, by name and artist; tracks without an album belong to
// none.
std::vector<Album> albumsOf(const std::vector<Track>& tracks) {
    std::vector<Album> albums;
    std::unordered_map<std::string, std::size_t> byName;
    for (std::size_t position = 0; position < tracks.size(); ++position) {
        const Track& track = tracks[position];
        if (track.album.empty()) {
            continue;
        }
        const auto [entry, added] =
            byName.try_emplace(track.album + '\0' + track.artist, albums.size());
        if (added) {
            albums.emplace_back();
        }
        albums[entry->second].tracks.push_back(position);
    }
    return albums;
}

// The first three albums show each case, so that small images hold all of them.
AlbumArt chooseArt(std::size_t index, bool canName, Random& random) {
    constexpr std::array kFirstAlbums{AlbumArt::Shared, AlbumArt::PerTrack, AlbumArt::None};
    if (index < kFirstAlbums.size()) {
        const AlbumArt art = kFirstAlbums[index];
        return art == AlbumArt::Shared && !canName ? AlbumArt::PerTrack : art;
    }
    const std::uint32_t roll = random.below(100);
    if (roll < 8) {
        return AlbumArt::None;
    }
    return !canName || roll < 12 ? AlbumArt::PerTrack : AlbumArt::Shared;
}

// Places slots back to back in each format's files.
class SlotPlacer {
  public:
    explicit SlotPlacer(std::uint64_t fileLimit) : fileLimit_(fileLimit) {}

    ArtworkSlot place(std::uint32_t formatId, std::uint32_t size) {
        Place& next = next_[formatId];
        if (next.offset + size > fileLimit_) {
            ++next.fileNumber;
            next.offset = 0;
        }
        const ArtworkSlot slot{formatId, next.fileNumber, static_cast<std::uint32_t>(next.offset),
                               size};
        next.offset += size;
        return slot;
    }

  private:
    struct Place {
        std::uint32_t fileNumber = 1;
        std::uint64_t offset = 0;
    };

    std::uint64_t fileLimit_;
    std::map<std::uint32_t, Place> next_;
};

}  // namespace

std::vector<ArtworkImage> makeArtwork(std::vector<Track>& tracks,
                                      std::span<const std::uint32_t> formats,
                                      std::uint64_t fileLimit, ArtworkDamage damage,
                                      Random& random) {
    std::vector<Album> albums = albumsOf(tracks);
    for (Track& track : tracks) {
        track.artworkFlag = kHasNoArtwork;
    }
    std::vector<ArtworkImage> images;
    std::uint32_t nextId = kFirstImageId;
    bool damagedAlbum = false;
    for (std::size_t index = 0; index < albums.size(); ++index) {
        Album& album = albums[index];
        const bool canName = tracks[album.tracks.front()].headerLength >= kArtworkIdEnd;
        album.art = chooseArt(index, canName, random);
        const PhotoPicture picture = kArtworkPictures[index % kArtworkPictures.size()];
        if (album.art == AlbumArt::Shared && damage == ArtworkDamage::UnknownImageId &&
            !damagedAlbum) {
            damagedAlbum = true;
            for (const std::size_t position : album.tracks) {
                tracks[position].artworkId = kMissingImageId;
                tracks[position].artworkFlag = kHasArtwork;
            }
            continue;
        }
        if (album.art == AlbumArt::Shared) {
            ArtworkImage image{nextId++, tracks[album.tracks.front()].databaseId, picture, {}, {}};
            for (const std::size_t position : album.tracks) {
                tracks[position].artworkId = image.id;
                tracks[position].artworkFlag = kHasArtwork;
                image.trackIds.push_back(tracks[position].id);
            }
            images.push_back(std::move(image));
        } else if (album.art == AlbumArt::PerTrack) {
            for (const std::size_t position : album.tracks) {
                tracks[position].artworkFlag = kHasArtwork;
                images.push_back(
                    {nextId++, tracks[position].databaseId, picture, {}, {tracks[position].id}});
            }
        }
    }

    SlotPlacer placer(fileLimit);
    for (std::size_t index = 0; index < images.size(); ++index) {
        ArtworkImage& image = images[index];
        if (index == 0 && damage == ArtworkDamage::ImageWithoutPicture) {
            continue;
        }
        if (index == 0 && damage == ArtworkDamage::UnknownFormat) {
            image.thumbnails.push_back(
                placer.place(kUnknownArtworkFormat, kUnknownArtworkSlotSize));
        }
        for (const std::uint32_t formatId : formats) {
            image.thumbnails.push_back(placer.place(formatId, formatOf(formatId).byteSize()));
        }
    }
    return images;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> artworkFilesInUse(const PlayerImage& image) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> files;
    for (const ArtworkImage& art : image.artwork) {
        for (const ArtworkSlot& slot : art.thumbnails) {
            const std::pair file{slot.formatId, slot.fileNumber};
            if (std::find(files.begin(), files.end(), file) == files.end()) {
                files.push_back(file);
            }
        }
    }
    return files;
}

std::string artworkFileName(std::uint32_t formatId, std::uint32_t fileNumber) {
    return "F" + std::to_string(formatId) + "_" + std::to_string(fileNumber) + ".ithmb";
}

}  // namespace pelmar::player_image
