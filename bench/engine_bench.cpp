// bench_engine: micro-benchmarks of the part table, over the libraries bench_inputs wrote
// (run in that folder: it reads ./bench.ini; a bare name would be looked for in the Windows
// folder).
#include <benchmark/benchmark.h>

#include "engine/conversion_engine.h"

namespace kestrune::bench {
namespace {

class QuietSink : public StatusSink {
 public:
  void SetStatus(const char*) override {}
  void ShowError(const char*) override {}
  void ShowInfo(const char*) override {}
};

QuietSink sink;
ConversionEngine engine(SystemPlatform(), sink);  // megabytes: static storage

void LoadTable() { engine.LoadPartLibraries("./bench.ini"); }

// Reading the 50 libraries of 1000 parts, as every Convert command does first.
void LoadThousandParts(benchmark::State& state) {
  for (auto _ : state) LoadTable();
  state.counters["parts"] = engine.FindPart("pn0999") != nullptr ? 1000 : 0;
}
BENCHMARK(LoadThousandParts)->Unit(benchmark::kMicrosecond);

// The lookup of every "PART=" line whose part no library holds.
void FindAbsentPart(benchmark::State& state) {
  LoadTable();
  for (auto _ : state) benchmark::DoNotOptimize(engine.FindPart("PN0500X"));
}
BENCHMARK(FindAbsentPart);

// The lookup of the last row, letter case folded.
void FindLastPart(benchmark::State& state) {
  LoadTable();
  for (auto _ : state) benchmark::DoNotOptimize(engine.FindPart("pn0999"));
}
BENCHMARK(FindLastPart);

}  // namespace
}  // namespace kestrune::bench

BENCHMARK_MAIN();
