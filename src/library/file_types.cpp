#include "library/file_types.h"

#include <array>
#include <string>
#include <utility>

namespace pelmar {

namespace {

constexpr std::array<std::string_view, 14> kExtensions = {
    "", "wav", "mp3", "wma", "nvf", "m4a", "aa", "m4p", "m4b", "mp4", "ogg", "flac", "m4v", "mov"};

// Not the inverse of kExtensions: "mp4" files are AAC audio, while code 9 is given only by the
// type text.
constexpr std::array<std::pair<std::string_view, std::uint8_t>, 13> kCodeByExtension = {{
    {"mp3", 2},
    {"wma", 3},
    {"ogg", 10},
    {"wav", 1},
    {"nvf", 4},
    {"m4a", 5},
    {"m4p", 7},
    {"mov", 13},
    {"m4b", 8},
    {"mp4", 5},
    {"flac", 11},
    {"m4v", 12},
    {"aa", 6},
}};

// Tried in order: "Protected AAC audio file" also contains "AAC audio file".
constexpr std::array<std::pair<std::string_view, std::uint8_t>, 8> kCodeByTypePhrase = {{
    {"WAV audio file", 1},
    {"Protected AAC audio file", 7},
    {"Protected MPEG-4 video file", 12},
    {"MPEG-4 video file", 9},
    {"MPEG-4 audio file", 9},
    {"AAC audio file", 5},
    {"MPEG audio file", 2},
    {"Audible file", 6},
}};

constexpr bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::uint8_t fileTypeFromExtension(std::string_view location) {
    // Every track's location passes here while loading: one backward scan finds the last dot
    // of the name, and no known extension is longer than four letters.
    std::size_t dot = location.size();
    while (dot > 0 && location[dot - 1] != '.' && location[dot - 1] != '/' &&
           location[dot - 1] != '\\') {
        --dot;
    }
    if (dot == 0 || location[dot - 1] != '.' || location.size() - dot < 2) {
        return 0;
    }
    const std::string_view given = location.substr(dot);
    std::array<char, 4> extension{};
    if (given.size() > extension.size()) {
        return 0;
    }
    for (std::size_t i = 0; i < given.size(); ++i) {
        const char c = given[i];
        extension[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const std::string_view lowered(extension.data(), given.size());
    for (const auto& [text, code] : kCodeByExtension) {
        if (lowered == text) {
            return code;
        }
    }
    return 0;
}

std::uint8_t fileTypeFromTypeText(std::string_view typeText) {
    while (!typeText.empty() && isSpace(typeText.front())) {
        typeText.remove_prefix(1);
    }
    while (!typeText.empty() && isSpace(typeText.back())) {
        typeText.remove_suffix(1);
    }
    for (const auto& [phrase, code] : kCodeByTypePhrase) {
        if (typeText.find(phrase) != std::string_view::npos) {
            return code;
        }
    }
    return typeText.empty() ? 2 : 6;
}

std::string_view extensionForFileType(std::uint8_t fileType) {
    return fileType < kExtensions.size() ? kExtensions[fileType] : std::string_view{};
}

}  // namespace pelmar
