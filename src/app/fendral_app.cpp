#include "app/fendral_app.h"

#include "app/main_frame.h"

namespace pelmar::app {

CFendralApp::CFendralApp() = default;
CFendralApp::~CFendralApp() = default;

bool CFendralApp::initInstance(std::optional<std::string> explicitRoot) {
    mainFrame_ = std::make_unique<CMainFrame>(system_, messages_, std::move(explicitRoot));
    messages_.setParent(mainFrame_.get());
    mainFrame_->resize(980, 640);
    mainFrame_->show();
    return true;
}

}  // namespace pelmar::app
