#include "library/photo_database_reader.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <vector>

#include "library/image_name.h"
#include "library/player_files.h"
#include "library/player_library.h"
#include "library/record_progress.h"
#include "library/record_stream.h"
#include "util/byte_source.h"
#include "util/little_endian.h"
#include "util/protected_literals.h"

namespace pelmar {

namespace {

constexpr std::uint32_t kProgressEvery = 500;
constexpr std::size_t kBodyCapacity = 2048;
constexpr std::size_t kNameHeaderLength = 12;
constexpr std::uint16_t kAlbumNameType = 1;
// The whole 32-bit word: a type 2 whose next two bytes are not zero is something else.
constexpr std::uint32_t kThumbnailReference = 2;
constexpr std::uint32_t kOriginalReference = 5;
// Originals are copied as they are, so only files in the originals' own folder qualify: a
// database naming the database itself, say, names no photo.
constexpr std::string_view kPhotosFolder = "Photos";
constexpr std::string_view kOriginalsFolder = "photos/full resolution/";

// The original named by the body of an original's reference, or "" when it names none below the
// originals' folder (whatever the case of its name, as the player's file system ignores it).
std::string originalPath(std::span<const std::uint8_t> body) {
    const std::optional<ImageName> name = parseImageName(body);
    if (!name) {
        return {};
    }
    std::string path = playerRelativePath(kPhotosFolder, name->fileName);
    if (path.size() <= kOriginalsFolder.size()) {
        return {};
    }
    for (std::size_t at = 0; at < kOriginalsFolder.size(); ++at) {
        const char c = path[at];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kOriginalsFolder[at]) {
            return {};
        }
    }
    return path;
}

class PhotoDatabaseReader {
  public:
    PhotoDatabaseReader(PlayerLibrary& library, ByteSource& source, ProgressReporter& progress)
        : library_(library),
          source_(source),
          progress_(progress, source, kProgressEvery),
          records_(source) {}

    ReadOutcome run();

  private:
    enum class Body { Read, EndOfData, Malformed };

    void onImage();
    void onAlbum();
    Body onDataObject();
    // Reads up to `capacity` bytes of the body into body_ and skips the rest.
    Body readBody(std::uint64_t length, std::size_t capacity, std::size_t& read);
    void finishAlbum(bool anotherFollows);
    ReadOutcome stop(ReadOutcome::End end, std::string reason);

    PlayerLibrary& library_;
    ByteSource& source_;
    RecordProgress progress_;
    RecordStream records_;
    std::array<std::uint8_t, kBodyCapacity + 1> body_{};

    ImageData* currentImage_ = nullptr;
    bool albumPending_ = false;
    std::string albumName_;
    std::vector<std::uint32_t> albumItems_;
    std::string stopReason_;
};

ReadOutcome PhotoDatabaseReader::stop(ReadOutcome::End end, std::string reason) {
    ReadOutcome outcome = readOutcome(source_, end, std::move(reason));
    // A failing device ends the read at once; the album being read is not kept.
    if (outcome.end != ReadOutcome::End::ReadError && albumPending_) {
        finishAlbum(false);
    }
    return outcome;
}

ReadOutcome PhotoDatabaseReader::run() {
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
        if (kind == "ii") {
            onImage();
        } else if (kind == "ia") {
            albumItems_.push_back(records_.field32(16));
        } else if (kind == "ba") {
            onAlbum();
        } else if (kind == "od") {
            switch (onDataObject()) {
                case Body::Read:
                    break;
                case Body::EndOfData:
                    return stop(ReadOutcome::End::EndOfData, {});
                case Body::Malformed:
                    return stop(ReadOutcome::End::Malformed, stopReason_);
            }
        }
    }
}

void PhotoDatabaseReader::onImage() {
    ImageData image;
    image.id = records_.field32(16);
    image.modifiedTime = records_.field32(40);
    image.createdTime = records_.field32(44);
    currentImage_ = &library_.images.insert_or_assign(image.id, image).first->second;
}

void PhotoDatabaseReader::onAlbum() {
    if (albumPending_) {
        finishAlbum(true);
    }
    albumPending_ = true;
    albumName_.clear();
    albumItems_.clear();
}

