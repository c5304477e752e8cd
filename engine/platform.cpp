// Which platform the engine talks to: the system's, or one a test put in its place.
#include "engine/platform.h"

namespace kestrune {
namespace {
Platform* active_platform = nullptr;
}  // namespace

Platform& ActivePlatform() {
  return active_platform != nullptr ? *active_platform : SystemPlatform();
}

Platform* ReplaceActivePlatform(Platform* platform) {
  Platform* previous = active_platform;
  active_platform = platform;
  return previous;
}

}  // namespace kestrune
