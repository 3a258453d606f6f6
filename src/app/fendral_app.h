#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/system_volumes.h"
#include "ui/dialog_messages.h"

namespace pelmar::app {

class CMainFrame;

// Starts the program: makes the main window and shows it.
class CFendralApp {
  public:
    CFendralApp();
    ~CFendralApp();
    CFendralApp(const CFendralApp&) = delete;
    CFendralApp& operator=(const CFendralApp&) = delete;

    // `explicitRoot` is the player folder named on the command line or in $PELMAR_PLAYER.
    bool initInstance(std::optional<std::string> explicitRoot);
    [[nodiscard]] CMainFrame* mainFrame() const { return mainFrame_.get(); }

  private:
    SystemVolumes system_;
    ui::DialogMessages messages_;
    std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace pelmar::app
