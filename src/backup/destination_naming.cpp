#include "backup/destination_naming.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "library/file_types.h"
#include "library/player_library.h"
#include "library/track_data.h"

namespace pelmar {

namespace {

// The characters of a stored text, each as the bytes it occupies.
std::vector<std::string_view> splitCharacters(std::string_view text, const TextCodec& codec) {
    std::vector<std::string_view> characters;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t length = std::max<std::size_t>(1, codec.characterLength(text, pos));
        characters.push_back(text.substr(pos, length));
        pos += length;
    }
    return characters;
}

bool isOneOf(std::string_view character, std::string_view bytes) {
    return character.size() == 1 && bytes.find(character.front()) != std::string_view::npos;
}

// Path separators, and control characters, which Windows and FAT volumes refuse in names.
bool isSeparatorOrControl(std::string_view character) {
    return isOneOf(character, "/\\") ||
           (character.size() == 1 && static_cast<unsigned char>(character.front()) < 0x20);
}

bool isWhiteSpace(std::string_view character) {
    return isOneOf(character, " \t\n\v\f\r");
}

enum class Field { Artist, Album, Title, Genre, Composer, TrackNumber, ArtistAndAlbum };

struct FolderTemplate {
    std::string_view text;
    std::vector<Field> components;
};

struct FileTemplate {
    std::string_view text;
    std::string_view separator;
    std::vector<Field> fields;
};

const std::vector<FolderTemplate>& folderTemplates() {
    static const std::vector<FolderTemplate> table = {
        {"Artist\\", {Field::Artist}},
        {"Artist\\Album\\", {Field::Artist, Field::Album}},
        {"Artist - Album\\", {Field::ArtistAndAlbum}},
        {"Genre\\Artist\\", {Field::Genre, Field::Artist}},
        {"Genre\\Artist\\Album\\", {Field::Genre, Field::Artist, Field::Album}},
        {"Genre\\Artist - Album\\", {Field::Genre, Field::ArtistAndAlbum}},
        {"Composer\\", {Field::Composer}},
        {"Composer\\Album\\", {Field::Composer, Field::Album}},
    };
    return table;
}

const std::vector<FileTemplate>& fileTemplates() {
    static const std::vector<FileTemplate> table = {
        {"Artist - Album - Track# - Title.ext",
         " - ",
         {Field::Artist, Field::Album, Field::TrackNumber, Field::Title}},
        {"Artist - Title.ext", " - ", {Field::Artist, Field::Title}},
        {"Album - Track# - Title.ext", " - ", {Field::Album, Field::TrackNumber, Field::Title}},
        {"Track# - Title.ext", " - ", {Field::TrackNumber, Field::Title}},
        {"Track# Title.ext", " ", {Field::TrackNumber, Field::Title}},
        {"Composer - Album - Track# - Title.ext",
         " - ",
         {Field::Composer, Field::Album, Field::TrackNumber, Field::Title}},
    };
    return table;
}

// The texts a template can pick from, cleaned and possibly cut.
struct NameFields {
    std::string artist;
    std::string album;
    std::string title;
    std::string genre;
    std::string composer;
    std::string trackNumber;

    [[nodiscard]] std::string text(Field field) const {
        switch (field) {
            case Field::Artist:
                return artist;
            case Field::Album:
                return album;
            case Field::Title:
                return title;
            case Field::Genre:
                return genre;
            case Field::Composer:
                return composer;
            case Field::TrackNumber:
                return trackNumber;
            case Field::ArtistAndAlbum:
                return artist + " - " + album;
        }
        return {};
    }
};

std::string shortened(const std::string& text, const TextCodec& codec) {
    return text.substr(0, codec.wholeCharacterPrefix(text, kShortenedFieldBytes));
}

// The byte offset of the last character of a non-empty text.
std::size_t lastCharacterStart(std::string_view text, const TextCodec& codec) {
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        start = pos;
        pos += std::max<std::size_t>(1, codec.characterLength(text, pos));
    }
    return start;
}

}  // namespace

