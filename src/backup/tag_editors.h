#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <taglib/tpropertymap.h>

#include "backup/tag_writer.h"

namespace TagLib {
class Tag;
namespace ID3v2 {
class Tag;
}
namespace Ogg {
class XiphComment;
}
namespace FLAC {
class File;
}
namespace MP4 {
class Tag;
}
}  // namespace TagLib

namespace pelmar {

// One file's tags, seen the same way whatever their format: the common texts through the tag
// library's own interface, and what each format keeps in a place of its own (composer, rating,
// play count, picture) through the editor.
class TagEditor {
  public:
    virtual ~TagEditor() = default;

    virtual TagLib::Tag& tag() = 0;
    // Every text the file holds, in all of its tags, under the tag library's common names.
    [[nodiscard]] virtual TagLib::PropertyMap texts() const = 0;
    virtual void setComposer(const TagLib::String& composer) = 0;
    // Each returns true when the tag changed.
    virtual bool setRating(std::uint32_t rating) = 0;
    virtual bool setPlayCount(std::uint32_t count) = 0;
    [[nodiscard]] virtual bool hasPicture() const = 0;
    virtual void addPicture(const std::vector<std::uint8_t>& jpeg) = 0;
    // The rating and play count as the file now holds them in their text form; "" for none.
    [[nodiscard]] virtual std::string ratingText() const = 0;
    [[nodiscard]] virtual std::string playCountText() const = 0;
};

// `alsoRead` are the file's other tags, whose texts count as present.
[[nodiscard]] std::unique_ptr<TagEditor> id3v2Editor(TagLib::ID3v2::Tag& tag,
                                                     std::vector<const TagLib::Tag*> alsoRead);
// `flac` is the file whose picture blocks hold the pictures; null for an Ogg stream, which keeps
// them in the comment.
[[nodiscard]] std::unique_ptr<TagEditor> xiphEditor(TagLib::Ogg::XiphComment& comment,
                                                    TagLib::FLAC::File* flac,
                                                    std::vector<const TagLib::Tag*> alsoRead);
[[nodiscard]] std::unique_ptr<TagEditor> mp4Editor(TagLib::MP4::Tag& tag);

// Applies the writer's rules through `editor`: the rating and play count where the player has
// them, the texts and the picture only where the file has none. Returns the names of what was
// written, in order; empty when the file already held everything.
[[nodiscard]] std::vector<std::string_view> applyTrackTags(TagEditor& editor,
                                                           const TrackTags& values);

// The texts that applyTrackTags wrote under the given names, checked in a file read again;
// false when one of them is missing.
[[nodiscard]] bool holdsTrackTags(const TagEditor& editor, const TrackTags& values,
                                  const std::vector<std::string_view>& written);

// The popularimeter's 0–255 rating for the player's 0–100.
[[nodiscard]] int popularimeterRating(std::uint32_t rating);
// The rating as the fraction of five stars that the FMPS fields take ("0.8").
[[nodiscard]] std::string fmpsRatingText(std::uint32_t rating);

}  // namespace pelmar
