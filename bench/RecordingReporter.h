#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// The console reporter that also keeps every run's real time per iteration (in the run's own
// unit) and its counters, by name without "/iterations:N", "/real_time" or "/manual_time", for the
// ratio tables the benchmarks print at the end.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        std::string name = run.benchmark_name();
        for (const std::string suffix : {"/real_time", "/manual_time"})
          if (name.ends_with(suffix)) name.resize(name.size() - suffix.size());
        if (const auto at = name.find("/iterations:"); at != std::string::npos)
          name.erase(at, name.find('/', at + 1) - at);
        ms[name] = run.GetAdjustedRealTime();
        for (const auto& [counter, value] : run.counters) counters[name][counter] = value;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> ms;
  std::map<std::string, std::map<std::string, double>> counters;
};
