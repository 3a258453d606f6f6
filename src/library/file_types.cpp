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
    const std::size_t slash = location.find_last_of("/\\");
    const std::string_view name =
        slash == std::string_view::npos ? location : location.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.size() - dot < 3) {
        return 0;
    }
    std::string extension(name.substr(dot + 1));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    for (const auto& [text, code] : kCodeByExtension) {
        if (extension == text) {
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
