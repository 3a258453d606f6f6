#include "tag_read_back.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/popularimeterframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

namespace pelmar::test {

namespace fs = std::filesystem;

namespace {

std::string asText(const TagLib::ByteVector& bytes) {
    return {bytes.data(), bytes.size()};
}

void readId3v2(TagLib::ID3v2::Tag& tag, ReadBack& back) {
    back.texts.merge(tag.properties());
    back.rating = back.text("FMPS_RATING");
    back.playCount = back.text("FMPS_PLAYCOUNT");
    for (TagLib::ID3v2::Frame* frame : tag.frameList("POPM")) {
        const auto* popularimeter = dynamic_cast<TagLib::ID3v2::PopularimeterFrame*>(frame);
        back.popularimeterRating = popularimeter->rating();
        back.popularimeterCount = popularimeter->counter();
    }
    for (TagLib::ID3v2::Frame* frame : tag.frameList("APIC")) {
        back.pictures.push_back(
            asText(dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame)->picture()));
    }
}

void readXiph(TagLib::Ogg::XiphComment& comment, ReadBack& back) {
    back.texts = comment.properties();
    back.rating = back.text("FMPS_RATING");
    back.playCount = back.text("FMPS_PLAYCOUNT");
    for (const TagLib::FLAC::Picture* picture : comment.pictureList()) {
        back.pictures.push_back(asText(picture->data()));
    }
}

}  // namespace

ReadBack readBack(const fs::path& path) {
    ReadBack back;
    const std::string extension = path.extension().string();
    if (extension == ".mp3") {
        TagLib::MPEG::File file(path.c_str());
        back.opened = file.isValid() && file.hasID3v2Tag();
        if (back.opened) {
            readId3v2(*file.ID3v2Tag(), back);
        }
    } else if (extension == ".wav") {
        TagLib::RIFF::WAV::File file(path.c_str());
        back.opened = file.isValid() && file.hasID3v2Tag();
        if (back.opened) {
            back.texts = file.InfoTag()->properties();
            readId3v2(*file.ID3v2Tag(), back);
        }
    } else if (extension == ".m4a") {
        TagLib::MP4::File file(path.c_str());
        back.opened = file.isValid();
        if (back.opened) {
            TagLib::MP4::Tag& tag = *file.tag();
            back.texts = tag.properties();
            const auto item = [&](const char* name) {
                const TagLib::StringList values = tag.item(name).toStringList();
                return values.isEmpty() ? std::string() : values.front().to8Bit(true);
            };
            back.rating = item("----:com.apple.iTunes:FMPS_Rating");
            back.playCount = item("----:com.apple.iTunes:FMPS_Playcount");
            for (const TagLib::MP4::CoverArt& picture : tag.item("covr").toCoverArtList()) {
                back.pictures.push_back(asText(picture.data()));
            }
        }
    } else if (extension == ".flac") {
        TagLib::FLAC::File file(path.c_str());
        back.opened = file.isValid() && file.hasXiphComment();
        if (back.opened) {
            readXiph(*file.xiphComment(), back);
            for (const TagLib::FLAC::Picture* picture : file.pictureList()) {
                back.pictures.push_back(asText(picture->data()));
            }
        }
    } else if (extension == ".ogg") {
        TagLib::Ogg::Vorbis::File file(path.c_str());
        back.opened = file.isValid();
        if (back.opened) {
            readXiph(*file.tag(), back);
        }
    }
    return back;
}

}  // namespace pelmar::test