PhotoDatabaseReader::Body PhotoDatabaseReader::readBody(std::uint64_t length, std::size_t capacity,
                                                        std::size_t& read) {
    std::fill(body_.begin(), body_.end(), 0);
    read = static_cast<std::size_t>(std::min<std::uint64_t>(length, capacity));
    if (source_.read(std::span(body_).first(read)) < read) {
        return Body::EndOfData;
    }
    source_.skip(length - read);
    return Body::Read;
}

PhotoDatabaseReader::Body PhotoDatabaseReader::onDataObject() {
    // Only data objects are read by their total length; list headers keep a count there.
    if (records_.field32(8) < records_.headerLength()) {
        stopReason_ = "data object shorter than its header";
        return Body::Malformed;
    }
    const std::uint64_t bodyLength = records_.field32(8) - records_.headerLength();
    if (bodyLength > source_.remaining()) {
        stopReason_ = "data object past the end of the file";
        return Body::Malformed;
    }
    std::size_t read = 0;
    if (albumPending_) {
        const auto type = static_cast<std::uint16_t>(records_.field32(12) & 0xFFFF);
        if (bodyLength < kNameHeaderLength) {
            if (type == kAlbumNameType) {
                stopReason_ = "name object shorter than its string header";
                return Body::Malformed;
            }
            return readBody(bodyLength, 0, read);
        }
        std::array<std::uint8_t, kNameHeaderLength> nameHeader{};
        if (source_.read(nameHeader) < nameHeader.size()) {
            return Body::EndOfData;
        }
        const Body body = readBody(bodyLength - kNameHeaderLength, kBodyCapacity, read);
        if (body == Body::Read && type == kAlbumNameType && albumName_.empty()) {
            // The stated length bounds the name: writers pad it with bytes that are no part of it.
            const std::size_t stated = readU32le(nameHeader, 0);
            std::string_view name(reinterpret_cast<const char*>(body_.data()),
                                  std::min(stated, read));
            albumName_.assign(name.substr(0, std::min(name.size(), name.find('\0'))));
        }
        return body;
    }
    const Body body = readBody(bodyLength, kBodyCapacity, read);
    if (body == Body::Read && records_.field32(12) == kOriginalReference &&
        currentImage_ != nullptr) {
        currentImage_->originalPath =
            originalPath(std::span<const std::uint8_t>(body_.data(), read));
    }
    if (body == Body::Read && records_.field32(12) == kThumbnailReference &&
        currentImage_ != nullptr) {
        const std::span<const std::uint8_t> reference(body_.data(), read);
        for (std::size_t slot = 0; slot < kThumbnailSlots; ++slot) {
            if (currentImage_->thumbFormat[slot] == 0) {
                currentImage_->thumbFormat[slot] = readU32le(reference, 16);
                currentImage_->thumbOffset[slot] = readU32le(reference, 20);
                currentImage_->thumbSize[slot] = readU32le(reference, 24);
                break;
            }
        }
    }
    return body;
}

void PhotoDatabaseReader::finishAlbum(bool anotherFollows) {
    albumPending_ = false;
    // The first album lists every photo, whatever the database calls it. A lone album keeps its
    // own name: the rule applies only when another album follows.
    if (anotherFollows && library_.photoAlbumNames.empty()) {
        albumName_ = kAllPhotosAlbumName;
    }
    library_.photoAlbumNames.push_back(albumName_);
    library_.photoAlbumItems.insert_or_assign(albumName_, std::move(albumItems_));
    albumItems_.clear();
}

}  // namespace

ReadOutcome readPhotoDatabase(PlayerLibrary& library, ByteSource& source,
                              ProgressReporter& progress) {
    PhotoDatabaseReader reader(library, source, progress);
    return reader.run();
}

std::optional<ReadOutcome> readPhotos(PlayerLibrary& library, ProgressReporter& progress) {
    progress.setStatus(reveal(kLiteralPhotoStatus));
    const std::unique_ptr<ByteSource> file = openPlayerFile(library, kPhotoDatabasePath);
    if (!file) {
        return std::nullopt;
    }
    return readPhotoDatabase(library, *file, progress);
}

}  // namespace pelmar
