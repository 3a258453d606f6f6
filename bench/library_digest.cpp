// Prints everything a load puts into the library of the player at argv[1], in a fixed order, so
// that the output of two builds can be compared byte for byte: a change that only makes the load
// faster must leave it unchanged. Texts are printed as stored, code-page bytes included.

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "library/player_library.h"
#include "library/player_loader.h"
#include "library/track_search.h"
#include "util/progress_reporter.h"

namespace {

using pelmar::KernelId;
using pelmar::PlayerLibrary;

void printText(std::string_view label, std::string_view text) {
    std::printf("%.*s [%zu] ", static_cast<int>(label.size()), label.data(), text.size());
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::putchar('\n');
}

void printIds(std::string_view label, const std::vector<std::uint32_t>& ids) {
    std::printf("%.*s %zu:", static_cast<int>(label.size()), label.data(), ids.size());
    for (const std::uint32_t id : ids) {
        std::printf(" %u", id);
    }
    std::putchar('\n');
}

void printOutcome(const char* label, const std::optional<pelmar::ReadOutcome>& outcome) {
    if (!outcome) {
        std::printf("%s: absent\n", label);
        return;
    }
    std::printf("%s: end %d at %llu\n", label, static_cast<int>(outcome->end),
                static_cast<unsigned long long>(outcome->offset));
    printText("  reason", outcome->reason);
}

void printTracks(const PlayerLibrary& library) {
    printIds("trackIds", library.trackIds);
    printIds("videoIds", library.videoIds);
    std::printf("podcastCount %d\n", library.podcastCount);
    std::map<std::uint32_t, const pelmar::MhTrackData*> byId;
    for (const auto& [id, track] : library.tracks) {
        byId.emplace(id, &track);
    }
    for (const auto& [id, t] : byId) {
        std::printf(
            "track %u type %u size %u length %u number %u year %u bitrate %u plays %u "
            "last %u rating %u bpm %u kind %u dbid %llu added %u skips %u skipped %u "
            "artwork %u %d\n",
            id, t->fileType, t->size, t->lengthMs, t->trackNumber, t->year, t->bitrate,
            t->playCount, t->lastPlayed, t->rating, t->bpm, t->mediaKind,
            static_cast<unsigned long long>(t->databaseId), t->dateAdded, t->skipCount,
            t->lastSkipped, t->artworkId, t->hasArtwork ? 1 : 0);
        printText("  location", t->location);
        printText("  artist", t->artist);
        printText("  album", t->album);
        printText("  title", t->title);
        printText("  genre", t->genre);
        printText("  composer", t->composer);
    }
}

template <typename Items>
void printNamedLists(const char* kind, const std::vector<std::string>& names, const Items& items,
                     const std::vector<KernelId>& sorted) {
    for (const std::string& name : names) {
        printText(kind, name);
    }
    std::map<std::string, const std::vector<std::uint32_t>*> byName;
    for (const auto& [name, ids] : items) {
        byName.emplace(name, &ids);
    }
    for (const auto& [name, ids] : byName) {
        printText("  items of", name);
        printIds("  ", *ids);
    }
    std::printf("sorted %s:", kind);
    for (const KernelId& id : sorted) {
        std::printf(" %u", id.id);
    }
    std::putchar('\n');
}

void printImages(const PlayerLibrary& library) {
    std::map<std::uint32_t, const pelmar::ImageData*> byId;
    for (const auto& [id, image] : library.images) {
        byId.emplace(id, &image);
    }
    for (const auto& [id, image] : byId) {
        std::printf("image %u id %u modified %u created %u", id, image->id, image->modifiedTime,
                    image->createdTime);
        for (std::size_t slot = 0; slot < pelmar::kThumbnailSlots; ++slot) {
            std::printf(" %u/%u/%u", image->thumbFormat[slot], image->thumbOffset[slot],
                        image->thumbSize[slot]);
        }
        std::putchar('\n');
    }
}

// Walks one name enumeration of the library through its first/next pair.
template <typename First, typename Next>
std::vector<std::string> walk(First first, Next next) {
    std::vector<std::string> names;
    std::string name;
    for (int more = first(name); more != 0; more = next(name)) {
        names.push_back(name);
    }
    return names;
}

void printIndices(PlayerLibrary& library) {
    const pelmar::LibraryIndices& ix = library.indices;
    std::vector<std::string> texts = {std::string()};
    for (const auto* names : {&ix.artistNames, &ix.albumNames, &ix.genreNames, &ix.composerNames}) {
        texts.insert(texts.end(), names->begin(), names->end());
    }
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());

