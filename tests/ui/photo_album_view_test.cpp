#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidgetItem>
#include <QtTest>
#include <filesystem>
#include <functional>

#include "app/main_frame.h"
#include "platform/system_volumes.h"
#include "player_image/player_image.h"
#include "support/temp_folder.h"
#include "support/tree_path.h"
#include "ui/item_list_model.h"
#include "ui/left_view.h"
#include "ui/photo_details.h"
#include "ui/photo_row_delegate.h"
#include "ui/right_view.h"
#include "util/user_messages.h"

namespace pelmar::ui {

namespace {

namespace image = player_image;
namespace fs = std::filesystem;

class SilentMessages final : public UserMessages {
  public:
    void information(std::string_view /*text*/) override {}
};

// 2020-01-02 15:04 and 2021-07-08 09:10 UTC in the player's 1904 epoch.
constexpr std::uint32_t kCreated = 3660822240U;
constexpr std::uint32_t kModified = 3708580200U;

// Bytes of one 1009 thumbnail (42 × 30 pixels); the short photo keeps 100 of them.
constexpr std::uint32_t k1009Bytes = 2520;
constexpr std::uint32_t kShortThumbnailBytes = 100;

enum PhotoRow {
    kEveryFormat,     // 1009, 1013, 1015 and 1019 on the player
    kListFileGone,    // its 1036 file is missing; 1032 and 1013 remain
    kNothingUsable,   // neither of its formats' files is on the player
    kShortThumbnail,  // the file ends 100 bytes into its 1009 thumbnail
    kPastTheEnd,      // its 1009 thumbnail starts where the file ends
    kPhotoCount,
};

image::Photo photo(std::uint32_t id, image::PhotoPicture picture,
                   std::vector<std::pair<std::uint32_t, std::uint32_t>> thumbnails) {
    image::Photo made;
    made.id = id;
    made.createdTime = kCreated;
    made.modifiedTime = kModified;
    made.picture = picture;
    for (const auto& [formatId, offset] : thumbnails) {
        made.thumbnails.push_back({formatId, offset, image::thumbnailFormat(formatId)->byteSize()});
    }
    return made;
}

image::PlayerImage photoPlayer() {
    image::PlayerImage player;
    image::Track song;
    song.id = 101;
    song.title = "Song";
    song.location = ":iPod_Control:Music:F01:T101.mp3";
    song.size = 4096;
    player.tracks.push_back(song);
    player.playCounts.push_back({});
    player.playlists = {{"Player", {101}, false}};
    player.photos = {
        photo(11, image::PhotoPicture::HorizontalGradient,
              {{1009, 0}, {1013, 0}, {1015, 0}, {1019, 0}}),
        photo(12, image::PhotoPicture::HorizontalGradient, {{1036, 0}, {1032, 0}, {1013, 77440}}),
        photo(13, image::PhotoPicture::SolidBlue, {{1024, 0}, {1066, 0}}),
        photo(14, image::PhotoPicture::SolidBlue, {{1009, k1009Bytes}}),
        photo(15, image::PhotoPicture::SolidRed, {{1009, 2 * k1009Bytes}}),
    };
    player.photoAlbums = {{"Every photo", {11, 12, 13, 14, 15}}, {"Holiday", {11, 12, 13, 14, 15}}};
    return player;
}

QColor colourOf(image::Rgb rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

QString describe(const QColor& colour) {
    return QStringLiteral("(%1, %2, %3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

// Whether every pixel of the area has the colour.
bool isPlain(const QImage& picture, const QRect& area, const QColor& colour) {
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (picture.pixelColor(x, y) != colour) {
                return false;
            }
        }
    }
    return true;
}

// How the views draw their texts: lines `step` apart from `origin`, each cut at `right` and at
// `bottom`.
struct TextLayout {
    QPoint origin;
    int step = 0;
    int right = 0;
    int bottom = 0;
    QFont font;
    QColor ink;
    QColor background;
};

// The band of line `line`: one line of text high, cut where the views cut it.
QRect lineBand(const TextLayout& layout, int line) {
    const int top = layout.origin.y() + line * layout.step;
    return QRect(layout.origin.x(), top, layout.right - layout.origin.x(),
                 std::min(layout.step - 2, layout.bottom - top));
}

// `text` rendered on its own the way the views render a line, for comparison.
QImage renderedLine(const TextLayout& layout, const QRect& band, const QString& text) {
    QImage line(band.size(), QImage::Format_RGB32);
    line.fill(layout.background);
    QPainter painter(&line);
    painter.setFont(layout.font);
    painter.setPen(layout.ink);
    painter.drawText(QRect(0, 0, band.width(), layout.bottom),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    return line;
}

// Keeps an eye out for popup menus while a click is handled: a menu's exec() blocks, and this
// timer, running inside its event loop, records the menu and runs `onMenu` on it.
class MenuWatch {
  public:
    explicit MenuWatch(std::function<void(QMenu&)> onMenu) : onMenu_(std::move(onMenu)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu != nullptr) {
                ++menusSeen_;
                onMenu_(*menu);
                menu->close();
            }
        });
        timer_.start(10);
    }

