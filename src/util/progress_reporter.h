#pragma once

#include <cstdint>
#include <string_view>

namespace pelmar {

// What a long-running loader tells the user while it works: the GUI shows it in the status band,
// the command line on its progress line.
class ProgressReporter {
  public:
    virtual ~ProgressReporter() = default;

    virtual void setStatus(std::string_view text) = 0;
    virtual void setRange(std::uint32_t lower, std::uint32_t upper) = 0;
    virtual void setPosition(std::uint32_t position) = 0;
    virtual void step() = 0;
    // Lets the user interface process pending events so it keeps painting.
    virtual void pump() = 0;
};

class NullProgressReporter final : public ProgressReporter {
  public:
    void setStatus(std::string_view /*text*/) override {}
    void setRange(std::uint32_t /*lower*/, std::uint32_t /*upper*/) override {}
    void setPosition(std::uint32_t /*position*/) override {}
    void step() override {}
    void pump() override {}
};

}  // namespace pelmar
