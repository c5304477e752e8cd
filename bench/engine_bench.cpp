// bench_engine: micro-benchmarks of the part table, over the libraries bench_inputs wrote
// (run in that folder: it reads ./bench.ini; a bare name would be looked for in the Windows folder).
#include <benchmark/benchmark.h>

#include "engine/part_library_loader.h"
#include "engine/run_state.h"
#include "engine/status_sink.h"

namespace kestrune::bench {
namespace {

class QuietSink : public StatusSink {
 public:
  void SetStatus(const char*) override {}
  void ShowError(const char*) override {}
  void ShowInfo(const char*) override {}
};

void LoadTable() {
  QuietSink sink;
  LoadPartLibraries(sink, "./bench.ini");
}

// Reading the 50 libraries of 1000 parts, as every Convert command does first.
void LoadThousandParts(benchmark::State& state) {
  for (auto _ : state) LoadTable();
  state.counters["parts"] = FindPart("pn0999") != nullptr ? 1000 : 0;
}
BENCHMARK(LoadThousandParts)->Unit(benchmark::kMicrosecond);

// The lookup of every "PART=" line whose part no library holds.
void FindAbsentPart(benchmark::State& state) {
  LoadTable();
  for (auto _ : state) benchmark::DoNotOptimize(FindPart("PN0500X"));
}
BENCHMARK(FindAbsentPart);

// The lookup of the last row, letter case folded.
void FindLastPart(benchmark::State& state) {
  LoadTable();
  for (auto _ : state) benchmark::DoNotOptimize(FindPart("pn0999"));
}
BENCHMARK(FindLastPart);

}  // namespace
}  // namespace kestrune::bench

BENCHMARK_MAIN();
