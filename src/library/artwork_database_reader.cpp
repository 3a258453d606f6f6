#include "library/artwork_database_reader.h"

#include <algorithm>
#include <array>
#include <span>
#include <unordered_map>
#include <vector>

#include <sys/stat.h>

#include "library/artwork_catalog.h"
#include "library/image_name.h"
#include "library/player_files.h"
#include "library/player_library.h"
#include "library/record_progress.h"
#include "library/record_stream.h"
#include "platform/player_path_open.h"
#include "util/byte_source.h"

namespace pelmar {

namespace {

constexpr std::string_view kArtworkStatus = "Reading Artwork...";
constexpr std::uint32_t kProgressEvery = 500;
// A picture's body is an "mhni" header and a short file name; anything beyond is not read.
constexpr std::size_t kBodyCapacity = 2048;
constexpr std::uint16_t kImageDataset = 1;
// The whole 32-bit word, as in the photo database.
constexpr std::uint32_t kPictureReference = 2;
// Real players keep a handful of files per format; a database naming more is damaged, and
// looking each one up on the player would take long.
constexpr std::size_t kMostFiles = 4096;

class ArtworkDatabaseReader {
  public:
    ArtworkDatabaseReader(ArtworkCatalog& catalog, ByteSource& source, ProgressReporter& progress)
        : catalog_(catalog),
          source_(source),
          progress_(progress, source, kProgressEvery),
          records_(source, RecordStream::Headers::InPlace) {}

    ReadOutcome run();

  private:
    enum class Body { Read, EndOfData, Malformed };

    void onDataset();
    void onImageList();
    void onImage();
    Body onDataObject();
    void addPicture(std::span<const std::uint8_t> body);
    // The catalog's index of the file a picture names; nothing for a name that is not usable.
    std::optional<std::uint32_t> fileOf(const ImageRecord& record);
    [[nodiscard]] const ThumbnailFormat* formatOf(std::uint32_t formatId);
    void finishImage();
    ReadOutcome stop(ReadOutcome::End end, std::string reason);

    ArtworkCatalog& catalog_;
    ByteSource& source_;
    RecordProgress progress_;
    RecordStream records_;
    std::array<std::uint8_t, kBodyCapacity> body_{};
    // Images are taken until a dataset of another kind begins; a database without dataset
    // headers holds nothing else.
    std::uint16_t datasetType_ = kImageDataset;