    [[nodiscard]] int menusSeen() const { return menusSeen_; }

  private:
    std::function<void(QMenu&)> onMenu_;
    QTimer timer_;
    int menusSeen_ = 0;
};

}  // namespace

class PhotoAlbumViewTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void detailLinesGiveThePlaceTheTimesAndTheDimensions();
    void cardShowsTheListThumbnailAndItsDetailsBesideIt();
    void missingListThumbnailFileGivesWayToTheNextBest();
    void photoWithoutADrawableThumbnailShowsTheGreyBoxAndTextsBesideIt();
    void shortThumbnailFileDrawsWhatItHoldsAndBlackBeyond();
    void selectedCardUsesTheHighlightAndKeepsTheThumbnail();
    void doubleClickPreviewsTheLargestThumbnail();
    void leftClickLeavesThePreviewWithoutChangingTheSelection();
    void previewCommandFromTheMenuAndARightClickBackWithoutAMenu();
    void previewOfAPhotoWithoutAReadableThumbnailShowsOnlyTheTexts();
    void previewTextsInALargeFontAreCutAboveTheThumbnail();
    void previewOnScreenFollowsTheSelectionAndIgnoresScrolling();
    void refillEndsThePreviewAndOtherNodesGetCellsAgain();

  private:
    void selectTreeItem(const QStringList& labels) const;
    [[nodiscard]] CRightView& list() const { return frame_->list(); }
    [[nodiscard]] QColor colour(QPalette::ColorRole role) const {
        return list().palette().color(role);
    }
    [[nodiscard]] int lineStep() const { return photoLineStep(list().font()); }
    [[nodiscard]] QRect rowRect(int row) const;
    // The row as the list draws it, in the row's own coordinates.
    [[nodiscard]] QImage rowPicture(int row) const;
    [[nodiscard]] QImage viewportPicture() const;
    // What the screen shows of the viewport: unlike a fresh rendering, it keeps the pixels that
    // scrolling moved and the parts a repaint left out.
    [[nodiscard]] QImage viewportOnScreen() const;
    // Where the card of an unselected row puts its texts, beginning at `left`.
    [[nodiscard]] TextLayout cardText(int left) const;
    // Where the preview puts its details, below the blue line.
    [[nodiscard]] TextLayout previewDetails() const;
    // The point of the list's viewport in the main window, where window-level input lands.
    [[nodiscard]] QPoint inWindow(QPoint viewportPoint) const;
    void clickInWindow(Qt::MouseButton button, QPoint viewportPoint) const;
    void verifyThumbnail(const QImage& picture, QPoint origin, PhotoRow row, std::uint32_t formatId,
                         std::uint32_t width, std::uint32_t height) const;
    static void verifyLine(const QImage& picture, const TextLayout& layout, int line,
                           const QString& text);
    // The lines as the layout draws them, and nothing in the band after the last one.
    static void verifyLines(const QImage& picture, const TextLayout& layout,
                            const QStringList& lines);

    test::TempFolder folder_;
    std::string root_;
    image::PlayerImage player_;
    SystemVolumes system_;
    SilentMessages messages_;
    std::unique_ptr<app::CMainFrame> frame_;
};

void PhotoAlbumViewTest::initTestCase() {
    qputenv("PELMAR_CONFIG_DIR", QByteArray::fromStdString((folder_.path() / "config").string()));
    root_ = (folder_.path() / "player").string() + "/";
    player_ = photoPlayer();
    image::Options options;
    options.withMedia = false;
    std::string error;
    QVERIFY2(image::writePlayerImage(player_, root_, options, error), error.c_str());
    QVERIFY(fs::remove(image::thumbnailFilePath(root_, 1036)));
    QVERIFY(fs::remove(image::thumbnailFilePath(root_, 1024)));
    QVERIFY(fs::remove(image::thumbnailFilePath(root_, 1066)));
    fs::resize_file(image::thumbnailFilePath(root_, 1009), k1009Bytes + kShortThumbnailBytes);
}

