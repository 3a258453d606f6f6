// Writes PNG pictures of the main window connected to a player, for looking at the window
// without a display: the root, an artist, a playlist, the device information, the status band
// during the connect, a photo album and a photo's preview, and the backup sheet before, during
// (paused) and after a backup of everything, with its options page. Given a second player that
// holds artwork, also an album with its cover beside the list and the album list with a cover
// in each row.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QProgressBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidgetItem>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/status_band.h"
#include "ui/cover_panel.h"
#include "platform/system_volumes.h"
#include "ui/backup_control_page.h"
#include "ui/backup_sheet.h"
#include "ui/cover_cache.h"
#include "ui/item_list_model.h"
#include "ui/left_view.h"
#include "ui/right_view.h"
#include "util/setting_names.h"
#include "util/settings_store.h"
#include "util/user_messages.h"

namespace {

class PrintedMessages final : public pelmar::UserMessages {
  public:
    void information(std::string_view text) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
};

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& label) {
    for (int i = 0; parent != nullptr && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == label) {
            return parent->child(i);
        }
    }
    return nullptr;
}

// The child of `parent` with the most children of its own: the fullest picture of its kind.
QTreeWidgetItem* fullestChild(QTreeWidgetItem* parent) {
    QTreeWidgetItem* fullest = nullptr;
    for (int i = 0; parent != nullptr && i < parent->childCount(); ++i) {
        if (fullest == nullptr || parent->child(i)->childCount() > fullest->childCount()) {
            fullest = parent->child(i);
        }
    }
    return fullest;
}

// Lets the window settle for a moment, as a user would see it.
void settle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Lets the window work until `done` holds; false, saying so, when `seconds` pass first. The
// tool looks at what the window shows rather than waiting for a signal, which may have gone
// before the wait began.
bool waitUntil(const std::function<bool()>& done, int seconds, const char* what) {
    const QDeadlineTimer deadline{std::chrono::seconds(seconds)};
    while (!done()) {
        if (deadline.hasExpired()) {
            std::fprintf(stderr, "pelmar-screenshots: gave up after %d s waiting for %s\n", seconds,
                         what);
            return false;
        }
        settle(10);
    }
    return true;
}

