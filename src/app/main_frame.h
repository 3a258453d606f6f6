#pragma once

#include <QMainWindow>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "library/node_model.h"
#include "library/player_library.h"

class QAction;
class QDialog;
class QLabel;
class QSplitter;
class QToolBar;

namespace pelmar {
class ITunesServer;
class RemovalWatch;
class SettingsStore;
class SystemVolumes;
class UserMessages;
}  // namespace pelmar

namespace pelmar::ui {
class CLeftView;
class CoverPanel;
class CRightView;
class DesktopShell;
}  // namespace pelmar::ui

namespace pelmar::app {

class AddressBar;
class StatusBand;

// The program's one window: the bars, the category tree beside the item list, and the connect,
// search and selection commands. It owns the library for the life of the program.
class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    // `explicitRoot` names the player's folder instead of searching the mounted volumes.
    CMainFrame(const SystemVolumes& system, UserMessages& messages,
               std::optional<std::string> explicitRoot, QWidget* parent = nullptr);
    ~CMainFrame() override;

    void connectCommand();
    void backupOptionsCommand();
    // "Backup Selected Items" on the toolbar: the tree's selected node while the tree pane is
    // active, else the list's selected rows.
    void backupSelectedCommand();
    void backupFromTree();
    void backupFromList();
    void searchCommand();
    void upCommand();
    void aboutCommand();
    // Refills the list from the tree's selected node and shows that node's path.
    void refreshFromSelection();
    void setStatusText(const QString& text);

    enum class Pane { None, Tree, List };
    [[nodiscard]] Pane activePane() const { return activePane_; }

    [[nodiscard]] PlayerLibrary& library() { return library_; }
    [[nodiscard]] const std::vector<std::uint32_t>& searchResults() const { return searchResults_; }
    [[nodiscard]] ui::CLeftView& tree() const { return *tree_; }
    [[nodiscard]] ui::CRightView& list() const { return *list_; }
    [[nodiscard]] ui::CoverPanel& coverPanel() const { return *coverPanel_; }
    [[nodiscard]] AddressBar& addressBar() const { return *addressBar_; }
    [[nodiscard]] StatusBand& statusBand() const { return *statusBand_; }
    [[nodiscard]] QToolBar& connectionBar() const { return *toolbarA_; }
    [[nodiscard]] QToolBar& spacerBar() const { return *toolbarB_; }
    [[nodiscard]] QToolBar& itemBar() const { return *toolbarC_; }
    [[nodiscard]] QSplitter& splitter() const { return *splitter_; }
    [[nodiscard]] QAction& connectAction() const { return *connectAction_; }
    [[nodiscard]] QString statusText() const;

    // How the backup sheets are shown: modally by default; tests drive them in place.
    using SheetRunner = std::function<void(QDialog&)>;
    void setSheetRunner(SheetRunner runner) { runSheet_ = std::move(runner); }
    void setDesktopShell(ui::DesktopShell& shell) { shell_ = &shell; }
    // How often a connected player is looked for, and how soon a missed look is repeated.
    void setRemovalWatchTiming(std::chrono::milliseconds period, std::chrono::milliseconds retry);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void buildBars(QWidget& top);
    void buildStatusBar();
    void disconnectPlayer();
    void showListCover();
    void alignItemBar();
    void showKeyboardLocks();
    void moveFocusBetweenPanes();
    void startRemovalWatch(std::chrono::milliseconds period, std::chrono::milliseconds retry);
    void playerRemoved(const std::string& root);
    // Shows a sheet; a player unplugged meanwhile is disconnected once the sheet has closed, as
    // a run in the sheet may still be reading the library.
    void showSheet(QDialog& sheet);
    void openBackupSheet(std::span<const NodeData* const> startNodes, const std::string& refusal);

    PlayerLibrary library_;
    std::vector<std::uint32_t> searchResults_;
    NodeSource source_;
    const SystemVolumes& system_;
    UserMessages& messages_;
    std::optional<std::string> explicitRoot_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<ui::DesktopShell> systemShell_;
    ui::DesktopShell* shell_;
    std::unique_ptr<ITunesServer> itunes_;
    SheetRunner runSheet_;
    bool sheetShown_ = false;
    bool disconnectWhenSheetCloses_ = false;
    std::unique_ptr<RemovalWatch> removalWatch_;

    ui::CLeftView* tree_ = nullptr;
    ui::CRightView* list_ = nullptr;
    ui::CoverPanel* coverPanel_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QToolBar* toolbarA_ = nullptr;
    QToolBar* toolbarB_ = nullptr;
    QToolBar* toolbarC_ = nullptr;
    AddressBar* addressBar_ = nullptr;
    StatusBand* statusBand_ = nullptr;
    QAction* connectAction_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* capsLock_ = nullptr;
    QLabel* numLock_ = nullptr;
    QLabel* scrollLock_ = nullptr;
    Pane activePane_ = Pane::None;
};

}  // namespace pelmar::app
