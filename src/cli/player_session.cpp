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

const char* sqliteProblem(SqliteOutcome::End end) {
    switch (end) {
        case SqliteOutcome::End::Read:
            break;
        case SqliteOutcome::End::Locked:
            return "is locked";
        case SqliteOutcome::End::Damaged:
            return "is damaged";
        case SqliteOutcome::End::ForeignSchema:
            return "is not laid out as this program knows it";
        case SqliteOutcome::End::Failed:
            break;
    }
    return "cannot be read";
}

void warnAbout(std::FILE* messages, const char* what, const SqliteOutcome& outcome,
               const char* consequence) {
    if (outcome.end == SqliteOutcome::End::Read) {
        if (!outcome.reason.empty()) {
            std::fprintf(messages, "pelmar: warning: %s: %s\n", what, outcome.reason.c_str());
        }
        return;
    }
    std::fprintf(messages, "pelmar: warning: %s %s (%s); %s\n", what, sqliteProblem(outcome.end),
                 outcome.reason.c_str(), consequence);
}

void warnAboutMusic(std::FILE* messages, const PlayerLibrary& library, const LoadReport& report) {
    if (report.inflation && report.inflation->end != ReadOutcome::End::EndOfData) {
        std::fprintf(messages,
                     "pelmar: warning: the compressed music database (%s) could not be inflated "
                     "whole: stopped at byte %llu (%s); %s\n",
                     std::string(kCompressedMusicDatabasePath).c_str(),
                     static_cast<unsigned long long>(report.inflation->offset),
                     report.inflation->reason.c_str(),
                     report.musicSource == MusicSource::SqliteFiles
                         ? "the library comes from the player's SQLite files instead"
                         : "using what was inflated before it");
    }
    if (report.libraryFiles) {
        warnAbout(messages, "the player's library files (iTunes Library.itlp)",
                  *report.libraryFiles,
                  report.musicSource == MusicSource::SqliteFiles
                      ? "using what could be read"
                      : "no tracks or playlists come from them");
    }
    switch (report.musicSource) {
        case MusicSource::None:
            std::fprintf(messages,
                         "pelmar: warning: the player at %s has no readable music database (%s); "
                         "no tracks or playlists are listed\n",
                         library.rootPath.c_str(), std::string(kMusicDatabasePath).c_str());
            break;
        case MusicSource::Uncompressed:
            warnAbout(messages, "music database", *report.music);
            break;
        case MusicSource::Compressed:
            warnAbout(messages, "compressed music database", *report.music);
            break;
        case MusicSource::SqliteFiles:
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
    warnAboutMusic(messages, library, *report);
    if (report->playCounts) {
        warnAbout(messages, "play-count file", *report->playCounts);
    }
    if (report->playData) {
        warnAbout(messages, "the player's play data (Dynamic.itdb)", *report->playData,
                  "play counts, times played and ratings are the music database's");
    }
    for (std::size_t i = 0; i < report->onTheGo.size(); ++i) {
        const std::string what = "on-the-go playlist file " + std::string(kOnTheGoPath) +
                                 (i > 0 ? "_" + std::to_string(i) : std::string());
        warnAbout(messages, what.c_str(), report->onTheGo[i]);
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
