// The engines an interrupt reaches: every engine the command line makes, at most one per job.
#include <atomic>

#include "cli/interrupt.h"

namespace kestrune {
namespace {

constexpr int kMostWatched = 65;  // a worker engine per job, and the one for runs in order

static_assert(std::atomic<ConversionEngine*>::is_always_lock_free, "needed in a signal handler");
std::atomic<ConversionEngine*> watched[kMostWatched];
std::atomic<int> watched_count{0};

}  // namespace

void WatchOnInterrupt(ConversionEngine& engine) {
  const int slot = watched_count.fetch_add(1);
  if (slot < kMostWatched) watched[slot].store(&engine);
}

void RemoveWatchedTemporaries() {
  const int count = watched_count.load();
  for (int slot = 0; slot < count && slot < kMostWatched; ++slot) {
    if (ConversionEngine* engine = watched[slot].load()) engine->RemoveTemporariesNow();
  }
}

}  // namespace kestrune