void PhotoAlbumViewTest::init() {
    frame_ = std::make_unique<app::CMainFrame>(system_, messages_, root_);
    frame_->resize(1000, 700);
    frame_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    frame_->connectCommand();
    QCOMPARE(frame_->library().isConnected, 1);
    selectTreeItem({QStringLiteral("Photos"), QStringLiteral("Holiday")});
    QCOMPARE(list().listModel().rowCount(), static_cast<int>(kPhotoCount));
}

void PhotoAlbumViewTest::cleanup() {
    frame_.reset();
}

void PhotoAlbumViewTest::selectTreeItem(const QStringList& labels) const {
    QTreeWidgetItem* item = test::treeItemAt(frame_->tree(), labels);
    QVERIFY2(item != nullptr, qPrintable(labels.join(QLatin1Char('/'))));
    frame_->tree().setCurrentItem(item);
}

QRect PhotoAlbumViewTest::rowRect(int row) const {
    const QModelIndex index = list().listModel().index(row, 0);
    list().scrollTo(index, QAbstractItemView::PositionAtTop);
    return list().visualRect(index);
}

QImage PhotoAlbumViewTest::rowPicture(int row) const {
    return list().viewport()->grab(rowRect(row)).toImage();
}

QImage PhotoAlbumViewTest::viewportPicture() const {
    return list().viewport()->grab().toImage();
}

QImage PhotoAlbumViewTest::viewportOnScreen() const {
    QCoreApplication::processEvents();
    const QRect area(list().viewport()->mapTo(frame_.get(), QPoint(0, 0)),
                     list().viewport()->size());
    return frame_->screen()->grabWindow(frame_->winId()).toImage().copy(area);
}

TextLayout PhotoAlbumViewTest::cardText(int left) const {
    const QRect row = rowRect(0);
    return {QPoint(left, 5),       lineStep(),    row.width(),
            row.height(),          list().font(), colour(QPalette::Text),
            colour(QPalette::Base)};
}

TextLayout PhotoAlbumViewTest::previewDetails() const {
    return {QPoint(20, 20 + lineStep()), lineStep(), 500, 100, list().font(), QColor(Qt::black),
            colour(QPalette::Base)};
}

QPoint PhotoAlbumViewTest::inWindow(QPoint viewportPoint) const {
    return list().viewport()->mapTo(frame_.get(), viewportPoint);
}

void PhotoAlbumViewTest::clickInWindow(Qt::MouseButton button, QPoint viewportPoint) const {
    QTest::mouseClick(frame_->windowHandle(), button, {}, inWindow(viewportPoint));
}

void PhotoAlbumViewTest::verifyThumbnail(const QImage& picture, QPoint origin, PhotoRow row,
                                         std::uint32_t formatId, std::uint32_t width,
                                         std::uint32_t height) const {
    const image::Photo& shown = player_.photos[row];
    // Fixed columns as well as the last: a gradient drawn at another width differs there.
    for (const std::uint32_t y : {0U, height / 2, height - 1}) {
        for (const std::uint32_t x :
             {0U, std::min(17U, width - 1), std::min(61U, width - 1), width - 1}) {
            const QPoint at = origin + QPoint(static_cast<int>(x), static_cast<int>(y));
            QVERIFY2(picture.rect().contains(at), "the point lies outside the drawing");
            const QColor expected = colourOf(image::decodedColour(shown, formatId, x, y));
            const QColor actual = picture.pixelColor(at);
            QVERIFY2(actual == expected,
                     qPrintable(QStringLiteral("at (%1, %2): %3 instead of %4")
                                    .arg(at.x())
                                    .arg(at.y())
                                    .arg(describe(actual), describe(expected))));
        }
    }
}

void PhotoAlbumViewTest::verifyLine(const QImage& picture, const TextLayout& layout, int line,
                                    const QString& text) {
    const QRect band = lineBand(layout, line);
    QVERIFY2(picture.convertToFormat(QImage::Format_RGB32).copy(band) ==
                 renderedLine(layout, band, text),
             qPrintable(QStringLiteral("line %1 is not \"%2\"").arg(line).arg(text)));
}

