// The browser window on a large player, each figure against the same work in the core alone in
// the same run: connecting until the tree is filled (against loading the library), and showing
// "Songs (All Tracks)" until the list is painted (against building and ordering its rows). The
// player comes from PELMAR_BENCH_PLAYER, or is written to a temporary folder
// (PELMAR_BENCH_TRACKS tracks, 100,000 by default). Then, on a classic of as many tracks with
// artwork, paging through "Albums" with a cover in each row, against paging through the same
// list of the same player with its artwork put aside. Run on the offscreen platform.

#include <QApplication>
#include <QScrollBar>
#include <QTreeWidgetItem>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <sys/resource.h>

#include "app/main_frame.h"
#include "bench_player.h"
#include "cover_bench_player.h"
#include "library/connect.h"
#include "library/list_rows.h"
#include "library/node_model.h"
#include "platform/system_volumes.h"
#include "ui/cover_cache.h"
#include "ui/item_list_model.h"
#include "ui/left_view.h"
#include "ui/right_view.h"
#include "util/progress_reporter.h"
#include "util/user_messages.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class SilentMessages final : public pelmar::UserMessages {
  public:
    void information(std::string_view text) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
};

std::string playerRoot() {
    return pelmar::bench::benchPlayerRoot("gui-bench").string() + "/";
}

// The best of three runs, in milliseconds; `prepare` runs untimed before each.
double bestOfThree(const std::function<void()>& prepare, const std::function<void()>& measured) {
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
        prepare();
        const auto start = Clock::now();
        measured();
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& label) {
    for (int i = 0; parent != nullptr && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == label) {
            return parent->child(i);
        }
    }
    return nullptr;
}

constexpr int kAlbumPages = 50;

// Pages of "Albums" painted, and the rows they showed.
struct AlbumPaging {
    double milliseconds = 0;
    int rows = 0;
};

