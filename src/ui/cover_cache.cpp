#include "ui/cover_cache.h"

#include "library/player_library.h"
#include "ui/cover_decoder.h"

namespace pelmar::ui {

namespace {

// A few screens of rows; a large cover costs as much as a hundred small ones.
constexpr int kMostRowCovers = 2000;
constexpr int kMostPanelCovers = 20;
// Fast scrolling asks for far more covers than stay on screen; the oldest asks are dropped.
constexpr std::size_t kMostWaiting = 256;

std::uint64_t keyOf(std::uint32_t imageId, CoverSize size) {
    return (std::uint64_t{imageId} << 1) | (size == CoverSize::Panel ? 1U : 0U);
}

std::uint32_t imageIdOf(std::uint64_t key) {
    return static_cast<std::uint32_t>(key >> 1);
}

CoverSize sizeOf(std::uint64_t key) {
    return (key & 1U) != 0 ? CoverSize::Panel : CoverSize::Row;
}

}  // namespace

CoverCache::CoverCache(const PlayerLibrary& library, QObject* parent)
    : QObject(parent),
      library_(library),
      rowCovers_(kMostRowCovers),
      panelCovers_(kMostPanelCovers),
      decoder_(std::make_unique<CoverDecoder>([this] {
          QMetaObject::invokeMethod(this, &CoverCache::takeDecoded, Qt::QueuedConnection);
      })) {}

CoverCache::~CoverCache() {
    // The worker goes first: once it has stopped, nothing more is posted to this object.
    decoder_.reset();
}

QCache<std::uint32_t, QPixmap>& CoverCache::cacheOf(CoverSize size) {
    return size == CoverSize::Panel ? panelCovers_ : rowCovers_;
}

QPixmap CoverCache::cover(std::uint32_t imageId, CoverSize size) {
    if (const QPixmap* known = cacheOf(size).object(imageId)) {
        return *known;
    }
    if (!isPending(imageId, size)) {
        request(imageId, size);
    }
    return {};
}

bool CoverCache::isPending(std::uint32_t imageId, CoverSize size) const {
    return pending_.contains(keyOf(imageId, size));
}

void CoverCache::request(std::uint32_t imageId, CoverSize size) {
    const ArtworkCatalog& artwork = library_.artwork;
    const ArtworkPicture* picture = size == CoverSize::Panel ? artwork.largestPicture(imageId)
                                                             : artwork.listPicture(imageId);
    if (picture == nullptr) {
        cacheOf(size).insert(imageId, new QPixmap);
        return;
    }
    const std::uint64_t key = keyOf(imageId, size);
    pending_.insert(key);
    const int side = size == CoverSize::Panel ? kPanelSide : kRowSide;
    const std::optional<std::uint64_t> dropped =
        decoder_->submit({key, generation_, library_.rootPath, artwork.filePath(picture->file),
                          *picture, side},
                         kMostWaiting);
    if (dropped) {
        pending_.erase(*dropped);
    }
}

void CoverCache::forget() {
    decoder_->dropWaiting();
    ++generation_;
    pending_.clear();
    rowCovers_.clear();
    panelCovers_.clear();
}

std::size_t CoverCache::decodedCount() const {
    return decoder_->decodedCount();
}

void CoverCache::takeDecoded() {
    bool arrived = false;
    for (DecodedCover& decoded : decoder_->takeResults()) {
        // A cover asked for before the library was forgotten belongs to another player.
        if (decoded.generation != generation_ || pending_.erase(decoded.key) == 0) {
            continue;
        }
        auto* pixmap = new QPixmap;
        if (!decoded.image.isNull()) {
            pixmap->convertFromImage(decoded.image);
        }
        cacheOf(sizeOf(decoded.key)).insert(imageIdOf(decoded.key), pixmap);
        arrived = true;
    }
    if (arrived) {
        emit coverReady();
    }
}

}  // namespace pelmar::ui
