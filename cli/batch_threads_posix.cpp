// The batch's worker threads on POSIX: the standard library's, with the interrupt signals blocked.
#include "cli/batch_threads.h"

#include <utility>

#include "engine/platform/interrupt_signals.h"

namespace kestrune {

BatchThread StartWorkerThread(std::function<void()> work) {
  const InterruptSignalsBlocked blocked;
  return BatchThread(std::move(work));
}

}  // namespace kestrune
