#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace pelmar {

// The part of the iTunes automation interface a backup uses, and nothing more. An object that
// the server could not give is nullptr; dropping a returned object releases it. Every call blocks
// until iTunes answers and is made on the backup worker's thread only.
//
// Texts (paths, playlist names) are passed in the program's stored 8-bit form, code page or
// UTF-8 as the library holds them. For paths this is also the byte form of the file's name on
// disk; a server that needs Unicode converts them with the library's TextCodec.

// A track that iTunes has added to its library.
class IITTrack {
  public:
    virtual ~IITTrack() = default;
    // Rating (write): 0 to 100.
    virtual void SetRating(int rating) = 0;
    // PlayedCount (write).
    virtual void SetPlayedCount(std::uint32_t playedCount) = 0;
};

class IITTrackCollection {
  public:
    virtual ~IITTrackCollection() = default;
    // Item (read); `index` is 1-based.
    [[nodiscard]] virtual std::unique_ptr<IITTrack> Item(int index) = 0;
};

// The progress of an AddFile call, which iTunes carries out in the background.
class IITOperationStatus {
  public:
    virtual ~IITOperationStatus() = default;
    [[nodiscard]] virtual bool InProgress() = 0;
    // The tracks the operation added so far.
    [[nodiscard]] virtual std::unique_ptr<IITTrackCollection> Tracks() = 0;
};

class IITLibraryPlaylist {
  public:
    virtual ~IITLibraryPlaylist() = default;
    [[nodiscard]] virtual std::unique_ptr<IITOperationStatus> AddFile(const std::string& path) = 0;
};

class IITUserPlaylist {
  public:
    virtual ~IITUserPlaylist() = default;
    [[nodiscard]] virtual std::unique_ptr<IITOperationStatus> AddFile(const std::string& path) = 0;
};

// A playlist as CreatePlaylist returns it.
class IITPlaylist {
  public:
    virtual ~IITPlaylist() = default;
    // The playlist's user-playlist interface, when it has one.
    [[nodiscard]] virtual std::unique_ptr<IITUserPlaylist> QueryUserPlaylist() = 0;
};

// The application object.
class IiTunes {
  public:
    virtual ~IiTunes() = default;
    // LibraryPlaylist (read).
    [[nodiscard]] virtual std::unique_ptr<IITLibraryPlaylist> LibraryPlaylist() = 0;
    [[nodiscard]] virtual std::unique_ptr<IITPlaylist> CreatePlaylist(const std::string& name) = 0;
};

// Where the application object comes from: the automation server, started on demand.
class ITunesServer {
  public:
    virtual ~ITunesServer() = default;
    // Creating the application object; nullptr when iTunes is missing or cannot be started.
    [[nodiscard]] virtual std::unique_ptr<IiTunes> CreateApplication() = 0;
};

}  // namespace pelmar
