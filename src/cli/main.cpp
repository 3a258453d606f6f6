#include <clocale>
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/backup_command.h"
#include "cli/device_summary.h"
#include "cli/library_listing.h"
#include "cli/options_command.h"
#include "cli/output_buffer.h"
#include "cli/player_session.h"
#include "library/player_library.h"
#include "library/track_search.h"
#include "platform/system_volumes.h"
#include "util/settings_store.h"

namespace {

using namespace pelmar;
using namespace pelmar::cli;

constexpr const char* kNoResults =
    "Search produced no results.  Please try a different search term.";

int finish(OutputBuffer& out) {
    if (!out.flush()) {
        std::fprintf(stderr, "pelmar: could not write the output\n");
        return kExitFailed;
    }
    return kExitOk;
}

struct PlayerCommand {
    std::string player;
    bool json = false;

    [[nodiscard]] Format format() const { return json ? Format::Json : Format::Table; }

    void addOptions(CLI::App* command) {
        command->add_option("--player", player,
                            "Folder holding the player's iPod_Control folder (default: "
                            "$PELMAR_PLAYER, else the mounted player)");
        command->add_flag("--json", json, "Print JSON instead of a table");
    }
};

int runList(const PlayerCommand& command, const std::string& kindName) {
    PlayerLibrary library;
    const SystemVolumes system;
    if (const int status = openPlayer(command.player, library, system, stderr); status != kExitOk) {
        return status;
    }
    OutputBuffer out(stdout);
    printList(out, library, *parseListKind(kindName), command.format());
    return finish(out);
}

int runSearch(const PlayerCommand& command, const std::string& term) {
    PlayerLibrary library;
    const SystemVolumes system;
    if (const int status = openPlayer(command.player, library, system, stderr); status != kExitOk) {
        return status;
    }
    std::vector<ListedTrack> found;
    for (const std::uint32_t id : searchTracks(library, library.codec().toUtf8(term))) {
        const MhTrackData* record = library.findTrack(id);
        found.push_back({id, record != nullptr ? record->mediaKind : 1});
    }
    OutputBuffer out(stdout);
    if (found.empty() && command.format() == Format::Table) {
        std::fprintf(stderr, "%s\n", kNoResults);
        return finish(out);
    }
    printTracks(out, library, found, command.format());
    return finish(out);
}

int runInfo(const PlayerCommand& command) {
    PlayerLibrary library;
    const SystemVolumes system;
    if (const int status = openPlayer(command.player, library, system, stderr); status != kExitOk) {
        return status;
    }
    OutputBuffer out(stdout);
    printDeviceSummary(out, library, system, command.format());
    return finish(out);
}

}  // namespace

int main(int argc, char** argv) {
    // Only the character set follows the locale; dates keep their fixed English patterns.
    std::setlocale(LC_CTYPE, "");

    CLI::App app{"Copies a player's library back to the computer.", "pelmar"};
    app.set_version_flag("--version", std::string("pelmar ") + PELMAR_VERSION);
    app.require_subcommand(1);

    PlayerCommand playerCommand;

    std::string kind;
    CLI::App* list = app.add_subcommand(
        "list",
        "List the player's tracks, videos, podcasts, playlists, artists, albums, genres, "
        "composers, photos or photo albums");
    list->add_option("KIND", kind, "What to list")
        ->required()
        ->check(CLI::IsMember(
            std::vector<std::string>(listKindNames().begin(), listKindNames().end())));
    playerCommand.addOptions(list);

    std::string term;
    CLI::App* search = app.add_subcommand(
        "search", "List the tracks whose artist, album, title, genre or composer contains TERM");
    search->add_option("TERM", term, "Text to look for, without regard to case")->required();
    playerCommand.addOptions(search);

    CLI::App* info = app.add_subcommand(
        "info", "Show the player's model, mount point, capacity, free space and contents");
    playerCommand.addOptions(info);

    BackupRequest backupRequest;
    CLI::App* backup = app.add_subcommand(
        "backup", "Copy tracks, videos, playlists and photos from the player to a folder");
    backup->add_option("--player", backupRequest.player,
                       "Folder holding the player's iPod_Control folder (default: "
                       "$PELMAR_PLAYER, else the mounted player)");
    backup->add_option("--to", backupRequest.destination,
                       "Backup folder (default: the stored DstFolder option)");
    backup->add_flag("--all", backupRequest.all, "Everything on the player");
    backup->add_flag("--songs", backupRequest.songs, "Every song");
    backup->add_flag("--videos", backupRequest.videos, "Every video");
    backup->add_flag("--podcasts", backupRequest.podcasts, "Every podcast");
    backup->add_flag("--photos", backupRequest.photos, "Every photo album and its photos");
    const auto named = [&](const char* option, std::vector<std::string>& into, const char* help) {
        backup->add_option(option, into, help)
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    };
    named("--playlist", backupRequest.playlists, "A playlist and its tracks (repeatable)");
    named("--artist", backupRequest.artists, "Every track of an artist (repeatable)");
    named("--album", backupRequest.albums, "Every track of an album (repeatable)");
    named("--genre", backupRequest.genres, "Every track of a genre (repeatable)");
    named("--composer", backupRequest.composers, "Every track of a composer (repeatable)");
    named("--photo-album", backupRequest.photoAlbums, "A photo album and its photos (repeatable)");
    named("--search", backupRequest.searches, "The tracks a search for TERM finds (repeatable)");
    backup->add_option("--folder-format", backupRequest.folderFormat,
                       "Folder template for this run, e.g. 'Artist\\Album\\'");
    backup->add_option("--file-format", backupRequest.fileFormat,
                       "File template for this run, e.g. 'Artist - Title.ext'");
    backup->add_option("--existing", backupRequest.existing,
                       "When a file exists already: skip, overwrite or rename");
    backup->add_flag("--itunes", backupRequest.itunes, "Insert into the iTunes library too");
    CLI::Option* artwork = backup->add_flag(
        "--artwork", backupRequest.artwork,
        "Save each album's cover beside its tracks (default: the stored SaveArtwork option)");
    backup->add_flag("--no-artwork", backupRequest.noArtwork, "Save no album covers")
        ->excludes(artwork);
    backup->add_flag("--write-tags", backupRequest.writeTags,
                     "Write ratings, play counts and missing tags into the copied files");
    backup->add_flag("--quiet", backupRequest.quiet, "Print only the results");
    backup->add_flag("--json", backupRequest.json, "Print the results as JSON");

    CLI::App* options = app.add_subcommand("options", "Show or set the backup options");
    options->require_subcommand(0, 1);
    options->add_subcommand("show", "Show the backup options (the default)");
    std::string optionName;
    std::string optionValue;
    CLI::App* set = options->add_subcommand("set", "Set one backup option");
    set->add_option("NAME", optionName,
                    "DstFolder, FormatFolder, FormatFile, ExistHandling, EnableiTunes, "
                    "SaveArtwork or WriteTags")
        ->required();
    set->add_option("VALUE", optionValue, "The new value")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? kExitOk : kExitUsage;
    }

    if (list->parsed()) {
        return runList(playerCommand, kind);
    }
    if (search->parsed()) {
        return runSearch(playerCommand, term);
    }
    if (info->parsed()) {
        return runInfo(playerCommand);
    }
    if (backup->parsed()) {
        return runBackup(backupRequest);
    }
    SettingsStore settings(SettingsStore::defaultFolder());
    if (set->parsed()) {
        return setOption(settings, optionName, optionValue, stderr);
    }
    return showOptions(settings, stdout);
}
