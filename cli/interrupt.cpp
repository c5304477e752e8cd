// The engines an interrupt reaches: every engine the command line makes, at most one per job.
#include <atomic>

#include "cli/interrupt.h"

namespace kestrune {
namespace {

constexpr int kMostWatched = 65;  // a worker engine per job, and the one for runs in order

static_assert(std::atomic<ConversionEngine*>::is_always_lock_free, "needed in a signal handler");
std::atomic<ConversionEngine*> watched[kMostWatched];
std::atomic<int> watched_count{0};
static_assert(std::atomic<int>::is_always_lock_free, "needed in a signal handler");
std::atomic<int> first_interrupt{0};
// The passes over the watched engines going on now; on Windows they run on the console
// handler's thread, while the main thread forgets engines and frees them.
std::atomic<int> passes{0};

// Counts a pass over the watched engines while it lasts.
class Pass {
 public:
  Pass() { ++passes; }
  ~Pass() { --passes; }
  Pass(const Pass&) = delete;
  Pass& operator=(const Pass&) = delete;
};

}  // namespace

int InterruptSignal() { return first_interrupt.load(); }

void WatchOnInterrupt(ConversionEngine& engine) {
  int slot = 0;
  for (const int count = watched_count.load(); slot < count && slot < kMostWatched; ++slot) {
    if (watched[slot].load() == &engine) return;
  }
  for (slot = 0; slot < kMostWatched; ++slot) {
    ConversionEngine* none = nullptr;
    if (watched[slot].compare_exchange_strong(none, &engine)) break;
  }
  if (slot < kMostWatched && slot >= watched_count.load()) watched_count.store(slot + 1);
  // An interrupt that came before the engine was watched may have missed it.
  if (Interrupted()) engine.RequestStop();
}

void ForgetOnInterrupt(ConversionEngine& engine) {
  for (std::atomic<ConversionEngine*>& slot : watched) {
    ConversionEngine* expected = &engine;
    slot.compare_exchange_strong(expected, nullptr);
  }
  // A pass that found the engine before it was forgotten may still be using it. A pass is a
  // few dozen loads and stores, and where it removes files the program ends after it.
  while (passes.load() != 0) {
  }
}

bool StopOnInterrupt(int signal_number) {
  int none = 0;
  if (!first_interrupt.compare_exchange_strong(none, signal_number)) return false;
  const Pass pass;
  const int count = watched_count.load();
  for (int slot = 0; slot < count && slot < kMostWatched; ++slot) {
    if (ConversionEngine* engine = watched[slot].load()) engine->RequestStop();
  }
  return true;
}

bool Interrupted() { return first_interrupt.load() != 0; }

void RemoveWatchedTemporaries() {
  const Pass pass;
  const int count = watched_count.load();
  for (int slot = 0; slot < count && slot < kMostWatched; ++slot) {
    if (ConversionEngine* engine = watched[slot].load()) engine->RemoveTemporariesNow();
  }
}

}  // namespace kestrune
