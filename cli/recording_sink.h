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

// Never throws into the run it listens to: a call it has no memory to keep is lost, and
// lost() tells so.
class RecordingSink : public StatusSink {
 public:
  void SetStatus(const char* text) override { Keep(RecordedCall::Kind::kStatus, text); }
  void ErrorReason(const char* reason) override { Keep(RecordedCall::Kind::kReason, reason); }
  void ShowError(const char* text) override { Keep(RecordedCall::Kind::kError, text); }
  void ShowInfo(const char* text) override { Keep(RecordedCall::Kind::kInfo, text); }
  void FileDone(const char* path, FileOutcome outcome) override {
    Keep(RecordedCall::Kind::kFileDone, path, outcome);
  }
  // Every call kept since the last Take, leaving none and nothing lost.
  std::vector<RecordedCall> Take();
  // True when a call since the last Take could not be kept.
  bool lost() const { return lost_; }

 private:
  void Keep(RecordedCall::Kind kind, const char* text,
            FileOutcome outcome = FileOutcome::kNotConverted);
  std::vector<RecordedCall> calls_;
  bool lost_ = false;
};

// Makes the calls on sink, in order.
void Replay(const std::vector<RecordedCall>& calls, StatusSink& sink);

}  // namespace kestrune
