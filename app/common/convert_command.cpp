// The Convert command as every front end performs it: read two fields and two boxes, run.
#include "app/common/convert_command.h"

#include <atomic>
#include <cstring>
#include <new>

#include "engine/conversion_engine.h"
#include "engine/session_backups.h"

namespace kestrune {

namespace {

// The engine of the command in progress, for RemoveConvertTemporaries and StopConvertCommand,
// and what ends the program once a stopped command has returned.
std::atomic<ConversionEngine*> running_engine{nullptr};
std::atomic<void (*)()> end_after_stop{nullptr};

bool IsUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0u) == 0x80u; }

// The length of the prefix of text that fits into a field buffer.
std::size_t FittingLength(const char* text, FieldEncoding encoding) {
  std::size_t length = std::strlen(text);
  if (length < kPathBytes) return length;
  length = kPathBytes - 1;
  if (encoding == FieldEncoding::kUtf8) {
    // Back off to the start of the character the cut would split.
    while (length > 0 && IsUtf8Continuation(text[length])) --length;
  }
  return length;
}

}  // namespace

void ReadFieldText(const char* text, FieldEncoding encoding, char (&field)[kPathBytes]) {
  if (text == nullptr) text = "";
  const std::size_t length = FittingLength(text, encoding);
  std::memcpy(field, text, length);
  field[length] = '\0';
}

ConvertRequest MakeConvertRequest(const char* input_text, const char* ini_text,
                                  FieldEncoding encoding, bool backups, bool embedded) {
  ConvertRequest request{};
  ReadFieldText(input_text, encoding, request.input_path);
  ReadFieldText(ini_text, encoding, request.ini_path);
  request.backups = backups ? 1 : 0;
  request.embedded = embedded ? 1 : 0;
  return request;
}

// The engine is megabytes and allocates nothing, so it lives in static storage; it is made
// afresh for each command, since each command may report to another sink. The backups of
// the session's commands outlive it: no command replaces an earlier one's.
void RunConvertCommand(StatusSink& sink, const ConvertRequest& request) {
  alignas(ConversionEngine) static unsigned char storage[sizeof(ConversionEngine)];
  static SessionBackups session_backups;
  ConversionEngine* engine =
      new (storage) ConversionEngine(SystemPlatform(), sink, session_backups);
  running_engine.store(engine);
  engine->RunConversion(request.input_path, request.ini_path, request.backups, request.embedded);
  running_engine.store(nullptr);
  engine->~ConversionEngine();
  if (void (*const end)() = end_after_stop.exchange(nullptr)) end();
}

bool RemoveConvertTemporaries() {
  ConversionEngine* const engine = running_engine.load();
  if (engine == nullptr) return false;
  engine->RemoveTemporariesNow();
  return true;
}

bool StopConvertCommand(void (*then_end)()) {
  ConversionEngine* const engine = running_engine.load();
  if (engine == nullptr) return false;
  end_after_stop.store(then_end);
  engine->RequestStop();
  return true;
}

}  // namespace kestrune