void PhotoAlbumViewTest::verifyLines(const QImage& picture, const TextLayout& layout,
                                     const QStringList& lines) {
    for (int line = 0; line < lines.size(); ++line) {
        verifyLine(picture, layout, line, lines[line]);
    }
    const QRect after = lineBand(layout, static_cast<int>(lines.size()));
    if (!after.isEmpty()) {
        QVERIFY2(isPlain(picture, after, layout.background), "a line too many");
    }
}

void PhotoAlbumViewTest::detailLinesGiveThePlaceTheTimesAndTheDimensions() {
    ImageData photo;
    photo.createdTime = kCreated;
    photo.modifiedTime = kModified;
    QCOMPARE(photoDetailLines(photo, 2, 5, findThumbnailFormat(1019)),
             (QStringList{"Photo 2 of 5", "Created: 01/02/2020 03:04 PM",
                          "Modified: 07/08/2021 09:10 AM", "Dimensions: 720 x 480"}));
    // A photo without times lies before 1970: its dates stay empty. No thumbnail, no dimensions.
    QCOMPARE(photoDetailLines(ImageData{}, 1, 1, nullptr),
             (QStringList{"Photo 1 of 1", "Created: ", "Modified: "}));
}

void PhotoAlbumViewTest::cardShowsTheListThumbnailAndItsDetailsBesideIt() {
    QVERIFY(list().ownerDrawn());
    const QImage card = rowPicture(kEveryFormat);
    QCOMPARE(card.height(), 100);
    verifyThumbnail(card, QPoint(5, 5), kEveryFormat, 1015, 130, 88);
    QCOMPARE(card.pixelColor(4, 4), colour(QPalette::Base));
    QCOMPARE(card.pixelColor(135, 93), colour(QPalette::Base));
    // The dimensions are the largest thumbnail's, not the shown one's.
    verifyLines(card, cardText(140),
                {"Photo 1 of 5", "Created: 01/02/2020 03:04 PM", "Modified: 07/08/2021 09:10 AM",
                 "Dimensions: 720 x 480"});
}

void PhotoAlbumViewTest::missingListThumbnailFileGivesWayToTheNextBest() {
    const QImage card = rowPicture(kListFileGone);
    verifyThumbnail(card, QPoint(5, 5), kListFileGone, 1032, 42, 37);
    QCOMPARE(card.pixelColor(5 + 42, 5 + 10), colour(QPalette::Base));
    verifyLines(card, cardText(42 + 10),
                {"Photo 2 of 5", "Created: 01/02/2020 03:04 PM", "Modified: 07/08/2021 09:10 AM",
                 "Dimensions: 176 x 220"});
}

void PhotoAlbumViewTest::photoWithoutADrawableThumbnailShowsTheGreyBoxAndTextsBesideIt() {
    const QColor grey(128, 128, 128);
    for (const PhotoRow row : {kNothingUsable, kPastTheEnd}) {
        const QImage card = rowPicture(row);
        QVERIFY(isPlain(card, QRect(0, 0, 130, 88), grey));
        QVERIFY(isPlain(card, QRect(130, 0, 10, card.height()), colour(QPalette::Base)));
        QVERIFY(isPlain(card, QRect(0, 88, 130, card.height() - 88), colour(QPalette::Base)));
        QStringList lines{QStringLiteral("Photo %1 of 5").arg(row + 1),
                          "Created: 01/02/2020 03:04 PM", "Modified: 07/08/2021 09:10 AM"};
        // The thumbnail past the end of its file is still on the player, so it has dimensions.
        if (row == kPastTheEnd) {
            lines.push_back("Dimensions: 42 x 30");
        }
        verifyLines(card, cardText(140), lines);
    }
}

void PhotoAlbumViewTest::shortThumbnailFileDrawsWhatItHoldsAndBlackBeyond() {
    const QImage card = rowPicture(kShortThumbnail);
    // 100 bytes hold 50 pixels: the first row of 42 and 8 of the next.
    const QColor blue = colourOf(image::decodedColour(player_.photos[kShortThumbnail], 1009, 0, 0));
    QVERIFY(isPlain(card, QRect(5, 5, 42, 1), blue));
    QVERIFY(isPlain(card, QRect(5, 6, 8, 1), blue));
    QVERIFY(isPlain(card, QRect(5 + 8, 6, 42 - 8, 1), Qt::black));
    QVERIFY(isPlain(card, QRect(5, 7, 42, 28), Qt::black));
}

