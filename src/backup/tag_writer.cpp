#include "backup/tag_writer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <optional>

#include <taglib/apetag.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

#include "backup/tag_editors.h"
#include "backup/tag_stream.h"
#include "library/track_columns.h"

namespace pelmar {

namespace {

enum class Container { Mpeg, Mp4, Flac, OggVorbis, Wav, Other };

// What the tag library needs to be told: the content says what a file is, except for MPEG
// audio without a tag in front, which has no signature and is known by its extension.
Container containerOf(DescriptorStream& stream, std::string_view name) {
    stream.seek(0);
    const TagLib::ByteVector head = stream.readBlock(40);
    stream.seek(0);
    const std::size_t dot = name.rfind('.');
    std::string extension(dot == std::string_view::npos ? std::string_view()
                                                        : name.substr(dot + 1));
    for (char& c : extension) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (head.startsWith("fLaC")) {
        return Container::Flac;
    }
    if (head.startsWith("ID3")) {
        // A few programs put an ID3v2 tag in front of FLAC streams; the FLAC reader copes.
        return extension == "flac" ? Container::Flac : Container::Mpeg;
    }
    if (head.containsAt("ftyp", 4)) {
        return Container::Mp4;
    }
    if (head.startsWith("OggS")) {
        // Other codecs in Ogg keep their comments in other packets.
        return head.containsAt("\x01vorbis", 28) ? Container::OggVorbis : Container::Other;
    }
    if (head.startsWith("RIFF") && head.containsAt("WAVE", 8)) {
        return Container::Wav;
    }
    return extension == "mp3" ? Container::Mpeg : Container::Other;
}

// One opened file: the tag library's object, an editor over its tags, and how to save them.
struct OpenedFile {
    std::unique_ptr<TagLib::File> file;
    std::unique_ptr<TagEditor> editor;
    std::function<bool()> save;
    bool encrypted = false;
};

// A file keeps the ID3v2 version it came with, 2.2 (which the tag library cannot write) becoming
// 2.3: a player that was given 2.3 tags may read nothing newer. New tags are 2.4, which holds
// UTF-8.
TagLib::ID3v2::Version id3v2VersionFor(bool hasTag, TagLib::ID3v2::Tag* tag) {
    return hasTag && tag->header()->majorVersion() <= 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
}

// A tag that must grow is made to grow by whole blocks of the file system, by leaving it more
// padding, so that the audio behind it moves by whole blocks and is not written again (see
// DescriptorStream::insertBlocks). The tag library keeps the padding asked for only up to 1 % of
// the file, so this helps large files, where it matters; small ones grow as they would.
void growId3v2ByBlocks(TagLib::ID3v2::Tag& tag, TagLib::ID3v2::Version version,
                       unsigned originalSize, const DescriptorStream& stream) {
    const std::uint64_t blockSize = stream.blockSize();
    TagLib::ID3v2::Header& header = *tag.header();
    if (blockSize == 0 || stream.size() / 100 < 2 * blockSize || header.footerPresent()) {
        return;
    }
    const unsigned headerSize = TagLib::ID3v2::Header::size();
    const unsigned rendered = tag.render(version).size();
    if (rendered <= originalSize) {
        return;
    }
    const std::uint64_t growth = (rendered - originalSize + blockSize - 1) / blockSize * blockSize;
    if (originalSize + growth > UINT32_MAX / 2) {
        return;
    }
    const unsigned wanted = static_cast<unsigned>(originalSize + growth);
    const unsigned kept = header.tagSize();
    header.setTagSize(wanted - headerSize);
    if (tag.render(version).size() != wanted) {
        header.setTagSize(kept);
    }
}

OpenedFile open(Container container, DescriptorStream& stream) {
    constexpr auto kStyle = TagLib::AudioProperties::Fast;
    TagLib::ID3v2::FrameFactory* frames = TagLib::ID3v2::FrameFactory::instance();
    OpenedFile opened;
    // Some of the library's readers start where the stream stands, as on a file just opened.
    stream.seek(0);
    switch (container) {
        case Container::Mpeg: {
            auto* file = new TagLib::MPEG::File(&stream, frames, true, kStyle);
            opened.file.reset(file);
            if (!file->isValid()) {
                break;
            }
            std::vector<const TagLib::Tag*> others;
            if (file->hasID3v1Tag()) {
                others.push_back(file->ID3v1Tag());
            }
            if (file->hasAPETag()) {
                others.push_back(file->APETag());
            }
            const TagLib::ID3v2::Version version =
                id3v2VersionFor(file->hasID3v2Tag(), file->ID3v2Tag());
            const unsigned originalSize =
                file->hasID3v2Tag() ? file->ID3v2Tag()->header()->completeTagSize() : 0;
            opened.editor = id3v2Editor(*file->ID3v2Tag(true), std::move(others));
            // Only the ID3v2 tag is written: the others stay as the file had them.
            opened.save = [file, version, originalSize, &stream] {
                growId3v2ByBlocks(*file->ID3v2Tag(), version, originalSize, stream);
                return file->save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, version,
                                  TagLib::File::DoNotDuplicate);
            };
            break;
        }
        case Container::Mp4: {
            auto* file = new TagLib::MP4::File(&stream, true, kStyle);
            opened.file.reset(file);
            if (file->isValid()) {
                opened.editor = mp4Editor(*file->tag());
                opened.encrypted =
                    file->audioProperties() != nullptr && file->audioProperties()->isEncrypted();
            }
            opened.save = [file] { return file->save(); };
            break;
        }
        case Container::Flac: {
            auto* file = new TagLib::FLAC::File(&stream, frames, true, kStyle);
            opened.file.reset(file);
            std::vector<const TagLib::Tag*> others;
            if (file->hasID3v2Tag()) {
                others.push_back(file->ID3v2Tag());
            }
            if (file->hasID3v1Tag()) {
                others.push_back(file->ID3v1Tag());
            }
            if (file->isValid()) {
                opened.editor = xiphEditor(*file->xiphComment(true), file, std::move(others));
            }
            opened.save = [file] { return file->save(); };
            break;
        }
        case Container::OggVorbis: {
            auto* file = new TagLib::Ogg::Vorbis::File(&stream, true, kStyle);
            opened.file.reset(file);
            if (file->isValid() && file->tag() != nullptr) {
                opened.editor = xiphEditor(*file->tag(), nullptr, {});
            }
            opened.save = [file] { return file->save(); };
            break;
        }
        case Container::Wav: {
            auto* file = new TagLib::RIFF::WAV::File(&stream, true, kStyle);
            opened.file.reset(file);
            if (file->isValid()) {
                std::vector<const TagLib::Tag*> others;
                if (file->hasInfoTag()) {
                    others.push_back(file->InfoTag());
                }
                const TagLib::ID3v2::Version version =
                    id3v2VersionFor(file->hasID3v2Tag(), file->ID3v2Tag());
                opened.editor = id3v2Editor(*file->ID3v2Tag(), std::move(others));
                opened.save = [file, version] {
                    return file->save(TagLib::RIFF::WAV::File::ID3v2, TagLib::File::StripNone,
                                      version);
                };
            }
            break;
        }
        case Container::Other:
            break;
    }
    return opened;
}

// The tag library opens a great deal that is not really there; a file counts as opened only
// when its audio was found too.
bool readable(const OpenedFile& opened) {
    return opened.file != nullptr && opened.file->isValid() && opened.editor != nullptr &&
           opened.save && opened.file->audioProperties() != nullptr &&
           opened.file->audioProperties()->sampleRate() > 0;
}

// What a file read again after saving must still show: the tag library rewrites container
// structures, and on a damaged file it may have rewritten them wrongly.
struct AudioShape {
    int sampleRate = 0;
    int channels = 0;
    int lengthMs = 0;
};

AudioShape shapeOf(const OpenedFile& opened) {
    const TagLib::AudioProperties& audio = *opened.file->audioProperties();
    return {audio.sampleRate(), audio.channels(), audio.lengthInMilliseconds()};
}

bool sameAudio(const AudioShape& before, const AudioShape& after) {
    // Lengths of MPEG streams without a frame index are estimates from the size.
    constexpr int kLengthSlackMs = 1000;
    return before.sampleRate == after.sampleRate && before.channels == after.channels &&
           std::abs(before.lengthMs - after.lengthMs) <= kLengthSlackMs;
}

std::string joined(const std::vector<std::string_view>& names) {
    std::string text;
    for (std::string_view name : names) {
        if (!text.empty()) {
            text += ", ";
        }
        text += name;
    }
    return text;
}

TagWriteResult leftAlone(std::string why) {
    return {TagWriteStatus::LeftAlone, std::move(why), false};
}

TagWriteResult failed(std::string why, const DescriptorStream& stream) {
    return {TagWriteStatus::Failed, std::move(why), stream.changed()};
}

std::string errorText(int error) {
    return std::strerror(error);
}

// Why the stream stopped the tag library, for the log.
std::string stoppedText(int error) {
    switch (error) {
        case EFBIG:
            return "its damaged tags would have made the file grow without end";
        case ELOOP:
            return "its damaged tags kept the tag library going without end";
        case EINVAL:
            return "its damaged tags pointed past the end of the file";
        default:
            return "writing failed: " + errorText(error);
    }
}

// Room for what is added (the picture, base64-encoded in Ogg streams) and for the padding the
// tag library leaves for later changes, which it keeps under 1 MB.
std::uint64_t sizeLimit(std::uint64_t size, const TrackTags& values) {
    constexpr std::uint64_t kRoom = std::uint64_t{2} << 20;
    return size + 2 * values.artworkJpeg.size() + kRoom;
}

bool isProtectedType(std::uint8_t fileType) {
    return fileType == 6 || fileType == 7 || fileType == 12;
}

TagWriteResult writeThrough(DescriptorStream& stream, std::string_view name,
                            const TrackTags& values) {
    if (stream.error() != 0) {
        return leftAlone("the copy cannot be read: " + errorText(stream.error()));
    }
    const Container container = containerOf(stream, name);
    if (container == Container::Other) {
        return leftAlone("not a file of a kind whose tags are written");
    }
    OpenedFile opened = open(container, stream);
    if (stream.error() != 0) {
        return leftAlone("the copy cannot be read: " + errorText(stream.error()));
    }
    if (!readable(opened)) {
        return leftAlone("its tags or its audio cannot be read");
    }
    if (opened.encrypted) {
        return leftAlone("protected file");
    }
    const AudioShape before = shapeOf(opened);
    const std::vector<std::string_view> written = applyTrackTags(*opened.editor, values);
    if (written.empty()) {
        return leftAlone("it holds the player's values already");
    }
    stream.limitSize(sizeLimit(stream.size(), values));
    const bool saved = opened.save();
    if (stream.error() != 0) {
        return failed("writing failed: " + errorText(stream.error()), stream);
    }
    if (!saved) {
        return failed("the tags could not be saved", stream);
    }
    opened = {};
    const OpenedFile again = open(container, stream);
    if (!readable(again) || !sameAudio(before, shapeOf(again)) ||
        !holdsTrackTags(*again.editor, values, written)) {
        return failed("the file could not be read back as written", stream);
    }
    return {TagWriteStatus::Written, joined(written), true};
}

}  // namespace

