#pragma once

#include <string>
#include <vector>

#include "library/kernel_id.h"

namespace pelmar {

// Ids of playlists or photo albums, sorted by the names they index in their owner's name list.
// Names compare byte for byte, so upper case sorts before lower case; an id past the end of
// the list has the empty name and sorts first.
class SortableNameIdArray : public std::vector<KernelId> {
  public:
    explicit SortableNameIdArray(const std::vector<std::string>& names) : names_(&names) {}
    void sort();

  private:
    const std::vector<std::string>* names_;
};

using SortablePlaylistIdArray = SortableNameIdArray;
using SortablePhotoAlbumIdArray = SortableNameIdArray;

}  // namespace pelmar
