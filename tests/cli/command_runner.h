#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace pelmar::test {

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The text as one shell word.
[[nodiscard]] std::string quoted(const std::string& text);

// Runs the `pelmar` under test with `args`, without PELMAR_PLAYER from the test's own
// environment; `environment` is prepended as "NAME=value ..." assignments.
[[nodiscard]] CommandRun pelmar(const std::vector<std::string>& args,
                                const std::string& environment = "");

// A `pelmar` running beside the test, its standard output on a pipe, so that the test can act at
// the moments the output shows. Killed and reaped when it goes out of scope.
class RunningPelmar {
  public:
    // `environment` holds "NAME=value" texts; PELMAR_PLAYER is taken out as for pelmar().
    RunningPelmar(const std::vector<std::string>& args,
                  const std::vector<std::string>& environment);
    ~RunningPelmar();
    RunningPelmar(const RunningPelmar&) = delete;
    RunningPelmar& operator=(const RunningPelmar&) = delete;

    // Reads output lines until one starts with `prefix`; false when the output ends first.
    bool waitForLine(std::string_view prefix);
    void signal(int number);
    // Reads the rest of the output and waits for the end: the exit status, or 128 plus the
    // number of the signal that ended it.
    int finish();
    [[nodiscard]] const std::string& output() const { return output_; }

  private:
    bool readLine(std::string& line);

    pid_t pid_ = -1;
    std::FILE* out_ = nullptr;
    std::string output_;
};

}  // namespace pelmar::test