// Pages through kAlbumPages screens of "Albums" in a connected window, each one painted; the
// list is filled beforehand, untimed. With `awaitCovers`, each screen waits for the covers it
// asked for and is painted again with them, as the user sees it settle.
AlbumPaging pageThroughAlbums(pelmar::app::CMainFrame& frame, bool awaitCovers) {
    QTreeWidgetItem* rootItem = frame.tree().topLevelItem(0);
    QTreeWidgetItem* albums = childNamed(rootItem, QStringLiteral("Albums"));
    if (albums == nullptr) {
        std::fprintf(stderr, "the cover player did not connect\n");
        std::exit(1);
    }
    pelmar::ui::CRightView& list = frame.list();
    AlbumPaging paging;
    paging.milliseconds = bestOfThree(
        [&] {
            frame.tree().setCurrentItem(rootItem);
            list.forgetCovers();
            frame.tree().setCurrentItem(albums);
            QApplication::processEvents();
        },
        [&] {
            QScrollBar& bar = *list.verticalScrollBar();
            for (int page = 1; page <= kAlbumPages; ++page) {
                bar.setValue(page * bar.pageStep());
                list.viewport()->repaint();
                while (awaitCovers && list.covers().pendingCount() > 0) {
                    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
                }
                if (awaitCovers) {
                    list.viewport()->repaint();
                }
            }
            paging.rows = list.rowAt(list.viewport()->height() - 1) + 1;
        });
    return paging;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const std::string root = playerRoot();
    const pelmar::SystemVolumes system;
    SilentMessages messages;

    std::unique_ptr<pelmar::PlayerLibrary> library;
    const double coreLoad =
        bestOfThree([&] { library = std::make_unique<pelmar::PlayerLibrary>(); },
                    [&] {
                        pelmar::NullProgressReporter quiet;
                        pelmar::connect(*library, quiet, system, messages, root);
                    });
    const std::vector<std::uint32_t> noResults;
    pelmar::NodeSource source{*library, noResults, [](const std::string&) {
                                  return std::optional<pelmar::VolumeSpace>();
                              }};
    pelmar::NodeData songs;
    songs.kind = pelmar::NK_TRACKS;
    songs.subkind = pelmar::tracks_subkind::kSongs;
    std::vector<std::unique_ptr<pelmar::NodeData>> rows;
    std::size_t songCount = 0;
    const double coreSongs = bestOfThree([&] { rows.clear(); },
                                         [&] {
                                             pelmar::BuildChildNodes(source, &songs, rows);
                                             std::vector<pelmar::NodeData*> order;
                                             order.reserve(rows.size());
                                             for (const auto& row : rows) {
                                                 order.push_back(row.get());
                                             }
                                             pelmar::orderListRows(*library, songs, order);
                                             songCount = order.size();
                                         });
    rows.clear();
    library.reset();

    std::unique_ptr<pelmar::app::CMainFrame> frame;
    const double guiConnect = bestOfThree(
        [&] {
            frame.reset();
            frame = std::make_unique<pelmar::app::CMainFrame>(system, messages, root);
            frame->resize(1100, 700);
            frame->show();
            QApplication::processEvents();
        },
        [&] {
            frame->connectCommand();
            frame->list().viewport()->repaint();
        });
    QTreeWidgetItem* rootItem = frame->tree().topLevelItem(0);
    QTreeWidgetItem* songsItem = childNamed(rootItem, QStringLiteral("Songs (All Tracks)"));
    if (songsItem == nullptr) {
        std::fprintf(stderr, "the player did not connect\n");
        return 1;
    }
    const double guiSongs = bestOfThree(
        [&] {
            frame->tree().setCurrentItem(rootItem);
            QApplication::processEvents();
        },
        [&] {
            frame->tree().setCurrentItem(songsItem);
            frame->list().viewport()->repaint();
        });
    const int treeItems = [&] {
        int count = 0;
        std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
            ++count;
            for (int i = 0; i < item->childCount(); ++i) {
                walk(item->child(i));
            }
        };
        walk(rootItem);
        return count;
    }();

    frame.reset();

    const fs::path coverRoot = pelmar::bench::coverBenchPlayerRoot();
    const fs::path artwork = pelmar::bench::artworkFolderOf(coverRoot);
    const fs::path artworkAside = coverRoot.string() + "-artwork-aside";
    fs::rename(artwork, artworkAside);
    AlbumPaging plain;
    {
        pelmar::app::CMainFrame window(system, messages, coverRoot.string() + "/");
        window.resize(1100, 700);
        window.show();
        window.connectCommand();
        plain = pageThroughAlbums(window, false);
    }
    fs::rename(artworkAside, artwork);
    AlbumPaging covered;
    AlbumPaging settled;
    std::size_t albumRows = 0;
    {
        pelmar::app::CMainFrame window(system, messages, coverRoot.string() + "/");
        window.resize(1100, 700);
        window.show();
        window.connectCommand();
        covered = pageThroughAlbums(window, false);
        settled = pageThroughAlbums(window, true);
        albumRows = static_cast<std::size_t>(window.list().listModel().rowCount());
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Player: %s\n", root.c_str());
    std::printf("Reference: loading the library in the core alone     %8.1f ms\n", coreLoad);
    std::printf("Connect to a filled tree (%d tree items)       %8.1f ms = %.2f x the core load\n",
                treeItems, guiConnect, guiConnect / coreLoad);
    std::printf("Reference: building and ordering %zu song rows %8.1f ms\n", songCount, coreSongs);
    std::printf(
        "\"Songs (All Tracks)\" to a painted list            %8.1f ms = %.2f x the core's rows\n",
        guiSongs, guiSongs / coreSongs);
    std::printf("Reference: %d screens of %zu albums without artwork (to row %d) %8.1f ms\n",
                kAlbumPages, albumRows, plain.rows, plain.milliseconds);
    std::printf("The same with covers asked for (to row %d)      %8.1f ms = %.2f x without\n",
                covered.rows, covered.milliseconds, covered.milliseconds / plain.milliseconds);
    std::printf("The same, each screen's covers decoded and drawn %8.1f ms = %.2f x without\n",
                settled.milliseconds, settled.milliseconds / plain.milliseconds);
    std::printf("Peak memory (both runs in one process)           %8.1f MB\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