void PhotoAlbumViewTest::selectedCardUsesTheHighlightAndKeepsTheThumbnail() {
    list().selectRow(kEveryFormat);
    const QImage card = rowPicture(kEveryFormat);
    const QColor highlight = colour(QPalette::Highlight);
    QVERIFY(isPlain(card, QRect(0, 0, card.width(), 5), highlight));
    QVERIFY(isPlain(card, QRect(0, 93, card.width(), 7), highlight));
    verifyThumbnail(card, QPoint(5, 5), kEveryFormat, 1015, 130, 88);
    TextLayout text = cardText(140);
    text.ink = colour(QPalette::HighlightedText);
    text.background = highlight;
    verifyLines(card, text,
                {"Photo 1 of 5", "Created: 01/02/2020 03:04 PM", "Modified: 07/08/2021 09:10 AM",
                 "Dimensions: 720 x 480"});
    QCOMPARE(rowPicture(kListFileGone).pixelColor(2, 2), colour(QPalette::Base));
}

void PhotoAlbumViewTest::doubleClickPreviewsTheLargestThumbnail() {
    const QPoint onRow = rowRect(kEveryFormat).center();
    QTest::mouseDClick(frame_->windowHandle(), Qt::LeftButton, {}, inWindow(onRow));
    // The release that ends the double-click must not end the preview it opened.
    QVERIFY(list().previewMode());
    QCOMPARE(list().verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(frame_->statusText(), QStringLiteral("1 items selected."));

    const QImage preview = viewportPicture();
    const auto visibleWidth = static_cast<std::uint32_t>(std::min(720, preview.width() - 10));
    const auto visibleHeight = static_cast<std::uint32_t>(std::min(480, preview.height() - 100));
    verifyThumbnail(preview, QPoint(10, 100), kEveryFormat, 1019, visibleWidth, visibleHeight);
    const TextLayout hint{
        QPoint(10, 20),        lineStep(), 500, 100, list().font(), QColor(0, 0, 255),
        colour(QPalette::Base)};
    verifyLine(preview, hint, 0, QStringLiteral("Click on image to return to Album view."));
    verifyLines(preview, previewDetails(),
                {"Photo 1 of 5", "Created: 01/02/2020 03:04 PM", "Modified: 07/08/2021 09:10 AM",
                 "Dimensions: 720 x 480"});
}

void PhotoAlbumViewTest::leftClickLeavesThePreviewWithoutChangingTheSelection() {
    list().selectRow(kEveryFormat);
    list().previewPhoto();
    QVERIFY(list().previewMode());
    // Row 3 lies hidden under the preview; the click must not select it.
    const QPoint overAnotherRow(200, 3 * 100 + 50);
    clickInWindow(Qt::LeftButton, overAnotherRow);
    QVERIFY(!list().previewMode());
    QCOMPARE(list().verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QCOMPARE(list().selectedRows(),
             std::vector<const NodeData*>{list().listModel().rowAt(kEveryFormat)});
    verifyThumbnail(rowPicture(kEveryFormat), QPoint(5, 5), kEveryFormat, 1015, 130, 88);
}

void PhotoAlbumViewTest::previewCommandFromTheMenuAndARightClickBackWithoutAMenu() {
    QStringList commands;
    {
        const MenuWatch watch([&](QMenu& menu) {
            for (QAction* action : menu.actions()) {
                commands.push_back(action->text());
                if (action->text() == QStringLiteral("Preview Photo")) {
                    action->trigger();
                }
            }
        });
        clickInWindow(Qt::RightButton, rowRect(kListFileGone).center());
        QTRY_COMPARE(watch.menusSeen(), 1);
    }
    QVERIFY(commands.contains(QStringLiteral("Preview Photo")));
    QVERIFY(list().previewMode());
    const QImage preview = viewportPicture();
    verifyThumbnail(preview, QPoint(10, 100), kListFileGone, 1013, 176, 220);
    verifyLines(preview, previewDetails(),
                {"Photo 2 of 5", "Created: 01/02/2020 03:04 PM", "Modified: 07/08/2021 09:10 AM",
                 "Dimensions: 176 x 220"});

    const MenuWatch watch([](QMenu& /*menu*/) {});
    clickInWindow(Qt::RightButton, QPoint(200, 150));
    QTest::qWait(50);
    QVERIFY(!list().previewMode());
    QCOMPARE(watch.menusSeen(), 0);
    QCOMPARE(list().selectedRows(),
             std::vector<const NodeData*>{list().listModel().rowAt(kListFileGone)});
}

void PhotoAlbumViewTest::previewOfAPhotoWithoutAReadableThumbnailShowsOnlyTheTexts() {
    for (const PhotoRow row : {kNothingUsable, kPastTheEnd}) {
        list().clearSelection();
        list().selectRow(row);
        list().previewPhoto();
        QVERIFY(list().previewMode());
        const QImage preview = viewportPicture();
        QVERIFY(isPlain(preview, QRect(0, 100, preview.width(), preview.height() - 100),
                        colour(QPalette::Base)));
        QStringList lines{QStringLiteral("Photo %1 of 5").arg(row + 1),
                          "Created: 01/02/2020 03:04 PM", "Modified: 07/08/2021 09:10 AM"};
        if (row == kPastTheEnd) {
            lines.push_back("Dimensions: 42 x 30");
        }
        verifyLines(preview, previewDetails(), lines);
        clickInWindow(Qt::LeftButton, QPoint(50, 50));
        QVERIFY(!list().previewMode());
    }
}

void PhotoAlbumViewTest::previewTextsInALargeFontAreCutAboveTheThumbnail() {
    QFont large = list().font();
    large.setPixelSize(30);
    list().setFont(large);
    QVERIFY(20 + 2 * lineStep() < 100);
    QVERIFY(20 + 3 * lineStep() >= 100);
    list().selectRow(kNothingUsable);
    list().previewPhoto();
    const QImage preview = viewportPicture();
    // Only the blue line, "Photo 3 of 5" and the top of "Created: " fit.
    verifyLines(preview, previewDetails(),
                {QStringLiteral("Photo 3 of 5"), QStringLiteral("Created: 01/02/2020 03:04 PM")});
    QVERIFY(isPlain(preview, QRect(0, 100, preview.width(), preview.height() - 100),
                    colour(QPalette::Base)));
}

void PhotoAlbumViewTest::previewOnScreenFollowsTheSelectionAndIgnoresScrolling() {
    // Short enough that the rows need scrolling, tall enough for the preview's top.
    frame_->resize(1000, 450);
    QCoreApplication::processEvents();
    const auto visible =
        static_cast<std::uint32_t>(std::min(220, list().viewport()->height() - 100));
    QVERIFY(visible > 50);
    list().setFocus();
    list().setCurrentIndex(list().listModel().index(kEveryFormat, 0));
    list().previewPhoto();
    QVERIFY(list().previewMode());
    verifyThumbnail(viewportOnScreen(), QPoint(10, 100), kEveryFormat, 1019, 176, visible);

    QTest::keyClick(&list(), Qt::Key_Down);
    QCOMPARE(list().selectedRows(),
             std::vector<const NodeData*>{list().listModel().rowAt(kListFileGone)});
    verifyThumbnail(viewportOnScreen(), QPoint(10, 100), kListFileGone, 1013, 176, visible);

    list().verticalScrollBar()->setValue(list().verticalScrollBar()->maximum());
    QVERIFY(list().verticalScrollBar()->value() > 0);
    const QImage scrolled = viewportOnScreen();
    verifyThumbnail(scrolled, QPoint(10, 100), kListFileGone, 1013, 176, visible);
    verifyLines(scrolled, previewDetails(),
                {"Photo 2 of 5", "Created: 01/02/2020 03:04 PM", "Modified: 07/08/2021 09:10 AM",
                 "Dimensions: 176 x 220"});
}

void PhotoAlbumViewTest::refillEndsThePreviewAndOtherNodesGetCellsAgain() {
    QVERIFY(dynamic_cast<PhotoRowDelegate*>(list().itemDelegate()) != nullptr);
    list().selectRow(kEveryFormat);
    list().previewPhoto();
    QVERIFY(list().previewMode());
    selectTreeItem({QStringLiteral("Photos")});
    QVERIFY(!list().previewMode());
    QCOMPARE(list().verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QVERIFY(!list().ownerDrawn());
    QVERIFY(dynamic_cast<PhotoRowDelegate*>(list().itemDelegate()) == nullptr);
    QVERIFY(list().rowHeight(0) < 100);

    selectTreeItem({QStringLiteral("Photos"), QStringLiteral("Holiday")});
    verifyThumbnail(rowPicture(kEveryFormat), QPoint(5, 5), kEveryFormat, 1015, 130, 88);
}

}  // namespace pelmar::ui

QTEST_MAIN(pelmar::ui::PhotoAlbumViewTest)
#include "photo_album_view_test.moc"
