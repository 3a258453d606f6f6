#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/about_dialog.h"
#include "app/address_bar.h"
#include "app/status_band.h"
#include "backup/backup_checks.h"
#include "backup/backup_selection.h"
#include "backup/system_itunes.h"
#include "library/connect.h"
#include "library/removal_watch.h"
#include "library/track_search.h"
#include "platform/keyboard_locks.h"
#include "platform/system_volumes.h"
#include "ui/backup_sheet.h"
#include "ui/cover_panel.h"
#include "ui/desktop_shell.h"
#include "ui/left_view.h"
#include "ui/node_icons.h"
#include "ui/right_view.h"
#include "util/display_name.h"
#include "util/literal_store.h"
#include "util/protected_literals.h"
#include "util/settings_store.h"
#include "util/user_messages.h"

namespace pelmar::app {

namespace {

constexpr int kInitialTreeWidth = 200;
constexpr int kKeyboardLockPollMs = 500;

QToolBar* makeToolBar(QWidget& parent) {
    auto* bar = new QToolBar(&parent);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(ui::NodeIcons::kSize, ui::NodeIcons::kSize));
    return bar;
}

QAction* addButton(QToolBar& bar, int icon, const QString& text) {
    return bar.addAction(ui::NodeIcons::icon(icon), text);
}

// One row of the bar area at the top: its widgets side by side, the rest of the row empty.
QHBoxLayout* addRow(QVBoxLayout& rows) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    rows.addLayout(row);
    return row;
}

}  // namespace

CMainFrame::CMainFrame(const SystemVolumes& system, UserMessages& messages,
                       std::optional<std::string> explicitRoot, QWidget* parent)
    : QMainWindow(parent),
      source_{library_, searchResults_,
              [this](const std::string& path) { return system_.space(path); }},
      system_(system),
      messages_(messages),
      explicitRoot_(std::move(explicitRoot)),
      settings_(std::make_unique<SettingsStore>(SettingsStore::defaultFolder())),
      systemShell_(std::make_unique<ui::SystemDesktopShell>()),
      shell_(systemShell_.get()),
      itunes_(std::make_unique<SystemITunesServer>()),
      runSheet_([](QDialog& sheet) { sheet.exec(); }) {
    setWindowTitle(QStringLiteral("Pelmar Vantrell"));
    setWindowIcon(QIcon(QStringLiteral(":/pelmar/pelmar-vantrell.png")));
    // The window keeps the focus itself at first: no pane is active until the user picks one.
    setFocusPolicy(Qt::StrongFocus);

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* top = new QWidget(client);
    layout->addWidget(top);

    splitter_ = new QSplitter(Qt::Horizontal, client);
    splitter_->setChildrenCollapsible(true);
    tree_ = new ui::CLeftView(source_, splitter_);
    // The list and the cover beside it share the splitter's second pane.
    auto* listPane = new QWidget(splitter_);
    auto* listRow = new QHBoxLayout(listPane);
    listRow->setContentsMargins(0, 0, 0, 0);
    listRow->setSpacing(0);
    list_ = new ui::CRightView(source_, listPane);
    coverPanel_ = new ui::CoverPanel(list_->covers(), listPane);
    coverPanel_->hide();
    listRow->addWidget(list_, 1);
    listRow->addWidget(coverPanel_);
    tree_->setMinimumWidth(0);
    splitter_->setStretchFactor(1, 1);
    layout->addWidget(splitter_, 1);
    setCentralWidget(client);

    buildMenus();
    buildBars(*top);
    buildStatusBar();
    splitter_->setSizes({kInitialTreeWidth, width() - kInitialTreeWidth});

    connect(tree_, &ui::CLeftView::selectedNodeChanged, this, &CMainFrame::refreshFromSelection);
    connect(list_, &ui::CRightView::statusTextChanged, this, &CMainFrame::setStatusText);
    connect(list_, &ui::CRightView::shownCoverChanged, this, &CMainFrame::showListCover);
    connect(list_, &ui::CRightView::treeItemRequested, tree_, &ui::CLeftView::selectTreeItem);
    connect(tree_, &ui::CLeftView::backupSelectedRequested, this, &CMainFrame::backupFromTree);
    connect(list_, &ui::CRightView::backupSelectedRequested, this, &CMainFrame::backupFromList);
    connect(tree_, &ui::CLeftView::activated, this, [this] { activePane_ = Pane::Tree; });
    connect(list_, &ui::CRightView::activated, this, [this] { activePane_ = Pane::List; });
    tree_->installEventFilter(this);
    connect(addressBar_, &AddressBar::searchRequested, this, &CMainFrame::searchCommand);

    auto* nextPane = new QShortcut(QKeySequence(Qt::Key_F6), this);
    auto* previousPane = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(nextPane, &QShortcut::activated, this, &CMainFrame::moveFocusBetweenPanes);
    connect(previousPane, &QShortcut::activated, this, &CMainFrame::moveFocusBetweenPanes);
    setFocus();
    startRemovalWatch(RemovalWatch::kDefaultPeriod, RemovalWatch::kDefaultRetryDelay);
}

