#include "backup/backup_selection.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>

#include "library/player_library.h"
#include "util/literal_store.h"
#include "util/protected_literals.h"

namespace pelmar {

namespace {

// A node waiting in the walk; the ones the walk made itself are freed once taken off.
struct PendingNode {
    const NodeData* node = nullptr;
    std::unique_ptr<NodeData> owned;
};

// Tracks and photos are kept by their own id: the same track at two places of a playlist, or
// the same photo in two albums, is still one file to copy.
void takeOnce(std::unordered_set<std::uint32_t>& taken, std::vector<KernelId>& list,
              std::uint32_t id) {
    if (taken.insert(id).second) {
        KernelId item;
        item.id = id;
        list.push_back(std::move(item));
    }
}

// Folders and track sets with the same filters have the same children: an artist reached again
// through each of its genres opens on the same albums. Their items are all taken the first time,
// so the walk expands each only once, which on a large library saves most of its work.
class ExpandedSets {
  public:
    // True the first time a folder or track set with these filters is offered.
    bool firstTime(const NodeData& node) {
        if (node.kind != NK_FOLDER && node.kind != NK_TRACKS) {
            return true;
        }
        std::string key;
        key.reserve(12 + node.text2.size() + node.text3.size());
        for (const std::uint32_t word :
             {static_cast<std::uint32_t>(node.kind), static_cast<std::uint32_t>(node.subkind),
              static_cast<std::uint32_t>(node.text2.size())}) {
            key.append(reinterpret_cast<const char*>(&word), sizeof word);
        }
        key += node.text2;
        key += node.text3;
        return seen_.insert(std::move(key)).second;
    }

  private:
    std::unordered_set<std::string> seen_;
};

BackupStart refuse(const ProtectedLiteral& message) {
    BackupStart start;
    start.refusal = reveal(message);
    return start;
}

}  // namespace

BackupSelection CollectBackupSelection(NodeSource& source,
                                       std::span<const NodeData* const> startNodes) {
    std::deque<PendingNode> queue;
    for (const NodeData* node : startNodes) {
        if (node != nullptr) {
            queue.push_back({node, nullptr});
        }
    }

    BackupSelection selection;
    std::unordered_set<std::uint32_t> takenTracks;
    std::unordered_set<std::uint32_t> takenPhotos;
    takenTracks.reserve(source.library.trackIds.size());
    ExpandedSets expanded;
    std::vector<std::unique_ptr<NodeData>> children;
    while (!queue.empty()) {
        const PendingNode current = std::move(queue.front());
        queue.pop_front();
        const NodeData& node = *current.node;

        if (node.kind == NK_PLAYLIST) {
            selection.playlists.push_back(node.itemId);
        } else if (node.kind == NK_PHOTO_ALBUM) {
            selection.photoAlbums.push_back(node.itemId);
        }

        if (node.kind == NK_PHOTO) {
            takeOnce(takenPhotos, selection.photos, node.itemId.id);
        } else if (isExpandable(node)) {
            if (!expanded.firstTime(node)) {
                continue;
            }
            children.clear();
            BuildChildNodes(source, &node, children);
            for (std::unique_ptr<NodeData>& child : children) {
                const NodeData* built = child.get();
                queue.push_back({built, std::move(child)});
            }
        } else if (node.kind == NK_TRACK || node.kind == NK_PLAYLIST_TRACK) {
            takeOnce(takenTracks, selection.tracks, node.itemId.id);
        }
    }
    return selection;
}

BackupStart backupStartFromTree(const NodeData* selected) {
    if (selected == nullptr) {
        return refuse(kLiteralTreeNoSelection);
    }
    BackupStart start;
    start.nodes.push_back(selected);
    return start;
}

BackupStart backupStartFromList(std::span<const NodeData* const> selectedRows) {
    if (selectedRows.empty()) {
        return refuse(kLiteralListNoSelection);
    }
    BackupStart start;
    for (const NodeData* row : selectedRows) {
        if (row != nullptr && row->kind != NK_PROPERTY) {
            start.nodes.push_back(row);
        }
    }
    if (start.nodes.empty()) {
        return refuse(kLiteralNothingToBackUp);
    }
    return start;
}

}  // namespace pelmar
