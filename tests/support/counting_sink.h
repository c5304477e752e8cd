// Test helper: a status sink that only counts its calls, so that it never allocates.
#pragma once

#include "engine/status_sink.h"

namespace kestrune::test {

class CountingSink : public StatusSink {
 public:
  void SetStatus(const char*) override { ++statuses; }
  void ShowError(const char*) override { ++errors; }
  void ShowInfo(const char*) override {}
  int statuses = 0;
  int errors = 0;
};

}  // namespace kestrune::test