CMainFrame::~CMainFrame() {
    removalWatch_.reset();
    // The views hold pointers into the library's nodes: let them go before the library does.
    list_->forgetCovers();
    list_->clearList();
    tree_->clearTree();
}

void CMainFrame::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction* statusBarShown = view->addAction(QStringLiteral("&Status Bar"));
    statusBarShown->setCheckable(true);
    statusBarShown->setChecked(true);
    connect(statusBarShown, &QAction::toggled, this,
            [this](bool shown) { statusBar()->setVisible(shown); });
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About Pelmar Vantrell..."), this, &CMainFrame::aboutCommand);
}

void CMainFrame::buildBars(QWidget& top) {
    auto* rows = new QVBoxLayout(&top);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);

    // Row 1: the connection bar, or while connecting the status band in its place.
    QHBoxLayout* first = addRow(*rows);
    toolbarA_ = makeToolBar(top);
    connectAction_ = addButton(*toolbarA_, node_icon::kPlayer, QStringLiteral("Connect to iPod"));
    toolbarA_->addSeparator();
    QAction* options = addButton(*toolbarA_, 35, QStringLiteral("Backup Options"));
    connect(options, &QAction::triggered, this, &CMainFrame::backupOptionsCommand);
    connect(connectAction_, &QAction::triggered, this, &CMainFrame::connectCommand);
    first->addWidget(toolbarA_);
    statusBand_ = new StatusBand(&top);
    statusBand_->hide();
    first->addWidget(statusBand_);
    first->addStretch(1);

    // Row 2: the address bar.
    addressBar_ = new AddressBar(&top);
    addRow(*rows)->addWidget(addressBar_);

    // Row 3: an empty bar as wide as the tree, so the item commands start above the list.
    QHBoxLayout* third = addRow(*rows);
    toolbarB_ = makeToolBar(top);
    third->addWidget(toolbarB_);
    toolbarC_ = makeToolBar(top);
    QAction* up = addButton(*toolbarC_, 1, QStringLiteral("Up"));
    toolbarC_->addSeparator();
    QAction* backup =
        addButton(*toolbarC_, node_icon::kPhotos, QStringLiteral("Backup Selected Items"));
    connect(backup, &QAction::triggered, this, &CMainFrame::backupSelectedCommand);
    toolbarC_->addSeparator();
    QAction* selectAll = addButton(*toolbarC_, 2, QStringLiteral("Select All"));
    QAction* invert = addButton(*toolbarC_, 3, QStringLiteral("Invert Selection"));
    connect(up, &QAction::triggered, this, &CMainFrame::upCommand);
    connect(selectAll, &QAction::triggered, list_, &ui::CRightView::selectAllRows);
    connect(invert, &QAction::triggered, list_, &ui::CRightView::invertSelection);
    third->addWidget(toolbarC_);
    third->addStretch(1);
}

void CMainFrame::buildStatusBar() {
    message_ = new QLabel(QStringLiteral("Ready"));
    statusBar()->addWidget(message_, 1);
    capsLock_ = new QLabel(QStringLiteral("CAP"));
    numLock_ = new QLabel(QStringLiteral("NUM"));
    scrollLock_ = new QLabel(QStringLiteral("SCRL"));
    for (QLabel* indicator : {capsLock_, numLock_, scrollLock_}) {
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(indicator->text()) +
                                   8);
        statusBar()->addPermanentWidget(indicator);
    }
    showKeyboardLocks();
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &CMainFrame::showKeyboardLocks);
    poll->start(kKeyboardLockPollMs);
}

void CMainFrame::showKeyboardLocks() {
    const KeyboardLocks locks = readKeyboardLocks();
    capsLock_->setEnabled(locks.capsLock);
    numLock_->setEnabled(locks.numLock);
    scrollLock_->setEnabled(locks.scrollLock);
}

void CMainFrame::setStatusText(const QString& text) {
    message_->setText(text);
}

QString CMainFrame::statusText() const {
    return message_->text();
}

