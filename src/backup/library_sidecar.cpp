#include "backup/library_sidecar.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <new>

#include <nlohmann/json.hpp>

#include "library/player_library.h"
#include "library/track_columns.h"
#include "library/track_fields.h"
#include "platform/atomic_file.h"
#include "util/small_file.h"
#include "util/time_format.h"

namespace pelmar {

namespace {

using Json = nlohmann::ordered_json;

// Far beyond any player's library (some 400 bytes an entry); a larger file is not ours.
constexpr std::size_t kLargestSidecar = std::size_t{1} << 30;
constexpr int kMostAsideNames = 100;

// Entries as compact JSON texts, by path. Kept as text, not as parsed values: a parsed entry
// takes several times the memory, and a large library has hundreds of thousands.
using Entries = std::map<std::string, std::string>;

std::string dumped(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

struct JsonFields {
    Json& object;
    void text(std::string_view key, std::string_view value) { object[std::string(key)] = value; }
    void number(std::string_view key, std::int64_t value) { object[std::string(key)] = value; }
    void boolean(std::string_view key, bool value) { object[std::string(key)] = value; }
    void null(std::string_view key) { object[std::string(key)] = nullptr; }
};

std::string entryText(const SidecarTrack& entry) {
    Json object = Json::object();
    JsonFields fields{object};
    describeTrack(entry.track, entry.trackId, entry.mediaKind, entry.hasArtwork, fields);
    object["skipCount"] = entry.track.skipCount;
    if (const std::int64_t added = signedPlayerTime(entry.track.dateAdded); added < 0) {
        object["dateAdded"] = nullptr;
    } else {
        object["dateAdded"] = added;
    }
    object["databaseId"] = entry.track.databaseId;
    return dumped(object);
}

// An earlier file, read: its entries, and whatever else its top level holds, which is kept.
struct Earlier {
    enum class State { None, Read, NotLibrary, Refused };
    State state = State::None;
    std::string why;  // for Refused
    Entries entries;
    Json rest = Json::object();
    std::string damaged;  // the file's bytes, for NotLibrary
};

Earlier parseEarlier(const std::string& text) {
    Earlier earlier;
    std::string topKey;
    std::string entryKey;
    bool inTracks = false;
    // The entries are taken out as the parser finishes each, so that the whole document never
    // stands in memory at once.
    const auto take = [&](int depth, Json::parse_event_t event, Json& parsed) {
        if (depth == 1 && event == Json::parse_event_t::key) {
            topKey = parsed.get<std::string>();
        } else if (depth == 1 && event == Json::parse_event_t::object_start) {
            inTracks = topKey == "tracks";
        } else if (depth == 1 && event == Json::parse_event_t::object_end) {
            inTracks = false;
        } else if (inTracks && depth == 2) {
            if (event == Json::parse_event_t::key) {
                entryKey = parsed.get<std::string>();
            } else if (event == Json::parse_event_t::object_end ||
                       event == Json::parse_event_t::array_end ||
                       event == Json::parse_event_t::value) {
                earlier.entries[entryKey] = dumped(parsed);
                return false;
            }
        }
        return true;
    };
    earlier.rest = Json::parse(text, take, false);
    if (earlier.rest.is_discarded() || !earlier.rest.is_object() ||
        (earlier.rest.contains("tracks") && !earlier.rest["tracks"].is_object())) {
        earlier.state = Earlier::State::NotLibrary;
        earlier.entries.clear();
        earlier.rest = Json::object();
        earlier.damaged = text;
        return earlier;
    }
    const auto format = earlier.rest.find("format");
    if (format != earlier.rest.end() && format->is_number() && *format > kLibrarySidecarFormat) {
        earlier.state = Earlier::State::Refused;
        earlier.why = "it was written by a later version of the program";
        return earlier;
    }
    earlier.rest.erase("tracks");
    earlier.rest.erase("format");
    earlier.state = Earlier::State::Read;
    return earlier;
}

Earlier refused(std::string why) {
    Earlier earlier;
    earlier.state = Earlier::State::Refused;
    earlier.why = std::move(why);
    return earlier;
}

Earlier readEarlier(const std::string& path) {
    SmallFile file = readSmallFile(path, kLargestSidecar);
    switch (file.state) {
        case SmallFile::State::Missing:
            return {};
        case SmallFile::State::Unreadable:
            return refused("it cannot be read");
        case SmallFile::State::TooLarge:
            return refused("it is too large to be a library file");
        case SmallFile::State::Read:
            break;
    }
    return parseEarlier(file.bytes);
}

// Copies a damaged earlier file aside under the first free name; the name, or "" when none
// could be written.
std::string keepAside(const std::string& folder, const std::string& bytes, int& error) {
    const std::span<const std::uint8_t> content(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                bytes.size());
    for (int n = 1; n <= kMostAsideNames; ++n) {
        std::string name = std::string(kLibrarySidecarName) + ".damaged";
        if (n > 1) {
            name += "-" + std::to_string(n);
        }
        error = writeFileAtomically(folder + name, content, false);
        if (error == 0) {
            return name;
        }
        if (error != EEXIST) {
            return {};
        }
    }
    return {};
}

bool writeSidecar(AtomicFileWriter& writer, const Json& rest, const Entries& entries) {
    bool ok = writer.write("{\n  \"format\": " + std::to_string(kLibrarySidecarFormat) + ",\n");
    for (const auto& [key, value] : rest.items()) {
        ok = ok && writer.write("  " + dumped(Json(key)) + ": " + dumped(value) + ",\n");
    }
    ok = ok && writer.write(std::string_view("  \"tracks\": {"));
    const char* separator = "\n";
    for (const auto& [path, entry] : entries) {
        ok =
            ok && writer.write(separator + std::string("    ") + dumped(Json(path)) + ": " + entry);
        separator = ",\n";
    }
    return ok && writer.write(std::string_view(entries.empty() ? "}\n}\n" : "\n  }\n}\n"));
}

SidecarResult refuse(std::string problem) {
    SidecarResult result;
    result.problem = std::move(problem);
    return result;
}

SidecarResult writeInto(const std::string& folder, const std::vector<SidecarTrack>& tracks) {
    const std::string path = folder + std::string(kLibrarySidecarName);
    Earlier earlier = readEarlier(path);
    SidecarResult result;
    if (earlier.state == Earlier::State::Refused) {
        return refuse("the existing " + std::string(kLibrarySidecarName) +
                      " was left as it is: " + earlier.why);
    }
    if (earlier.state == Earlier::State::NotLibrary) {
        int error = 0;
        result.keptAside = keepAside(folder, earlier.damaged, error);
        if (result.keptAside.empty()) {
            return refuse("the existing " + std::string(kLibrarySidecarName) +
                          " is not a library file and could not be kept aside: " +
                          std::strerror(error == 0 ? EEXIST : error));
        }
    }
    Entries entries = std::move(earlier.entries);
    for (const SidecarTrack& track : tracks) {
        entries[track.relativePath] = entryText(track);
    }
    AtomicFileWriter writer;
    if (!writer.open(path) || !writeSidecar(writer, earlier.rest, entries) ||
        !writer.commit(true)) {
        const int error = writer.error() == 0 ? EIO : writer.error();
        writer.abandon();
        return refuse(std::string(kLibrarySidecarName) +
                      " could not be written: " + std::strerror(error));
    }
    result.written = true;
    result.entries = entries.size();
    return result;
}

}  // namespace

SidecarTrack sidecarTrack(const PlayerLibrary& library, std::uint32_t trackId,
                          std::string_view relativePath) {
    SidecarTrack entry;
    entry.relativePath = library.codec().toUtf8(relativePath);
    entry.trackId = trackId;
    const auto record = library.tracks.find(trackId);
    if (record != library.tracks.end()) {
        entry.mediaKind = record->second.mediaKind;
        entry.hasArtwork = library.artwork.hasArtwork(record->second);
        entry.track = displayTrackInfo(library, trackId);
    }
    return entry;
}

SidecarResult writeLibrarySidecar(const std::string& backupFolder,
                                  const std::vector<SidecarTrack>& tracks) noexcept {
    try {
        const std::string folder =
            backupFolder.empty() || backupFolder.back() == '/' ? backupFolder : backupFolder + "/";
        return writeInto(folder, tracks);
    } catch (const std::bad_alloc&) {
        return refuse(std::string(kLibrarySidecarName) +
                      " could not be written: not enough memory");
    } catch (...) {
        return refuse(std::string(kLibrarySidecarName) + " could not be written");
    }
}

}  // namespace pelmar
