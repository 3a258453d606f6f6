#include "player_image/master_index.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "player_image/child_types.h"
#include "player_image/utf8_text.h"

namespace pelmar::player_image {
namespace {

struct SortOrder {
    std::uint32_t code;
    std::string Track::*field;
};

constexpr SortOrder kSortOrders[] = {
    {3, &Track::title}, {4, &Track::album},     {5, &Track::artist},
    {7, &Track::genre}, {18, &Track::composer},
};

// Bytes between the count and the positions of a type-52 child, and of a type-53 child.
constexpr std::size_t kSortIndexPadding = 40;
constexpr std::size_t kJumpTablePadding = 8;

char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compared as bytes, folded keys order as the texts do ignoring ASCII case; folding each text
// once keeps the sort of a large library quick.
std::string foldedKey(const std::string& text) {
    std::string key = text;
    for (char& c : key) {
        c = foldAscii(c);
    }
    return key;
}

std::uint32_t jumpLetter(const std::string& text) {
    const char32_t c = firstCharacter(text);
    return (c >= 'a' && c <= 'z') ? static_cast<std::uint32_t>(c - 'a' + 'A') : c;
}

void appendU32(std::vector<std::uint8_t>& body, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        body.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::vector<std::uint32_t> sortedPositions(const std::vector<Track>& tracks,
                                           const SortOrder& order) {
    std::vector<std::string> keys;
    keys.reserve(tracks.size());
    for (const Track& track : tracks) {
        keys.push_back(foldedKey(track.*order.field));
    }
    std::vector<std::uint32_t> positions(tracks.size());
    std::iota(positions.begin(), positions.end(), 0U);
    std::stable_sort(positions.begin(), positions.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    return positions;
}

void appendJumpTable(std::vector<std::uint8_t>& body, const std::vector<Track>& tracks,
                     const SortOrder& order, const std::vector<std::uint32_t>& positions) {
    std::vector<std::uint8_t> entries;
    std::uint32_t entryCount = 0;
    std::size_t first = 0;
    while (first < positions.size()) {
        const std::uint32_t letter = jumpLetter(tracks[positions[first]].*order.field);
        std::size_t end = first + 1;
        while (end < positions.size() &&
               jumpLetter(tracks[positions[end]].*order.field) == letter) {
            ++end;
        }
        appendU32(entries, letter);
        appendU32(entries, static_cast<std::uint32_t>(first));
        appendU32(entries, static_cast<std::uint32_t>(end - first));
        ++entryCount;
        first = end;
    }
    appendU32(body, order.code);
    appendU32(body, entryCount);
    body.resize(body.size() + kJumpTablePadding, 0);
    body.insert(body.end(), entries.begin(), entries.end());
}

}  // namespace

void writeMasterIndex(ByteSink& sink, const std::vector<Track>& tracks, ChildWriter& children) {
    std::vector<std::vector<std::uint32_t>> sorted;
    std::vector<std::uint8_t> body;
    for (const SortOrder& order : kSortOrders) {
        sorted.push_back(sortedPositions(tracks, order));
        body.clear();
        appendU32(body, order.code);
        appendU32(body, static_cast<std::uint32_t>(tracks.size()));
        body.resize(body.size() + kSortIndexPadding, 0);
        for (const std::uint32_t position : sorted.back()) {
            appendU32(body, position);
        }
        children.writeBody(sink, child_type::sortIndex, body);
    }
    for (std::size_t i = 0; i < std::size(kSortOrders); ++i) {
        body.clear();
        appendJumpTable(body, tracks, kSortOrders[i], sorted[i]);
        children.writeBody(sink, child_type::jumpTable, body);
    }
}

std::uint32_t masterIndexChildCount() {
    return static_cast<std::uint32_t>(2 * std::size(kSortOrders));
}

}  // namespace pelmar::player_image
