#pragma once

#include <QImage>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "library/artwork_catalog.h"

namespace pelmar::ui {

// One cover to decode. It carries copies of all it needs, so that the worker never reads the
// library, which the user interface may empty at any time.
struct CoverJob {
    std::uint64_t key = 0;
    std::uint64_t generation = 0;
    std::string rootPath;
    std::string file;  // the picture's file below the root
    ArtworkPicture picture;
    int side = 0;  // the cover is scaled to fit a square of this many pixels
};

struct DecodedCover {
    std::uint64_t key = 0;
    std::uint64_t generation = 0;
    QImage image;  // null when the picture could not be read
};

// Decodes covers on one worker thread, the newest job first: it is the one for the rows now
// on screen. The results wait in an outbox; `resultWaiting` runs on the worker whenever the
// outbox stops being empty, so a burst of covers wakes the user interface once.
class CoverDecoder {
  public:
    explicit CoverDecoder(std::function<void()> resultWaiting);
    ~CoverDecoder();
    CoverDecoder(const CoverDecoder&) = delete;
    CoverDecoder& operator=(const CoverDecoder&) = delete;

    // Queues `job`. When more than `mostWaiting` jobs wait, the oldest is dropped and its key
    // returned, so that its rows can ask again when they come back into view.
    std::optional<std::uint64_t> submit(CoverJob job, std::size_t mostWaiting);
    // Drops every job not yet started.
    void dropWaiting();
    // The results decoded since the last call, in the order they were finished.
    [[nodiscard]] std::vector<DecodedCover> takeResults();
    // How many pictures the worker has decoded, readable or not.
    [[nodiscard]] std::size_t decodedCount() const;

  private:
    void run();

    std::function<void()> resultWaiting_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<CoverJob> waiting_;
    std::vector<DecodedCover> results_;
    std::size_t decoded_ = 0;
    bool stopping_ = false;
    std::thread worker_;
};

// Reads and decodes the picture of `job` and scales it to fit its square, centred on a
// transparent one; null when it cannot be read.
[[nodiscard]] QImage decodeCover(const CoverJob& job);

}  // namespace pelmar::ui
