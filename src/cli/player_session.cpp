#include "cli/player_session.h"

#include <sys/stat.h>

#include "cli/terminal_progress.h"
#include "library/connect.h"
#include "library/player_files.h"
#include "library/player_library.h"
#include "platform/system_volumes.h"
#include "util/user_messages.h"

namespace pelmar::cli {

namespace {

class PrintedMessages final : public UserMessages {
  public:
    PrintedMessages(std::FILE* out, TerminalProgress& progress) : out_(out), progress_(progress) {}
    void information(std::string_view text) override {
        progress_.clear();
        std::fprintf(out_, "%.*s\n", static_cast<int>(text.size()), text.data());
    }

  private:
    std::FILE* out_;
    TerminalProgress& progress_;
};

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void warnAbout(std::FILE* messages, const char* what, const ReadOutcome& outcome) {
    switch (outcome.end) {
        case ReadOutcome::End::EndOfData:
            break;
        case ReadOutcome::End::Malformed:
            std::fprintf(messages,
                         "pelmar: warning: the %s is damaged at byte %llu (%s); using what was "
                         "read before it\n",
                         what, static_cast<unsigned long long>(outcome.offset),
                         outcome.reason.c_str());
            break;
        case ReadOutcome::End::ReadError:
            std::fprintf(messages,
                         "pelmar: warning: reading the %s failed at byte %llu; using what was "
                         "read before it\n",
                         what, static_cast<unsigned long long>(outcome.offset));
            break;
    }
}

}  // namespace

int openPlayer(const std::string& given, PlayerLibrary& library, const SystemVolumes& system,
               std::FILE* messages) {
    const std::optional<std::string> root = explicitPlayerRoot(given);
    if (root) {
        if (!isFolder(*root)) {
            std::fprintf(messages, "pelmar: no such folder: %s\n", root->c_str());
            return kExitNoPlayer;
        }
        if (!system.holdsMarker(root->back() == '/' ? *root : *root + "/")) {
            std::fprintf(messages, "pelmar: %s is not a player: it holds no %s folder\n",
                         root->c_str(), std::string(kMarkerFolder).c_str());
            return kExitNoPlayer;
        }
    }

    std::optional<LoadReport> report;
    {
        TerminalProgress progress(messages);
        PrintedMessages printed(messages, progress);
        report = connect(library, progress, system, printed, root);
    }
    if (!report) {
        return kExitNoPlayer;
    }
    if (!report->music) {
        std::fprintf(messages,
                     "pelmar: warning: the player at %s has no readable music database (%s); no "
                     "tracks or playlists are listed\n",
                     library.rootPath.c_str(), std::string(kMusicDatabasePath).c_str());
    } else {
        warnAbout(messages, "music database", *report->music);
    }
    if (report->playCounts) {
        warnAbout(messages, "play-count file", *report->playCounts);
    }
    if (report->photos) {
        warnAbout(messages, "photo database", *report->photos);
    }
    if (report->artwork) {
        warnAbout(messages, "artwork database", *report->artwork);
    }
    return kExitOk;
}

}  // namespace pelmar::cli
