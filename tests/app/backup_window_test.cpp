#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "app/main_frame.h"
#include "backup/system_itunes.h"
#include "backup/transfer_log.h"
#include "library/removal_watch.h"
#include "platform/system_volumes.h"
#include "player_image/player_image.h"
#include "support/recorded_messages.h"
#include "support/temp_folder.h"
#include "ui/backup_control_page.h"
#include "ui/backup_options_page.h"
#include "ui/backup_sheet.h"
#include "ui/desktop_shell.h"
#include "ui/item_list_model.h"
#include "ui/left_view.h"
#include "ui/right_view.h"
#include "util/display_name.h"
#include "util/literal_store.h"
#include "util/protected_literals.h"
#include "util/setting_names.h"
#include "util/settings_store.h"
#include "util/user_messages.h"

namespace pelmar::app {

namespace {

namespace fs = std::filesystem;
namespace image = player_image;

class RecordingShell final : public ui::DesktopShell {
  public:
    QString chooseFolder(QWidget* /*parent*/, const QString& title,
                         const QString& /*start*/) override {
        titles.push_back(title);
        return chosen;
    }
    void open(const QString& path) override { opened.push_back(path); }

    QString chosen;
    QStringList titles;
    QStringList opened;
};

std::vector<std::string> filesUnder(const fs::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().lexically_relative(folder).string());
        }
    }
    return files;
}

std::size_t countEnding(const std::vector<std::string>& files, std::string_view ending) {
    return static_cast<std::size_t>(std::count_if(files.begin(), files.end(), [&](const auto& f) {
        return f.size() >= ending.size() &&
               f.compare(f.size() - ending.size(), ending.size(), ending) == 0;
    }));
}

}  // namespace

class BackupWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void optionsSheetStoresEachChangeAtOnceAndPreviewsTheFirstTrack();
    void previewOfATrackWithoutAlbumAndOfAnUnknownTemplate();
    void summaryShowsTheSelectionAndTheShortenedFolder();
    void refusesToStartWithoutAFolderOrWithoutRoom();
    void backsUpThroughTheSheetWithPauseContinueAndCompletion();
    void cancelWhilePausedEndsWithoutPlaylistsOrPhotos();
    void closeIsRefusedWhileARunIsUnderWay();
    void entryPointsFollowTheActivePaneAndRefuseEmptySelections();
    void playerUnpluggedDuringABackupIsDisconnectedOnceTheSheetCloses();
    void damagedSettingsShowTheDefaultsAndAreReplacedByTheNextChange();
    void runWhoseLogCannotBeCreatedStillCompletesWithWholeFiles();
    void anotherRunHoldingTheLogIsNamedAndNothingStarts();

  private:
    // Opens the backup of the tree's selected node and runs `drive` on its sheet.
    void withSheetFromTree(const std::function<void(ui::CBackupSheet&)>& drive);
    static void waitForTheRunToFinish(ui::CBackupControlPage& page);

    test::TempFolder folder_;
    std::string root_;
    fs::path backup_;
    SystemVolumes system_;
    test::RecordedMessages messages_;
    RecordingShell shell_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<SettingsStore> settings_;
};

void BackupWindowTest::initTestCase() {
    qputenv("PELMAR_CONFIG_DIR", QByteArray::fromStdString((folder_.path() / "config").string()));
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString((folder_.path() / "runtime").string()));
    fs::create_directories(folder_.path() / "runtime");
    fs::permissions(folder_.path() / "runtime", fs::perms::owner_all);
    root_ = (folder_.path() / "player").string() + "/";
    image::Options options;
    options.trackCount = 40;
    options.photoCount = 6;
    options.seed = 7;
    std::string error;
    QVERIFY2(image::writePlayerImage(image::generatePlayerImage(options), root_, options, error),
             error.c_str());
}

