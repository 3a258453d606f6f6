#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "util/user_messages.h"

namespace pelmar::test {

// Keeps what would have been shown to the user, in order.
class RecordedMessages final : public UserMessages {
  public:
    void information(std::string_view text) override { texts.emplace_back(text); }
    std::vector<std::string> texts;
};

}  // namespace pelmar::test
