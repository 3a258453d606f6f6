#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/library_listing.h"
#include "cli/output_buffer.h"
#include "cli/player_session.h"
#include "library/player_library.h"
#include "library/track_search.h"

namespace {

using namespace pelmar;
using namespace pelmar::cli;

constexpr const char* kNoResults =
    "Search produced no results.  Please try a different search term.";

int finish(OutputBuffer& out) {
    if (!out.flush()) {
        std::fprintf(stderr, "pelmar: could not write the output\n");
        return kExitOutputFailed;
    }
    return kExitOk;
}

int runList(const std::string& player, const std::string& kindName, Format format) {
    const std::optional<ListKind> kind = parseListKind(kindName);
    PlayerLibrary library;
    if (const int status = openPlayer(player, library, stderr); status != kExitOk) {
        return status;
    }
    OutputBuffer out(stdout);
    printList(out, library, *kind, format);
    return finish(out);
}

int runSearch(const std::string& player, const std::string& term, Format format) {
    PlayerLibrary library;
    if (const int status = openPlayer(player, library, stderr); status != kExitOk) {
        return status;
    }
    std::vector<ListedTrack> found;
    for (const std::uint32_t id : searchTracks(library, library.codec().toUtf8(term))) {
        const MhTrackData* record = library.findTrack(id);
        found.push_back({id, record != nullptr ? record->mediaKind : 1});
    }
    OutputBuffer out(stdout);
    if (found.empty() && format == Format::Table) {
        std::fprintf(stderr, "%s\n", kNoResults);
        return finish(out);
    }
    printTracks(out, library, found, format);
    return finish(out);
}

}  // namespace

int main(int argc, char** argv) {
    // Only the character set follows the locale; dates keep their fixed English patterns.
    std::setlocale(LC_CTYPE, "");

    CLI::App app{"Copies a player's library back to the computer.", "pelmar"};
    app.set_version_flag("--version", std::string("pelmar ") + PELMAR_VERSION);
    app.require_subcommand(1);

    std::string player;
    bool json = false;
    const auto addPlayerOptions = [&](CLI::App* command) {
        command->add_option("--player", player, "Folder holding the player's iPod_Control folder")
            ->envname("PELMAR_PLAYER");
        command->add_flag("--json", json, "Print JSON instead of a table");
    };

    std::string kind;
    CLI::App* list = app.add_subcommand("list",
                                        "List the player's tracks, videos, podcasts, "
                                        "playlists, artists, albums, genres or composers");
    list->add_option("KIND", kind, "What to list")
        ->required()
        ->check(CLI::IsMember(
            std::vector<std::string>(listKindNames().begin(), listKindNames().end())));
    addPlayerOptions(list);

    std::string term;
    CLI::App* search = app.add_subcommand(
        "search", "List the tracks whose artist, album, title, genre or composer contains TERM");
    search->add_option("TERM", term, "Text to look for, without regard to case")->required();
    addPlayerOptions(search);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? kExitOk : kExitUsage;
    }
    if (player.empty()) {
        std::fprintf(stderr, "pelmar: no player given: use --player DIR or set PELMAR_PLAYER\n");
        return kExitUsage;
    }
    const Format format = json ? Format::Json : Format::Table;
    if (list->parsed()) {
        return runList(player, kind, format);
    }
    return runSearch(player, term, format);
}