void CMainFrame::alignItemBar() {
    toolbarB_->setFixedWidth(tree_->width() + 4);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_ && event->type() == QEvent::Resize) {
        alignItemBar();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::moveFocusBetweenPanes() {
    if (tree_->hasFocus()) {
        list_->setFocus(Qt::TabFocusReason);
    } else {
        tree_->setFocus(Qt::TabFocusReason);
    }
}

void CMainFrame::connectCommand() {
    if (library_.isConnected != 0) {
        disconnectPlayer();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    statusBand_->setStatus(reveal(kLiteralConnectingCaption));
    toolbarA_->hide();
    statusBand_->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    pelmar::connect(library_, *statusBand_, system_, messages_, explicitRoot_);
    if (library_.isConnected != 0) {
        removalWatch_->watch(library_.rootPath);
        tree_->fillTree();
        connectAction_->setText(QString::fromUtf8(reveal(kLiteralDisconnectCaption)));
    }

    statusBand_->hide();
    toolbarA_->show();
    QApplication::restoreOverrideCursor();
}

void CMainFrame::disconnectPlayer() {
    removalWatch_->stop();
    list_->forgetCovers();
    list_->clearList();
    tree_->clearTree();
    library_.clear();
    addressBar_->clearLocation();
    connectAction_->setText(QString::fromUtf8(reveal(kLiteralConnectCaption)));
}

void CMainFrame::showListCover() {
    const bool shown = list_->showsCoverPanel();
    coverPanel_->showCover(shown ? list_->shownCover() : std::nullopt);
    coverPanel_->setVisible(shown);
}

void CMainFrame::refreshFromSelection() {
    list_->refill(*tree_);
    const NodeData* node = tree_->selectedNode();
    if (node == nullptr) {
        addressBar_->clearLocation();
        return;
    }
    addressBar_->setLocation(tree_->selectedPath(), ui::NodeIcons::icon(node->image));
}

void CMainFrame::searchCommand() {
    const std::string term = addressBar_->searchText().toStdString();
    searchResults_.clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    searchResults_ = searchTracks(library_, term);
    if (!searchResults_.empty()) {
        // Selecting another node refills the list by itself; an unchanged selection needs the
        // refill done here.
        const NodeData* before = tree_->selectedNode();
        tree_->selectSearchResultsNode();
        if (tree_->selectedNode() == before) {
            refreshFromSelection();
        }
    }
    QApplication::restoreOverrideCursor();
    if (searchResults_.empty()) {
        messages_.information("Search produced no results.  Please try a different search term.");
    }
}

void CMainFrame::startRemovalWatch(std::chrono::milliseconds period,
                                   std::chrono::milliseconds retry) {
    removalWatch_.reset();
    removalWatch_ = std::make_unique<RemovalWatch>(
        [this](const std::string& root) {
            // The watch's own thread: the message and the disconnect belong to the UI thread.
            QMetaObject::invokeMethod(
                this, [this, root] { playerRemoved(root); }, Qt::QueuedConnection);
        },
        pathAttributesReadable, period, retry);
    if (library_.isConnected != 0) {
        removalWatch_->watch(library_.rootPath);
    }
}

void CMainFrame::setRemovalWatchTiming(std::chrono::milliseconds period,
                                       std::chrono::milliseconds retry) {
    startRemovalWatch(period, retry);
}

void CMainFrame::playerRemoved(const std::string& root) {
    // A report can cross a disconnect, or a connect to another player, made in the meantime.
    if (library_.isConnected == 0 || library_.rootPath != root) {
        return;
    }
    messages_.information(playerRemovedMessage(kDisplayName));
    if (sheetShown_) {
        disconnectWhenSheetCloses_ = true;
        return;
    }
    if (library_.isConnected != 0) {
        disconnectPlayer();
    }
}

void CMainFrame::showSheet(QDialog& sheet) {
    sheetShown_ = true;
    runSheet_(sheet);
    sheetShown_ = false;
    if (disconnectWhenSheetCloses_) {
        disconnectWhenSheetCloses_ = false;
        if (library_.isConnected != 0) {
            disconnectPlayer();
        }
    }
}

void CMainFrame::backupOptionsCommand() {
    // The naming preview shows the library's first track; a library of videos alone, or none,
    // previews an empty track.
    KernelId first;
    std::uint32_t kind = 0;
    if (library_.firstTrack(first, kind) <= 0) {
        first = KernelId();
    }
    ui::CCustomSheet sheet(library_, {first}, *settings_, *shell_, this);
    showSheet(sheet);
}

void CMainFrame::backupSelectedCommand() {
    if (activePane_ == Pane::Tree) {
        backupFromTree();
    } else {
        backupFromList();
    }
}

void CMainFrame::backupFromTree() {
    const BackupStart start = backupStartFromTree(tree_->selectedNode());
    openBackupSheet(start.nodes, start.refusal);
}

void CMainFrame::backupFromList() {
    const std::vector<const NodeData*> rows = list_->selectedRows();
    const BackupStart start = backupStartFromList(rows);
    openBackupSheet(start.nodes, start.refusal);
}

void CMainFrame::openBackupSheet(std::span<const NodeData* const> startNodes,
                                 const std::string& refusal) {
    if (!refusal.empty()) {
        messages_.information(refusal);
        return;
    }
    BackupSelection selection;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        selection = CollectBackupSelection(source_, startNodes);
        QApplication::restoreOverrideCursor();
    }
    const ui::BackupServices services{*settings_, messages_, *shell_, *itunes_, volumeFreeBytes};
    ui::CBackupSheet sheet(library_, std::move(selection), services, this);
    showSheet(sheet);
}

void CMainFrame::upCommand() {
    tree_->up();
}

void CMainFrame::aboutCommand() {
    CAboutDlg about(this);
    about.exec();
}

}  // namespace pelmar::app
