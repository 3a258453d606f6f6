#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

#include "player_image/player_image.h"
#include "player_image/random.h"

namespace pelmar::player_image {
namespace {

using Bytes = std::vector<std::uint8_t>;

void appendText(Bytes& bytes, std::string_view text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}

void appendBytes(Bytes& bytes, std::initializer_list<std::uint8_t> values) {
    bytes.insert(bytes.end(), values.begin(), values.end());
}

void appendLe(Bytes& bytes, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void appendBe(Bytes& bytes, std::uint64_t value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// Lower-cased extension of the location's file name, without the dot; "" when it has none.
std::string extensionOf(std::string_view location) {
    const std::string_view name = location.substr(location.find_last_of(':') + 1);
    const std::size_t dot = name.find_last_of('.');
    std::string extension(dot == std::string_view::npos ? std::string_view{}
                                                        : name.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return extension;
}

void appendMp3Start(Bytes& bytes) {
    appendText(bytes, "ID3");
    appendBytes(bytes, {3, 0, 0, 0, 0, 0, 0});     // version 2.3, no flags, empty tag
    appendBytes(bytes, {0xFF, 0xFB, 0x90, 0x64});  // MPEG-1 layer III frame header
}

void appendWaveStart(Bytes& bytes, std::uint32_t size) {
    appendText(bytes, "RIFF");
    appendLe(bytes, size - 8, 4);
    appendText(bytes, "WAVEfmt ");
    appendLe(bytes, 16, 4);
    appendLe(bytes, 1, 2);  // PCM
    appendLe(bytes, 2, 2);
    appendLe(bytes, 44'100, 4);
    appendLe(bytes, 176'400, 4);
    appendLe(bytes, 4, 2);
    appendLe(bytes, 16, 2);
    appendText(bytes, "data");
    appendLe(bytes, size - 44, 4);
}

// An "ftyp" box naming the brand, then an "mdat" box over the rest of the file.
void appendMp4Start(Bytes& bytes, std::string_view brand, std::uint32_t size) {
    appendBe(bytes, 24, 4);
    appendText(bytes, "ftyp");
    appendText(bytes, brand);
    appendBe(bytes, 0, 4);
    appendText(bytes, brand);
    appendText(bytes, "isom");
    appendBe(bytes, size - 24, 4);
    appendText(bytes, "mdat");
}

void appendOggStart(Bytes& bytes) {
    appendText(bytes, "OggS");
    appendBytes(bytes, {0, 2});  // version, first page of the stream
    appendLe(bytes, 0, 8);       // granule position
    appendLe(bytes, 0x5E1A, 4);  // stream serial number
    appendLe(bytes, 0, 4);       // page sequence
    appendLe(bytes, 0, 4);       // checksum
    appendBytes(bytes, {1, 30});
    appendBytes(bytes, {1});
    appendText(bytes, "vorbis");
}

void appendFlacStart(Bytes& bytes) {
    appendText(bytes, "fLaC");
    appendBytes(bytes, {0x80, 0, 0, 34});  // last metadata block: stream info, 34 bytes
    appendBytes(bytes, {0x10, 0, 0x10, 0, 0, 0, 0x0E, 0, 0x30, 0x0A, 0xC4, 0x42, 0xF0});
}

void appendAsfStart(Bytes& bytes) {
    appendBytes(bytes, {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA,
                        0x00, 0x62, 0xCE, 0x6C});
    appendLe(bytes, 30, 8);
    appendLe(bytes, 0, 4);
    appendBytes(bytes, {1, 2});
}

void appendAiffStart(Bytes& bytes, std::uint32_t size) {
    appendText(bytes, "FORM");
    appendBe(bytes, size - 8, 4);
    appendText(bytes, "AIFF");
}

void appendSignature(Bytes& bytes, std::string_view extension, std::uint32_t size) {
    if (extension == "mp3") {
        appendMp3Start(bytes);
    } else if (extension == "wav") {
        appendWaveStart(bytes, size);
    } else if (extension == "m4a" || extension == "m4r") {
        appendMp4Start(bytes, "M4A ", size);
    } else if (extension == "m4p") {
        appendMp4Start(bytes, "M4P ", size);
    } else if (extension == "m4b") {
        appendMp4Start(bytes, "M4B ", size);
    } else if (extension == "m4v") {
        appendMp4Start(bytes, "M4V ", size);
    } else if (extension == "mp4") {
        appendMp4Start(bytes, "mp42", size);
    } else if (extension == "3gp") {
        appendMp4Start(bytes, "3gp4", size);
    } else if (extension == "mov") {
        appendMp4Start(bytes, "qt  ", size);
    } else if (extension == "ogg") {
        appendOggStart(bytes);
    } else if (extension == "flac") {
        appendFlacStart(bytes);
    } else if (extension == "wma") {
        appendAsfStart(bytes);
    } else if (extension == "aif") {
        appendAiffStart(bytes, size);
    }
}

}  // namespace

std::vector<std::uint8_t> mediaFileBytes(const Track& track) {
    constexpr std::uint32_t kSmallestWithSignature = 64;
    Bytes bytes;
    bytes.reserve(track.size);
    if (track.size >= kSmallestWithSignature) {
        appendSignature(bytes, extensionOf(track.location), track.size);
    }
    Random random((std::uint64_t{track.id} << 32) | track.size);
    while (bytes.size() + 8 <= track.size) {
        appendLe(bytes, random.next(), 8);
    }
    while (bytes.size() < track.size) {
        bytes.push_back(static_cast<std::uint8_t>(random.next()));
    }
    return bytes;
}

}  // namespace pelmar::player_image