void BackupWindowTest::init() {
    fs::remove_all(folder_.path() / "config");
    backup_ = folder_.path() / "backup";
    fs::remove_all(backup_);
    fs::create_directories(backup_);
    messages_.texts.clear();
    shell_ = {};
    settings_ = std::make_unique<SettingsStore>(SettingsStore::defaultFolder());
    frame_ = std::make_unique<CMainFrame>(system_, messages_, root_);
    frame_->setDesktopShell(shell_);
    frame_->show();
    frame_->connectCommand();
    QCOMPARE(frame_->library().isConnected, 1);
}

void BackupWindowTest::cleanup() {
    frame_.reset();
}

void BackupWindowTest::withSheetFromTree(const std::function<void(ui::CBackupSheet&)>& drive) {
    bool opened = false;
    frame_->setSheetRunner([&](QDialog& dialog) {
        auto* sheet = dynamic_cast<ui::CBackupSheet*>(&dialog);
        QVERIFY(sheet != nullptr);
        opened = true;
        sheet->show();
        drive(*sheet);
    });
    frame_->backupFromTree();
    QVERIFY(opened);
}

void BackupWindowTest::waitForTheRunToFinish(ui::CBackupControlPage& page) {
    QSignalSpy finished(&page, &ui::CBackupControlPage::runFinished);
    QVERIFY(finished.wait(30'000));
}

void BackupWindowTest::optionsSheetStoresEachChangeAtOnceAndPreviewsTheFirstTrack() {
    frame_->setSheetRunner([&](QDialog& dialog) {
        auto* sheet = dynamic_cast<ui::CCustomSheet*>(&dialog);
        QVERIFY(sheet != nullptr);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Backup Options"));
        ui::CBackupOptionsPage& page = sheet->optionsPage();
        QCOMPARE(page.folderEdit().text(), QStringLiteral("Please select a destination folder."));
        QCOMPARE(page.folderTemplates().currentText(), QStringLiteral("[ No subfolders ]"));
        QCOMPARE(page.existingFileChoices().currentText(), QStringLiteral("do not copy"));
        QCOMPARE(page.preview().topLevelItemCount(), 1);
        QVERIFY(page.preview().topLevelItem(0)->text(0).endsWith(QStringLiteral(".mp3")) ||
                page.preview().topLevelItem(0)->text(0).contains('.'));

        page.folderTemplates().setCurrentText(QStringLiteral("Artist\\Album\\"));
        QCOMPARE(settings_->string(kSettingFolderTemplate, ""), "Artist\\Album\\");
        QTreeWidgetItem* artist = page.preview().topLevelItem(0);
        QCOMPARE(artist->childCount(), 1);
        QCOMPARE(artist->child(0)->childCount(), 1);
        QVERIFY(artist->isExpanded());

        page.existingFileChoices().setCurrentIndex(2);
        QCOMPARE(settings_->string(kSettingExistingFile, ""), "copy to new name");
        page.iTunesBox().click();
        QCOMPARE(settings_->number(kSettingEnableITunes, 7), 1U);
        QVERIFY(page.artworkBox().isChecked());
        QVERIFY(!page.tagsBox().isChecked());
        page.artworkBox().click();
        page.tagsBox().click();
        QCOMPARE(settings_->number(kSettingSaveArtwork, 7), 0U);
        QCOMPARE(settings_->number(kSettingWriteTags, 7), 1U);

        shell_.chosen = QString::fromStdString(backup_.string());
        page.chooseFolder();
        QCOMPARE(shell_.titles, QStringList{QStringLiteral("Select a folder to copy files to:")});
        QCOMPARE(settings_->string(kSettingDestinationFolder, ""), backup_.string());
        QCOMPARE(page.preview().topLevelItem(0)->text(0), shell_.chosen);
        shell_.chosen.clear();
        page.chooseFolder();
        QCOMPARE(settings_->string(kSettingDestinationFolder, ""), backup_.string());
        page.openFolder();
        QCOMPARE(shell_.opened, QStringList{QString::fromStdString(backup_.string())});
    });
    frame_->backupOptionsCommand();
}

void BackupWindowTest::previewOfATrackWithoutAlbumAndOfAnUnknownTemplate() {
    settings_->writeString(kSettingFolderTemplate, "Artist\\Album\\");
    settings_->writeString(kSettingFileTemplate, "No such template");
    // An id no track has reads as an empty track: every name field "Unknown".
    ui::CBackupOptionsPage page(frame_->library(), {KernelId{}}, *settings_, shell_);
    QCOMPARE(page.fileTemplates().currentIndex(), -1);
    QTreeWidgetItem* artist = page.preview().topLevelItem(0);
    QCOMPARE(artist->text(0), QStringLiteral("Unknown"));
    QCOMPARE(artist->child(0)->text(0), QStringLiteral("Unknown"));
    QCOMPARE(artist->child(0)->child(0)->text(0), QStringLiteral(".mp3"));
    QCOMPARE(settings_->string(kSettingFileTemplate, ""), "No such template");
}

void BackupWindowTest::summaryShowsTheSelectionAndTheShortenedFolder() {
    const std::string longFolder = (backup_ / std::string(60, 'x')).string();
    fs::create_directories(longFolder);
    settings_->writeString(kSettingDestinationFolder, longFolder);
    ui::CLeftView& tree = frame_->tree();
    QTreeWidgetItem* playlists = tree.topLevelItem(0)->child(2);
    QTreeWidgetItem* withTracks = nullptr;
    for (int i = 0; i < playlists->childCount() && withTracks == nullptr; ++i) {
        if (playlists->child(i)->text(0) == QStringLiteral("Road Trip")) {
            withTracks = playlists->child(i);
        }
    }
    QVERIFY(withTracks != nullptr);
    tree.setCurrentItem(withTracks);
    std::set<std::uint32_t> distinct;
    for (int row = 0; row < frame_->list().listModel().rowCount(); ++row) {
        distinct.insert(frame_->list().listModel().rowAt(row)->itemId.id);
    }
    withSheetFromTree([&](ui::CBackupSheet& sheet) {
        ui::CBackupControlPage& page = sheet.controlPage();
        QCOMPARE(page.summary().tracksLine,
                 std::to_string(distinct.size()) + " tracks and 1 playlist, representing:");
        QVERIFY(page.summary().photosLine.empty());
        QCOMPARE(page.overallBar().maximum(), static_cast<int>(distinct.size()));
        const QString shown = page.destinationText();
        QCOMPARE(shown.size(), 46);
        QVERIFY(shown.startsWith(QString::fromStdString(longFolder.substr(0, 3)) + "..."));
        QVERIFY(page.freeSpaceText().endsWith(
            QStringLiteral(" MB Free\n(Change location under the 'Options' tab above.)")));
    });
}

void BackupWindowTest::refusesToStartWithoutAFolderOrWithoutRoom() {
    withSheetFromTree([&](ui::CBackupSheet& sheet) {
        ui::CBackupControlPage& page = sheet.controlPage();
        QCOMPARE(page.destinationText(), QStringLiteral("No destination folder selected yet."));
        QCOMPARE(page.freeSpaceText(),
                 QStringLiteral("0 MB Free\n(Change location under the 'Options' tab above.)"));
        page.beginPressed();
        QCOMPARE(page.state(), TransferState::Idle);
        QCOMPARE(messages_.texts.size(), 1U);
        QVERIFY(messages_.texts[0].starts_with("Please choose a valid destination folder"));
    });
    settings_->writeString(kSettingDestinationFolder, backup_.string());
    test::RecordedMessages refused;
    SystemITunesServer itunes;
    const ui::BackupServices tight{*settings_, refused, shell_, itunes,
                                   [](const std::string&) { return std::uint64_t{0}; }};
    BackupSelection selection;
    KernelId track;
    track.id = frame_->library().trackIds.front();
    selection.tracks = {track};
    frame_->library().tracks[selection.tracks[0].id].size = 5u << 20;
    ui::CBackupControlPage page(frame_->library(), selection, tight);
    page.beginPressed();
    QCOMPARE(page.state(), TransferState::Idle);
    QCOMPARE(refused.texts.size(), 1U);
    QVERIFY(refused.texts[0].find("does not have enough free space (0 MB)") != std::string::npos);
    QVERIFY(filesUnder(backup_).empty());
}

void BackupWindowTest::backsUpThroughTheSheetWithPauseContinueAndCompletion() {
    settings_->writeString(kSettingDestinationFolder, backup_.string());
    frame_->tree().setCurrentItem(frame_->tree().topLevelItem(0));
    withSheetFromTree([&](ui::CBackupSheet& sheet) {
        ui::CBackupControlPage& page = sheet.controlPage();
        const int items = page.overallBar().maximum();
        QVERIFY(items > 40);
        page.beginPressed();
        QCOMPARE(page.beginButton().text(), QStringLiteral("Pause"));
        page.beginPressed();
        QCOMPARE(page.state(), TransferState::Paused);
        QCOMPARE(page.beginButton().text(), QStringLiteral("Continue"));
        QVERIFY(page.cancelButton().isVisible());
        // The item under way when the pause was pressed still finishes, later on a slow build;
        // nothing after it may.
        const QStringList atPause = page.resultTexts();
        for (int waited = 0; waited < 2000 && page.resultTexts() == atPause; waited += 50) {
            QTest::qWait(50);
        }
        const QStringList whilePaused = page.resultTexts();
        QTest::qWait(300);
        QCOMPARE(page.resultTexts(), whilePaused);
        page.beginPressed();
        QCOMPARE(page.state(), TransferState::Running);
        QVERIFY(!page.cancelButton().isVisible());
        waitForTheRunToFinish(page);
        QCOMPARE(page.state(), TransferState::Completed);
        QCOMPARE(page.beginButton().text(), QStringLiteral("Completed"));
        QVERIFY(!page.beginButton().isEnabled());
        QVERIFY(page.openFolderButton().isEnabled());
        QVERIFY(page.viewLogButton().isEnabled());
        QCOMPARE(page.overallBar().value(), items);
        const QStringList results = page.resultTexts();
        QCOMPARE(results[3], QStringLiteral("0"));
        const std::vector<std::string> files = filesUnder(backup_);
        const std::size_t playlistFiles = countEnding(files, ".m3u");
        QVERIFY(playlistFiles > 0);
        QCOMPARE(static_cast<int>(files.size() - playlistFiles), results[0].toInt());
        QCOMPARE(countEnding(files, ".jpg"), 6U);
        QCOMPARE(countEnding(files, ".pelmar-"), 0U);
        page.viewLogButton().click();
        QCOMPARE(shell_.opened.back(), QString::fromStdString(page.logPath()));
        QVERIFY(fs::file_size(page.logPath()) > 0);
        sheet.reject();
        QVERIFY(!sheet.isVisible());
    });
}

void BackupWindowTest::cancelWhilePausedEndsWithoutPlaylistsOrPhotos() {
    settings_->writeString(kSettingDestinationFolder, backup_.string());
    withSheetFromTree([&](ui::CBackupSheet& sheet) {
        ui::CBackupControlPage& page = sheet.controlPage();
        page.beginPressed();
        page.beginPressed();
        QCOMPARE(page.state(), TransferState::Paused);
        page.cancelPressed();
        QCOMPARE(page.beginButton().text(), QStringLiteral("Canceled"));
        QVERIFY(!page.beginButton().isEnabled());
        QVERIFY(!page.cancelButton().isVisible());
        waitForTheRunToFinish(page);
        QCOMPARE(page.state(), TransferState::Canceled);
        QCOMPARE(page.resultTexts()[4], QStringLiteral("0"));
        QVERIFY(!page.openFolderButton().isEnabled());
        QVERIFY(!page.viewLogButton().isEnabled());
        const std::vector<std::string> files = filesUnder(backup_);
        QCOMPARE(countEnding(files, ".m3u"), 0U);
        QCOMPARE(countEnding(files, ".jpg"), 0U);
        QCOMPARE(countEnding(files, ".pelmar-"), 0U);
    });
}

void BackupWindowTest::closeIsRefusedWhileARunIsUnderWay() {
    settings_->writeString(kSettingDestinationFolder, backup_.string());
    withSheetFromTree([&](ui::CBackupSheet& sheet) {
        ui::CBackupControlPage& page = sheet.controlPage();
        page.beginPressed();
        page.beginPressed();
        sheet.pages().setCurrentIndex(1);
        sheet.reject();
        QVERIFY(sheet.isVisible());
        QCOMPARE(messages_.texts,
                 std::vector<std::string>{"A transfer is in progress.  Please click 'Pause' and "
                                          "then 'Cancel' to stop the transfer."});
        page.cancelPressed();
        waitForTheRunToFinish(page);
        sheet.reject();
        QVERIFY(!sheet.isVisible());
    });
}

void BackupWindowTest::entryPointsFollowTheActivePaneAndRefuseEmptySelections() {
    frame_->setSheetRunner([](QDialog&) { QFAIL("no sheet should open"); });
    QCOMPARE(frame_->activePane(), CMainFrame::Pane::None);
    frame_->backupSelectedCommand();
    QCOMPARE(messages_.texts.back(), std::string(reveal(kLiteralListNoSelection)));

    QTreeWidgetItem* device = frame_->tree().topLevelItem(0)->child(10);
    frame_->tree().setCurrentItem(device);
    frame_->list().selectAllRows();
    frame_->backupFromList();
    QCOMPARE(messages_.texts.back(), std::string(reveal(kLiteralNothingToBackUp)));

    frame_->tree().setFocus();
    QApplication::processEvents();
    QCOMPARE(frame_->activePane(), CMainFrame::Pane::Tree);
    frame_->tree().setCurrentItem(nullptr);
    frame_->backupSelectedCommand();
    QCOMPARE(messages_.texts.back(), std::string(reveal(kLiteralTreeNoSelection)));

    std::size_t tracks = 0;
    frame_->setSheetRunner([&](QDialog& dialog) {
        tracks = dynamic_cast<ui::CBackupSheet&>(dialog).controlPage().overallBar().maximum();
    });
    frame_->tree().setCurrentItem(frame_->tree().topLevelItem(0)->child(0));
    frame_->backupSelectedCommand();
    QCOMPARE(tracks, static_cast<std::size_t>(frame_->list().listModel().rowCount()));
    frame_->list().selectRow(0);
    frame_->list().setFocus();
    QApplication::processEvents();
    QCOMPARE(frame_->activePane(), CMainFrame::Pane::List);
    frame_->backupSelectedCommand();
    QCOMPARE(tracks, 1U);
}

void BackupWindowTest::playerUnpluggedDuringABackupIsDisconnectedOnceTheSheetCloses() {
    settings_->writeString(kSettingDestinationFolder, backup_.string());
    frame_->setRemovalWatchTiming(std::chrono::milliseconds(20), std::chrono::milliseconds(5));
    const fs::path marker = fs::path(root_) / "iPod_Control";
    const fs::path unplugged = folder_.path() / "unplugged";
    withSheetFromTree([&](ui::CBackupSheet& sheet) {
        ui::CBackupControlPage& page = sheet.controlPage();
        page.beginPressed();
        page.beginPressed();
        fs::rename(marker, unplugged);
        QTRY_COMPARE_WITH_TIMEOUT(messages_.texts.size(), std::size_t{1}, 10'000);
        QCOMPARE(messages_.texts[0], playerRemovedMessage(kDisplayName));
        // The run still reads the library: it stays until the sheet is closed.
        QCOMPARE(frame_->library().isConnected, 1);
        page.cancelPressed();
        waitForTheRunToFinish(page);
        sheet.reject();
    });
    fs::rename(unplugged, marker);
    QCOMPARE(frame_->library().isConnected, 0);
    QCOMPARE(frame_->tree().topLevelItemCount(), 0);
    QTest::qWait(100);
    QCOMPARE(messages_.texts.size(), std::size_t{1});
}

void BackupWindowTest::damagedSettingsShowTheDefaultsAndAreReplacedByTheNextChange() {
    const fs::path file = SettingsStore::defaultFolder() / "settings.json";
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "{\"DstFolder\": \"" << backup_.string() << "\", \"FormatFolder\": [";
    frame_->setSheetRunner([&](QDialog& dialog) {
        ui::CBackupOptionsPage& page = dynamic_cast<ui::CCustomSheet&>(dialog).optionsPage();
        QCOMPARE(page.folderEdit().text(), QStringLiteral("Please select a destination folder."));
        QCOMPARE(page.folderTemplates().currentText(), QStringLiteral("[ No subfolders ]"));
        page.folderTemplates().setCurrentText(QStringLiteral("Artist\\Album\\"));
    });
    frame_->backupOptionsCommand();
    QCOMPARE(settings_->string(kSettingFolderTemplate, ""), "Artist\\Album\\");
    QCOMPARE(settings_->string(kSettingDestinationFolder, ""), "");

    // Without a readable destination the run is refused before anything is written.
    withSheetFromTree([&](ui::CBackupSheet& sheet) {
        sheet.controlPage().beginPressed();
        QCOMPARE(sheet.controlPage().state(), TransferState::Idle);
    });
    QCOMPARE(messages_.texts.size(), 1U);
    QVERIFY(messages_.texts[0].starts_with("Please choose a valid destination folder"));
    QVERIFY(filesUnder(backup_).empty());
}

void BackupWindowTest::runWhoseLogCannotBeCreatedStillCompletesWithWholeFiles() {
    settings_->writeString(kSettingDestinationFolder, backup_.string());
    // A folder standing where the log goes: the log cannot be opened for writing.
    const fs::path log = LogPath(*settings_);
    fs::remove_all(log);
    fs::create_directories(log);
    withSheetFromTree([&](ui::CBackupSheet& sheet) {
        ui::CBackupControlPage& page = sheet.controlPage();
        const int items = page.overallBar().maximum();
        page.beginPressed();
        waitForTheRunToFinish(page);
        QCOMPARE(page.state(), TransferState::Completed);
        QCOMPARE(page.overallBar().value(), items);
        const QStringList results = page.resultTexts();
        QCOMPARE(results[3], QStringLiteral("0"));
        const std::vector<std::string> files = filesUnder(backup_);
        QCOMPARE(static_cast<int>(files.size() - countEnding(files, ".m3u")), results[0].toInt());
        QCOMPARE(countEnding(files, ".jpg"), 6U);
        QCOMPARE(countEnding(files, ".pelmar-"), 0U);
        QVERIFY(fs::is_directory(log));
    });
    fs::remove_all(log);
}

void BackupWindowTest::anotherRunHoldingTheLogIsNamedAndNothingStarts() {
    settings_->writeString(kSettingDestinationFolder, backup_.string());
    const std::string log = LogPath(*settings_);
    LogReservation other = reserveLog(log);
    withSheetFromTree([&](ui::CBackupSheet& sheet) {
        ui::CBackupControlPage& page = sheet.controlPage();
        page.beginPressed();
        QCOMPARE(page.state(), TransferState::Idle);
        QCOMPARE(messages_.texts, std::vector<std::string>{otherRunMessage(log)});
        QVERIFY(filesUnder(backup_).empty());
        other.lock.reset();
        page.beginPressed();
        waitForTheRunToFinish(page);
        QVERIFY2(!reserveLog(log).heldByOtherRun, "the finished run lets go of the log");
    });
}

}  // namespace pelmar::app

QTEST_MAIN(pelmar::app::BackupWindowTest)
#include "backup_window_test.moc"
