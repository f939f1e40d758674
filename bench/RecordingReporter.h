#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// The console reporter that also keeps every run's real time per iteration (in the run's own
// unit), by name without "/real_time", for the ratio tables the benchmarks print at the end.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        std::string name = run.benchmark_name();
        if (name.ends_with("/real_time")) name.resize(name.size() - 10);
        ms[name] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> ms;
};