std::string CleanNameField(std::string_view text, const TextCodec& codec) {
    // The whole text is split once, so every step below sees the characters the stored text
    // has, whatever its shortened remains would look like on their own.
    std::vector<std::string_view> characters = splitCharacters(text, codec);
    std::erase_if(characters, isSeparatorOrControl);

    const auto firstKept = std::find_if_not(characters.begin(), characters.end(), isWhiteSpace);
    characters.erase(characters.begin(), firstKept);
    while (!characters.empty() && isWhiteSpace(characters.back())) {
        characters.pop_back();
    }

    while (characters.size() > 1 && characters.back() == ".") {
        characters.pop_back();
    }
    std::erase_if(characters, [](std::string_view c) { return isOneOf(c, "?<>*|\":"); });

    std::string cleaned;
    for (const std::string_view character : characters) {
        cleaned += character;
    }
    return cleaned.empty() ? std::string("Unknown") : cleaned;
}

std::string ExtensionForFileType(std::uint8_t fileType) {
    return std::string(extensionForFileType(fileType));
}

std::string TrackNumberText(std::uint32_t trackNumber) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u", static_cast<unsigned>(trackNumber));
    return text;
}

bool FolderTemplateSeparatesAlbums(std::string_view folderTemplate) {
    for (const FolderTemplate& candidate : folderTemplates()) {
        if (candidate.text == folderTemplate) {
            return std::any_of(candidate.components.begin(), candidate.components.end(),
                               [](Field field) {
                                   return field == Field::Album || field == Field::ArtistAndAlbum;
                               });
        }
    }
    return false;
}

DestinationParts BuildDestinationParts(const PlayerLibrary& library, std::uint32_t trackId,
                                       std::string_view folderTemplate,
                                       std::string_view fileTemplate, bool shorten) {
    const TextCodec& codec = library.codec();
    TrackInfo info;
    library.getTrackInfo(trackId, info);

    NameFields fields{CleanNameField(info.artist, codec),   CleanNameField(info.album, codec),
                      CleanNameField(info.title, codec),    CleanNameField(info.genre, codec),
                      CleanNameField(info.composer, codec), TrackNumberText(info.trackNumber)};
    if (shorten) {
        for (std::string* text :
             {&fields.artist, &fields.album, &fields.title, &fields.genre, &fields.composer}) {
            *text = shortened(*text, codec);
        }
    }

    DestinationParts parts;
    parts.extension = ExtensionForFileType(info.fileType);
    for (const FolderTemplate& candidate : folderTemplates()) {
        if (candidate.text == folderTemplate) {
            for (const Field field : candidate.components) {
                parts.components.push_back(fields.text(field));
            }
            break;
        }
    }
    for (const FileTemplate& candidate : fileTemplates()) {
        if (candidate.text == fileTemplate) {
            for (std::size_t i = 0; i < candidate.fields.size(); ++i) {
                if (i > 0) {
                    parts.fileBase += candidate.separator;
                }
                parts.fileBase += fields.text(candidate.fields[i]);
            }
            break;
        }
    }
    return parts;
}

DestinationFolder BuildDestinationFolder(const PlayerLibrary& library, std::uint32_t trackId,
                                         std::string_view folderTemplate,
                                         std::string_view fileTemplate, bool shorten) {
    DestinationParts parts =
        BuildDestinationParts(library, trackId, folderTemplate, fileTemplate, shorten);
    const TextCodec& codec = library.codec();
    DestinationFolder folder;
    for (std::string& component : parts.components) {
        const std::size_t last = lastCharacterStart(component, codec);
        if (component.compare(last, std::string::npos, ".") == 0) {
            component[last] = '_';
        }
        folder.folderPath += component;
        folder.folderPath += '/';
    }
    folder.fileBase = std::move(parts.fileBase);
    folder.extension = std::move(parts.extension);
    return folder;
}

std::string BackupFilePath(std::string_view backupFolder, std::string_view relativePath) {
    std::string path(backupFolder);
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += relativePath;
    return path;
}

}  // namespace pelmar
