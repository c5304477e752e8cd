// Test helper: a status sink that remembers every call in order.
#include "tests/support/recording_sink.h"

namespace kestrune::test {

std::vector<std::string> RecordingSink::Texts(SinkCall::Kind kind) const {
  std::vector<std::string> texts;
  for (const SinkCall& call : calls) {
    if (call.kind == kind) texts.push_back(call.text);
  }
  return texts;
}

}  // namespace kestrune::test
