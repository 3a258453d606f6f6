#include <QScrollBar>
#include <QTreeWidgetItem>
#include <QtTest>
#include <filesystem>
#include <map>
#include <set>

#include "app/main_frame.h"
#include "library/album_covers.h"
#include "platform/system_volumes.h"
#include "player_image/player_image.h"
#include "support/temp_folder.h"
#include "support/tree_path.h"
#include "ui/cover_cache.h"
#include "ui/cover_panel.h"
#include "ui/cover_pictures.h"
#include "ui/item_list_model.h"
#include "ui/left_view.h"
#include "ui/right_view.h"
#include "util/user_messages.h"

namespace pelmar::ui {

namespace {

namespace image = player_image;

class SilentMessages final : public UserMessages {
  public:
    void information(std::string_view /*text*/) override {}
};

constexpr int kColourSlack = 24;

// An album of the image whose name no other album shares: either every track shows one image,
// or no track has artwork.
struct AlbumCase {
    QString name;
    std::optional<image::PhotoPicture> picture;
};

// The first album shown by a single solid or two-coloured image, and the first without artwork.
std::pair<AlbumCase, AlbumCase> pickAlbums(const image::PlayerImage& player) {
    std::map<std::string, std::set<std::uint32_t>> imagesOfAlbum;
    std::map<std::string, std::set<std::string>> artistsOfAlbum;
    for (const image::Track& track : player.tracks) {
        if (!track.album.empty()) {
            imagesOfAlbum[track.album].insert(track.artworkFlag == 1 ? track.artworkId : 0);
            artistsOfAlbum[track.album].insert(track.artist);
        }
    }
    AlbumCase withArt;
    AlbumCase without;
    for (const auto& [album, images] : imagesOfAlbum) {
        if (images.size() != 1 || artistsOfAlbum[album].size() != 1) {
            continue;
        }
        const std::uint32_t id = *images.begin();
        if (id == 0 && without.name.isEmpty()) {
            without.name = QString::fromStdString(album);
        }
        for (const image::ArtworkImage& art : player.artwork) {
            if (art.id == id && withArt.name.isEmpty() &&
                (art.picture == image::PhotoPicture::TopAndBottom ||
                 art.picture == image::PhotoPicture::SolidRed ||
                 art.picture == image::PhotoPicture::SolidGreen)) {
                withArt = {QString::fromStdString(album), art.picture};
            }
        }
    }
    return {withArt, without};
}

// Whether the cover shows the picture: its colours a quarter and three quarters of the way down.
bool showsPicture(const QPixmap& cover, image::PhotoPicture picture) {
    const QImage shown = cover.toImage();
    for (const int quarter : {1, 3}) {
        const int x = shown.width() / 2;
        const int y = shown.height() * quarter / 4;
        const image::Rgb wanted = image::pictureColour(
            picture, static_cast<std::uint32_t>(shown.width()),
            static_cast<std::uint32_t>(shown.height()), static_cast<std::uint32_t>(x),
            static_cast<std::uint32_t>(y));
        const QColor seen = shown.pixelColor(x, y);
        if (std::abs(seen.red() - wanted.red) > kColourSlack ||
            std::abs(seen.green() - wanted.green) > kColourSlack ||
            std::abs(seen.blue() - wanted.blue) > kColourSlack) {
            return false;
        }
    }
    return true;
}

}  // namespace

class AlbumCoverViewTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void selectedAlbumShowsItsCoverBesideTheList();
    void albumRowsDrawTheirCoversDecodedOnceAndOnlyWhenSeen();
    void playerWithoutArtworkShowsNoCoverPanel();
    void disconnectingOrClosingWhileCoversDecodeIsSafe();

  private:
    void select(const QStringList& labels) const;
    [[nodiscard]] int rowNamed(const QString& name) const;
    [[nodiscard]] CRightView& list() const { return frame_->list(); }
    [[nodiscard]] CoverCache& covers() const { return list().covers(); }
    // Every image id a track of the connected library shows.
    [[nodiscard]] std::set<std::uint32_t> everyImage() const;

    test::TempFolder folder_;
    std::string root_;
    std::string plainRoot_;
    image::PlayerImage player_;
    AlbumCase withArt_;
    AlbumCase without_;
    SystemVolumes system_;
    SilentMessages messages_;
    std::unique_ptr<app::CMainFrame> frame_;
};

void AlbumCoverViewTest::initTestCase() {
    qputenv("PELMAR_CONFIG_DIR", QByteArray::fromStdString((folder_.path() / "config").string()));
    root_ = (folder_.path() / "classic").string() + "/";
    image::Options options = image::optionsFor(image::Model::Classic);
    options.trackCount = 400;
    options.withMedia = false;
    options.withPhotos = false;
    player_ = image::generatePlayerImage(options);
    std::string error;
    QVERIFY2(image::writePlayerImage(player_, root_, options, error), error.c_str());
    std::tie(withArt_, without_) = pickAlbums(player_);
    QVERIFY(withArt_.picture.has_value());
    QVERIFY(!without_.name.isEmpty());

    plainRoot_ = (folder_.path() / "plain").string() + "/";
    options.withArtwork = false;
    QVERIFY2(image::writePlayerImage(image::generatePlayerImage(options), plainRoot_, options,
                                     error),
             error.c_str());
}

void AlbumCoverViewTest::init() {
    frame_ = std::make_unique<app::CMainFrame>(system_, messages_, root_);
    frame_->resize(1100, 700);
    frame_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    frame_->connectCommand();
    QCOMPARE(frame_->library().isConnected, 1);
}

void AlbumCoverViewTest::cleanup() {
    frame_.reset();
}

