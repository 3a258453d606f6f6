#include "backup/tag_editors.h"

#include <algorithm>
#include <array>

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4coverart.h>
#include <taglib/mp4tag.h>
#include <taglib/popularimeterframe.h>
#include <taglib/textidentificationframe.h>
#include <taglib/xiphcomment.h>
#include <turbojpeg.h>

namespace pelmar {

namespace {

using TagLib::String;
using TagLib::StringList;

// The FMPS fields: the rating as a fraction of five stars, the play count as a number. They are
// read by players that know no popularimeter and are the only rating fields Vorbis comments and
// MP4 files have by convention.
constexpr const char* kId3RatingDescription = "FMPS_Rating";
constexpr const char* kId3PlayCountDescription = "FMPS_Playcount";
constexpr const char* kXiphRatingField = "FMPS_RATING";
constexpr const char* kXiphPlayCountField = "FMPS_PLAYCOUNT";
constexpr const char* kMp4RatingItem = "----:com.apple.iTunes:FMPS_Rating";
constexpr const char* kMp4PlayCountItem = "----:com.apple.iTunes:FMPS_Playcount";

String utf8(const std::string& text) {
    return {text, String::UTF8};
}

TagLib::ByteVector bytesOf(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<unsigned int>(bytes.size())};
}

std::string firstText(const StringList& values) {
    return values.isEmpty() ? std::string() : values.front().to8Bit(true);
}

TagLib::PropertyMap mergedTexts(TagLib::PropertyMap texts,
                                const std::vector<const TagLib::Tag*>& others) {
    for (const TagLib::Tag* other : others) {
        texts.merge(other->properties());
    }
    return texts;
}

// A text counts as present when it holds more than white space; a track number or a date when
// it starts with a number other than 0 ("0/12" is a count of tracks without a number).
bool holdsText(const TagLib::PropertyMap& texts, const char* name) {
    const auto found = texts.find(name);
    if (found == texts.end()) {
        return false;
    }
    const bool numbered =
        std::string_view(name) == "TRACKNUMBER" || std::string_view(name) == "DATE";
    return std::any_of(found->second.begin(), found->second.end(), [&](const String& value) {
        return numbered ? value.toInt() > 0 : !value.stripWhiteSpace().isEmpty();
    });
}

class Id3v2Editor final : public TagEditor {
  public:
    Id3v2Editor(TagLib::ID3v2::Tag& tag, std::vector<const TagLib::Tag*> alsoRead)
        : tag_(tag), alsoRead_(std::move(alsoRead)) {}

    TagLib::Tag& tag() override { return tag_; }
    TagLib::PropertyMap texts() const override { return mergedTexts(tag_.properties(), alsoRead_); }

    void setComposer(const String& composer) override {
        tag_.removeFrames("TCOM");
        auto* frame = new TagLib::ID3v2::TextIdentificationFrame("TCOM", String::Latin1);
        frame->setText(composer);
        tag_.addFrame(frame);
    }

    bool setRating(std::uint32_t rating) override {
        TagLib::ID3v2::PopularimeterFrame& popularimeter = ourPopularimeter();
        const int value = popularimeterRating(rating);
        const bool changed = popularimeter.rating() != value;
        popularimeter.setRating(value);
        return setUserText(kId3RatingDescription, fmpsRatingText(rating)) || changed;
    }

    bool setPlayCount(std::uint32_t count) override {
        TagLib::ID3v2::PopularimeterFrame& popularimeter = ourPopularimeter();
        const bool changed = popularimeter.counter() != count;
        popularimeter.setCounter(count);
        return setUserText(kId3PlayCountDescription, std::to_string(count)) || changed;
    }

    bool hasPicture() const override {
        const auto found = tag_.frameListMap().find("APIC");
        return found != tag_.frameListMap().end() && !found->second.isEmpty();
    }

    void addPicture(const std::vector<std::uint8_t>& jpeg) override {
        auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setMimeType("image/jpeg");
        frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        frame->setPicture(bytesOf(jpeg));
        tag_.addFrame(frame);
    }