    for (const std::string& artist :
         walk([&](std::string& n) { return library.firstArtist({}, n); },
              [&](std::string& n) { return library.nextArtist(n); })) {
        printText("artist", artist);
    }
    for (const std::string& genre : walk([&](std::string& n) { return library.firstGenre(n); },
                                         [&](std::string& n) { return library.nextGenre(n); })) {
        printText("genre", genre);
    }
    for (const std::string& composer :
         walk([&](std::string& n) { return library.firstComposer(n); },
              [&](std::string& n) { return library.nextComposer(n); })) {
        printText("composer", composer);
    }
    for (const std::string& album : walk([&](std::string& n) { return library.firstAlbum({}, n); },
                                         [&](std::string& n) { return library.nextAlbum(n); })) {
        printText("album", album);
    }

    for (const std::string& text : texts) {
        printText("text", text);
        if (const auto id = ix.find(text)) {
            printText("  interned as", ix.text(*id));
        }
        printIds("  by artist", ix.tracksByArtist(text));
        printIds("  by album", ix.tracksByAlbum(text));
        printIds("  by genre", ix.tracksByGenre(text));
        printIds("  by composer", ix.tracksByComposer(text));
        const auto related = [&](const char* label,
                                 const std::vector<pelmar::LibraryIndices::TextId>* ids,
                                 auto countWith) {
            if (ids == nullptr) {
                return;
            }
            for (const auto id : *ids) {
                printText(label, ix.text(id));
                std::printf("    tracks %u\n", countWith(ix.text(id)));
            }
        };
        related("  album of artist", ix.albumsByArtist(text),
                [&](std::string_view album) { return ix.tracksWithArtistAndAlbum(text, album); });
        related("  album of composer", ix.albumsByComposer(text),
                [&](std::string_view album) { return ix.tracksWithComposerAndAlbum(text, album); });
        related("  artist of genre", ix.artistsByGenre(text),
                [&](std::string_view artist) { return ix.tracksWithGenreAndArtist(text, artist); });
        for (const std::string& name :
             walk([&](std::string& n) { return library.firstArtist(text, n); },
                  [&](std::string& n) { return library.nextArtist(n); })) {
            printText("  sorted artist of genre", name);
        }
        for (const std::string& name :
             walk([&](std::string& n) { return library.firstAlbum(text, n); },
                  [&](std::string& n) { return library.nextAlbum(n); })) {
            printText("  sorted album of artist", name);
        }
        for (const std::string& name :
             walk([&](std::string& n) { return library.firstComposerAlbum(text, n); },
                  [&](std::string& n) { return library.nextComposerAlbum(n); })) {
            printText("  sorted album of composer", name);
        }
    }
}

void printSearches(const PlayerLibrary& library) {
    for (const char* term : {"", "a", "an", "THE", "e", "é", "É", "ö", "ss", "ß", "σ", "Σ", "я",
                             "の", "🐙", "\xff", "live...", ":"}) {
        printText("search", term);
        printIds("  found", pelmar::searchTracks(library, term));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PLAYER-ROOT\n", argv[0]);
        return 2;
    }
    PlayerLibrary library;
    pelmar::NullProgressReporter progress;
    const pelmar::LoadReport report = pelmar::loadLibraryFromRoot(library, argv[1], progress);
    std::printf("codepage %s\n", library.codec().charset().c_str());
    printOutcome("music", report.music);
    printOutcome("playCounts", report.playCounts);
    printOutcome("photos", report.photos);
    printTracks(library);
    printNamedLists("playlist", library.playlistNames, library.playlistItems,
                    library.sortedPlaylistIds);
    printNamedLists("photo album", library.photoAlbumNames, library.photoAlbumItems,
                    library.sortedPhotoAlbumIds);
    printImages(library);
    printIndices(library);
    printSearches(library);
    return 0;
}
