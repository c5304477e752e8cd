// Status sinks of the batch front end.
#include "cli/console_sink.h"

namespace kestrune {
namespace {

void TraceLine(const char* operation, const char* text) {
  std::printf("%s\t%s\n", operation, EscapeForTrace(text).c_str());
  std::fflush(stdout);
}

}  // namespace

std::string EscapeForTrace(const char* text) {
  static const char kHex[] = "0123456789abcdef";
  std::string escaped;
  for (const unsigned char* at = reinterpret_cast<const unsigned char*>(text); *at != 0; ++at) {
    switch (*at) {
      case '\\': escaped += "\\\\"; break;
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      case '\t': escaped += "\\t"; break;
      default:
        if (*at < 0x20 || *at > 0x7E) {
          escaped += "\\x";
          escaped += kHex[*at >> 4];
          escaped += kHex[*at & 0xF];
        } else {
          escaped += static_cast<char>(*at);
        }
    }
  }
  return escaped;
}

void TraceSink::SetStatus(const char* text) { TraceLine("SetStatus", text); }

void TraceSink::ShowError(const char* text) {
  error_shown_ = true;
  TraceLine("ShowError", text);
}

void TraceSink::ShowInfo(const char* text) { TraceLine("ShowInfo", text); }

}  // namespace kestrune
