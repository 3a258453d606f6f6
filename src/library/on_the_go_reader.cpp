#include "library/on_the_go_reader.h"

#include <algorithm>
#include <array>
#include <memory>
#include <unordered_set>

#include "library/player_files.h"
#include "library/player_library.h"
#include "util/byte_source.h"
#include "util/little_endian.h"

namespace pelmar {

namespace {

constexpr std::uint32_t kHeadLength = 16;
constexpr std::uint32_t kMinHeaderLength = 0x14;
constexpr std::uint32_t kMinEntryLength = 4;
// Real headers and entries are a few dozen bytes; these are far past anything written.
constexpr std::uint32_t kMaxHeaderLength = 64 * 1024;
constexpr std::uint32_t kMaxEntryLength = 64 * 1024;

ReadOutcome malformed(const ByteSource& source, std::string reason) {
    return readOutcome(source, ReadOutcome::End::Malformed, std::move(reason));
}

}  // namespace

OnTheGoList readOnTheGoList(ByteSource& source) {
    OnTheGoList list;
    std::array<std::uint8_t, kHeadLength> head{};
    if (source.read(head) < head.size()) {
        list.outcome = malformed(source, "file shorter than its header");
        return list;
    }
    if (!std::equal(head.begin(), head.begin() + 4, "mhpo")) {
        list.outcome = malformed(source, "not an on-the-go playlist");
        return list;
    }
    const std::uint32_t headerLength = readU32le(head, 4);
    const std::uint32_t entryLength = readU32le(head, 8);
    const std::uint32_t stated = readU32le(head, 12);
    if (headerLength < kMinHeaderLength || headerLength > kMaxHeaderLength) {
        list.outcome = malformed(source, "header length out of range");
        return list;
    }
    if (entryLength < kMinEntryLength || entryLength > kMaxEntryLength) {
        list.outcome = malformed(source, "entry length out of range");
        return list;
    }
    source.skip(headerLength - kHeadLength);
    list.places.reserve(std::min<std::uint64_t>(stated, source.remaining() / entryLength));
    std::vector<std::uint8_t> entry(entryLength);
    for (std::uint32_t i = 0; i < stated; ++i) {
        if (source.read(entry) < entry.size()) {
            list.outcome = malformed(source, "entries past the end of the file");
            return list;
        }
        list.places.push_back(readU32le(entry, 0));
    }
    list.outcome = readOutcome(source, ReadOutcome::End::EndOfData);
    return list;
}

std::string onTheGoName(std::size_t index) {
    return index == 0 ? std::string("On-The-Go") : "On-The-Go " + std::to_string(index);
}

void addOnTheGoPlaylists(PlayerLibrary& library, const std::vector<OnTheGoList>& lists) {
    std::unordered_set<std::string> taken(library.playlistNames.begin(),
                                          library.playlistNames.end());
    for (std::size_t i = 0; i < lists.size(); ++i) {
        // A file that held nothing readable has no list to show, but still takes its number.
        if (lists[i].places.empty() && lists[i].outcome.end != ReadOutcome::End::EndOfData) {
            continue;
        }
        const std::string base = onTheGoName(i);
        std::string name = base;
        for (int n = 2; taken.contains(name); ++n) {
            name = base + " (" + std::to_string(n) + ")";
        }
        taken.insert(name);
        std::vector<std::uint32_t> items;
        for (const std::uint32_t place : lists[i].places) {
            if (place < library.trackIds.size() &&
                library.tracks.contains(library.trackIds[place])) {
                items.push_back(library.trackIds[place]);
            }
        }
        library.playlistNames.push_back(name);
        library.playlistItems.insert_or_assign(std::move(name), std::move(items));
    }
}

std::vector<ReadOutcome> readOnTheGoPlaylists(PlayerLibrary& library) {
    std::vector<OnTheGoList> lists;
    for (std::size_t i = 0;; ++i) {
        std::string path(kOnTheGoPath);
        if (i > 0) {
            path += "_" + std::to_string(i);
        }
        const std::unique_ptr<ByteSource> file = openPlayerFile(library, path);
        if (!file) {
            break;
        }
        lists.push_back(readOnTheGoList(*file));
    }
    addOnTheGoPlaylists(library, lists);
    std::vector<ReadOutcome> outcomes;
    outcomes.reserve(lists.size());
    for (OnTheGoList& list : lists) {
        outcomes.push_back(std::move(list.outcome));
    }
    return outcomes;
}

}  // namespace pelmar
