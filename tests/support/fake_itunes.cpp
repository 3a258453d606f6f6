#include "support/fake_itunes.h"

#include <mutex>

namespace pelmar::test {

struct FakeITunes::State {
    explicit State(Behaviour b) : behaviour(b) {}

    void record(std::string call) {
        const std::lock_guard lock(mutex);
        calls.push_back(std::move(call));
    }
    void changeLive(int delta) {
        const std::lock_guard lock(mutex);
        live += delta;
    }

    const Behaviour behaviour;
    mutable std::mutex mutex;
    std::vector<std::string> calls;
    std::vector<std::string> libraryFiles;
    std::vector<Playlist> playlists;
    int live = 0;
};

namespace {

using State = FakeITunes::State;

// Counts itself among the live objects for as long as it exists.
class Counted {
  public:
    explicit Counted(std::shared_ptr<State> state) : state_(std::move(state)) {
        state_->changeLive(1);
    }
    ~Counted() { state_->changeLive(-1); }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

  protected:
    std::shared_ptr<State> state_;
};

class FakeTrack final : public IITTrack, Counted {
  public:
    using Counted::Counted;
    void SetRating(int rating) override { state_->record("Rating " + std::to_string(rating)); }
    void SetPlayedCount(std::uint32_t playedCount) override {
        state_->record("PlayedCount " + std::to_string(playedCount));
    }
};

class FakeTrackCollection final : public IITTrackCollection, Counted {
  public:
    using Counted::Counted;
    std::unique_ptr<IITTrack> Item(int index) override {
        state_->record("Item " + std::to_string(index));
        if (state_->behaviour.noTrackItem) {
            return nullptr;
        }
        return std::make_unique<FakeTrack>(state_);
    }
};

class FakeStatus final : public IITOperationStatus, Counted {
  public:
    using Counted::Counted;
    bool InProgress() override {
        state_->record("InProgress");
        if (busyLeft_ > 0) {
            if (busyLeft_ != kAlwaysBusyLeft) {
                --busyLeft_;
            }
            return true;
        }
        return false;
    }
    std::unique_ptr<IITTrackCollection> Tracks() override {
        state_->record("Tracks");
        if (state_->behaviour.noTracks) {
            return nullptr;
        }
        return std::make_unique<FakeTrackCollection>(state_);
    }

  private:
    static constexpr int kAlwaysBusyLeft = FakeITunes::kAlwaysBusy;
    int busyLeft_ = state_->behaviour.busyAnswers;
};

class FakeLibraryPlaylist final : public IITLibraryPlaylist, Counted {
  public:
    using Counted::Counted;
    std::unique_ptr<IITOperationStatus> AddFile(const std::string& path) override {
        state_->record("AddFile " + path);
        {
            const std::lock_guard lock(state_->mutex);
            state_->libraryFiles.push_back(path);
        }
        if (state_->behaviour.noStatus) {
            return nullptr;
        }
        return std::make_unique<FakeStatus>(state_);
    }
};

class FakeUserPlaylist final : public IITUserPlaylist, Counted {
  public:
    FakeUserPlaylist(std::shared_ptr<State> state, std::size_t playlist)
        : Counted(std::move(state)), playlist_(playlist) {}
    std::unique_ptr<IITOperationStatus> AddFile(const std::string& path) override {
        state_->record("UserPlaylist.AddFile " + path);
        {
            const std::lock_guard lock(state_->mutex);
            state_->playlists[playlist_].files.push_back(path);
        }
        return std::make_unique<FakeStatus>(state_);
    }

  private:
    std::size_t playlist_;
};

class FakePlaylist final : public IITPlaylist, Counted {
  public:
    FakePlaylist(std::shared_ptr<State> state, std::size_t playlist)
        : Counted(std::move(state)), playlist_(playlist) {}
    std::unique_ptr<IITUserPlaylist> QueryUserPlaylist() override {
        state_->record("QueryUserPlaylist");
        if (state_->behaviour.noUserPlaylist) {
            return nullptr;
        }
        return std::make_unique<FakeUserPlaylist>(state_, playlist_);
    }

  private:
    std::size_t playlist_;
};

class FakeApplication final : public IiTunes, Counted {
  public:
    using Counted::Counted;
    std::unique_ptr<IITLibraryPlaylist> LibraryPlaylist() override {
        state_->record("LibraryPlaylist");
        if (state_->behaviour.noLibraryPlaylist) {
            return nullptr;
        }
        return std::make_unique<FakeLibraryPlaylist>(state_);
    }
    std::unique_ptr<IITPlaylist> CreatePlaylist(const std::string& name) override {
        state_->record("CreatePlaylist " + name);
        if (state_->behaviour.noPlaylist) {
            return nullptr;
        }
        std::size_t index = 0;
        {
            const std::lock_guard lock(state_->mutex);
            index = state_->playlists.size();
            state_->playlists.push_back({name, {}});
        }
        return std::make_unique<FakePlaylist>(state_, index);
    }
};

}  // namespace

FakeITunes::FakeITunes() : FakeITunes(Behaviour{}) {}

FakeITunes::FakeITunes(Behaviour behaviour) : state_(std::make_shared<State>(behaviour)) {}

FakeITunes::~FakeITunes() = default;

std::unique_ptr<IiTunes> FakeITunes::CreateApplication() {
    state_->record("CreateApplication");
    if (state_->behaviour.noApplication) {
        return nullptr;
    }
    return std::make_unique<FakeApplication>(state_);
}

std::vector<std::string> FakeITunes::calls() const {
    const std::lock_guard lock(state_->mutex);
    return state_->calls;
}

std::vector<std::string> FakeITunes::libraryFiles() const {
    const std::lock_guard lock(state_->mutex);
    return state_->libraryFiles;
}

std::vector<FakeITunes::Playlist> FakeITunes::playlists() const {
    const std::lock_guard lock(state_->mutex);
    return state_->playlists;
}

int FakeITunes::liveObjects() const {
    const std::lock_guard lock(state_->mutex);
    return state_->live;
}

}  // namespace pelmar::test