    std::string ratingText() const override { return userText(kId3RatingDescription); }
    std::string playCountText() const override { return userText(kId3PlayCountDescription); }

  private:
    // Ours is the popularimeter without an e-mail address; those other programs keep under
    // their own address are theirs and stay as they are.
    TagLib::ID3v2::PopularimeterFrame& ourPopularimeter() {
        const auto found = tag_.frameListMap().find("POPM");
        if (found != tag_.frameListMap().end()) {
            for (TagLib::ID3v2::Frame* frame : found->second) {
                auto* popularimeter = dynamic_cast<TagLib::ID3v2::PopularimeterFrame*>(frame);
                if (popularimeter != nullptr && popularimeter->email().isEmpty()) {
                    return *popularimeter;
                }
            }
        }
        auto* popularimeter = new TagLib::ID3v2::PopularimeterFrame;
        tag_.addFrame(popularimeter);
        return *popularimeter;
    }

    // Other programs write the descriptions in other cases; one field is one field.
    TagLib::ID3v2::UserTextIdentificationFrame* findUserText(const char* description) const {
        const auto found = tag_.frameListMap().find("TXXX");
        if (found == tag_.frameListMap().end()) {
            return nullptr;
        }
        const String wanted = String(description).upper();
        for (TagLib::ID3v2::Frame* frame : found->second) {
            auto* text = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame*>(frame);
            if (text != nullptr && text->description().upper() == wanted) {
                return text;
            }
        }
        return nullptr;
    }

    // The frame's values without its description, which the tag library lists first.
    static StringList valuesOf(const TagLib::ID3v2::UserTextIdentificationFrame& frame) {
        StringList values = frame.fieldList();
        if (!values.isEmpty() && values.front() == frame.description()) {
            values.erase(values.begin());
        }
        return values;
    }

    std::string userText(const char* description) const {
        const auto* frame = findUserText(description);
        return frame == nullptr ? std::string() : firstText(valuesOf(*frame));
    }

    bool setUserText(const char* description, const std::string& value) {
        if (auto* frame = findUserText(description)) {
            if (valuesOf(*frame) == StringList(String(value))) {
                return false;
            }
            frame->setText(String(value));
            return true;
        }
        tag_.addFrame(new TagLib::ID3v2::UserTextIdentificationFrame(
            description, StringList(String(value)), String::Latin1));
        return true;
    }

    TagLib::ID3v2::Tag& tag_;
    std::vector<const TagLib::Tag*> alsoRead_;
};

// The picture block's dimensions, which Vorbis and FLAC pictures carry beside the bytes.
void describeJpeg(TagLib::FLAC::Picture& picture, const std::vector<std::uint8_t>& jpeg) {
    tjhandle handle = tjInitDecompress();
    if (handle == nullptr) {
        return;
    }
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()), &width,
                            &height, &subsampling, &colourspace) == 0) {
        picture.setWidth(width);
        picture.setHeight(height);
        picture.setColorDepth(colourspace == TJCS_GRAY ? 8 : 24);
    }
    tjDestroy(handle);
}

class XiphEditor final : public TagEditor {
  public:
    XiphEditor(TagLib::Ogg::XiphComment& comment, TagLib::FLAC::File* flac,
               std::vector<const TagLib::Tag*> alsoRead)
        : comment_(&comment), flac_(flac), alsoRead_(std::move(alsoRead)) {}

    TagLib::Tag& tag() override { return *comment_; }
    TagLib::PropertyMap texts() const override {
        return mergedTexts(comment_->properties(), alsoRead_);
    }
    void setComposer(const String& composer) override {
        comment_->addField("COMPOSER", composer, true);
    }
    bool setRating(std::uint32_t rating) override {
        return setField(kXiphRatingField, fmpsRatingText(rating));
    }
    bool setPlayCount(std::uint32_t count) override {
        return setField(kXiphPlayCountField, std::to_string(count));
    }

    bool hasPicture() const override {
        return (flac_ != nullptr && !flac_->pictureList().isEmpty()) ||
               !comment_->pictureList().isEmpty() || comment_->contains("COVERART");
    }

