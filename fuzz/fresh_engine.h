// An engine made afresh for each fuzz input in static storage: allocating megabytes per input slows
// fuzzing.
#pragma once

#include <new>

#include "engine/conversion_engine.h"

namespace kestrune::fuzz {

inline ConversionEngine& FreshEngine(Platform& files, StatusSink& sink) {
  alignas(ConversionEngine) static unsigned char storage[sizeof(ConversionEngine)];
  static ConversionEngine* engine = nullptr;
  if (engine != nullptr) engine->~ConversionEngine();
  engine = new (storage) ConversionEngine(files, sink);
  return *engine;
}

}  // namespace kestrune::fuzz
