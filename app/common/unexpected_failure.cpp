// What a dialog program does with an exception that reaches its top.
#include "app/common/unexpected_failure.h"

#include <cstdio>
#include <exception>
#include <new>

#include "app/common/convert_command.h"

namespace kestrune {
namespace {

// What the exception in flight says; allocates nothing, as memory may be what ran out.
const char* FailureText() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return "not enough memory";
  } catch (const std::exception& failure) {
    return failure.what();
  } catch (...) {
    return "unexpected failure";
  }
}

}  // namespace

const char* StopOnUnexpectedFailure() {
  RemoveConvertTemporaries();
  static char line[256];
  std::snprintf(line, sizeof line, "KESTRUNE: stopped: %s", FailureText());
  return line;
}

}  // namespace kestrune
