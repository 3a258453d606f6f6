#pragma once

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <cstdint>
#include <memory>
#include <unordered_set>

namespace pelmar {
class PlayerLibrary;
}

namespace pelmar::ui {

class CoverDecoder;

// Where a cover is drawn: beside a row of the item list, or large beside the list.
enum class CoverSize : std::uint8_t { Row, Panel };

// The album covers the window draws, by image id and size. A cover is decoded on a worker the
// first time it is asked for, so rows never drawn cost nothing; `coverReady` tells the user
// interface thread when decoded covers have come in. The newest covers are kept, within a bound
// per size.
class CoverCache : public QObject {
    Q_OBJECT

  public:
    static constexpr int kRowSide = 36;
    static constexpr int kPanelSide = 240;

    explicit CoverCache(const PlayerLibrary& library, QObject* parent = nullptr);
    // Waits for the cover being decoded, if any.
    ~CoverCache() override;

    // The cover, or a null pixmap while it is being decoded and when the image has no picture
    // that can be read. The first ask for a cover starts its decoding.
    [[nodiscard]] QPixmap cover(std::uint32_t imageId, CoverSize size);
    [[nodiscard]] bool isPending(std::uint32_t imageId, CoverSize size) const;
    // Forgets every cover and every decoding not yet delivered: the library is about to change.
    void forget();

    [[nodiscard]] std::size_t pendingCount() const { return pending_.size(); }
    // Pictures decoded on the worker since the cache was made.
    [[nodiscard]] std::size_t decodedCount() const;

  signals:
    void coverReady();

  private:
    void takeDecoded();
    void request(std::uint32_t imageId, CoverSize size);
    [[nodiscard]] QCache<std::uint32_t, QPixmap>& cacheOf(CoverSize size);

    const PlayerLibrary& library_;
    QCache<std::uint32_t, QPixmap> rowCovers_;
    QCache<std::uint32_t, QPixmap> panelCovers_;
    std::unordered_set<std::uint64_t> pending_;
    std::uint64_t generation_ = 0;
    std::unique_ptr<CoverDecoder> decoder_;
};

}  // namespace pelmar::ui
