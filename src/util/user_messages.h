#pragma once

#include <string_view>

namespace pelmar {

// Where the core tells the user about a problem found before an action starts. The GUI shows a
// message box with an information icon and an OK button; the command line prints the text; tests
// record it.
class UserMessages {
  public:
    virtual ~UserMessages() = default;
    virtual void information(std::string_view text) = 0;
};

}  // namespace pelmar