    bool imagePending_ = false;
    std::uint32_t imageId_ = 0;
    std::uint64_t trackDatabaseId_ = 0;
    std::vector<ArtworkPicture> pictures_;
    // Colon-form names already resolved to a file index; nothing for a name that is not usable.
    std::unordered_map<std::string, std::optional<std::uint32_t>> files_;
    // The last name and format looked up: an image's pictures name a few files and formats, in
    // the same order image after image, so most lookups repeat the one before the last.
    struct RecentFile {
        std::vector<std::uint8_t> text;  // as stored
        bool utf16 = false;
        bool used = false;
        std::optional<std::uint32_t> file;
    };
    std::array<RecentFile, 8> recentFiles_{};
    std::size_t nextRecentFile_ = 0;
    std::size_t lastRecentFile_ = 0;
    std::array<std::pair<std::uint32_t, const ThumbnailFormat*>, 8> recentFormats_{};
    std::size_t nextRecentFormat_ = 0;
    std::string stopReason_;
};

ReadOutcome ArtworkDatabaseReader::stop(ReadOutcome::End end, std::string reason) {
    ReadOutcome outcome = readOutcome(source_, end, std::move(reason));
    // A failing device ends the read at once; the image being read is not kept.
    if (outcome.end != ReadOutcome::End::ReadError) {
        finishImage();
    }
    return outcome;
}

ReadOutcome ArtworkDatabaseReader::run() {
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
            onDataset();
        } else if (kind == "li") {
            onImageList();
        } else if (kind == "ii") {
            onImage();
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

void ArtworkDatabaseReader::onDataset() {
    finishImage();
    datasetType_ = static_cast<std::uint16_t>(records_.field32(12) & 0xFFFF);
}

void ArtworkDatabaseReader::onImageList() {
    if (datasetType_ != kImageDataset) {
        return;
    }
    // Sized from the stated count, but never beyond what the rest of the file could hold; most
    // players keep three or four sizes of each image.
    constexpr std::uint64_t kSmallestImage = 152;
    constexpr std::size_t kUsualPictures = 4;
    const std::uint64_t stated = records_.field32(8);
    catalog_.reserve(
        static_cast<std::size_t>(std::min(stated, source_.remaining() / kSmallestImage)),
        kUsualPictures);
}

void ArtworkDatabaseReader::onImage() {
    finishImage();
    if (datasetType_ != kImageDataset) {
        return;
    }
    imagePending_ = true;
    imageId_ = records_.field32(16);
    trackDatabaseId_ = std::uint64_t{records_.field32(24)} << 32 | records_.field32(20);
}

ArtworkDatabaseReader::Body ArtworkDatabaseReader::onDataObject() {
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
    if (!imagePending_ || records_.field32(12) != kPictureReference) {
        source_.skip(bodyLength);
        return Body::Read;
    }
    const auto read = static_cast<std::size_t>(std::min<std::uint64_t>(bodyLength, kBodyCapacity));
    std::span<const std::uint8_t> body = source_.peek(read);
    if (body.size() >= read) {
        body = body.first(read);
    } else {
        if (source_.read(std::span(body_).first(read)) < read) {
            return Body::EndOfData;
        }
        body = std::span<const std::uint8_t>(body_).first(read);
        source_.skip(bodyLength - read);
        addPicture(body);
        return Body::Read;
    }
    // The peeked bytes stay good across the skip.
    source_.skip(bodyLength);
    addPicture(body);
    return Body::Read;
}

void ArtworkDatabaseReader::addPicture(std::span<const std::uint8_t> body) {
    const std::optional<ImageRecord> record = parseImageRecord(body);
    if (!record) {
        return;
    }
    const ImageName& name = record->fields;
    const ThumbnailFormat* format = formatOf(name.formatId);
    if (format == nullptr) {
        return;
    }
    const std::optional<std::uint32_t> file = fileOf(*record);
    if (!file) {
        return;
    }
    pictures_.push_back({format, name.offset, name.statedSize, name.verticalPadding,
                         name.horizontalPadding, name.height, name.width, *file});
}

std::optional<std::uint32_t> ArtworkDatabaseReader::fileOf(const ImageRecord& record) {
    for (std::size_t tried = 0; tried < recentFiles_.size(); ++tried) {
        const std::size_t at = (lastRecentFile_ + 1 + tried) % recentFiles_.size();
        const RecentFile& recent = recentFiles_[at];
        if (recent.used && recent.utf16 == record.utf16 &&
            std::equal(recent.text.begin(), recent.text.end(), record.text.begin(),
                       record.text.end())) {
            lastRecentFile_ = at;
            return recent.file;
        }
    }
    std::optional<std::uint32_t> file;
    const std::string colonName =
        record.hasText ? decodeImageText(record.text, record.utf16).value_or(std::string())
                       : std::string();
    if (!colonName.empty()) {
        auto [known, added] = files_.try_emplace(colonName);
        if (added) {
            const std::string path = playerRelativePath(kArtworkFolder, colonName);
            if (!path.empty() && catalog_.fileCount() < kMostFiles) {
                known->second = catalog_.addFile(path);
            }
        }
        file = known->second;
    }
    RecentFile& slot = recentFiles_[nextRecentFile_];
    slot.text.assign(record.text.begin(), record.text.end());
    slot.utf16 = record.utf16;
    slot.used = record.hasText;
    slot.file = file;
    lastRecentFile_ = nextRecentFile_;
    nextRecentFile_ = (nextRecentFile_ + 1) % recentFiles_.size();
    return file;
}

const ThumbnailFormat* ArtworkDatabaseReader::formatOf(std::uint32_t formatId) {
    for (const auto& [id, format] : recentFormats_) {
        if (format != nullptr && id == formatId) {
            return format;
        }
    }
    const ThumbnailFormat* format = findThumbnailFormat(formatId);
    if (format != nullptr) {
        recentFormats_[nextRecentFormat_] = {formatId, format};
        nextRecentFormat_ = (nextRecentFormat_ + 1) % recentFormats_.size();
    }
    return format;
}

void ArtworkDatabaseReader::finishImage() {
    if (imagePending_) {
        catalog_.addImage(imageId_, trackDatabaseId_, pictures_);
    }
    imagePending_ = false;
    pictures_.clear();
}

// The size of each of the catalog's files on the player; nothing for one that cannot be opened.
std::vector<std::optional<std::uint64_t>> fileSizes(const ArtworkCatalog& catalog,
                                                    const std::string& rootPath) {
    std::vector<std::optional<std::uint64_t>> sizes(catalog.fileCount());
    for (std::uint32_t file = 0; file < sizes.size(); ++file) {
        const PlayerPathFile opened = openPlayerPath(rootPath, catalog.filePath(file));
        struct stat info {};
        if (opened.fd && ::fstat(opened.fd.get(), &info) == 0) {
            sizes[file] = static_cast<std::uint64_t>(info.st_size);
        }
    }
    return sizes;
}

}  // namespace

ReadOutcome readArtworkDatabase(ArtworkCatalog& catalog, ByteSource& source,
                                ProgressReporter& progress) {
    ArtworkDatabaseReader reader(catalog, source, progress);
    return reader.run();
}

void keepReadablePictures(ArtworkCatalog& catalog, const std::string& rootPath) {
    const std::vector<std::optional<std::uint64_t>> sizes = fileSizes(catalog, rootPath);
    catalog.removePictures([&](const ArtworkPicture& picture) {
        const std::optional<std::uint64_t> size = sizes[picture.file];
        return !size || picture.offset >= *size ||
               slotSize(*picture.format, picture.statedSize) > *size - picture.offset;
    });
}

std::optional<ReadOutcome> readArtwork(PlayerLibrary& library, ProgressReporter& progress) {
    progress.setStatus(kArtworkStatus);
    library.artwork = ArtworkCatalog();
    const std::unique_ptr<ByteSource> file = openPlayerFile(library, kArtworkDatabasePath);
    if (!file) {
        return std::nullopt;
    }
    ArtworkCatalog catalog;
    const ReadOutcome outcome = readArtworkDatabase(catalog, *file, progress);
    keepReadablePictures(catalog, library.rootPath);
    library.artwork = std::move(catalog);
    return outcome;
}

}  // namespace pelmar
