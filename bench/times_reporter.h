#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace pelmar::bench {

// The statistic a benchmark registers as "min" to have its fastest repetition kept as well: on a
// machine whose other work comes and goes, the truer figure of what a step costs by itself.
inline double fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

// The console's report, which also keeps each benchmark's time per iteration, in seconds of real
// and of CPU time, for the ratios a benchmark prints once every run is done. With repetitions the
// aggregate named `aggregate` stands for the benchmark, since the machine's other work makes
// single runs wander; the "min" aggregate, where a benchmark has one, is kept on its own.
class TimesReporter : public benchmark::ConsoleReporter {
  public:
    enum class Key {
        Function,  // "Name", for benchmarks run once each
        FullName,  // "Name/argument/real_time", for those run in several variants
    };

    explicit TimesReporter(Key key = Key::Function, std::string aggregate = "median")
        : key_(key), aggregate_(std::move(aggregate)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool stands =
                run.run_type == Run::RT_Iteration ||
                (run.run_type == Run::RT_Aggregate && run.aggregate_name == aggregate_);
            const bool fastest = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
            if (run.iterations > 0 && !run.error_occurred && (stands || fastest)) {
                const std::string name =
                    key_ == Key::Function ? run.run_name.function_name : run.benchmark_name();
                const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
                if (fastest) {
                    fastestSeconds_[name] = run.GetAdjustedRealTime() / unit;
                } else {
                    seconds_[name] = run.GetAdjustedRealTime() / unit;
                    cpuSeconds_[name] = run.GetAdjustedCPUTime() / unit;
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

  protected:
    std::map<std::string, double> seconds_;
    std::map<std::string, double> cpuSeconds_;
    std::map<std::string, double> fastestSeconds_;

  private:
    Key key_;
    std::string aggregate_;
};

}  // namespace pelmar::bench
