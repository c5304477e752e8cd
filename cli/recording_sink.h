// Keeps what a run tells its sink, to be told to another sink later, in the same order.
#pragma once

#include <string>
#include <vector>

#include "engine/status_sink.h"

namespace kestrune {

struct RecordedCall {
  enum class Kind { kStatus, kReason, kError, kInfo, kFileDone };
  Kind kind;
  std::string text;
  FileOutcome outcome;  // for kFileDone
};

class RecordingSink : public StatusSink {
 public:
  void SetStatus(const char* text) override { Keep(RecordedCall::Kind::kStatus, text); }
  void ErrorReason(const char* reason) override { Keep(RecordedCall::Kind::kReason, reason); }
  void ShowError(const char* text) override { Keep(RecordedCall::Kind::kError, text); }
  void ShowInfo(const char* text) override { Keep(RecordedCall::Kind::kInfo, text); }
  void FileDone(const char* path, FileOutcome outcome) override {
    calls_.push_back({RecordedCall::Kind::kFileDone, path, outcome});
  }
  // Every call kept since the last Take, leaving none.
  std::vector<RecordedCall> Take();

 private:
  void Keep(RecordedCall::Kind kind, const char* text) {
    calls_.push_back({kind, text, FileOutcome::kNotConverted});
  }
  std::vector<RecordedCall> calls_;
};

// Makes the calls on sink, in order.
void Replay(const std::vector<RecordedCall>& calls, StatusSink& sink);

}  // namespace kestrune