    void addPicture(const std::vector<std::uint8_t>& jpeg) override {
        auto* picture = new TagLib::FLAC::Picture;
        picture->setMimeType("image/jpeg");
        picture->setType(TagLib::FLAC::Picture::FrontCover);
        picture->setData(bytesOf(jpeg));
        describeJpeg(*picture, jpeg);
        if (flac_ != nullptr) {
            flac_->addPicture(picture);
        } else {
            comment_->addPicture(picture);
        }
    }

    std::string ratingText() const override { return field(kXiphRatingField); }
    std::string playCountText() const override { return field(kXiphPlayCountField); }

  private:
    std::string field(const char* name) const {
        const auto found = comment_->fieldListMap().find(name);
        return found == comment_->fieldListMap().end() ? std::string() : firstText(found->second);
    }

    bool setField(const char* name, const std::string& value) {
        const auto found = comment_->fieldListMap().find(name);
        if (found != comment_->fieldListMap().end() && found->second == StringList(String(value))) {
            return false;
        }
        comment_->addField(name, String(value), true);
        return true;
    }

    TagLib::Ogg::XiphComment* comment_;
    TagLib::FLAC::File* flac_;
    std::vector<const TagLib::Tag*> alsoRead_;
};

class Mp4Editor final : public TagEditor {
  public:
    explicit Mp4Editor(TagLib::MP4::Tag& tag) : tag_(tag) {}

    TagLib::Tag& tag() override { return tag_; }
    TagLib::PropertyMap texts() const override { return tag_.properties(); }
    void setComposer(const String& composer) override {
        tag_.setItem("\251wrt", StringList(composer));
    }
    bool setRating(std::uint32_t rating) override {
        return setItem(kMp4RatingItem, fmpsRatingText(rating));
    }
    bool setPlayCount(std::uint32_t count) override {
        return setItem(kMp4PlayCountItem, std::to_string(count));
    }
    bool hasPicture() const override {
        return tag_.contains("covr") && !tag_.item("covr").toCoverArtList().isEmpty();
    }
    void addPicture(const std::vector<std::uint8_t>& jpeg) override {
        TagLib::MP4::CoverArtList pictures;
        pictures.append(TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::JPEG, bytesOf(jpeg)));
        tag_.setItem("covr", pictures);
    }
    std::string ratingText() const override { return item(kMp4RatingItem); }
    std::string playCountText() const override { return item(kMp4PlayCountItem); }

  private:
    std::string item(const char* name) const {
        return tag_.contains(name) ? firstText(tag_.item(name).toStringList()) : std::string();
    }

    bool setItem(const char* name, const std::string& value) {
        const StringList values{String(value)};
        if (tag_.contains(name) && tag_.item(name).toStringList() == values) {
            return false;
        }
        tag_.setItem(name, values);
        return true;
    }

    TagLib::MP4::Tag& tag_;
};

// The texts written where the file has none, under the tag library's common names, with the
// name each has in the log.
struct TextField {
    const char* property;
    std::string_view logName;
    bool (*present)(const TrackTags&);
    void (*write)(TagEditor&, const TrackTags&);
};

constexpr std::array<TextField, 7> kTextFields = {{
    {"TITLE", "title", [](const TrackTags& v) { return !v.title.empty(); },
     [](TagEditor& e, const TrackTags& v) { e.tag().setTitle(utf8(v.title)); }},
    {"ARTIST", "artist", [](const TrackTags& v) { return !v.artist.empty(); },
     [](TagEditor& e, const TrackTags& v) { e.tag().setArtist(utf8(v.artist)); }},
    {"ALBUM", "album", [](const TrackTags& v) { return !v.album.empty(); },
     [](TagEditor& e, const TrackTags& v) { e.tag().setAlbum(utf8(v.album)); }},
    {"GENRE", "genre", [](const TrackTags& v) { return !v.genre.empty(); },
     [](TagEditor& e, const TrackTags& v) { e.tag().setGenre(utf8(v.genre)); }},
    {"COMPOSER", "composer", [](const TrackTags& v) { return !v.composer.empty(); },
     [](TagEditor& e, const TrackTags& v) { e.setComposer(utf8(v.composer)); }},
    {"TRACKNUMBER", "track number", [](const TrackTags& v) { return v.trackNumber != 0; },
     [](TagEditor& e, const TrackTags& v) { e.tag().setTrack(v.trackNumber); }},
    {"DATE", "year", [](const TrackTags& v) { return v.year != 0; },
     [](TagEditor& e, const TrackTags& v) { e.tag().setYear(v.year); }},
}};