void AlbumCoverViewTest::select(const QStringList& labels) const {
    QTreeWidgetItem* item = test::treeItemAt(frame_->tree(), labels);
    QVERIFY2(item != nullptr, qPrintable(labels.join(QLatin1Char('/'))));
    frame_->tree().setCurrentItem(item);
}

int AlbumCoverViewTest::rowNamed(const QString& name) const {
    const ItemListModel& model = list().listModel();
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.data(model.index(row, 0), Qt::DisplayRole).toString() == name) {
            return row;
        }
    }
    return -1;
}

std::set<std::uint32_t> AlbumCoverViewTest::everyImage() const {
    std::set<std::uint32_t> images;
    for (const auto& [id, track] : frame_->library().tracks) {
        if (const std::optional<std::uint32_t> image = frame_->library().artwork.imageOf(track)) {
            images.insert(*image);
        }
    }
    return images;
}

void AlbumCoverViewTest::selectedAlbumShowsItsCoverBesideTheList() {
    CoverPanel& panel = frame_->coverPanel();
    select({QStringLiteral("Albums"), withArt_.name});
    QVERIFY(panel.isVisible());
    QVERIFY(panel.shownImage().has_value());
    QTRY_VERIFY(!panel.shownPicture().isNull());
    QVERIFY(showsPicture(panel.shownPicture(), *withArt_.picture));
    QCOMPARE(panel.shownPicture().width(), CoverCache::kPanelSide);

    // A selected track shows its album's cover as well.
    list().selectRow(0);
    QCOMPARE(panel.shownImage(), list().listModel().coverImageAt(0));

    select({QStringLiteral("Albums"), without_.name});
    QVERIFY(panel.isVisible());
    QCOMPARE(panel.shownImage(), std::nullopt);
    list().selectRow(0);
    QCOMPARE(panel.shownImage(), std::nullopt);

    // Nothing about the player itself has a cover.
    select({QStringLiteral("Device Information")});
    QVERIFY(!panel.isVisible());
}

void AlbumCoverViewTest::albumRowsDrawTheirCoversDecodedOnceAndOnlyWhenSeen() {
    select({QStringLiteral("Albums")});
    const ItemListModel& model = list().listModel();
    QVERIFY(model.withCovers());
    QVERIFY(model.rowCount() > 20);
    list().viewport()->repaint();
    QVERIFY(covers().pendingCount() > 0);
    QTRY_COMPARE(covers().pendingCount(), 0U);

    // Rows below the visible ones were never asked for.
    std::set<std::uint32_t> seen;
    const int lastVisible = list().rowAt(list().viewport()->height() - 1);
    QVERIFY(lastVisible > 0 && lastVisible < model.rowCount() - 1);
    for (int row = 0; row <= lastVisible; ++row) {
        if (const auto image = model.coverImageAt(row)) {
            seen.insert(*image);
        }
    }
    QVERIFY(!seen.empty());
    QCOMPARE(covers().decodedCount(), seen.size());

    // Drawing again, scrolling away and back and refilling decode nothing more.
    list().viewport()->repaint();
    list().verticalScrollBar()->setValue(0);
    select({QStringLiteral("Artists")});
    select({QStringLiteral("Albums")});
    list().viewport()->repaint();
    QCOMPARE(covers().pendingCount(), 0U);
    QCOMPARE(covers().decodedCount(), seen.size());

    // The rows show what was decoded: the cover, or the album icon for an album without one.
    for (const AlbumCase& album : {withArt_, without_}) {
        const int row = rowNamed(album.name);
        QVERIFY2(row >= 0, qPrintable(album.name));
        list().scrollTo(model.index(row, 0));
        list().viewport()->repaint();
        QTRY_COMPARE(covers().pendingCount(), 0U);
        const auto cover = model.data(model.index(row, 0), Qt::DecorationRole).value<QPixmap>();
        QCOMPARE(cover.width(), CoverCache::kRowSide);
        if (album.picture) {
            QVERIFY(showsPicture(cover, *album.picture));
        } else {
            QCOMPARE(cover.cacheKey(), iconAsCover(model.rowAt(row)->image).cacheKey());
        }
    }
}

void AlbumCoverViewTest::playerWithoutArtworkShowsNoCoverPanel() {
    app::CMainFrame plain(system_, messages_, plainRoot_);
    plain.show();
    plain.connectCommand();
    QCOMPARE(plain.library().isConnected, 1);
    plain.tree().setCurrentItem(test::treeItemAt(plain.tree(), {QStringLiteral("Albums")}));
    QVERIFY(!plain.list().listModel().withCovers());
    QVERIFY(!plain.coverPanel().isVisible());
    plain.list().viewport()->repaint();
    QCOMPARE(plain.list().covers().pendingCount(), 0U);
}

void AlbumCoverViewTest::disconnectingOrClosingWhileCoversDecodeIsSafe() {
    const std::set<std::uint32_t> images = everyImage();
    QVERIFY(images.size() > 20);
    for (const std::uint32_t id : images) {
        (void)covers().cover(id, CoverSize::Panel);
    }
    QVERIFY(covers().pendingCount() > 0);
    frame_->connectCommand();
    QCOMPARE(frame_->library().isConnected, 0);
    QCOMPARE(covers().pendingCount(), 0U);
    // Let the worker finish what it had begun; it belongs to the player that is gone.
    QTest::qWait(200);

    frame_->connectCommand();
    QCOMPARE(frame_->library().isConnected, 1);
    for (const std::uint32_t id : images) {
        QVERIFY(covers().cover(id, CoverSize::Panel).isNull());
    }
    QCOMPARE(covers().pendingCount(), images.size());
    frame_.reset();
}

}  // namespace pelmar::ui

QTEST_MAIN(pelmar::ui::AlbumCoverViewTest)
#include "album_cover_view_test.moc"
