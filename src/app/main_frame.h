#pragma once

#include <QMainWindow>
#include <optional>
#include <string>
#include <vector>

#include "library/node_model.h"
#include "library/player_library.h"

class QAction;
class QLabel;
class QSplitter;
class QToolBar;

namespace pelmar {
class SystemVolumes;
class UserMessages;
}  // namespace pelmar

namespace pelmar::ui {
class CLeftView;
class CRightView;
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
    [[nodiscard]] AddressBar& addressBar() const { return *addressBar_; }
    [[nodiscard]] StatusBand& statusBand() const { return *statusBand_; }
    [[nodiscard]] QToolBar& connectionBar() const { return *toolbarA_; }
    [[nodiscard]] QToolBar& spacerBar() const { return *toolbarB_; }
    [[nodiscard]] QToolBar& itemBar() const { return *toolbarC_; }
    [[nodiscard]] QSplitter& splitter() const { return *splitter_; }
    [[nodiscard]] QAction& connectAction() const { return *connectAction_; }
    [[nodiscard]] QString statusText() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void buildBars(QWidget& top);
    void buildStatusBar();
    void disconnectPlayer();
    void alignItemBar();
    void showKeyboardLocks();
    void moveFocusBetweenPanes();

    PlayerLibrary library_;
    std::vector<std::uint32_t> searchResults_;
    NodeSource source_;
    const SystemVolumes& system_;
    UserMessages& messages_;
    std::optional<std::string> explicitRoot_;

    ui::CLeftView* tree_ = nullptr;
    ui::CRightView* list_ = nullptr;
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
