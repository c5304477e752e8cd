// The Convert command as every front end performs it: read two fields and two boxes, run.
#pragma once

#include <cstddef>

#include "engine/status_sink.h"

namespace kestrune {

// A field is read into this many bytes, so at most one less of its text reaches the run.
constexpr std::size_t kFieldBufferSize = 200;

// How a field's text is encoded: one byte per character, or UTF-8, where a cut must not
// split a character.
enum class FieldEncoding { kSingleByte, kUtf8 };

// What the Convert button hands to the run.
struct ConvertRequest {
  char input_path[kFieldBufferSize];
  char ini_path[kFieldBufferSize];
  int backups;
  int embedded;
};

// Copies the field's text into field, cut to the longest prefix that fits (always
// terminated); a null text reads as empty.
void ReadFieldText(const char* text, FieldEncoding encoding, char (&field)[kFieldBufferSize]);

ConvertRequest MakeConvertRequest(const char* input_text, const char* ini_text,
                                  FieldEncoding encoding, bool backups, bool embedded);

// Runs the conversion the request describes, reporting through sink.
void RunConvertCommand(StatusSink& sink, const ConvertRequest& request);

}  // namespace kestrune
