#pragma once

#include <cstdint>
#include <optional>

#include "library/node_model.h"

namespace pelmar {

class PlayerLibrary;

// Whether `node` is an album of the tree or the list: the tracks of one album, perhaps limited to
// an artist or a composer.
[[nodiscard]] bool isAlbumNode(const NodeData& node);

// Whether the rows of `node` are albums, which the list draws with small covers.
[[nodiscard]] bool listsAlbums(const NodeData& node);

// The artwork image that stands for `node`: a track's own, or for an album the first of its
// tracks that has one, as the tracks of an album share their cover. Nothing for other nodes
// and for an album none of whose tracks has artwork.
[[nodiscard]] std::optional<std::uint32_t> coverImageOf(const PlayerLibrary& library,
                                                        const NodeData& node);

}  // namespace pelmar
