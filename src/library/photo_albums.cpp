#include "library/enumeration.h"
#include "library/photo_database_reader.h"
#include "library/player_library.h"

namespace pelmar {

std::string PlayerLibrary::photoAlbumName(const KernelId& album) const {
    return album.id < photoAlbumNames.size() ? photoAlbumNames[album.id] : std::string();
}

int PlayerLibrary::firstPhotoAlbum(KernelId& out) {
    photoAlbumCursor_ = 0;
    if (photoAlbumNames.empty()) {
        return 0;
    }
    out.id = 0;
    photoAlbumCursor_ = 1;
    return static_cast<int>(photoAlbumNames.size());
}

int PlayerLibrary::nextPhotoAlbum(KernelId& out) {
    if (photoAlbumCursor_ < 0 ||
        static_cast<std::size_t>(photoAlbumCursor_) >= photoAlbumNames.size()) {
        return 0;
    }
    out.id = static_cast<std::uint32_t>(photoAlbumCursor_);
    ++photoAlbumCursor_;
    return 1;
}

const std::vector<std::uint32_t>* PlayerLibrary::photoAlbumImageIds(const KernelId& album) const {
    if (album.id >= photoAlbumNames.size()) {
        return nullptr;
    }
    const auto it = photoAlbumItems.find(photoAlbumNames[album.id]);
    return it == photoAlbumItems.end() ? nullptr : &it->second;
}

int PlayerLibrary::firstPhotoAlbumItem(const KernelId& album, KernelId& out) {
    return enumeration::firstItem(photoAlbumImageIds(album), photoAlbumItemCursor_, out);
}

int PlayerLibrary::nextPhotoAlbumItem(const KernelId& album, KernelId& out) {
    return enumeration::nextItem(photoAlbumImageIds(album), photoAlbumItemCursor_, out);
}

int PlayerLibrary::firstSortedPhotoAlbum(KernelId& out) {
    return enumeration::firstCopy(sortedPhotoAlbumIds, sortedPhotoAlbumCursor_, out);
}

int PlayerLibrary::nextSortedPhotoAlbum(KernelId& out) {
    return enumeration::nextCopy(sortedPhotoAlbumIds, sortedPhotoAlbumCursor_, out);
}

void sortPhotoAlbums(PlayerLibrary& library) {
    library.sortedPhotoAlbumIds.clear();
    KernelId album;
    for (int more = library.firstPhotoAlbum(album); more != 0;
         more = library.nextPhotoAlbum(album)) {
        library.sortedPhotoAlbumIds.push_back(album);
    }
    library.sortedPhotoAlbumIds.sort();
}

}  // namespace pelmar
