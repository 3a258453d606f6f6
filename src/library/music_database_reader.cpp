#include "library/music_database_reader.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "library/compressed_database.h"
#include "library/file_types.h"
#include "library/player_files.h"
#include "library/player_library.h"
#include "library/record_progress.h"
#include "library/record_stream.h"
#include "library/track_id_set.h"
#include "util/byte_source.h"
#include "util/little_endian.h"

namespace pelmar {

namespace {

constexpr std::uint32_t kProgressEvery = 1500;
constexpr std::size_t kBodyCapacity = 2048;
constexpr std::size_t kStringHeaderLength = 16;
// Playlist names are not cut to a tag's capacity, but the conversion buffer holds 1024 bytes.
constexpr std::size_t kPlaylistNameCapacity = 1023;
constexpr std::uint32_t kUtf8Encoding = 2;
constexpr std::uint32_t kHeaderWithArtworkId = 0x184;

constexpr std::uint32_t kDatasetPlaylists = 2;
constexpr std::uint32_t kDatasetPodcastPlaylists = 3;

enum class StringType : std::uint32_t {
    Title = 1,
    Location = 2,
    Album = 3,
    Artist = 4,
    Genre = 5,
    FileTypeText = 6,
    Composer = 12,
    SmartRules = 50,
    SmartRulesData = 51,
};

class MusicDatabaseReader {
  public:
    MusicDatabaseReader(PlayerLibrary& library, ByteSource& source, ProgressReporter& progress)
        : library_(library),
          source_(source),
          progress_(progress, source, kProgressEvery),
          records_(source, RecordStream::Headers::InPlace) {}

    ReadOutcome run();

  private:
    // Each returns false when the data ends inside the record.
    bool onDataset();
    bool onString();
    void takeString(StringType type, std::span<const std::uint8_t> body);
    void onTrack();
    void onPlaylistItem();
    void onPlaylist();
    void onTrackList();

    void finishTrack();
    void storePendingPlaylist();
    void dropTracksWithoutRecord();
    [[nodiscard]] std::string decodeBody(std::span<const std::uint8_t> body,
                                         std::size_t capacity) const;

    ReadOutcome stop(ReadOutcome::End end, std::string reason);

    [[nodiscard]] std::uint32_t field32(std::size_t offset) const {
        return records_.field32(offset);
    }

    PlayerLibrary& library_;
    ByteSource& source_;
    RecordProgress progress_;

    RecordStream records_;
    std::array<std::uint8_t, kBodyCapacity + 2> body_{};

    MhTrackData scratch_;
    std::string typeText_;
    std::uint32_t currentTrackId_ = 0;
    std::size_t tracksFinished_ = 0;
    std::int64_t childrenExpected_ = -1;

    bool playlistPending_ = false;
    std::string pendingName_;
    std::vector<std::uint32_t> pendingItems_;
    TrackIdSet validIds_;

