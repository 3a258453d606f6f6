#include "cli/backup_targets.h"

#include "library/player_library.h"

namespace pelmar::cli {

namespace {

class TargetFinder {
  public:
    TargetFinder(NodeSource& source, BackupTargets& targets) : source_(source), targets_(targets) {}

    const NodeData* build(const NodeData* parent, std::int32_t kind, std::int32_t subkind) {
        for (const NodeData* child : childrenOf(parent)) {
            if (child->kind == kind && child->subkind == subkind) {
                return child;
            }
        }
        return nullptr;
    }

    std::vector<const NodeData*> childrenOf(const NodeData* parent) {
        std::vector<std::unique_ptr<NodeData>> children;
        BuildChildNodes(source_, parent, children);
        std::vector<const NodeData*> result;
        for (auto& child : children) {
            result.push_back(child.get());
            targets_.owned.push_back(std::move(child));
        }
        return result;
    }

    // Every child of `category` whose name is one of `names`; names not found are reported.
    void pickNamed(const NodeData* category, const std::vector<std::string>& names,
                   const char* what) {
        if (names.empty() || category == nullptr) {
            return;
        }
        const std::vector<const NodeData*> children = childrenOf(category);
        for (const std::string& name : names) {
            bool found = false;
            for (const NodeData* child : children) {
                if (source_.library.codec().toUtf8(child->name) == name) {
                    targets_.nodes.push_back(child);
                    found = true;
                }
            }
            if (!found && targets_.missing.empty()) {
                targets_.missing = std::string("no ") + what + " named \"" + name + "\"";
            }
        }
    }

  private:
    NodeSource& source_;
    BackupTargets& targets_;
};

}  // namespace

BackupTargets findBackupTargets(NodeSource& source, const BackupRequest& request) {
    BackupTargets targets;
    TargetFinder finder(source, targets);
    const NodeData* root = finder.build(nullptr, NK_FOLDER, folder_subkind::kRoot);
    if (root == nullptr) {
        targets.missing = "no library";
        return targets;
    }
    if (request.all) {
        targets.nodes.push_back(root);
        return targets;
    }
    const std::vector<const NodeData*> categories = finder.childrenOf(root);
    const auto category = [&](std::int32_t kind, std::int32_t subkind) -> const NodeData* {
        for (const NodeData* node : categories) {
            if (node->kind == kind && node->subkind == subkind) {
                return node;
            }
        }
        return nullptr;
    };
    const auto pickCategory = [&](bool wanted, std::int32_t kind, std::int32_t subkind) {
        if (const NodeData* node = category(kind, subkind); wanted && node != nullptr) {
            targets.nodes.push_back(node);
        }
    };
    pickCategory(request.songs, NK_TRACKS, tracks_subkind::kSongs);
    pickCategory(request.podcasts, NK_TRACKS, tracks_subkind::kPodcasts);
    pickCategory(request.videos, NK_TRACKS, tracks_subkind::kVideos);
    pickCategory(request.photos, NK_FOLDER, folder_subkind::kPhotos);
    pickCategory(!request.searches.empty(), NK_TRACKS, tracks_subkind::kSearchResults);
    finder.pickNamed(category(NK_FOLDER, folder_subkind::kPlaylists), request.playlists,
                     "playlist");
    finder.pickNamed(category(NK_FOLDER, folder_subkind::kArtists), request.artists, "artist");
    finder.pickNamed(category(NK_FOLDER, folder_subkind::kAlbums), request.albums, "album");
    finder.pickNamed(category(NK_FOLDER, folder_subkind::kGenres), request.genres, "genre");
    finder.pickNamed(category(NK_FOLDER, folder_subkind::kComposers), request.composers,
                     "composer");
    finder.pickNamed(category(NK_FOLDER, folder_subkind::kPhotos), request.photoAlbums,
                     "photo album");
    return targets;
}

}  // namespace pelmar::cli