bool save(QWidget& window, const QDir& folder, const QString& name) {
    QApplication::processEvents();
    const QString path = folder.filePath(name);
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "pelmar-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Lets the window decode the covers it asked for and draw them.
bool awaitCovers(pelmar::app::CMainFrame& frame) {
    frame.list().viewport()->repaint();
    frame.coverPanel().repaint();
    return waitUntil([&] { return frame.list().covers().pendingCount() == 0; }, 60,
                     "the covers");
}

// The row of the fullest album with a cover in the list of albums shown.
int fullestAlbumWithCover(const pelmar::ui::ItemListModel& albums) {
    int fullest = -1;
    for (int row = 0; row < albums.rowCount(); ++row) {
        if (albums.coverImageAt(row) &&
            (fullest < 0 || albums.rowAt(row)->count > albums.rowAt(fullest)->count)) {
            fullest = row;
        }
    }
    return fullest;
}

// The list of albums with their covers, the fullest album with a cover selected in it, and that
// album opened.
bool saveCovers(const std::string& playerRoot, const QDir& out) {
    const pelmar::SystemVolumes system;
    PrintedMessages messages;
    pelmar::app::CMainFrame frame(system, messages, playerRoot);
    frame.resize(1100, 700);
    frame.show();
    frame.connectCommand();
    if (frame.library().isConnected == 0) {
        std::fprintf(stderr, "pelmar-screenshots: no player at %s\n", playerRoot.c_str());
        return false;
    }
    QTreeWidgetItem* albums = childNamed(frame.tree().topLevelItem(0), "Albums");
    frame.tree().setCurrentItem(albums);
    const int fullest = fullestAlbumWithCover(frame.list().listModel());
    if (fullest < 0) {
        std::fprintf(stderr, "pelmar-screenshots: no album has a cover\n");
        return false;
    }
    frame.list().selectRow(fullest);
    bool written = awaitCovers(frame) && save(frame, out, "album-covers.png");
    frame.tree().setCurrentItem(
        childNamed(albums, QString::fromStdString(frame.list().listModel().rowAt(fullest)->name)));
    frame.list().selectRow(0);
    QApplication::processEvents();
    written = awaitCovers(frame) && save(frame, out, "album-cover.png") && written;
    return written;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3 && arguments.size() != 4) {
        std::fprintf(stderr,
                     "usage: pelmar-screenshots PLAYER_FOLDER OUTPUT_FOLDER [ARTWORK_PLAYER]\n");
        return 2;
    }
    const QDir out(arguments[2]);
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "pelmar-screenshots: cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    const pelmar::SystemVolumes system;
    PrintedMessages messages;
    pelmar::app::CMainFrame frame(system, messages, arguments[1].toStdString());
    frame.resize(1100, 700);
    frame.show();

    // The band is caught half way through the load, when its bar shows progress.
    QPixmap connecting;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QProgressBar& bar = frame.statusBand().progressBar();
        if (frame.statusBand().isVisible() &&
            (connecting.isNull() || bar.value() <= (bar.minimum() + bar.maximum()) / 2)) {
            connecting = frame.grab();
        }
    });
    watch.start(0);
    frame.connectCommand();
    watch.stop();
    if (frame.library().isConnected == 0) {
        std::fprintf(stderr, "pelmar-screenshots: no player at %s\n", qPrintable(arguments[1]));
        return 1;
    }
    bool written = !connecting.isNull() && connecting.save(out.filePath("connecting.png"));
    if (written) {
        std::printf("%s\n", qPrintable(out.filePath("connecting.png")));
    }
    pelmar::ui::CLeftView& tree = frame.tree();
    QTreeWidgetItem* root = tree.topLevelItem(0);
    written = save(frame, out, "root.png") && written;
    tree.setCurrentItem(fullestChild(childNamed(root, "Artists")));
    written = save(frame, out, "artist.png") && written;
    tree.setCurrentItem(fullestChild(childNamed(root, "Playlists")));
    written = save(frame, out, "playlist.png") && written;
    tree.setCurrentItem(childNamed(root, "Device Information"));
    written = save(frame, out, "device-information.png") && written;

    tree.setCurrentItem(fullestChild(childNamed(root, "Photos")));
    written = save(frame, out, "photo-album.png") && written;
    frame.list().selectRow(0);
    frame.list().previewPhoto();
    written = save(frame, out, "photo-preview.png") && written;

    // The backup of everything goes to a folder that is removed again afterwards.
    const QTemporaryDir backup;
    pelmar::SettingsStore(pelmar::SettingsStore::defaultFolder())
        .writeString(pelmar::kSettingDestinationFolder, backup.path().toStdString());
    frame.setSheetRunner([&](QDialog& dialog) {
        auto& sheet = dynamic_cast<pelmar::ui::CBackupSheet&>(dialog);
        sheet.resize(560, 720);
        sheet.show();
        pelmar::ui::CBackupControlPage& page = sheet.controlPage();
        written = save(sheet, out, "backup-before-start.png") && written;
        page.beginPressed();
        if (page.state() == pelmar::TransferState::Idle) {
            std::fprintf(stderr, "pelmar-screenshots: the backup was refused\n");
            written = false;
            return;
        }
        written = waitUntil([&] { return page.overallBar().value() > 0 || page.runEnded(); }, 60,
                            "the backup to start") &&
                  written;
        // On a fast machine the run may be over before it can be paused; the picture then
        // shows it completed, and the tool goes on.
        if (page.state() == pelmar::TransferState::Running) {
            page.beginPressed();
        }
        settle(300);
        written = save(sheet, out, "backup-paused.png") && written;
        if (page.state() == pelmar::TransferState::Paused) {
            page.beginPressed();
        }
        written =
            waitUntil([&] { return page.runEnded(); }, 300, "the backup to finish") && written;
        written = save(sheet, out, "backup-completed.png") && written;
        sheet.pages().setCurrentIndex(1);
        written = save(sheet, out, "backup-options.png") && written;
        sheet.reject();
    });
    tree.setCurrentItem(root);
    frame.backupFromTree();
    if (arguments.size() == 4) {
        written = saveCovers(arguments[3].toStdString(), out) && written;
    }
    return written ? 0 : 1;
}
