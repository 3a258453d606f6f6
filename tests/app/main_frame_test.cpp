#include "app/main_frame.h"

#include <QAbstractItemModel>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidgetItem>
#include <QtTest>

#include "app/about_dialog.h"
#include "app/address_bar.h"
#include "app/status_band.h"
#include "library/connect.h"
#include "library/removal_watch.h"
#include "platform/system_volumes.h"
#include "player_image/player_image.h"
#include "support/recorded_messages.h"
#include "support/temp_folder.h"
#include "support/tree_path.h"
#include "ui/item_list_model.h"
#include "ui/left_view.h"
#include "ui/right_view.h"
#include "util/display_name.h"
#include "util/literal_store.h"
#include "util/protected_literals.h"
#include "util/user_messages.h"
#include "util/version_text.h"

namespace pelmar::app {

namespace {

namespace image = player_image;

image::Track track(std::uint32_t id, std::string artist, std::string album, std::string genre,
                   std::string title, std::uint32_t number) {
    image::Track made;
    made.id = id;
    made.artist = std::move(artist);
    made.album = std::move(album);
    made.genre = std::move(genre);
    made.title = std::move(title);
    made.trackNumber = number;
    made.location =
        ":iPod_Control:Music:F0" + std::to_string(id % 10) + ":T" + std::to_string(id) + ".mp3";
    made.fileTypeText = "MPEG audio file";
    made.size = 4096 + id;
    made.lengthMs = 180'000;
    made.bitrate = 192;
    return made;
}

// A small player whose every count is known: two artists on three albums in two genres, a bare
// track, a video, a podcast and two playlists.
image::PlayerImage smallPlayer() {
    image::PlayerImage player;
    player.tracks.push_back(track(101, "Alpha", "First", "Rock", "One", 1));
    player.tracks.back().composer = "Bach";
    player.tracks.push_back(track(102, "Alpha", "Second", "Jazz", "Two", 2));
    player.tracks.push_back(track(103, "Beta", "Third", "Rock", "Three", 3));
    image::Track bare = track(104, "", "", "", "Lonely", 0);
    bare.bitrate = 1;
    bare.size = 1023;
    bare.lengthMs = 59'000;
    player.tracks.push_back(bare);
    image::Track video = track(105, "Gamma", "", "", "Film", 0);
    video.mediaKind = image::media_kind::movie;
    video.location = ":iPod_Control:Music:F05:T105.m4v";
    video.fileType = 12;
    video.fileTypeText = "MPEG-4 video file";
    player.tracks.push_back(video);
    image::Track podcast = track(106, "Host", "Show", "Podcast", "Episode", 0);
    podcast.mediaKind = image::media_kind::podcast;
    player.tracks.push_back(podcast);
    image::Playlist master{"Player", {}, false};
    for (const image::Track& each : player.tracks) {
        master.items.push_back(each.id);
        player.playCounts.push_back({});
    }
    player.playlists = {master, {"Road", {103, 101, 104}, false}, {"Empty", {}, false}};
    return player;
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void connectShowsTheRootsElevenCategoriesWithTheirCounts();
    void statusBandStandsInForTheConnectionBarOnlyWhileConnecting();
    void failedConnectRestoresTheBarsAndKeepsTheCaption();
    void artistUnderAGenreCountsTheGenreButListsAllItsAlbums();
    void playlistRowsKeepTheirOrderAndAreNumberedFromOne();
    void trackCellsOfABareTrack();
    void selectAllAndInvertReportTheSelection();
    void searchReplacesResultsAndTheRootShowsTheLiveCount();
    void searchWithoutResultsSaysSoAndEmptiesTheResults();
    void reconnectRebuildsTheTreeAndKeepsTheSearchResults();
    void rootStaysExpandedAndUpStopsThere();
    void doubleClickOnAFolderRowSelectsItInTheTree();
    void itemBarStartsAboveTheList();
    void aboutShowsTheVersion();
    void unpluggedPlayerIsReportedOnceAndDisconnected();

  private:
    QTreeWidgetItem* treeItem(const QStringList& labels) const;
    void select(const QStringList& labels) const;
    [[nodiscard]] QString cell(int row, int column) const;
    [[nodiscard]] QStringList column(int column) const;

    test::TempFolder folder_;
    std::string root_;
    SystemVolumes system_;
    test::RecordedMessages messages_;
    std::unique_ptr<CMainFrame> frame_;
};

void MainFrameTest::initTestCase() {
    qputenv("PELMAR_CONFIG_DIR", QByteArray::fromStdString((folder_.path() / "config").string()));
    root_ = (folder_.path() / "player").string() + "/";
    std::string error;
    image::Options options;
    options.withPhotos = false;
    QVERIFY2(image::writePlayerImage(smallPlayer(), root_, options, error), error.c_str());
}

void MainFrameTest::init() {
    messages_.texts.clear();
    frame_ = std::make_unique<CMainFrame>(system_, messages_, root_);
    frame_->resize(900, 600);
    frame_->show();
}

void MainFrameTest::cleanup() {
    frame_.reset();
}

QTreeWidgetItem* MainFrameTest::treeItem(const QStringList& labels) const {
    return test::treeItemAt(frame_->tree(), labels);
}

void MainFrameTest::select(const QStringList& labels) const {
    QTreeWidgetItem* item = treeItem(labels);
    QVERIFY2(item != nullptr, qPrintable(labels.join('/')));
    frame_->tree().setCurrentItem(item);
}

QString MainFrameTest::cell(int row, int column) const {
    const QAbstractItemModel& model = frame_->list().listModel();
    return model.data(model.index(row, column)).toString();
}

QStringList MainFrameTest::column(int column) const {
    QStringList texts;
    for (int row = 0; row < frame_->list().listModel().rowCount(); ++row) {
        texts.push_back(cell(row, column));
    }
    return texts;
}

void MainFrameTest::connectShowsTheRootsElevenCategoriesWithTheirCounts() {
    frame_->connectCommand();
    QCOMPARE(frame_->library().isConnected, 1);
    QCOMPARE(frame_->tree().topLevelItemCount(), 1);
    const QString rootLabel =
        QStringLiteral("iPod (%1)").arg(QString::fromStdString(root_.substr(0, root_.size() - 1)));
    QCOMPARE(frame_->tree().topLevelItem(0)->text(0), rootLabel);
    QVERIFY(frame_->tree().topLevelItem(0)->isExpanded());
    QCOMPARE(frame_->addressBar().location(), rootLabel);
    QCOMPARE(column(0), (QStringList{"Songs (All Tracks)", "Podcasts", "Playlists", "Artists",
                                     "Albums", "Genres", "Composers", "Photos", "Videos",
                                     "Search Results", "Device Information"}));
    QCOMPARE(column(1), (QStringList{"5", "1", "2", "4", "4", "3", "1", "0", "1", "0", ""}));
    QCOMPARE(frame_->statusText(), QStringLiteral("11 items."));
    QCOMPARE(frame_->connectAction().text(), QString::fromUtf8(reveal(kLiteralDisconnectCaption)));
}

void MainFrameTest::statusBandStandsInForTheConnectionBarOnlyWhileConnecting() {
    bool bandShown = false;
    bool barShown = true;
    QString caption;
    // Runs in the event processing that paints the band before the load starts.
    QTimer::singleShot(0, frame_.get(), [&] {
        bandShown = frame_->statusBand().isVisible();
        barShown = frame_->connectionBar().isVisible();
        caption = frame_->statusBand().statusText();
    });
    frame_->connectCommand();
    QVERIFY(bandShown);
    QVERIFY(!barShown);
    QCOMPARE(caption, QString::fromUtf8(reveal(kLiteralConnectingCaption)));
    QVERIFY(!frame_->statusBand().isVisible());
    QVERIFY(frame_->connectionBar().isVisible());
}

void MainFrameTest::failedConnectRestoresTheBarsAndKeepsTheCaption() {
    test::TempFolder empty;
    CMainFrame frame(system_, messages_, empty.root());
    frame.show();
    const QString caption = frame.connectAction().text();
    frame.connectCommand();
    QCOMPARE(frame.library().isConnected, 0);
    QCOMPARE(frame.tree().topLevelItemCount(), 0);
    QCOMPARE(frame.list().listModel().rowCount(), 0);
    QCOMPARE(frame.connectAction().text(), caption);
    QVERIFY(frame.connectionBar().isVisible());
    QVERIFY(!frame.statusBand().isVisible());
    QCOMPARE(messages_.texts, std::vector<std::string>{kPlayerNotFoundMessage});
}

void MainFrameTest::artistUnderAGenreCountsTheGenreButListsAllItsAlbums() {
    frame_->connectCommand();
    select({"Genres", "Rock"});
    QCOMPARE(column(0), (QStringList{"[ All: Rock ]", "Alpha", "Beta"}));
    QCOMPARE(column(1), (QStringList{"2", "1", "1"}));
    QTreeWidgetItem* alpha = treeItem({"Genres", "Rock", "Alpha"});
    QVERIFY(alpha != nullptr);
    QCOMPARE(alpha->childCount(), 3);
    QCOMPARE(alpha->child(0)->text(0), QStringLiteral("[ All: Alpha ]"));
    QCOMPARE(alpha->child(1)->text(0), QStringLiteral("First"));
    QCOMPARE(alpha->child(2)->text(0), QStringLiteral("Second"));
    select({"Genres", "Rock", "Alpha"});
    QCOMPARE(column(1), (QStringList{"2", "1", "1"}));
    QCOMPARE(frame_->addressBar().location(),
             frame_->tree().topLevelItem(0)->text(0) + QStringLiteral("\\Genres\\Rock\\Alpha"));
}

void MainFrameTest::playlistRowsKeepTheirOrderAndAreNumberedFromOne() {
    frame_->connectCommand();
    select({"Playlists"});
    QCOMPARE(column(0), (QStringList{"Empty", "Road"}));
    select({"Playlists", "Road"});
    QCOMPARE(frame_->list().listModel().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("#"));
    QCOMPARE(column(0), (QStringList{"1", "2", "3"}));
    QCOMPARE(column(1),
             (QStringList{"Beta - Third - 03 - Three", "Alpha - First - 01 - One", "Lonely"}));
    QVERIFY(frame_->list().showGrid());
}

void MainFrameTest::trackCellsOfABareTrack() {
    frame_->connectCommand();
    select({"Songs (All Tracks)"});
    QCOMPARE(frame_->list().listModel().columnCount(), 12);
    QCOMPARE(frame_->list().rowHeight(0), 17);
    // The bare track's sort key starts with its empty artist: it comes first.
    QCOMPARE(cell(0, 0), QStringLiteral("Lonely"));
    QCOMPARE(cell(0, 1), QStringLiteral("mp3"));
    QCOMPARE(cell(0, 2), QStringLiteral("0 KB"));
    QCOMPARE(cell(0, 3), QStringLiteral("0:59"));
    QCOMPARE(cell(0, 4), QStringLiteral("VBR"));
    QCOMPARE(cell(0, 11), QString());
    QCOMPARE(cell(1, 0), QStringLiteral("Alpha - First - 01 - One"));
    const QAbstractItemModel& model = frame_->list().listModel();
    QVERIFY(model.data(model.index(0, 0), Qt::BackgroundRole).isValid());
    QVERIFY(!model.data(model.index(1, 0), Qt::BackgroundRole).isValid());
}

void MainFrameTest::selectAllAndInvertReportTheSelection() {
    frame_->connectCommand();
    select({"Songs (All Tracks)"});
    QCOMPARE(frame_->statusText(), QStringLiteral("5 items."));
    frame_->list().selectAllRows();
    QCOMPARE(frame_->statusText(), QStringLiteral("5 items selected."));
    QCOMPARE(frame_->list().selectedRows().size(), 5U);
    frame_->list().invertSelection();
    QCOMPARE(frame_->statusText(), QStringLiteral("5 items."));
    frame_->list().selectRow(1);
    frame_->list().invertSelection();
    QCOMPARE(frame_->statusText(), QStringLiteral("4 items selected."));
    const auto selected = frame_->list().selectedRows();
    QCOMPARE(selected.size(), 4U);
    QCOMPARE(selected.front(), frame_->list().listModel().rowAt(0));
}

void MainFrameTest::searchReplacesResultsAndTheRootShowsTheLiveCount() {
    frame_->connectCommand();
    frame_->addressBar().setSearchText(QStringLiteral("ALPHA"));
    QTest::mouseClick(&frame_->addressBar().goButton(), Qt::LeftButton);
    QCOMPARE(frame_->tree().currentItem()->text(0), QStringLiteral("Search Results"));
    QCOMPARE(frame_->list().listModel().rowCount(), 2);
    frame_->addressBar().setSearchText(QStringLiteral("one"));
    frame_->searchCommand();
    QCOMPARE(column(0), (QStringList{"Lonely", "Alpha - First - 01 - One"}));
    frame_->upCommand();
    QCOMPARE(cell(9, 0), QStringLiteral("Search Results"));
    QCOMPARE(cell(9, 1), QStringLiteral("2"));
    QVERIFY(messages_.texts.empty());
}

void MainFrameTest::searchWithoutResultsSaysSoAndEmptiesTheResults() {
    frame_->connectCommand();
    frame_->addressBar().setSearchText(QStringLiteral("beta"));
    frame_->searchCommand();
    QCOMPARE(frame_->searchResults().size(), 1U);
    // The comment, file name and other fields are not searched.
    frame_->addressBar().setSearchText(QStringLiteral("mpeg"));
    frame_->searchCommand();
    QCOMPARE(messages_.texts,
             std::vector<std::string>{
                 "Search produced no results.  Please try a different search term."});
    QVERIFY(frame_->searchResults().empty());
    QCOMPARE(frame_->tree().currentItem()->text(0), QStringLiteral("Search Results"));
    QCOMPARE(frame_->list().listModel().rowCount(), 1);
}

void MainFrameTest::reconnectRebuildsTheTreeAndKeepsTheSearchResults() {
    frame_->connectCommand();
    frame_->addressBar().setSearchText(QStringLiteral("alpha"));
    frame_->searchCommand();
    frame_->connectCommand();
    QCOMPARE(frame_->library().isConnected, 0);
    QCOMPARE(frame_->tree().topLevelItemCount(), 0);
    QCOMPARE(frame_->list().listModel().rowCount(), 0);
    QCOMPARE(frame_->addressBar().location(), QString());
    QCOMPARE(frame_->connectAction().text(), QString::fromUtf8(reveal(kLiteralConnectCaption)));
    QCOMPARE(frame_->searchResults().size(), 2U);
    frame_->connectCommand();
    QCOMPARE(frame_->library().isConnected, 1);
    QCOMPARE(cell(9, 1), QStringLiteral("2"));
    select({"Search Results"});
    QCOMPARE(frame_->list().listModel().rowCount(), 2);
}

void MainFrameTest::rootStaysExpandedAndUpStopsThere() {
    frame_->connectCommand();
    QTreeWidgetItem* root = frame_->tree().topLevelItem(0);
    frame_->tree().collapseItem(root);
    QVERIFY(root->isExpanded());
    frame_->upCommand();
    QCOMPARE(frame_->tree().currentItem(), root);
    select({"Artists", "Alpha"});
    frame_->upCommand();
    QCOMPARE(frame_->tree().currentItem()->text(0), QStringLiteral("Artists"));
    QTreeWidgetItem* artists = frame_->tree().currentItem();
    frame_->tree().collapseItem(artists);
    QVERIFY(!artists->isExpanded());
}

void MainFrameTest::doubleClickOnAFolderRowSelectsItInTheTree() {
    frame_->connectCommand();
    ui::CRightView& list = frame_->list();
    list.selectRow(3);
    const QRect row = list.visualRect(list.listModel().index(3, 0));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(frame_->tree().currentItem()->text(0), QStringLiteral("Artists"));
    QCOMPARE(column(0), (QStringList{"Alpha", "Beta", "Gamma", "Host"}));
}

void MainFrameTest::itemBarStartsAboveTheList() {
    frame_->splitter().setSizes({300, 500});
    QCoreApplication::processEvents();
    QCOMPARE(frame_->spacerBar().width(), frame_->tree().width() + 4);
    QCOMPARE(frame_->itemBar().mapTo(frame_.get(), QPoint(0, 0)).x(),
             frame_->tree().mapTo(frame_.get(), QPoint(0, 0)).x() + frame_->tree().width() + 4);
}

void MainFrameTest::aboutShowsTheVersion() {
    const CAboutDlg about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Pelmar Vantrell"));
    QVERIFY(about.aboutLine().contains(QString::fromStdString(fileVersionText(true))));
}

void MainFrameTest::unpluggedPlayerIsReportedOnceAndDisconnected() {
    const std::filesystem::path removable = folder_.path() / "removable";
    std::string error;
    image::Options options;
    options.withPhotos = false;
    QVERIFY2(image::writePlayerImage(smallPlayer(), removable, options, error), error.c_str());
    CMainFrame frame(system_, messages_, removable.string() + "/");
    frame.setRemovalWatchTiming(std::chrono::milliseconds(20), std::chrono::milliseconds(5));
    frame.show();
    frame.connectCommand();
    QCOMPARE(frame.library().isConnected, 1);
    QTest::qWait(100);
    QVERIFY2(messages_.texts.empty(), "a player still there is left alone");

    std::filesystem::rename(removable / "iPod_Control", removable / "unplugged");
    QTRY_COMPARE_WITH_TIMEOUT(frame.library().isConnected, 0, 10'000);
    QCOMPARE(messages_.texts, std::vector<std::string>{playerRemovedMessage(kDisplayName)});
    QCOMPARE(frame.tree().topLevelItemCount(), 0);
    QCOMPARE(frame.list().listModel().rowCount(), 0);
    QCOMPARE(frame.connectAction().text(), QString::fromUtf8(reveal(kLiteralConnectCaption)));
    QTest::qWait(200);
    QCOMPARE(messages_.texts.size(), 1U);
}

}  // namespace pelmar::app

QTEST_MAIN(pelmar::app::MainFrameTest)
#include "main_frame_test.moc"
