// Keeps a run's sink calls and replays them.
#include "cli/recording_sink.h"

#include <new>
#include <utility>

namespace kestrune {

void RecordingSink::Keep(RecordedCall::Kind kind, const char* text, FileOutcome outcome) {
  try {
    calls_.push_back({kind, text, outcome});
  } catch (const std::bad_alloc&) {
    lost_ = true;
  }
}

std::vector<RecordedCall> RecordingSink::Take() {
  std::vector<RecordedCall> taken;
  taken.swap(calls_);
  lost_ = false;
  return taken;
}

void Replay(const std::vector<RecordedCall>& calls, StatusSink& sink) {
  for (const RecordedCall& call : calls) {
    switch (call.kind) {
      case RecordedCall::Kind::kStatus: sink.SetStatus(call.text.c_str()); break;
      case RecordedCall::Kind::kReason: sink.ErrorReason(call.text.c_str()); break;
      case RecordedCall::Kind::kError: sink.ShowError(call.text.c_str()); break;
      case RecordedCall::Kind::kInfo: sink.ShowInfo(call.text.c_str()); break;
      case RecordedCall::Kind::kFileDone: sink.FileDone(call.text.c_str(), call.outcome); break;
    }
  }
}

}  // namespace kestrune
