#include <clocale>
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>

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

    CLI::App* options = app.add_subcommand("options", "Show or set the backup options");
    options->require_subcommand(0, 1);
    options->add_subcommand("show", "Show the backup options (the default)");
    std::string optionName;
    std::string optionValue;
    CLI::App* set = options->add_subcommand("set", "Set one backup option");
    set->add_option("NAME", optionName,
                    "DstFolder, FormatFolder, FormatFile, ExistHandling or "
                    "EnableiTunes")
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
    SettingsStore settings(SettingsStore::defaultFolder());
    if (set->parsed()) {
        return setOption(settings, optionName, optionValue, stderr);
    }
    return showOptions(settings, stdout);
}
