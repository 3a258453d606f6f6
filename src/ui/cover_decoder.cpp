#include "ui/cover_decoder.h"

#include <QPainter>
#include <utility>

#include "photos/artwork_pictures.h"

namespace pelmar::ui {

QImage decodeCover(const CoverJob& job) {
    // A catalog of the one picture, so that decoding reads nothing the library owns.
    ArtworkCatalog own;
    ArtworkPicture picture = job.picture;
    picture.file = own.addFile(job.file);
    const std::optional<RgbImage> decoded = readArtworkPicture(job.rootPath, own, picture);
    if (!decoded || decoded->width == 0 || decoded->height == 0) {
        return {};
    }
    const QImage image(decoded->pixels.data(), static_cast<int>(decoded->width),
                       static_cast<int>(decoded->height), static_cast<qsizetype>(decoded->width) * 3,
                       QImage::Format_RGB888);
    const QImage scaled =
        image.scaled(job.side, job.side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // Every cover fills the same square, so that the texts beside covers of any shape line up.
    QImage square(job.side, job.side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((job.side - scaled.width()) / 2, (job.side - scaled.height()) / 2, scaled);
    painter.end();
    return square;
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
