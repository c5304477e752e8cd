// The Convert command as every front end performs it: read two fields and two boxes, run.
#pragma once

#include <cstddef>

#include "engine/file_names.h"
#include "engine/status_sink.h"

namespace kestrune {

// How a field's text is encoded: one byte per character, or UTF-8, where a cut must not
// split a character.
enum class FieldEncoding { kSingleByte, kUtf8 };

// What the Convert button hands to the run: each field cut to the longest path the engine
// takes, kPathBytes with its terminator.
struct ConvertRequest {
  char input_path[kPathBytes];
  char ini_path[kPathBytes];
  int backups;
  int embedded;
};

// Copies the field's text into field, cut to the longest prefix that fits (always
// terminated); a null text reads as empty.
void ReadFieldText(const char* text, FieldEncoding encoding, char (&field)[kPathBytes]);

ConvertRequest MakeConvertRequest(const char* input_text, const char* ini_text,
                                  FieldEncoding encoding, bool backups, bool embedded);

// Runs the conversion the request describes, reporting through sink. No command of the
// program's life removes or replaces a backup that an earlier one made.
void RunConvertCommand(StatusSink& sink, const ConvertRequest& request);

// Removes the temporary files of the Convert command in progress, leaving its files as they
// were; false when none is in progress. For the end of the desktop session and for
// termination signals: the program must end at once afterwards. Safe in a signal handler.
bool RemoveConvertTemporaries();

// Asks the Convert command in progress to stop: it removes its temporary files itself,
// leaves its files as they were and shows nothing more; once it has, then_end is called,
// which must end the program. False when none is in progress. Safe in a signal handler.
bool StopConvertCommand(void (*then_end)());

}  // namespace kestrune