    std::string stopReason_;
};

ReadOutcome MusicDatabaseReader::stop(ReadOutcome::End end, std::string reason) {
    ReadOutcome outcome = readOutcome(source_, end, std::move(reason));
    // A failing device loses the playlist being read, as a broken file read would.
    if (outcome.end != ReadOutcome::End::ReadError) {
        storePendingPlaylist();
    }
    return outcome;
}

ReadOutcome MusicDatabaseReader::run() {
    progress_.start();
    while (true) {
        const RecordStream::Step step = records_.next();
        if (step == RecordStream::Step::EndOfData) {
            return stop(ReadOutcome::End::EndOfData, {});
        }
        if (step == RecordStream::Step::Malformed) {
            return stop(ReadOutcome::End::Malformed, records_.reason());
        }
        progress_.counted();

        const std::string_view kind = records_.kind();
        if (kind == "sd") {
            if (!onDataset()) {
                return stop(ReadOutcome::End::Malformed, stopReason_);
            }
        } else if (kind == "lt") {
            onTrackList();
        } else if (kind == "yp") {
            onPlaylist();
        } else if (kind == "ip") {
            onPlaylistItem();
        } else if (kind == "it") {
            onTrack();
        } else if (kind == "od") {
            if (!onString()) {
                if (stopReason_.empty()) {
                    return stop(ReadOutcome::End::EndOfData, {});
                }
                return stop(ReadOutcome::End::Malformed, stopReason_);
            }
        }
    }
}

bool MusicDatabaseReader::onDataset() {
    const std::uint32_t type = field32(12);
    if (type == kDatasetPlaylists) {
        dropTracksWithoutRecord();
        validIds_.reset(library_.trackIds.size());
        for (const std::uint32_t id : library_.trackIds) {
            validIds_.insert(id);
        }
    } else if (type == kDatasetPodcastPlaylists) {
        const std::uint32_t total = field32(8);
        if (total < records_.headerLength()) {
            stopReason_ = "dataset shorter than its header";
            return false;
        }
        source_.skip(total - records_.headerLength());
    }
    return true;
}

void MusicDatabaseReader::dropTracksWithoutRecord() {
    auto& ids = library_.trackIds;
    // Each finished track has its record and its own place in the list, which no drop takes
    // away; when they fill the list, every listed id has a record and there is nothing to look up.
    if (tracksFinished_ == ids.size()) {
        return;
    }
    ids.erase(std::remove_if(ids.begin(), ids.end(),
                             [this](std::uint32_t id) { return !library_.tracks.contains(id); }),
              ids.end());
}

void MusicDatabaseReader::onTrackList() {
    // Sized from the stated count, but never beyond what the rest of the file could hold.
    constexpr std::uint64_t kSmallestTrack = 156;
    const std::uint64_t stated = field32(8);
    const auto expected =
        static_cast<std::size_t>(std::min(stated, source_.remaining() / kSmallestTrack));
    library_.trackIds.reserve(library_.trackIds.size() + expected);
    library_.tracks.reserve(library_.tracks.size() + expected);
}

void MusicDatabaseReader::onTrack() {
    scratch_.location.clear();
    scratch_.artist.clear();
    scratch_.album.clear();
    scratch_.title.clear();
    scratch_.genre.clear();
    scratch_.composer.clear();
    typeText_.clear();
    scratch_.fileType = kDefaultFileType;

    const auto h = records_.header();
    scratch_.size = readU32le(h, 36);
    scratch_.lengthMs = readU32le(h, 40);
    scratch_.trackNumber = readU32le(h, 44);
    scratch_.year = readU32le(h, 52);
    scratch_.bitrate = readU32le(h, 56);
    scratch_.playCount = readU32le(h, 80);
    scratch_.lastPlayed = readU32le(h, 88);
    // The user's rating; byte 121 holds the desktop application's copy, which other software
    // leaves at 0.
    const std::uint8_t rating = readU8(h, 31);
    scratch_.rating = rating > 100 ? 0 : rating;
    const std::uint16_t bpm = readU16le(h, 122);
    scratch_.bpm = bpm > 999 ? 0 : bpm;
    scratch_.mediaKind = readU32le(h, 208);
    scratch_.dateAdded = readU32le(h, 104);
    scratch_.databaseId = readLe<std::uint64_t>(h, 112);
    scratch_.skipCount = readU32le(h, 156);
    scratch_.lastSkipped = readU32le(h, 160);
    scratch_.hasArtwork = readU8(h, 164) == 1;
    // Older headers end before the artwork's image id, or hold something else there.
    if (records_.headerLength() >= kHeaderWithArtworkId) {
        scratch_.artworkId = readU32le(h, 352);
    }

    if (scratch_.mediaKind == media_kind::kPodcast) {
        ++library_.podcastCount;
    }
    childrenExpected_ = readU32le(h, 12);
    currentTrackId_ = readU32le(h, 16);
    library_.trackIds.push_back(currentTrackId_);
    if (media_kind::isVideo(scratch_.mediaKind)) {
        library_.videoIds.push_back(currentTrackId_);
    }
    // With no children to wait for, nothing would ever finish the track, and the record would
    // go missing along with its place among the play counts.
    if (childrenExpected_ == 0) {
        finishTrack();
        childrenExpected_ = -1;
    }
}

void MusicDatabaseReader::onPlaylist() {
    if (playlistPending_) {
        storePendingPlaylist();
    }
    playlistPending_ = true;
    pendingName_.clear();
    pendingItems_.clear();
}

void MusicDatabaseReader::onPlaylistItem() {
    const std::uint32_t trackId = field32(24);
    if (playlistPending_ && validIds_.contains(trackId)) {
        pendingItems_.push_back(trackId);
    }
}

bool MusicDatabaseReader::onString() {
    const std::uint32_t total = field32(8);
    const auto type = static_cast<StringType>(field32(12));
    if (total < records_.headerLength()) {
        stopReason_ = "string shorter than its header";
        return false;
    }
    const std::uint64_t bodyLength = total - records_.headerLength();
    const auto toRead =
        static_cast<std::size_t>(std::min<std::uint64_t>(bodyLength, kBodyCapacity));
    // The body is decoded where the source holds it when it can show it, else from a copy. The
    // source shows no more than is left, so a body shown whole needs no check against the end.
    const std::span<const std::uint8_t> shown = source_.peek(toRead);
    if (shown.size() < bodyLength && bodyLength > source_.remaining()) {
        stopReason_ = "string past the end of the file";
        return false;
    }
    if (shown.size() >= toRead) {
        takeString(type, shown.first(toRead));
        source_.skip(bodyLength);
        return true;
    }
    if (source_.read(std::span(body_).first(toRead)) < toRead) {
        return false;
    }
    if (bodyLength > kBodyCapacity) {
        source_.skip(bodyLength - kBodyCapacity);
    }
    takeString(type, std::span(body_).first(toRead));
    return true;
}

void MusicDatabaseReader::takeString(StringType type, std::span<const std::uint8_t> body) {
    progress_.countedQuietly();
    if (type == StringType::SmartRules || type == StringType::SmartRulesData) {
        return;
    }

    if (childrenExpected_ >= 0) {
        std::string* target = nullptr;
        std::size_t capacity = kTagTextCapacity;
        switch (type) {
            case StringType::Title:
                target = &scratch_.title;
                break;
            case StringType::Location:
                target = &scratch_.location;
                capacity = kPathTextCapacity;
                break;
            case StringType::Album:
                target = &scratch_.album;
                break;
            case StringType::Artist:
                target = &scratch_.artist;
                break;
            case StringType::Genre:
                target = &scratch_.genre;
                break;
            case StringType::FileTypeText:
                target = &typeText_;
                capacity = kPathTextCapacity;
                break;
            case StringType::Composer:
                target = &scratch_.composer;
                break;
            default:
                break;
        }
        if (target != nullptr) {
            *target = decodeBody(body, capacity);
        }
        if (--childrenExpected_ == 0) {
            finishTrack();
            childrenExpected_ = -1;
        }
    }
    if (playlistPending_ && type == StringType::Title) {
        pendingName_ = decodeBody(body, kPlaylistNameCapacity);
    }
}

std::string MusicDatabaseReader::decodeBody(std::span<const std::uint8_t> body,
                                            std::size_t capacity) const {
    const std::size_t bodyLength = body.size();
    if (bodyLength <= kStringHeaderLength) {
        return {};
    }
    const std::uint32_t encoding = readU32le(body, 0);
    const std::size_t stated = readU32le(body, 4);
    const std::span<const std::uint8_t> text =
        body.subspan(kStringHeaderLength, std::min(stated, bodyLength - kStringHeaderLength));
    const TextCodec& codec = library_.codec();
    if (encoding == kUtf8Encoding) {
        return codec.fromUtf8(
            std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), capacity);
    }
    return codec.fromUtf16le(text.first(text.size() & ~std::size_t{1}), capacity);
}

void MusicDatabaseReader::finishTrack() {
    std::uint8_t fileType = fileTypeFromExtension(scratch_.location);
    if (fileType == 0) {
        fileType = fileTypeFromTypeText(typeText_);
    }
    scratch_.fileType = fileType;
    library_.tracks.insert_or_assign(currentTrackId_, std::move(scratch_));
    scratch_ = MhTrackData{};
    ++tracksFinished_;
}

void MusicDatabaseReader::storePendingPlaylist() {
    if (!playlistPending_) {
        return;
    }
    playlistPending_ = false;
    library_.playlistNames.push_back(pendingName_);
    library_.playlistItems.insert_or_assign(pendingName_, std::move(pendingItems_));
    pendingItems_.clear();
}

}  // namespace

ReadOutcome readMusicDatabase(PlayerLibrary& library, ByteSource& source,
                              ProgressReporter& progress) {
    MusicDatabaseReader reader(library, source, progress);
    return reader.run();
}

std::optional<MusicRead> readMusic(PlayerLibrary& library, ProgressReporter& progress) {
    progress.setStatus("Reading Music...");
    library.podcastCount = 0;
    if (std::optional<InflatedDatabase> inflated =
            inflatePlayerDatabase(library.rootPath, progress)) {
        ChunkedByteSource bytes(inflated->bytes);
        return MusicRead{true, readMusicDatabase(library, bytes, progress), inflated->outcome};
    }
    const std::unique_ptr<ByteSource> file = openPlayerFile(library, kMusicDatabasePath);
    if (!file) {
        return std::nullopt;
    }
    return MusicRead{false, readMusicDatabase(library, *file, progress), std::nullopt};
}

}  // namespace pelmar
