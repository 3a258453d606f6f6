#include "cli/player_session.h"

#include <sys/stat.h>

#include "cli/terminal_progress.h"
#include "library/player_files.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "platform/path_lookup.h"

namespace pelmar::cli {

namespace {

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

int openPlayer(const std::string& root, PlayerLibrary& library, std::FILE* messages) {
    if (!isFolder(root)) {
        std::fprintf(messages, "pelmar: no such folder: %s\n", root.c_str());
        return kExitNoPlayer;
    }
    std::string base = root;
    if (base.back() != '/') {
        base.push_back('/');
    }
    if (!isFolder(findPathIgnoringCase(base, kMarkerFolder))) {
        std::fprintf(messages, "pelmar: %s is not a player: it holds no %s folder\n", root.c_str(),
                     std::string(kMarkerFolder).c_str());
        return kExitNoPlayer;
    }

    LoadReport report;
    {
        TerminalProgress progress(messages);
        report = loadLibraryFromRoot(library, base, progress);
    }
    if (!report.music) {
        std::fprintf(messages,
                     "pelmar: warning: %s has no readable music database (%s); no tracks or "
                     "playlists are listed\n",
                     root.c_str(), std::string(kMusicDatabasePath).c_str());
    } else {
        warnAbout(messages, "music database", *report.music);
    }
    if (report.playCounts) {
        warnAbout(messages, "play-count file", *report.playCounts);
    }
    return kExitOk;
}

}  // namespace pelmar::cli
