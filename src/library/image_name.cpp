#include "library/image_name.h"

#include <algorithm>

#include "util/little_endian.h"
#include "util/utf8.h"

namespace pelmar {

namespace {

constexpr std::size_t kHeadLength = 8;
constexpr std::size_t kChildHeaderLength = 24;
constexpr std::size_t kStringHeaderLength = 12;
constexpr std::uint16_t kStringType = 3;
constexpr std::uint8_t kUtf16 = 2;

bool hasTag(std::span<const std::uint8_t> bytes, std::string_view tag) {
    return bytes.size() >= tag.size() &&
           std::equal(tag.begin(), tag.end(), bytes.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::optional<std::string> utf16Text(std::span<const std::uint8_t> bytes) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        char32_t unit = readU16le(bytes, at);
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return std::nullopt;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const char32_t low = at + 2 < bytes.size() ? readU16le(bytes, at + 2) : 0;
            if (low < 0xDC00 || low > 0xDFFF) {
                return std::nullopt;
            }
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            at += 2;
        }
        if (unit == 0) {
            break;
        }
        utf8::append(text, unit);
    }
    return text;
}

std::optional<std::string> utf8Text(std::span<const std::uint8_t> bytes) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    text = text.substr(0, text.find('\0'));
    if (!utf8::isValid(text)) {
        return std::nullopt;
    }
    return std::string(text);
}

// Where the text of the string object at the start of `child` lies, and whether it is UTF-16;
// nothing when the child is not a sound string object.
std::optional<std::pair<std::span<const std::uint8_t>, bool>> stringChildText(
    std::span<const std::uint8_t> child) {
    if (!hasTag(child, "mhod") || child.size() < kChildHeaderLength) {
        return std::nullopt;
    }
    const std::uint32_t headerLength = readU32le(child, 4);
    const std::uint32_t totalLength = readU32le(child, 8);
    if (readU16le(child, 12) != kStringType || headerLength < kHeadLength ||
        totalLength < headerLength || totalLength > child.size()) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> body =
        child.subspan(headerLength, totalLength - headerLength);
    if (body.size() < kStringHeaderLength) {
        return std::nullopt;
    }
    const std::uint32_t length = readU32le(body, 0);
    if (length > body.size() - kStringHeaderLength) {
        return std::nullopt;
    }
    return std::pair(body.subspan(kStringHeaderLength, length), readU8(body, 4) == kUtf16);
}

bool isSafeComponent(std::string_view component) {
    return !component.empty() && component != "." && component != ".." &&
           component.find('/') == std::string_view::npos &&
           component.find('\0') == std::string_view::npos;
}

}  // namespace

std::optional<ImageRecord> parseImageRecord(std::span<const std::uint8_t> body) {
    if (!hasTag(body, "mhni") || body.size() < kHeadLength) {
        return std::nullopt;
    }
    const std::uint32_t headerLength = readU32le(body, 4);
    if (headerLength < kHeadLength) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> header =
        body.first(std::min<std::size_t>(headerLength, body.size()));
    ImageRecord record;
    ImageName& name = record.fields;
    name.formatId = readU32le(header, 16);
    name.offset = readU32le(header, 20);
    name.statedSize = readU32le(header, 24);
    name.verticalPadding = readU16le(header, 28);
    name.horizontalPadding = readU16le(header, 30);
    name.height = readU16le(header, 32);
    name.width = readU16le(header, 34);
    if (headerLength < body.size()) {
        if (const auto text = stringChildText(body.subspan(headerLength))) {
            record.text = text->first;
            record.utf16 = text->second;
            record.hasText = true;
        }
    }
    return record;
}

std::optional<std::string> decodeImageText(std::span<const std::uint8_t> text, bool utf16) {
    return utf16 ? utf16Text(text) : utf8Text(text);
}

std::optional<ImageName> parseImageName(std::span<const std::uint8_t> body) {
    std::optional<ImageRecord> record = parseImageRecord(body);
    if (!record) {
        return std::nullopt;
    }
    if (record->hasText) {
        record->fields.fileName =
            decodeImageText(record->text, record->utf16).value_or(std::string());
    }
    return std::move(record->fields);
}

std::string playerRelativePath(std::string_view folder, std::string_view colonName) {
    if (!colonName.empty() && colonName.front() == ':') {
        colonName.remove_prefix(1);
    }
    if (colonName.empty()) {
        return {};
    }
    std::string path(folder);
    while (true) {
        const std::size_t end = colonName.find(':');
        const std::string_view component = colonName.substr(0, end);
        if (!isSafeComponent(component)) {
            return {};
        }
        path += '/';
        path += component;
        if (end == std::string_view::npos) {
            return path;
        }
        colonName.remove_prefix(end + 1);
    }
}

}  // namespace pelmar
