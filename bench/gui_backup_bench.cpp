// A backup of a whole player through the backup sheet, against the same backup with `pelmar
// backup --all` in the same run: the time per track of each, and the longest the window's event
// loop was held while the run reported its progress. Run on the offscreen platform:
//   gui_backup_bench PLAYER PELMAR_EXECUTABLE WORK_FOLDER

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "app/main_frame.h"
#include "platform/system_volumes.h"
#include "ui/backup_control_page.h"
#include "ui/backup_sheet.h"
#include "ui/left_view.h"
#include "util/setting_names.h"
#include "util/settings_store.h"
#include "util/user_messages.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class PrintedMessages final : public pelmar::UserMessages {
  public:
    void information(std::string_view text) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: gui_backup_bench PLAYER PELMAR_EXECUTABLE WORK_FOLDER\n");
        return 2;
    }
    const std::string player = argv[1];
    const fs::path work = argv[3];
    const fs::path byCommand = work / "by-command";
    const fs::path byWindow = work / "by-window";
    fs::remove_all(byWindow);
    fs::create_directories(byWindow);

    // The command runs before and after the window, so that neither side gets the quieter disk.
    const auto runCommand = [&]() -> double {
        fs::remove_all(byCommand);
        fs::create_directories(byCommand);
        ::sync();
        const auto start = Clock::now();
        const std::string command = quoted(argv[2]) + " backup --player " + quoted(player) +
                                    " --to " + quoted(byCommand.string()) +
                                    " --all --quiet > /dev/null";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "pelmar backup failed\n");
            std::exit(1);
        }
        ::sync();
        return secondsSince(start);
    };
    double commandSeconds = runCommand();

    const pelmar::SystemVolumes system;
    PrintedMessages messages;
    pelmar::SettingsStore(pelmar::SettingsStore::defaultFolder())
        .writeString(pelmar::kSettingDestinationFolder, byWindow.string());
    pelmar::app::CMainFrame frame(system, messages, player + "/");
    frame.show();
    const auto windowStart = Clock::now();
    frame.connectCommand();
    std::size_t items = 0;
    qint64 longestHeldMs = 0;
    frame.setSheetRunner([&](QDialog& dialog) {
        auto& sheet = dynamic_cast<pelmar::ui::CBackupSheet&>(dialog);
        sheet.show();
        pelmar::ui::CBackupControlPage& page = sheet.controlPage();
        items = static_cast<std::size_t>(page.overallBar().maximum());
        // A timer that asks to run every 5 ms measures how long the event loop was kept from it.
        QElapsedTimer sinceTick;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout,
                         [&] { longestHeldMs = std::max(longestHeldMs, sinceTick.restart()); });
        QEventLoop finished;
        QObject::connect(&page, &pelmar::ui::CBackupControlPage::runFinished, &finished,
                         &QEventLoop::quit);
        page.beginPressed();
        sinceTick.start();
        tick.start(5);
        finished.exec();
        tick.stop();
    });
    frame.tree().setCurrentItem(frame.tree().topLevelItem(0));
    frame.backupFromTree();
    ::sync();
    const double windowSeconds = secondsSince(windowStart);
    commandSeconds = (commandSeconds + runCommand()) / 2;

    std::printf("Backup of the whole player, %zu items, loading included:\n", items);
    std::printf("  pelmar backup --all (mean of the run before and the run after)\n");
    std::printf("                        %8.2f s  %8.1f us per item\n", commandSeconds,
                commandSeconds / static_cast<double>(items) * 1e6);
    std::printf("  the backup sheet      %8.2f s  %8.1f us per item = %.2f x the command's\n",
                windowSeconds, windowSeconds / static_cast<double>(items) * 1e6,
                windowSeconds / commandSeconds);
    std::printf("  longest the window's event loop was held during the run: %lld ms\n",
                static_cast<long long>(longestHeldMs));
    return 0;
}