TrackTags trackTagsFor(const PlayerLibrary& library, std::uint32_t trackId) {
    const TrackInfo track = displayTrackInfo(library, trackId);
    TrackTags tags;
    tags.fileType = track.fileType;
    tags.rating = track.rating;
    tags.playCount = track.playCount;
    tags.title = track.title;
    tags.artist = track.artist;
    tags.album = track.album;
    tags.genre = track.genre;
    tags.composer = track.composer;
    tags.trackNumber = track.trackNumber;
    tags.year = track.year;
    return tags;
}

TagWriteResult writeTrackTags(int fd, std::string_view name, const TrackTags& values) noexcept {
    std::optional<DescriptorStream> stream;
    try {
        if (isProtectedType(values.fileType)) {
            return leftAlone("protected file");
        }
        stream.emplace(fd, std::string(name));
        return writeThrough(*stream, name, values);
    } catch (const DescriptorStream::Stopped&) {
        if (!stream->changed()) {
            return leftAlone(stoppedText(stream->error()));
        }
        return failed(stoppedText(stream->error()), *stream);
    } catch (const std::bad_alloc&) {
        return {TagWriteStatus::Failed, "not enough memory for the file's tags",
                stream && stream->changed()};
    } catch (...) {
        return {TagWriteStatus::Failed, "the file's tags could not be handled",
                stream && stream->changed()};
    }
}

}  // namespace pelmar
