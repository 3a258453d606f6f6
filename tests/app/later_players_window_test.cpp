#include <QAbstractItemModel>
#include <QTreeWidgetItem>
#include <QtTest>

#include "app/main_frame.h"
#include "platform/system_volumes.h"
#include "player_image/player_image.h"
#include "support/recorded_messages.h"
#include "support/temp_folder.h"
#include "support/tree_path.h"
#include "ui/item_list_model.h"
#include "ui/left_view.h"
#include "ui/right_view.h"

Q_DECLARE_METATYPE(pelmar::player_image::Model)
Q_DECLARE_METATYPE(pelmar::player_image::CompressedPresence)

namespace pelmar::app {

namespace image = player_image;

// Connect on the players of later generations: whatever holds the library (a compressed database,
// or only the SQLite files of a nano 7G), the tree, the list and the device information show it
// whole, playlists made on the player among the others.
class LaterPlayersWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void connectShowsTheWholeLibraryInTheTreeAndTheList_data();
    void connectShowsTheWholeLibraryInTheTreeAndTheList();

  private:
    [[nodiscard]] QString cell(const CMainFrame& frame, int row, int column) const;
    // The root's category row with this label: its count column.
    [[nodiscard]] int categoryCount(const CMainFrame& frame, const QString& label) const;
    // The number of rows the list shows once the tree item is selected.
    [[nodiscard]] int rowsOf(CMainFrame& frame, const QStringList& labels) const;

    test::TempFolder folder_;
    SystemVolumes system_;
    test::RecordedMessages messages_;
};

void LaterPlayersWindowTest::initTestCase() {
    qputenv("PELMAR_CONFIG_DIR", QByteArray::fromStdString((folder_.path() / "config").string()));
}

QString LaterPlayersWindowTest::cell(const CMainFrame& frame, int row, int column) const {
    const QAbstractItemModel& model = frame.list().listModel();
    return model.data(model.index(row, column)).toString();
}

int LaterPlayersWindowTest::categoryCount(const CMainFrame& frame, const QString& label) const {
    for (int row = 0; row < frame.list().listModel().rowCount(); ++row) {
        if (cell(frame, row, 0) == label) {
            return cell(frame, row, 1).toInt();
        }
    }
    return -1;
}

int LaterPlayersWindowTest::rowsOf(CMainFrame& frame, const QStringList& labels) const {
    QTreeWidgetItem* item = test::treeItemAt(frame.tree(), labels);
    if (item == nullptr) {
        return -1;
    }
    frame.tree().setCurrentItem(item);
    return frame.list().listModel().rowCount();
}

void LaterPlayersWindowTest::connectShowsTheWholeLibraryInTheTreeAndTheList_data() {
    QTest::addColumn<image::Model>("model");
    QTest::addColumn<image::CompressedPresence>("presence");
    QTest::addColumn<QString>("modelName");
    QTest::newRow("nano 5G") << image::Model::Nano5G << image::CompressedPresence::Written
                             << QStringLiteral("iPod nano (5th generation)");
    QTest::newRow("nano 7G") << image::Model::Nano7G << image::CompressedPresence::Written
                             << QStringLiteral("iPod nano (7th generation)");
    QTest::newRow("nano 7G, SQLite files only")
        << image::Model::Nano7G << image::CompressedPresence::Missing
        << QStringLiteral("iPod nano (7th generation)");
}

void LaterPlayersWindowTest::connectShowsTheWholeLibraryInTheTreeAndTheList() {
    QFETCH(image::Model, model);
    QFETCH(image::CompressedPresence, presence);
    QFETCH(QString, modelName);
    image::Options options = image::optionsFor(model);
    options.trackCount = 30;
    options.withMedia = false;
    options.withArtwork = false;
    options.withPhotos = false;
    options.onTheGoCount = 2;
    options.compressedPresence = presence;
    const image::PlayerImage written = image::generatePlayerImage(options);
    const std::filesystem::path root = folder_.path() / QTest::currentDataTag();
    std::string error;
    QVERIFY2(image::writePlayerImage(written, root, options, error), error.c_str());

    messages_.texts.clear();
    CMainFrame frame(system_, messages_, root.string() + "/");
    frame.show();
    frame.connectCommand();
    QCOMPARE(frame.library().isConnected, 1);
    QVERIFY(messages_.texts.empty());

    const int songs = categoryCount(frame, QStringLiteral("Songs (All Tracks)"));
    const int videos = categoryCount(frame, QStringLiteral("Videos"));
    const int playlists = categoryCount(frame, QStringLiteral("Playlists"));
    QCOMPARE(static_cast<std::size_t>(songs + videos), written.tracks.size());
    QCOMPARE(static_cast<std::size_t>(playlists),
             written.playlists.size() - 1 + written.onTheGoPlaylists.size());
    QCOMPARE(test::treeItemAt(frame.tree(), {"Playlists"})->childCount(), playlists);

    QCOMPARE(rowsOf(frame, {"Songs (All Tracks)"}), songs);
    QCOMPARE(rowsOf(frame, {"Videos"}), videos);
    QCOMPARE(rowsOf(frame, {"Playlists"}), playlists);
    for (std::size_t file = 0; file < written.onTheGoPlaylists.size(); ++file) {
        const QString name = file == 0 ? QStringLiteral("On-The-Go")
                                       : QStringLiteral("On-The-Go %1").arg(file);
        QCOMPARE(static_cast<std::size_t>(rowsOf(frame, {"Playlists", name})),
                 written.onTheGoPlaylists[file].size());
    }

    const int properties = rowsOf(frame, {"Device Information"});
    QStringList labels;
    for (int row = 0; row < properties; ++row) {
        labels.push_back(cell(frame, row, 0));
    }
    const int modelRow = static_cast<int>(labels.indexOf(QStringLiteral("Model")));
    QVERIFY2(modelRow >= 0, qPrintable(labels.join(',')));
    QCOMPARE(cell(frame, modelRow, 1), modelName);
}

}  // namespace pelmar::app

QTEST_MAIN(pelmar::app::LaterPlayersWindowTest)
#include "later_players_window_test.moc"
