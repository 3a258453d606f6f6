#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/backup_command.h"
#include "library/node_model.h"

namespace pelmar::cli {

// The tree's nodes a backup request names, built the way the browser's tree builds them.
struct BackupTargets {
    std::vector<std::unique_ptr<NodeData>> owned;
    std::vector<const NodeData*> nodes;
    std::string missing;  // what the request names that the player does not have, if anything
};

[[nodiscard]] BackupTargets findBackupTargets(NodeSource& source, const BackupRequest& request);

}  // namespace pelmar::cli
