#pragma once

#include <span>
#include <string>
#include <vector>

#include "library/kernel_id.h"
#include "library/node_model.h"

namespace pelmar {

// What a backup works on, each list in the order the walk found it. Tracks and photos hold only
// their ids, each once.
struct BackupSelection {
    std::vector<KernelId> tracks;
    std::vector<KernelId> playlists;
    std::vector<KernelId> photoAlbums;
    std::vector<KernelId> photos;
};

// Expands the picked nodes breadth-first until only items remain. The start nodes stay the
// caller's; null ones are skipped.
[[nodiscard]] BackupSelection CollectBackupSelection(NodeSource& source,
                                                     std::span<const NodeData* const> startNodes);

// The nodes a backup starts from, or the message shown instead of opening the backup.
struct BackupStart {
    std::vector<const NodeData*> nodes;
    std::string refusal;  // empty when there are nodes to start from

    [[nodiscard]] bool refused() const { return !refusal.empty(); }
};

// The tree's selected node, when there is one.
[[nodiscard]] BackupStart backupStartFromTree(const NodeData* selected);

// The list's selected rows in list order, without missing payloads and property rows.
[[nodiscard]] BackupStart backupStartFromList(std::span<const NodeData* const> selectedRows);

}  // namespace pelmar
