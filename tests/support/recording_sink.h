// Test helper: a status sink that remembers every call in order.
#pragma once

#include <string>
#include <vector>

#include "engine/status_sink.h"

namespace kestrune::test {

struct SinkCall {
  enum class Kind { kStatus, kError, kInfo };
  Kind kind;
  std::string text;
  bool operator==(const SinkCall& other) const { return kind == other.kind && text == other.text; }
};

class RecordingSink : public StatusSink {
 public:
  void SetStatus(const char* text) override { calls.push_back({SinkCall::Kind::kStatus, text}); }
  void ShowError(const char* text) override { calls.push_back({SinkCall::Kind::kError, text}); }
  void ShowInfo(const char* text) override { calls.push_back({SinkCall::Kind::kInfo, text}); }

  std::vector<std::string> Texts(SinkCall::Kind kind) const;
  std::vector<std::string> errors() const { return Texts(SinkCall::Kind::kError); }
  std::vector<std::string> statuses() const { return Texts(SinkCall::Kind::kStatus); }
  std::vector<std::string> infos() const { return Texts(SinkCall::Kind::kInfo); }

  std::vector<SinkCall> calls;
};

}  // namespace kestrune::test