constexpr std::string_view kRatingName = "rating";
constexpr std::string_view kPlayCountName = "play count";
constexpr std::string_view kArtworkName = "artwork";

}  // namespace

std::unique_ptr<TagEditor> id3v2Editor(TagLib::ID3v2::Tag& tag,
                                       std::vector<const TagLib::Tag*> alsoRead) {
    return std::make_unique<Id3v2Editor>(tag, std::move(alsoRead));
}

std::unique_ptr<TagEditor> xiphEditor(TagLib::Ogg::XiphComment& comment, TagLib::FLAC::File* flac,
                                      std::vector<const TagLib::Tag*> alsoRead) {
    return std::make_unique<XiphEditor>(comment, flac, std::move(alsoRead));
}

std::unique_ptr<TagEditor> mp4Editor(TagLib::MP4::Tag& tag) {
    return std::make_unique<Mp4Editor>(tag);
}

std::vector<std::string_view> applyTrackTags(TagEditor& editor, const TrackTags& values) {
    std::vector<std::string_view> written;
    // The player's rating and count are newer than whatever the file holds; a player without
    // them says nothing about the file's own.
    if (values.rating > 0 && editor.setRating(values.rating)) {
        written.push_back(kRatingName);
    }
    if (values.playCount > 0 && editor.setPlayCount(values.playCount)) {
        written.push_back(kPlayCountName);
    }
    const TagLib::PropertyMap texts = editor.texts();
    for (const TextField& field : kTextFields) {
        if (field.present(values) && !holdsText(texts, field.property)) {
            field.write(editor, values);
            written.push_back(field.logName);
        }
    }
    if (!values.artworkJpeg.empty() && !editor.hasPicture()) {
        editor.addPicture(values.artworkJpeg);
        written.push_back(kArtworkName);
    }
    return written;
}

bool holdsTrackTags(const TagEditor& editor, const TrackTags& values,
                    const std::vector<std::string_view>& written) {
    const TagLib::PropertyMap texts = editor.texts();
    return std::all_of(written.begin(), written.end(), [&](std::string_view name) {
        if (name == kRatingName) {
            return editor.ratingText() == fmpsRatingText(values.rating);
        }
        if (name == kPlayCountName) {
            return editor.playCountText() == std::to_string(values.playCount);
        }
        if (name == kArtworkName) {
            return editor.hasPicture();
        }
        const auto field = std::find_if(kTextFields.begin(), kTextFields.end(),
                                        [&](const TextField& f) { return f.logName == name; });
        return field != kTextFields.end() && holdsText(texts, field->property);
    });
}

int popularimeterRating(std::uint32_t rating) {
    // Whole stars only: the common 0–255 scale has no halves. A half star rounds up, so that a
    // rated track never reads as unrated; values above five stars (a damaged record) are five.
    static constexpr std::array<int, 6> kByStars = {0, 1, 64, 128, 196, 255};
    if (rating == 0) {
        return 0;
    }
    const std::uint32_t stars = std::clamp<std::uint32_t>((std::min(rating, 100U) + 10) / 20, 1, 5);
    return kByStars[stars];
}

std::string fmpsRatingText(std::uint32_t rating) {
    // Built from digits, not printed as a floating-point number: the decimal separator must not
    // follow the user's locale.
    const std::uint32_t hundredths = std::min(rating, 100U);
    const std::uint32_t fraction = hundredths % 100;
    std::string text = std::to_string(hundredths / 100) + ".";
    if (fraction % 10 == 0) {
        text += std::to_string(fraction / 10);
    } else {
        text += static_cast<char>('0' + fraction / 10);
        text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

}  // namespace pelmar
