#pragma once

#include <memory>

#include "backup/itunes.h"

namespace pelmar {

// The automation server of this system. There is no iTunes here, so creating the application
// object always fails: a run with iTunes insertion on logs its connection as failed and backs up
// as usual.
class SystemITunesServer final : public ITunesServer {
  public:
    [[nodiscard]] std::unique_ptr<IiTunes> CreateApplication() override { return nullptr; }
};

}  // namespace pelmar
