#include "ui/cover_decoder.h"

#include <algorithm>
#include <utility>

#include "photos/artwork_pictures.h"

namespace pelmar::ui {

namespace {

// The picture scaled to fit a square of `side` pixels, each pixel the mean of the pixels it
// covers, centred on a transparent square, so that the texts beside covers of any shape line up.
// Written by hand: Qt's own scaling and painting hand parts of large pictures to a thread pool of
// their own, which this worker has no need of.
QImage scaledOntoSquare(const RgbImage& picture, int side) {
    const std::size_t width = picture.width;
    const std::size_t height = picture.height;
    const std::size_t longer = std::max(width, height);
    const auto fit = [&](std::size_t length) {
        return std::max<std::size_t>(1, (length * static_cast<std::size_t>(side) + longer / 2) /
                                            longer);
    };
    const std::size_t shownWidth = fit(width);
    const std::size_t shownHeight = fit(height);
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    const std::size_t left = (static_cast<std::size_t>(side) - shownWidth) / 2;
    const std::size_t top = (static_cast<std::size_t>(side) - shownHeight) / 2;
    for (std::size_t y = 0; y < shownHeight; ++y) {
        const std::size_t fromY = y * height / shownHeight;
        const std::size_t toY = std::max(fromY + 1, (y + 1) * height / shownHeight);
        auto* line = reinterpret_cast<QRgb*>(square.scanLine(static_cast<int>(top + y)));
        for (std::size_t x = 0; x < shownWidth; ++x) {
            const std::size_t fromX = x * width / shownWidth;
            const std::size_t toX = std::max(fromX + 1, (x + 1) * width / shownWidth);
            std::size_t sums[3] = {0, 0, 0};
            for (std::size_t sourceY = fromY; sourceY < toY; ++sourceY) {
                const std::uint8_t* pixel = picture.pixels.data() + (sourceY * width + fromX) * 3;
                for (std::size_t sourceX = fromX; sourceX < toX; ++sourceX, pixel += 3) {
                    sums[0] += pixel[0];
                    sums[1] += pixel[1];
                    sums[2] += pixel[2];
                }
            }
            const std::size_t count = (toY - fromY) * (toX - fromX);
            line[left + x] = qRgb(static_cast<int>(sums[0] / count),
                                  static_cast<int>(sums[1] / count),
                                  static_cast<int>(sums[2] / count));
        }
    }
    return square;
}

}  // namespace

QImage decodeCover(const CoverJob& job) {
    // A catalog of the one picture, so that decoding reads nothing the library owns.
    ArtworkCatalog own;
    ArtworkPicture picture = job.picture;
    picture.file = own.addFile(job.file);
    const std::optional<RgbImage> decoded = readArtworkPicture(job.rootPath, own, picture);
    if (!decoded || decoded->width == 0 || decoded->height == 0 || job.side <= 0 ||
        decoded->pixels.size() < std::size_t{decoded->width} * decoded->height * 3) {
        return {};
    }
    return scaledOntoSquare(*decoded, job.side);
}

CoverDecoder::CoverDecoder(std::function<void()> resultWaiting)
    : resultWaiting_(std::move(resultWaiting)), worker_([this] { run(); }) {}

CoverDecoder::~CoverDecoder() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_.clear();
    }
    wake_.notify_one();
    worker_.join();
}

std::optional<std::uint64_t> CoverDecoder::submit(CoverJob job, std::size_t mostWaiting) {
    std::optional<std::uint64_t> dropped;
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(job));
        if (waiting_.size() > mostWaiting) {
            dropped = waiting_.front().key;
            waiting_.pop_front();
        }
    }
    wake_.notify_one();
    return dropped;
}

void CoverDecoder::dropWaiting() {
    const std::lock_guard lock(mutex_);
    waiting_.clear();
}

std::vector<DecodedCover> CoverDecoder::takeResults() {
    const std::lock_guard lock(mutex_);
    return std::exchange(results_, {});
}

std::size_t CoverDecoder::decodedCount() const {
    const std::lock_guard lock(mutex_);
    return decoded_;
}

void CoverDecoder::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_) {
            return;
        }
        const CoverJob job = std::move(waiting_.back());
        waiting_.pop_back();
        lock.unlock();
        QImage image = decodeCover(job);
        lock.lock();
        ++decoded_;
        const bool wasEmpty = results_.empty();
        results_.push_back({job.key, job.generation, std::move(image)});
        if (wasEmpty) {
            lock.unlock();
            resultWaiting_();
            lock.lock();
        }
    }
}

}  // namespace pelmar::ui
